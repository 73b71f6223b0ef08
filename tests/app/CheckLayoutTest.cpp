// tessora --check-layout, run as the program it is.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/Sjis.h"
#include "support/RunProgram.h"

namespace {

namespace fs = std::filesystem;

using Result = test_support::ProgramResult;

// A fresh folder for one test, removed afterwards.
class CheckLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tessora-app-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes a layout given in UTF-8 as Shift-JIS with CR LF line ends, as authors' files are.
  fs::path WriteLayout(const std::string& name, const std::string& utf8) const {
    std::string sjis;
    for (const char c : base::Utf8ToSjis(utf8)) {
      if (c == '\n') sjis += '\r';
      sjis += c;
    }
    const fs::path path = dir_ / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << sjis;
    return path;
  }

  // Runs the program with the arguments, in the folder cwd (the test's folder when empty).
  Result Run(const std::vector<std::string>& args, const fs::path& cwd = {}) const {
    return test_support::RunProgram(test_support::TessoraProgram(), args, cwd.empty() ? dir_ : cwd, dir_);
  }

  Result Check(const std::string& file, const fs::path& cwd = {}) const {
    return Run({"--check-layout", file}, cwd);
  }

  fs::path dir_;
};

TEST_F(CheckLayout, TheBundledSample) {
  const Result r = Check(TESSORA_SOURCE_DIR "/samples/catalog.lay");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "OK\n"
            "form catalog_page 297 210 rows=3 points=10\n"
            "block shohin 66 56 elements=10\n"
            "block tokushu 124 40 elements=4\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(CheckLayout, HandWrittenLayouts) {
  const std::string data = TESSORA_SOURCE_DIR "/tests/layout/data/";
  // A seat plan in centimetres with an empty row that the load removes.
  Result r = Check(data + "seat_plan.lay");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "OK\n"
            "form seats 25.7 36.4 rows=5 points=25\n"
            "block student 3.8 3 elements=4\n"
            "block reserved 3.8 3 elements=1\n");
  // Shelf labels written at a scale of 0.1, with LF line ends.
  r = Check(data + "shelf_labels.lay");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "OK\n"
            "form sheet 210 297 rows=3 points=9\n"
            "block label 62.5 34 elements=4\n");
  // A box without its closing brace: the grid point after it is out of place.
  r = Check("broken_brace.lay", data);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "The loading error of \"broken_brace.lay\" (5) : grid-point\n");
  r = Check(data + "broken_dup.lay");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "A name is duplicated (4)\n");
}

TEST_F(CheckLayout, ListsFormsThenBlocksInFileOrder) {
  WriteLayout("a.lay",
              "block first { width: 12.25; height: 0.00004; text {} box {} }\n"
              "setting { scale: 0.1; }\n"
              "form { grid-point {} new-line; grid-point {} grid-point {} }\n"
              "block { }\n"
              "form named { x: 5; }\n");
  const Result r = Check("a.lay");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "OK\n"
            "form form1 29.7 21 rows=2 points=3\n"
            "form named 29.7 21 rows=0 points=0\n"
            "block first 12.25 0 elements=2\n"
            "block block1 0 0 elements=0\n");
}

TEST_F(CheckLayout, AnEmptyLayoutIsOK) {
  WriteLayout("empty.lay", "");
  const Result r = Check("empty.lay");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "OK\n");
}

TEST_F(CheckLayout, ErrorsGoToStandardErrorInUtf8) {
  // The file name is Japanese: it travels as Shift-JIS inside and comes back in UTF-8.
  WriteLayout("sub/注文書.lay", "form {\n  text { value: 'あ'; }\n  box { x: 1 }\n}\n");
  const Result r = Check("sub/注文書.lay");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "The loading error of \"sub/注文書.lay\" (3) : }\n");

  // The message of a tokenizer error carries the offending byte; it shows as a replacement mark.
  std::ofstream(dir_ / "half.lay", std::ios::binary) << "form {}\r\n\x82";
  const Result half = Check("half.lay");
  EXPECT_EQ(half.status, 1);
  EXPECT_EQ(half.err, "The loading error of \"half.lay\" (2) : ERROR : invalid character. '\xEF\xBF\xBD'\n");
}

TEST_F(CheckLayout, FilesThatCannotBeRead) {
  Result r = Check("missing.lay");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "\"missing.lay\" does not exist.\n");

  fs::create_directories(dir_ / "folder.lay");
  r = Check("folder.lay");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("folder.lay"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Is a directory"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");

  r = Check("/dev/null");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("/dev/null"), std::string::npos) << r.err;
}

TEST_F(CheckLayout, TheFileIsTakenRelativeToTheWorkingDirectory) {
  WriteLayout("one/two/x.lay", "form here {}");
  Result r = Check("two/x.lay", dir_ / "one");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "OK\nform here 297 210 rows=0 points=0\n");
  r = Check("x.lay", dir_ / "one");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "\"x.lay\" does not exist.\n");
}

TEST_F(CheckLayout, WarnsOnStandardErrorAndKeepsOutputAndStatus) {
  WriteLayout("wide.lay",
              "setting { print { width: 100; height: 100; } }\n"
              "form sheet { box frame { width: 100; height: 100; } grid-point edge { x: 80; y: 0; } }\n"
              "block fuda { width: 30; height: 10; }\n");
  struct Case {
    std::string file, out, err;
  };
  const Case cases[] = {
      // Shelf labels in tenths of a millimetre whose print size was written in the same units: scale
      // does not multiply it, so the labels would print on a sheet ten times too large.
      {TESSORA_SOURCE_DIR "/tests/layout/data/shelf_labels.lay",
       "OK\nform sheet 210 297 rows=3 points=9\nblock label 62.5 34 elements=4\n",
       "warning: form sheet: everything on the page covers 0.33% of it (x 7 to 199.5, y 10 to 116; the page "
       "is "
       "2100 x 2970 mm); print width and height are not multiplied by scale 0.1\n"},
      // A block too wide for the last point of a row.
      {"wide.lay", "OK\nform sheet 100 100 rows=1 points=1\nblock fuda 30 10 elements=0\n",
       "warning: form sheet: block fuda at grid point edge reaches outside the page (x 80 to 110, y 0 to 10; "
       "the "
       "page is 100 x 100 mm)\n"},
  };
  for (const Case& c : cases) {
    const Result r = Check(c.file);
    EXPECT_EQ(r.status, 0) << c.file;
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
  }
}

TEST_F(CheckLayout, WrongArgumentsShowTheUsage) {
  WriteLayout("a.lay", "");
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--check"},
                                             {"--check-layout"},
                                             {"--check-layout", "a.lay", "a.lay"},
                                             {"--check-layout-x", "a.lay"}}) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("tessora --check-layout FILE"), std::string::npos) << r.err;
  }
}

}  // namespace
