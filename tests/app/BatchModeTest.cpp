// tessora --batch, run as the program it is: on the bundled catalogue, on documents for the seat plan
// layout of the layout tests, and on files that go wrong.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/DocumentTestSupport.h"
#include "support/RunProgram.h"

namespace {

namespace fs = std::filesystem;
using doc_test::ReadBytes;
using doc_test::SjisCrLf;
using doc_test::WriteBytes;

using Result = test_support::ProgramResult;

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

class Batch : public ::testing::Test {
 protected:
  // Runs "tessora --batch args..." in the folder cwd (the test's folder when empty).
  Result Run(std::vector<std::string> args, const fs::path& cwd = {}) const {
    args.insert(args.begin(), "--batch");
    return test_support::RunProgram(test_support::TessoraProgram(), args, cwd.empty() ? folder_.Path() : cwd,
                                    folder_.Path());
  }

  // The seat plan layout of the layout tests, and a class of students for it (UTF-8 rows).
  void WriteSeatPlan(const std::string& name, const std::vector<std::string>& map,
                     const std::vector<std::string>& unmap = {}) const {
    fs::copy_file(TESSORA_SOURCE_DIR "/tests/layout/data/seat_plan.lay", folder_ / "seat_plan.lay",
                  fs::copy_options::skip_existing);
    std::string text =
        "[basic_info]\nlayout=seat_plan.lay\n\n[block_field]\nstudent,shusseki_bango,shimei,yomi,biko\n"
        "reserved,riyu\n\n[form_data]\n1.heading=2年3組 座席表 (4月)\n\n[map_data]\n";
    for (const std::string& r : map) text += r + "\n";
    text += "\n[unmap_data]\n";
    for (const std::string& r : unmap) text += r + "\n";
    text += "\n[trash_data]\n";
    WriteBytes(folder_ / name, SjisCrLf(text));
  }

  doc_test::TempFolder folder_{"batch"};
};

const std::string kSample = TESSORA_SOURCE_DIR "/samples/catalog.map";

}  // namespace

TEST_F(Batch, ListsTheBundledSample) {
  const Result r = Run({kSample, "--list"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines.front(), "1 1 1 tokushu 新茶の季節です");
  EXPECT_EQ(lines[2], "1 2 1 shohin 特上煎茶 100g");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "2 1 2 space "), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "2 2 4 newline "), lines.end());
  EXPECT_EQ(lines[lines.size() - 2], "4 2 3 eod ");
  EXPECT_EQ(lines.back(), "pages=4 placed=24 unplaced=10 trash=2");
}

TEST_F(Batch, NamesAreRelativeToTheShellsFolder) {
  fs::copy_file(TESSORA_SOURCE_DIR "/samples/catalog.lay", folder_ / "catalog.lay");
  fs::create_directories(folder_ / "work");
  fs::copy_file(kSample, folder_ / "work/catalog.map");
  fs::copy_file(TESSORA_SOURCE_DIR "/samples/catalog.lay", folder_ / "work/catalog.lay");
  const Result r = Run({"work/catalog.map", "--auto-map", "--save", "mapped.map"});
  ASSERT_EQ(r.status, 0) << r.err;
  // The unplaced feature blocks wait for the feature row of a later page: the product rows take only
  // products.
  EXPECT_EQ(r.out, "pages=6 placed=34 unplaced=0 trash=2\n");
  ASSERT_TRUE(fs::exists(folder_ / "mapped.map")) << "beside the shell, not beside the document";
  EXPECT_EQ(ReadBytes(folder_ / "work/catalog.map"), ReadBytes(kSample));

  // The saved document lists as it was left, the unplaced blocks after what was placed.
  const Result again = Run({"mapped.map", "--list"});
  ASSERT_EQ(again.status, 0) << again.err;
  const std::vector<std::string> lines = Lines(again.out);
  EXPECT_EQ(lines[lines.size() - 3], "6 2 1 shohin 水出し煎茶 ボトル");
  EXPECT_EQ(lines.back(), "pages=6 placed=34 unplaced=0 trash=2");
}

TEST_F(Batch, SavingAnUnchangedDocumentKeepsItsBytes) {
  fs::copy_file(TESSORA_SOURCE_DIR "/samples/catalog.lay", folder_ / "catalog.lay");
  fs::copy_file(kSample, folder_ / "catalog.map");
  const Result r = Run({"catalog.map", "--save", "--list", "--save", "copy.map"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(folder_ / "catalog.map"), ReadBytes(kSample));
  EXPECT_EQ(ReadBytes(folder_ / "copy.map"), ReadBytes(kSample));
}

TEST_F(Batch, SameMappingOnASeatPlan) {
  // This year's class: placed in roll order with a row break, two still unplaced.
  WriteSeatPlan("april.map",
                {"reserved,教員用", "newline", "student,1,青木　一郎,あおき　いちろう,",
                 "student,2,伊藤　花子,いとう　はなこ,", "student,3,上田　健,うえだ　けん,",
                 "student,4,江口　さくら,えぐち　さくら,"},
                {"student,5,大野　翼,おおの　つばさ,", "student,6,加藤　葵,かとう　あおい,"});
  // Last term's seating, by roll number: 6 and 2 in the front row, a gap, then 5, 1, 9 (left).
  WriteSeatPlan("march.map", {"newline", "student,6,x,,", "student,2,x,,", "space", "student,5,,,",
                              "student,1,,,", "student,9,,,"});
  const Result r = Run({"april.map", "--same-map", "march.map", "--list"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{
                              "1 1 1 newline ",
                              "1 2 1 student 加藤　葵",
                              "1 2 2 student 伊藤　花子",
                              "1 2 3 space ",
                              "1 2 4 student 大野　翼",
                              "1 2 5 student 青木　一郎",
                              "1 3 1 space ",
                              "1 3 2 eod ",
                              "pages=1 placed=4 unplaced=3 trash=0",
                          }))
      << "the reserved block and the students 3 and 4 are unplaced";
}

TEST_F(Batch, BlocksThatNoPointTakesAreReported) {
  // After a page break the reserved block finds the first row of page 2, and the students pass that
  // row by; a class the seat plan lacks becomes a blank.
  WriteSeatPlan("odd.map", {"student,1,A,,", "newpage", "reserved,x", "chair,9", "student,2,B,,"});
  const Result r = Run({"odd.map", "--list"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Lines(r.out).back(), "pages=2 placed=3 unplaced=0 trash=0");

  // A seat plan whose every point takes students only: the reserved block goes to the unplaced
  // list, with a warning.
  std::string layout = ReadBytes(TESSORA_SOURCE_DIR "/tests/layout/data/seat_plan.lay");
  const auto replaceAll = [&layout](const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = layout.find(from, at)) != std::string::npos; at += to.size())
      layout.replace(at, from.size(), to);
  };
  replaceAll("block-type: reserved;", "block-type: student;");
  replaceAll("grid-point { ", "grid-point { block-type: student; ");
  WriteBytes(folder_ / "students_only" / "seat_plan.lay", layout);
  WriteSeatPlan("students_only/odd.map", {"student,1,A,,", "reserved,x", "student,2,B,,"});
  const Result moved = Run({"students_only/odd.map", "--list"});
  ASSERT_EQ(moved.status, 0) << moved.err;
  EXPECT_NE(moved.err.find("1 個を未配置に移しました"), std::string::npos) << moved.err;
  EXPECT_EQ(Lines(moved.out).back(), "pages=1 placed=2 unplaced=1 trash=0");
}

TEST_F(Batch, ErrorsWriteNothing) {
  WriteSeatPlan("class.map", {"student,1,A,,"});
  const std::string before = ReadBytes(folder_ / "class.map");

  // A reference that cannot be read, after a save: no file is written, nothing is printed.
  Result r = Run({"class.map", "--save", "out.map", "--save", "--same-map", "nowhere.map", "--list"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("nowhere.map"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(folder_ / "out.map"));
  EXPECT_EQ(ReadBytes(folder_ / "class.map"), before);

  r = Run({"missing.map", "--list"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("missing.map"), std::string::npos);

  WriteBytes(folder_ / "nolayout.map", "[basic_info]\r\nlayout=gone.lay\r\n");
  r = Run({"nolayout.map"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("gone.lay"), std::string::npos) << r.err;

  WriteSeatPlan("badform.map", {"student,1,A,,"});
  std::string bad = ReadBytes(folder_ / "badform.map");
  bad.replace(bad.find("1.heading"), 9, "one.heading");
  WriteBytes(folder_ / "badform.map", bad);
  r = Run({"badform.map", "--save"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(ReadBytes(folder_ / "badform.map"), bad);

  // Actions that are not understood: the usage, and nothing run.
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"class.map", "--fax"}, {"class.map", "--same-map"}, {}, {"--list"}}) {
    r = Run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("tessora --batch FILE.map"), std::string::npos);
  }
}

namespace {

// Files of a folder, by name, for seeing what a run left behind.
std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
      names.push_back(fs::relative(entry.path(), folder).string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST_F(Batch, StartsANewDocumentFromALayout) {
  fs::create_directories(folder_ / "lay");
  fs::copy_file(TESSORA_SOURCE_DIR "/tests/layout/data/seat_plan.lay", folder_ / "lay/seat_plan.lay");
  WriteBytes(folder_ / "class.csv", "shusseki_bango,shimei\n1,安藤\n2,伊藤\n3,上田\n");
  const std::vector<std::string> before = FilesIn(folder_.Path());

  // Without --save nothing is written: the listing is all there is.
  Result r = Run({"--layout", "lay/seat_plan.lay", "--import-csv", "class.csv", "--class", "student",
                  "--auto-map", "--list"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 5u) << r.out;
  EXPECT_NE(lines[0].find(" student "), std::string::npos) << lines[0];
  EXPECT_EQ(lines.back(), "pages=1 placed=3 unplaced=0 trash=0");
  EXPECT_EQ(FilesIn(folder_.Path()), before);

  // From a spreadsheet to a document and a PDF in one line; the layout named relative to the document.
  r = Run({"--layout", "lay/seat_plan.lay", "--import-csv", "class.csv", "--class", "student", "--auto-map",
           "--save", "class.map", "--pdf", "class.pdf"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "pages=1 placed=3 unplaced=0 trash=0\n");
  const std::string saved = ReadBytes(folder_ / "class.map");
  EXPECT_EQ(saved.substr(0, 45), "[basic_info]\r\nlayout=lay/seat_plan.lay\r\n\r\n[bl");
  EXPECT_EQ(ReadBytes(folder_ / "class.pdf").substr(0, 5), "%PDF-");
  // The document opens as any other, with its blocks and their values.
  r = Run({"class.map", "--list"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out), lines);

  // A layout elsewhere is named by its full path.
  fs::create_directories(folder_ / "docs");
  r = Run({"--layout", "../lay/seat_plan.lay", "--save", "empty.map"}, folder_ / "docs");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "pages=1 placed=0 unplaced=0 trash=0\n");
  EXPECT_NE(ReadBytes(folder_ / "docs/empty.map")
                .find("layout=" + (folder_ / "lay/seat_plan.lay").string() + "\r\n"),
            std::string::npos);
}

TEST_F(Batch, ANewDocumentThatCannotStartWritesNothing) {
  fs::copy_file(TESSORA_SOURCE_DIR "/tests/layout/data/seat_plan.lay", folder_ / "seat_plan.lay");
  WriteBytes(folder_ / "broken.lay", "form {\r\n  box { x: 1 }\r\n}\r\n");
  const std::vector<std::string> before = FilesIn(folder_.Path());
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;  // part of standard error
  };
  const Case cases[] = {
      {{"--layout", "missing.lay", "--save", "a.map"}, 1, "missing.lay\" does not exist."},
      {{"--layout", "broken.lay", "--save", "a.map"}, 1, "The loading error of"},
      // The new document has no file of its own to save over.
      {{"--layout", "seat_plan.lay", "--save", "--pdf", "a.pdf"}, 1, "tessora: "},
      {{"--layout"}, 2, "tessora --batch FILE.map|--layout FILE.lay"},
      {{"--layout", "--save", "a.map"}, 2, "usage"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.size() > 1 ? c.args[1] : c.args[0]);
    const Result r = Run(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(FilesIn(folder_.Path()), before);
  }
}
