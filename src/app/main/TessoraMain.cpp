// The editor's command line: the editor itself, or one of the modes without a window. Each mode of the command line is one file of src/app that defines its
// run function; it is named here, once, in TESSORA_MODES.
#include <exception>
#include <iostream>
#include <new>
#include <span>
#include <string_view>

#include "app/cli/CommandLine.h"
#include "app/window/EditorMain.h"
#include "base/Sjis.h"

// MODE(switch, arguments shown in the usage, run function)
#define TESSORA_MODES(MODE)                                                      \
  MODE("--check-layout", "FILE", RunCheckLayout)                                 \
  MODE("--batch",                                                                \
       "FILE.map|--layout FILE.lay [--auto-map] [--same-map REF.map] [--save [OUT.map]] [--list] " \
       "[--pdf OUT.pdf [--pages FIRST-LAST]] [--png DIR [--dpi N]] "             \
       "[--print [QUEUE] [--copies N] [--pages FIRST-LAST]] "                    \
       "[--import-csv DATA.csv [--class NAME] [--encoding utf-8|sjis] "          \
       "[--separator C]] [--export-csv OUT.csv [--encoding utf-8|sjis] "         \
       "[--separator C] [--lists yes|no]]",                                      \
       RunBatch)                                                                 \
  MODE("--screenshot", "OUT.png [FILE]", RunScreenshot)                          \
  MODE("--list-printers", "", RunListPrinters)

#define TESSORA_DECLARE_MODE(option, arguments, run) int run(CommandArgs args);
TESSORA_MODES(TESSORA_DECLARE_MODE)

namespace {

struct Mode {
  std::string_view option;
  std::string_view arguments;
  int (*run)(CommandArgs args);
};

#define TESSORA_MODE_ENTRY(option, arguments, run) {option, arguments, &run},
constexpr Mode kModes[] = {TESSORA_MODES(TESSORA_MODE_ENTRY)};

int Usage() {
  std::cerr << "usage:\n  tessora [-d] [-t] [FILE]\n";
  for (const Mode& mode : kModes) std::cerr << "  tessora " << mode.option << ' ' << mode.arguments << '\n';
  return kExitUsage;
}

int Dispatch(int argc, char** argv) {
  // Without a mode's switch the command line is the editor's: "-d", "-t" and a file name.
  if (argc < 2 || std::string_view(argv[1]).substr(0, 2) != "--") return RunEditor(argc, argv);
  const std::string_view option = argv[1];
  for (const Mode& mode : kModes) {
    if (option != mode.option) continue;
    const int status = mode.run(CommandArgs(argv + 2, static_cast<std::size_t>(argc - 2)));
    return status == kExitUsage ? Usage() : status;
  }
  return Usage();
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Dispatch(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cerr << "tessora: out of memory\n";
  } catch (const std::exception& e) {
    // Messages of the program are Shift-JIS.
    std::cerr << "tessora: " << base::SjisToUtf8(e.what()) << '\n';
  }
  return kExitFailure;
}
