// The document commands over the global objects: open, save, save as, automatic and same-position
// mapping, inserting blocks and page breaks, and what they do with files that are not as they should be.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/Progress.h"
#include "data/Clipboard.h"
#include "data/DocumentCommands.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"
#include "support/DocumentTestSupport.h"

namespace {

namespace fs = std::filesystem;
using doc_test::DumpPages;
using doc_test::ListNames;
using doc_test::Sjis;
using doc_test::SjisCrLf;
using Names = std::vector<std::string>;

// A document file in the form the editor writes it, from UTF-8 parts (rows are comma text).
struct DocText {
  std::string layout = "shop.lay";
  std::vector<std::string> fields = {"item,name,code,kana,biko", "feature,name"};
  std::vector<std::string> form, map, unmap, trash;

  std::string Bytes() const {
    std::string t = "[basic_info]\nlayout=" + layout + "\n\n[block_field]\n";
    for (const auto& r : fields) t += r + "\n";
    t += "\n[form_data]\n";
    for (const auto& r : form) t += r + "\n";
    t += "\n[map_data]\n";
    for (const auto& r : map) t += r + "\n";
    t += "\n[unmap_data]\n";
    for (const auto& r : unmap) t += r + "\n";
    t += "\n[trash_data]\n";
    for (const auto& r : trash) t += r + "\n";
    return SjisCrLf(t);
  }
};

// Item rows "item,<name>,<code>,," for each name, with code "c<name>".
std::vector<std::string> Items(std::initializer_list<const char*> names) {
  std::vector<std::string> rows;
  for (const char* n : names) rows.push_back(std::string("item,") + n + ",c" + n + ",,");
  return rows;
}

// A program folder with an ini naming the folder alias "lay", and a document folder beside it.
class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    doc_test::WriteBytes(folder_ / "prog/tessora.ini", "[folder_alias]\r\nlay=../layouts\r\n");
    fs::create_directories(folder_ / "layouts");
    CreateDataGlobals((folder_ / "prog/tessora").string());
    WriteLayout("docs/shop.lay", {{"all", "all", "all"}, {"all", "all", "all"}});
  }
  void TearDown() override { ReleaseDataGlobals(); }

  void WriteLayout(const std::string& name, const std::vector<std::vector<std::string>>& grid) {
    doc_test::WriteBytes(folder_ / name, SjisCrLf(doc_test::GridLayoutText(grid)));
  }
  std::string Write(const std::string& name, const DocText& doc) {
    doc_test::WriteBytes(folder_ / name, doc.Bytes());
    return folder_.SjisPath(name);
  }
  std::string Path(const std::string& name) const { return folder_.SjisPath(name); }
  std::string Bytes(const std::string& name) const { return doc_test::ReadBytes(folder_ / name); }
  std::string Pages() const { return DumpPages(*gMapDB); }

  doc_test::TempFolder folder_{"commands"};
};

}  // namespace

TEST_F(Commands, OpenAndSaveGiveBackTheSameBytes) {
  DocText doc;
  doc.form = {"1.title=" + std::string("春の新茶"), "2.note=一行目<br>二行目<br>"};
  doc.map = {"item,煎茶,1001,せんちゃ,\"おすすめ, 一番摘み\"",
             "newline",
             "feature,特集",
             "space",
             "item,\"say \"\"hi\"\"\",1002,,",
             "newpage",
             "item,玉露,1003,,一行<br>二行<br>"};
  doc.map.push_back("item,番茶,1004,,");
  doc.unmap = {"item,麦茶,2001,,", "feature,夏"};
  doc.trash = {"item,紅茶,3001,,"};
  const std::string path = Write("docs/tea.map", doc);
  const std::string original = Bytes("docs/tea.map");

  const MCommandReport report = OpenDocument(path);
  EXPECT_EQ(report.MovedToUnplaced, 0);
  EXPECT_TRUE(HasDocument());
  EXPECT_TRUE(IsModified()) << "the open leaves the databases modified";
  ClearModified();
  EXPECT_EQ(gMapDB->BlockCount(), 5);
  EXPECT_EQ(gUnmapDB->Count(), 2);
  EXPECT_EQ(gTrashDB->Count(), 1);
  EXPECT_TRUE(gMapFile->MapData().empty()) << "the rows are not held once the blocks are built";

  EXPECT_THROW(SaveDocumentAs(Path("out/copy.map")), base::Error) << "no such folder";
  fs::create_directories(folder_ / "out");
  SaveDocumentAs(Path("out/copy.map"));
  EXPECT_EQ(Bytes("out/copy.map"), original);
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(gMapFile->FileName(), Path("out/copy.map"));
  SaveDocument();  // twice: no rows are written twice
  EXPECT_EQ(Bytes("out/copy.map"), original);

  // The layout name is written as it was: relative to the document's folder, so the copy in another
  // folder does not find it.
  EXPECT_THROW(OpenDocument(Path("out/copy.map")), MLayoutLoadError);
  EXPECT_FALSE(HasDocument());
}

TEST_F(Commands, SavingAddsTheEditableTextsToTheFields) {
  DocText doc;
  doc.fields = {"item,code,name"};
  doc.map = {"item,1,A", "feature,x"};
  const std::string path = Write("docs/a.map", doc);
  OpenDocument(path);
  SaveDocument();
  DocText expected;
  expected.fields = {"item,code,name,biko"};
  expected.map = {"item,1,A,", "feature"};  // a class without fields saves its name alone
  EXPECT_EQ(Bytes("docs/a.map"), expected.Bytes());
}

TEST_F(Commands, LayoutsFromAliasesAndTheDocumentFolder) {
  WriteLayout("layouts/aliased.lay", {{"all"}});
  DocText doc;
  doc.layout = "<LAY>\\aliased.lay";
  doc.map = Items({"A", "B"});
  OpenDocument(Write("docs/aliased.map", doc));
  EXPECT_EQ(DumpPages(*gMapDB, false), "A | B | eod");

  // A relative document name is taken relative to the current folder: the last document's.
  doc.layout = "shop.lay";
  Write("docs/second.map", doc);
  OpenDocument("second.map");
  EXPECT_EQ(DumpPages(*gMapDB, false), "A B eod / _ _ _");
}

TEST_F(Commands, OpenFailuresLeaveNoDocument) {
  DocText doc;
  doc.map = Items({"A"});
  doc.layout = "missing.lay";
  EXPECT_THROW(OpenDocument(Write("docs/missing.map", doc)), MLayoutLoadError);
  EXPECT_FALSE(HasDocument());
  EXPECT_TRUE(gMapFile->MapData().empty());
  EXPECT_THROW(SaveDocument(), base::Error) << "nothing to save over the file";
  EXPECT_EQ(Bytes("docs/missing.map"), doc.Bytes());

  EXPECT_THROW(OpenDocument(Path("docs/nothing-here.map")), base::Error);
  EXPECT_FALSE(HasDocument());

  // A layout without a form, or whose first row has no point, cannot hold pages.
  doc_test::WriteBytes(folder_ / "docs/noform.lay", "block item { text name { } }\r\n");
  doc.layout = "noform.lay";
  try {
    OpenDocument(Write("docs/noform.map", doc));
    ADD_FAILURE() << "opened";
  } catch (const base::Error& e) {
    EXPECT_NE(std::string(e.what()).find(Sjis("ページの様式")), std::string::npos)
        << base::SjisToUtf8(e.what());
  }
  doc_test::WriteBytes(folder_ / "docs/nopoint.lay",
                       "form page { text t { } }\r\nblock item { text name { } }\r\n");
  doc.layout = "nopoint.lay";
  EXPECT_THROW(OpenDocument(Write("docs/nopoint.map", doc)), base::Error);
  EXPECT_FALSE(HasDocument());

  // A form data line with a page number that is no number ends the open, with nothing held.
  OpenDocument(Write("docs/good.map", DocText{}));
  doc.layout = "shop.lay";
  doc.form = {"1.title=ok", "x.title=bad"};
  doc.unmap = Items({"U"});
  EXPECT_THROW(OpenDocument(Write("docs/badform.map", doc)), base::Error);
  EXPECT_FALSE(HasDocument());
  EXPECT_EQ(gUnmapDB->Count(), 0);
  EXPECT_TRUE(gMapFile->FormData().empty());
  EXPECT_THROW(SaveDocument(), base::Error);
  EXPECT_EQ(Bytes("docs/badform.map"), doc.Bytes());
}

TEST_F(Commands, RowsThatDoNotFit) {
  WriteLayout("docs/items-only.lay", {{"item", "item"}});
  DocText doc;
  doc.layout = "items-only.lay";
  doc.map = {"item,A,1,,", "shelf,x", "feature,F", "item,B,2,,"};
  doc.unmap = {"item,U,3,,", "shelf,y"};
  const MCommandReport report = OpenDocument(Write("docs/fit.map", doc));
  // An unknown class keeps its place as a blank on the pages and is dropped from the lists; a block
  // that no point takes goes to the end of the unplaced list.
  EXPECT_EQ(DumpPages(*gMapDB, false), "A sp | B eod");
  EXPECT_EQ(ListNames(*gUnmapDB), (Names{"U", "F"}));
  EXPECT_EQ(report.MovedToUnplaced, 1);
  EXPECT_NE(MovedToUnplacedMessage(report), "");
  EXPECT_EQ(MovedToUnplacedMessage(MCommandReport{}), "");

  // The same for a block pasted or inserted onto the pages.
  MMemoryClipboard clipboard;
  clipboard.SetData(kMapBlockFormat, "feature,G");
  EXPECT_EQ(PasteIntoPages(clipboard).MovedToUnplaced, 1);
  EXPECT_EQ(InsertBlock("feature").MovedToUnplaced, 1);
  EXPECT_EQ(ListNames(*gUnmapDB), (Names{"U", "F", "G", "F"}));
  EXPECT_EQ(gMapDB->RefusedCount(), 0);
}

TEST_F(Commands, AutoMappingPlacesTheVisibleUnplacedBlocksAtTheCursor) {
  DocText doc;
  doc.map = Items({"A", "B", "C", "D", "E", "F", "G", "H", "I"});
  doc.unmap = Items({"tea1", "cup", "tea2"});
  OpenDocument(Write("docs/auto.map", doc));
  gMapDB->NextPage();
  gMapDB->CursorToPoint(40, 30);  // page 2, on H
  gUnmapDB->SetSearch("TEA");
  EXPECT_EQ(AutoMapping().MovedToUnplaced, 0);
  EXPECT_EQ(Pages(), "A B C / D E F | G tea1 tea2 / H* I eod");
  EXPECT_EQ(ListNames(*gUnmapDB), (Names{"cup"}));
  EXPECT_EQ(gUnmapDB->VisibleCount(), 0);
  EXPECT_EQ(gMapDB->BlockCount(), 11);

  AutoMapping();  // nothing visible: nothing happens
  EXPECT_EQ(gMapDB->BlockCount(), 11);
  gUnmapDB->SetSearch("");
  gMapDB->CursorToEndOfData();
  AutoMapping();
  EXPECT_EQ(DumpPages(*gMapDB, false), "A B C / D E F | G tea1 tea2 / H I cup | eod _ _ / _ _ _");
  EXPECT_EQ(gUnmapDB->Count(), 0);
}

TEST_F(Commands, InsertingABlockAndAPageBreak) {
  DocText doc;
  doc.map = Items({"A", "B", "C"});
  OpenDocument(Write("docs/insert.map", doc));
  gMapDB->CursorNext();
  InsertBlock("item");
  EXPECT_EQ(Pages(), "A ? B* / C eod _") << "a new block holds its class's defaults";
  InsertBlock("no such class");
  InsertPageBreak();
  EXPECT_EQ(Pages(), "A ? np / _ _ _ | B* C eod / _ _ _") << "the cursor entry starts the next page";
  EXPECT_EQ(gMapDB->BlockCount(), 4);
}

TEST_F(Commands, SameMappingFollowsTheReference) {
  DocText doc;
  doc.map = {"item,A,100,,", "newline", "item,B,200,,", "newpage", "item,C,100,,"};
  doc.unmap = {"item,D,300,,", "item,E,100,,"};
  doc.trash = {"item,T,400,,"};
  OpenDocument(Write("docs/same.map", doc));

  // The reference lists its fields in another order, names 100 three times, 400 (in the trash
  // only), 999 (nowhere), a class the layout lacks and a class without keys.
  DocText ref;
  ref.fields = {"ITEM,kana,code,name"};
  ref.map = {"item,,100,x", "item,,300", "newpage", "item,,100", "item,,400", "space",
             "item,,100",   "item,,999", "shelf,1", "item,,200", "feature,F"};
  SameMapping(Write("docs/ref.map", ref));

  // 100 goes to the earliest unplaced first: E was unplaced before; then A and C from the pages in
  // reading order. The document's own breaks are gone; the reference's are taken.
  EXPECT_EQ(Pages(), "E* D np / _ _ _ | A sp sp / C sp sp | B sp eod / _ _ _");
  EXPECT_EQ(ListNames(*gUnmapDB), (Names{})) << "every block was named";
  EXPECT_EQ(ListNames(*gTrashDB), (Names{"T"}));
  EXPECT_EQ(gMapDB->BlockCount(), 5);
  EXPECT_EQ(gMapDB->CurrentPage(), 1);

  // Blocks the reference does not name stay unplaced, after those that were unplaced before.
  gUnmapDB->AddFromData("item", {"item", "X", "900"}, false);
  DocText small;
  small.fields = {"item,code"};
  small.map = {"item,200", "item,100"};
  SameMapping(Write("docs/small.map", small));
  EXPECT_EQ(DumpPages(*gMapDB, false), "B E eod / _ _ _");
  EXPECT_EQ(ListNames(*gUnmapDB), (Names{"X", "D", "A", "C"}));
}

TEST_F(Commands, SameMappingWithABadReferenceKeepsTheDocument) {
  DocText doc;
  doc.map = {"item,A,100,,", "newline", "item,B,200,,"};
  doc.unmap = Items({"U"});
  OpenDocument(Write("docs/keep.map", doc));
  gUnmapDB->SetSearch("u");
  const std::string before = Pages();

  EXPECT_THROW(SameMapping(Path("docs/no-such-reference.map")), base::Error);
  EXPECT_EQ(Pages(), before);
  EXPECT_EQ(gUnmapDB->SearchText(), "u");
  EXPECT_EQ(gUnmapDB->Count(), 1);

  // Rows too short to hold the key, and keys the reference has no field for, give blanks.
  DocText shortRows;
  shortRows.fields = {"item,name,biko,code"};
  shortRows.map = {"item,A", "item,B,,200"};
  SameMapping(Write("docs/short.map", shortRows));
  EXPECT_EQ(DumpPages(*gMapDB, false), "sp B eod / _ _ _");
  DocText noKey;
  noKey.fields = {"item,name"};
  noKey.map = {"item,A"};
  SameMapping(Write("docs/nokey.map", noKey));
  EXPECT_EQ(DumpPages(*gMapDB, false), "sp eod _ / _ _ _");
  EXPECT_EQ(ListNames(*gUnmapDB), (Names{"U", "A", "B"}));
}

TEST_F(Commands, TheBundledSampleOpensAndSavesUnchanged) {
  const fs::path sample = fs::path(TESSORA_SOURCE_DIR) / "samples/catalog.map";
  const std::string original = doc_test::ReadBytes(sample);
  ASSERT_FALSE(original.empty());
  OpenDocument(base::Utf8ToSjis(sample.string()));
  EXPECT_GE(gMapDB->PageCount(), 3);
  EXPECT_GE(gUnmapDB->Count(), 8);
  EXPECT_EQ(gTrashDB->Count(), 2);
  // Written elsewhere (its layout name stays as it was), the file holds the same bytes.
  SaveDocumentAs(Path("sample-copy.map"));
  EXPECT_EQ(Bytes("sample-copy.map"), original);
}

// Every command says which lists it changed and what became of the page count, so that the window
// refreshes from the report alone; blocks are moved, never lost or made, except as the command says.
TEST_F(Commands, EveryCommandReportsWhatItChanged) {
  struct Case {
    const char* name;
    std::function<void()> prepare;
    std::function<MCommandReport()> command;
    unsigned lists;
    int placed, unplaced, trashed, pages;
  };
  MMemoryClipboard block, newline;
  block.SetData(kMapBlockFormat, "item,P,cP,,");
  newline.SetData(kMapBlockFormat, "newline");
  const auto none = [] {};
  const auto atEnd = [] { gMapDB->CursorToEndOfData(); };
  const std::vector<Case> cases = {
      {"a blank before A", none, [] { return InsertSpecial("space"); }, dlPages, 5, 2, 1, 2},
      {"no such special entry", none, [] { return InsertSpecial("eod"); }, 0, 5, 2, 1, 1},
      {"a page break before A", none, [] { return InsertPageBreak(); }, dlPages, 5, 2, 1, 2},
      {"a block deleted to the unplaced list", none, [] { return DeleteAtCursor(); }, dlPages | dlUnmap, 4, 3,
       1, 1},
      {"nothing deleted at the end", atEnd, [] { return DeleteAtCursor(); }, 0, 5, 2, 1, 1},
      {"placed from the unplaced pane", none, [] { return PlaceSelected(MPane::Unmap); }, dlPages | dlUnmap,
       6, 1, 1, 2},
      {"restored from the trash", none, [] { return PlaceSelected(MPane::Trash); }, dlPages | dlTrash, 6, 2,
       0, 2},
      {"trashed from the unplaced pane", none, [] { return TrashSelected(); }, dlUnmap | dlTrash, 5, 1, 2, 1},
      {"deleted for good", none, [] { return DeleteSelectedForGood(); }, dlTrash, 5, 2, 0, 1},
      {"a block pasted into the pane", none, [&] { return PasteIntoUnplaced(block); }, dlUnmap, 5, 3, 1, 1},
      {"a line break is no block for the pane", none, [&] { return PasteIntoUnplaced(newline); }, 0, 5, 2, 1,
       1},
      {"a line break pasted onto the pages", none, [&] { return PasteIntoPages(newline); }, dlPages, 5, 2, 1,
       2},
      {"a search", none, [] { return SetPaneSearch(MPane::Unmap, "U1"); }, dlUnmap, 5, 2, 1, 1},
      {"the same search again", [] { gUnmapDB->SetSearch("U1"); },
       [] { return SetPaneSearch(MPane::Unmap, "U1"); }, 0, 5, 2, 1, 1},
      {"a move on the page", none, [] { return MoveEntryToCursor(1, 3); }, dlPages, 5, 2, 1, 1},
      {"automatic mapping", atEnd, [] { return AutoMapping(); }, dlPages | dlUnmap, 7, 0, 1, 2},
  };
  DocText doc;
  doc.map = Items({"A", "B", "C", "D", "E"});
  doc.unmap = Items({"U1", "U2"});
  doc.trash = Items({"T1"});
  const std::string path = Write("docs/report.map", doc);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenDocument(path);
    gUnmapDB->Select(0);
    gTrashDB->Select(0);
    c.prepare();
    const MCommandReport report = c.command();
    EXPECT_EQ(report.Lists, c.lists);
    EXPECT_EQ(gMapDB->BlockCount(), c.placed);
    EXPECT_EQ(gUnmapDB->Count(), c.unplaced);
    EXPECT_EQ(gTrashDB->Count(), c.trashed);
    EXPECT_EQ(report.PageCount, c.pages);
    EXPECT_EQ(report.PageCount, gMapDB->PageCount());
    EXPECT_EQ(report.PageCountChanged, c.pages != 1);
    EXPECT_EQ(report.CurrentPage, gMapDB->CurrentPage());
  }
}

// The cursor's commands: each report says where the cursor stands and whether it moved; looking
// around is no change of the document, Backspace is one step.
TEST_F(Commands, CursorCommandsReportTheCursorAndChangeNothing) {
  struct Case {
    const char* name;
    std::function<MCommandReport()> command;
    int page, row, column;  // afterwards, starting from B (page 1, row 1, column 2)
    bool moved;
  };
  const std::vector<Case> cases = {
      {"next", [] { return MoveCursor(MCursorMove::Next); }, 1, 1, 3, true},
      {"previous", [] { return MoveCursor(MCursorMove::Previous); }, 1, 1, 1, true},
      {"down", [] { return MoveCursor(MCursorMove::Down); }, 1, 2, 2, true},
      {"up from the first row stays", [] { return MoveCursor(MCursorMove::Up); }, 1, 1, 2, false},
      {"row end", [] { return MoveCursor(MCursorMove::RowEnd); }, 1, 1, 3, true},
      {"a point", [] { return CursorToPoint(61, 61); }, 1, 2, 3, true},
      {"page 2", [] { return GoToPage(2); }, 2, 1, 2, true},
      {"no page 9", [] { return GoToPage(9); }, 1, 1, 2, false},
  };
  DocText doc;
  doc.map = Items({"A", "B", "C", "D", "E", "F", "G", "H"});
  const std::string path = Write("docs/cursor.map", doc);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenDocument(path);
    ClearModified();
    gMapDB->CursorNext();
    const MCommandReport report = c.command();
    EXPECT_EQ(std::tuple(report.CurrentPage, report.CursorRow, report.CursorColumn),
              std::tuple(c.page, c.row, c.column));
    EXPECT_EQ(std::tuple(gMapDB->CurrentPage(), gMapDB->CurrentRow(), gMapDB->CurrentColumn()),
              std::tuple(c.page, c.row, c.column));
    EXPECT_EQ(report.CursorChanged, c.moved);
    EXPECT_EQ(report.Lists, 0u);
    EXPECT_FALSE(report.Recorded);
    EXPECT_FALSE(IsModified());
    EXPECT_FALSE(CanUndo());
  }

  // Backspace takes the entry before the cursor, in one step that undo takes back whole.
  OpenDocument(path);
  ClearModified();
  EXPECT_EQ(DeleteBeforeCursor().Lists, 0u) << "nothing before the first point";
  gMapDB->CursorNext();
  gMapDB->CursorNext();
  const MCommandReport report = DeleteBeforeCursor();
  EXPECT_EQ(report.Lists, unsigned{dlPages | dlUnmap});
  EXPECT_TRUE(report.Recorded);
  EXPECT_EQ(doc_test::ShortName(*gMapDB->Current()), "C");
  EXPECT_EQ(gUnmapDB->Count(), 1);
  UndoChange();
  EXPECT_EQ(doc_test::Sequence(*gMapDB).at(1), "B");
  EXPECT_EQ(doc_test::ShortName(*gMapDB->Current()), "C") << "the cursor where Backspace was pressed";
  EXPECT_FALSE(IsModified());
}

// A file that is no document (empty, or another kind of file) is refused with its own name.
TEST_F(Commands, AFileThatNamesNoLayoutIsRefusedByItsName) {
  for (const std::string content : {std::string(), std::string("\x81\x00 binary\n[map_data]\nitem,A\n", 26)}) {
    doc_test::WriteBytes(folder_ / "docs/none.map", content);
    try {
      OpenDocument(Path("docs/none.map"));
      ADD_FAILURE() << "opened";
    } catch (const MLayoutLoadError& error) {
      ADD_FAILURE() << "taken for a layout error: " << base::SjisToUtf8(error.what());
    } catch (const base::Error& error) {
      const std::string message = base::SjisToUtf8(error.what());
      EXPECT_NE(message.find("none.map"), std::string::npos) << message;
      EXPECT_NE(message.find("layout="), std::string::npos) << message;
    }
    EXPECT_FALSE(HasDocument());
  }
}

// A save is made when it is prepared and written later, as the batch mode writes only at the end.
TEST_F(Commands, APreparedSaveWritesTheDocumentAsItWasThen) {
  DocText doc;
  doc.map = Items({"A", "B"});
  const std::string path = Write("docs/prepared.map", doc);
  OpenDocument(path);
  ClearModified();
  const MPreparedSave elsewhere = PrepareSave(Path("docs/copy.map"));
  const MPreparedSave own = PrepareSave();
  InsertBlock("item");
  EXPECT_TRUE(IsModified());
  WriteSave(elsewhere);
  EXPECT_TRUE(IsModified()) << "another file leaves the document modified";
  EXPECT_EQ(Bytes("docs/copy.map"), Bytes("docs/prepared.map"));
  WriteSave(own);
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(Bytes("docs/prepared.map"), Bytes("docs/copy.map"));
  SaveDocument();
  EXPECT_NE(Bytes("docs/prepared.map"), Bytes("docs/copy.map")) << "the new block is in the file now";
}

TEST_F(Commands, OpeningTellsItsRowsAndACancelLeavesNoDocument) {
  // 600 placed, 300 unplaced and 10 thrown-away rows: one bar over 910 rows.
  DocText doc;
  for (int i = 0; i < 910; ++i)
    (i < 600 ? doc.map : i < 900 ? doc.unmap : doc.trash).push_back("item,n" + std::to_string(i) + ",c,,");
  struct Sink : base::ProgressSink {
    std::vector<std::int64_t> done;
    bool Report(std::int64_t d, std::int64_t total) override {
      done.push_back(total == 910 ? d : -1);
      return done.size() != 4;  // a cancel among the unplaced rows
    }
  } sink;
  const base::ProgressScope scope(sink);
  EXPECT_THROW(OpenDocument(Write("docs/long.map", doc)), base::Cancelled);
  EXPECT_EQ(sink.done, (std::vector<std::int64_t>{256, 512, 600, 856}));  // each 256 rows, each list's end
  EXPECT_TRUE(!HasDocument() && gUnmapDB->Count() == 0 && gMapFile->UnmapData().empty());
}
