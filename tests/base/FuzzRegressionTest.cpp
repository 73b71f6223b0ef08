// Inputs on which fuzzing found a reader of this module at fault, kept so that the fixes stay. The
// files of fuzz-regressions/<target>/ are the inputs as the fuzzer found them (the fuzz smoke replays
// them too); each test states what the reader must do with them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/IniText.h"
#include "base/Sjis.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

std::vector<std::string> RegressionInputs(const std::string& target) {
  std::vector<fs::path> files;
  for (const auto& entry :
       fs::directory_iterator(fs::path(TESSORA_SOURCE_DIR) / "tests/base/fuzz-regressions" / target))
    files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::vector<std::string> inputs;
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    inputs.push_back(bytes.str());
  }
  return inputs;
}

// The names of the sections that the text's header lines open.
Lines SectionNames(const std::string& text) {
  Lines names;
  for (const std::string& line : base::SplitLines(text)) {
    const std::string_view t = base::Trim(line);
    if (t.size() >= 2 && t.front() == '[' && t.back() == ']')
      names.emplace_back(base::Trim(t.substr(1, t.size() - 2)));
  }
  return names;
}

}  // namespace

// A lead byte followed by a control byte is a broken character, whose second byte is not a blank of
// its own: tightening the "=" after it took that byte away, so that the line changed again the next
// time it was read (and a saved document's lines changed on every save).
TEST(IniTextFuzzRegression, TheSecondByteOfABrokenCharacterBeforeEqualsStays) {
  const base::IniText ini("[s]\n\xFA\x10=a\xFA\x10=b\nk\xFA\x10 = v\n");
  EXPECT_EQ(ini.LineTexts("s"), (Lines{"\xFA\x10=a\xFA\x10=b", "k\xFA\x10=v"}));
  std::string value;
  EXPECT_TRUE(ini.FindValue("s", "\xFA\x10", value));
  EXPECT_EQ(value, "a\xFA\x10=b");
}

TEST(IniTextFuzzRegression, LinesReadBackAsTheyWereRead) {
  const std::vector<std::string> inputs = RegressionInputs("ini");
  ASSERT_FALSE(inputs.empty());
  for (const std::string& input : inputs) {
    const base::IniText ini(input);
    for (const std::string& section : SectionNames(input)) {
      const Lines lines = ini.LineTexts(section);
      std::string again = "[s]\n";
      for (const std::string& line : lines) again += line + "\n";
      EXPECT_EQ(base::IniText(again).LineTexts("s"), lines) << "section " << section;
    }
  }
}
