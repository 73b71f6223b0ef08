// tessora --check-layout FILE: loads a layout file as the editor would and reports the result, so
// that layout authors can check their files without opening a document. What would print off the
// paper (layout/LayoutCheck.h) is said on standard error as warnings; the output and the exit status
// are those of the load alone, so that scripts reading them see no difference.
#include <iostream>
#include <string>

#include "app/cli/CommandLine.h"
#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Sjis.h"
#include "layout/Layout.h"
#include "layout/LayoutCheck.h"
#include "layout/LoadLayout.h"

int RunCheckLayout(CommandArgs args) {
  if (args.size() != 1) return kExitUsage;
  // Texts, file names included, are Shift-JIS inside the program; the shell speaks UTF-8. The name
  // stays relative to the shell's working directory.
  const std::string fileName = base::Utf8ToSjis(args[0]);

  MLayout layout;
  MLoadLayout loader(layout);
  try {
    if (!loader.Load(fileName)) {
      std::cerr << base::SjisToUtf8(loader.ErrorText) << '\n';
      return kExitFailure;
    }
  } catch (const base::Error& error) {
    std::cerr << base::SjisToUtf8(error.what()) << '\n';
    return kExitFailure;
  }

  std::string out = "OK\n";
  for (const auto& form : layout.Forms) {
    out += "form " + base::SjisToUtf8(form->Name) + ' ' + base::FormatShortest(form->Width) + ' ' +
           base::FormatShortest(form->Height) + " rows=" + std::to_string(form->Grid.RowCount()) +
           " points=" + std::to_string(form->Grid.TotalPointCount()) + '\n';
  }
  for (const auto& block : layout.Blocks) {
    out += "block " + base::SjisToUtf8(block->Name) + ' ' + base::FormatShortest(block->Width) + ' ' +
           base::FormatShortest(block->Height) + " elements=" + std::to_string(block->Children.size()) + '\n';
  }
  std::string warnings;
  for (const std::string& warning : LayoutWarnings(layout))
    warnings += "warning: " + base::SjisToUtf8(warning) + '\n';
  std::cout << out;
  std::cout.flush();
  std::cerr << warnings;
  return kExitSuccess;
}
