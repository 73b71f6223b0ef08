// A new document started from a layout: untitled, empty, saving the values of its blocks; its first
// save naming the layout relative to the document; its recovery copy kept without a file name.
#include <gtest/gtest.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "base/Error.h"
#include "data/CsvImport.h"
#include "data/DocumentCommands.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"
#include "data/MapIni.h"
#include "data/Recovery.h"
#include "layout/Shapes.h"
#include "support/DocumentTestSupport.h"

namespace {

namespace fs = std::filesystem;
using doc_test::ListNames;
using doc_test::ReadBytes;
using doc_test::Sjis;
using doc_test::SjisCrLf;
using doc_test::WriteBytes;
using Names = std::vector<std::string>;

// A label layout whose class holds every kind of element, an editable text among them.
const char* const kLabels =
    "form sheet {\n"
    "  text title { x: 0; y: 0; width: 100; height: 8; editable: true; }\n"
    "  grid-point { x: 10; y: 20; } grid-point { x: 60; y: 20; }\n"
    "}\n"
    "block label {\n"
    "  width: 40; height: 30; face-element: name; key-element: code;\n"
    "  box frame { width: 40; height: 30; }\n"
    "  text name { width: 40; height: 6; editable: true; value: \"?\"; }\n"
    "  line rule { x1: 0; y1: 7; x2: 40; y2: 7; }\n"
    "  image photo { y: 8; width: 10; height: 10; value: \"img/none.png\"; }\n"
    "  text code { y: 20; width: 40; height: 5; value: \"0\"; }\n"
    "  barcode bar { y: 25; width: 40; height: 5; value: \"0\"; }\n"
    "  circle mark { width: 2; height: 2; }\n"
    "}\n"
    "block empty { width: 10; height: 10; }\n";

class NewDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder_ / "prog");
    CreateDataGlobals((folder_ / "prog/tessora").string());
    ::setenv("XDG_STATE_HOME", (folder_.Path() / "state").c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("XDG_STATE_HOME");
    ReleaseDataGlobals();
  }
  std::string Layout(const std::string& name, const std::string& text = kLabels) {
    WriteBytes(folder_ / name, SjisCrLf(text));
    return folder_.SjisPath(name);
  }
  std::string Path(const std::string& name) const { return folder_.SjisPath(name); }
  // The line "layout=..." of a saved file.
  std::string SavedLayoutLine(const std::string& name) const {
    const std::string bytes = ReadBytes(folder_ / name);
    const std::size_t at = bytes.find("layout=");
    return at == std::string::npos ? std::string() : bytes.substr(at, bytes.find("\r\n", at) - at);
  }
  // Types value into the first block on the pages, as the in-place editor commits it.
  static void TypeIntoFirstBlock(const std::string& value) {
    const MPage& page = *gMapDB->GetPage(0);
    double x = 0, y = 0;
    MRect bounds;
    ASSERT_TRUE(page.EntryArea(1, 1, x, y, bounds));
    const MBlockInstance* block = page.EntryAt(1, 1)->Block();
    ASSERT_NE(block, nullptr);
    const MText& name = static_cast<const MText&>(*block->Class().FindChild("name"));
    // The name text of the block, as the in-place editor finds it by its place on the page.
    const MPageText text = gMapDB->TextAt(x + (name.Bounds.Left + name.Bounds.Right) / 2,
                                          y + (name.Bounds.Top + name.Bounds.Bottom) / 2);
    ASSERT_FALSE(text.IsFormText());
    SetTextValue(text, value);
  }

  doc_test::TempFolder folder_{"newdoc"};
};

}  // namespace

TEST_F(NewDocumentTest, StartsUntitledAndEmptyWithARowPerClass) {
  const MCommandReport report = NewDocument(Layout("work/labels.lay"));
  EXPECT_EQ(report.PageCount, 1);
  EXPECT_TRUE(HasDocument());
  EXPECT_TRUE(DocumentUntitled());
  EXPECT_FALSE(IsModified()) << "nothing to lose yet";
  EXPECT_FALSE(CanUndo());
  EXPECT_EQ(gMapFile->FileName(), "");
  EXPECT_EQ(gMapFile->LayoutName(), Path("work/labels.lay"));
  EXPECT_EQ(gMapDB->Count(), 0);
  EXPECT_EQ(gUnmapDB->Count(), 0);
  EXPECT_EQ(gTrashDB->Count(), 0);
  EXPECT_EQ(doc_test::DumpPages(*gMapDB), "eod* _");
  // Texts, images and barcodes, in element order; lines, boxes and circles carry no values.
  ASSERT_EQ(gMapFile->BlockFields().size(), 2u);
  EXPECT_EQ(gMapFile->BlockFields()[0], (Names{"label", "name", "photo", "code", "bar"}));
  EXPECT_EQ(gMapFile->BlockFields()[1], (Names{"empty"}));
  // The first save is offered beside the layout, under the layout's name.
  EXPECT_EQ(ProposedDocumentPath(), Path("work/labels.map"));
  // The document's folder is the layout's: a relative image name of a new block is found there.
  EXPECT_EQ(gIni->CurrentFolder(), Path("work"));
  InsertBlock("label");
  const MEntry* entry = gMapDB->GetPage(0)->EntryAt(1, 1);
  ASSERT_TRUE(entry != nullptr && entry->IsBlock());
  const MBlockInstance& block = *entry->Block();
  EXPECT_EQ(block.ImageFileName(block.Class().FindValueSlot("photo").child), Path("work/img/none.png"));
  EXPECT_TRUE(IsModified());
  EXPECT_TRUE(CanUndo());
}

TEST_F(NewDocumentTest, ALayoutThatDoesNotLoadChangesNothing) {
  // A document open first: it must survive every failed start.
  NewDocument(Layout("a/labels.lay"));
  InsertBlock("label");
  TypeIntoFirstBlock("kept");
  const std::string before = DocumentFileText();
  const std::string folder = gIni->CurrentFolder();

  struct Case {
    const char* name;
    const char* text;   // null: no file
    const char* error;  // the start of the message
  };
  const Case cases[] = {
      {"missing.lay", nullptr, "\""},
      {"broken.lay", "form {\n  box { x: 1 }\n}\n", "The loading error of \""},
      {"dup.lay", "form f {}\nblock f {}\n", "A name is duplicated (2)"},
      {"noform.lay", "block b { width: 1; height: 1; }\n", nullptr},
      {"nopoint.lay", "form f { box {} }\n", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path =
        c.text != nullptr ? Layout(std::string("b/") + c.name, c.text) : Path("b/missing.lay");
    try {
      NewDocument(path);
      ADD_FAILURE() << "no error";
    } catch (const MLayoutLoadError& e) {
      ASSERT_NE(c.error, nullptr) << e.what();
      EXPECT_EQ(std::string(e.what()).rfind(c.error, 0), 0u) << e.what();
    } catch (const base::Error& e) {
      EXPECT_EQ(c.error, nullptr) << "a page form is missing, not a load error: " << e.what();
    }
    EXPECT_TRUE(DocumentUntitled());
    EXPECT_EQ(DocumentFileText(), before);
    EXPECT_EQ(gIni->CurrentFolder(), folder);
    EXPECT_TRUE(IsModified());
  }
}

TEST_F(NewDocumentTest, TheFirstSaveNamesTheLayoutRelativeWhenItLiesInOrBelowTheFolder) {
  struct Case {
    const char* layout;
    const char* document;
    const char* written;  // null: the layout's full path
  };
  const Case cases[] = {
      {"shop/labels.lay", "shop/labels.map", "labels.lay"},
      {"shop/lay/labels.lay", "shop/labels.map", "lay/labels.lay"},
      {"shop/lay/deep/labels.lay", "shop/labels.map", "lay/deep/labels.lay"},
      {"other/labels.lay", "shop/labels.map", nullptr},
      {"labels.lay", "shop/labels.map", nullptr},
      // A folder whose name begins like the document's folder is not below it.
      {"shopping/labels.lay", "shop/labels.map", nullptr},
  };
  int serial = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layout);
    const std::string root = "case" + std::to_string(++serial) + "/";
    const std::string layout = Layout(root + c.layout);
    fs::create_directories(folder_ / (root + "shop"));
    NewDocument(layout);
    InsertBlock("label");
    TypeIntoFirstBlock("typed");
    // Prepared, the save changes nothing of the document.
    const MPreparedSave save = PrepareSave(Path(root + c.document));
    EXPECT_TRUE(DocumentUntitled());
    EXPECT_EQ(gMapFile->LayoutName(), layout);
    const std::string expected = c.written != nullptr ? std::string(c.written) : layout;
    EXPECT_EQ(save.LayoutName, expected);

    WriteSave(save);
    EXPECT_EQ(ProposedDocumentPath(), Path(root + c.document)) << "its own file from now on";
    EXPECT_FALSE(DocumentUntitled());
    EXPECT_FALSE(IsModified());
    EXPECT_EQ(gMapFile->FileName(), Path(root + c.document));
    EXPECT_EQ(gMapFile->LayoutName(), expected);
    EXPECT_EQ(gIni->CurrentFolder(), Path(root + "shop"));
    EXPECT_EQ(SavedLayoutLine(root + c.document), "layout=" + expected);

    // The file opens again, with the typed value.
    OpenDocument(Path(root + c.document));
    const MEntry* entry = gMapDB->GetPage(0)->EntryAt(1, 1);
    ASSERT_TRUE(entry != nullptr && entry->IsBlock());
    EXPECT_EQ(entry->Block()->GetElementValue("name"), "typed");
  }
}

TEST_F(NewDocumentTest, SaveAsAndANameSetFirstNameTheLayoutAlike) {
  const std::string layout = Layout("shop/lay/labels.lay");
  fs::create_directories(folder_ / "shop/out");
  // The window's way: a name first, then the save.
  NewDocument(layout);
  InsertBlock("label");
  gMapFile->SetFileName(Path("shop/a.map"));
  EXPECT_TRUE(DocumentUntitled()) << "a name alone does not make a file";
  SaveDocument();
  EXPECT_EQ(SavedLayoutLine("shop/a.map"), "layout=lay/labels.lay");
  // Later saves elsewhere write the name as the document holds it (as for any document).
  SaveDocumentAs(Path("shop/b.map"));
  EXPECT_EQ(SavedLayoutLine("shop/b.map"), "layout=lay/labels.lay");

  NewDocument(layout);
  EXPECT_THROW(SaveDocument(), base::Error) << "no file name yet";
  EXPECT_THROW(PrepareSave(), base::Error);
  EXPECT_THROW(SaveDocumentAs(Path("shop/missing/c.map")), base::Error);
  EXPECT_TRUE(DocumentUntitled()) << "a failed save leaves it untitled";
  EXPECT_EQ(gIni->CurrentFolder(), Path("shop/lay"));
  SaveDocumentAs(Path("shop/out/c.map"));
  EXPECT_EQ(SavedLayoutLine("shop/out/c.map"), "layout=" + layout);
}

TEST_F(NewDocumentTest, AnImportIntoTheUntitledDocumentIsUndoneWhole) {
  NewDocument(Layout("labels.lay"));
  const std::string empty = DocumentFileText();
  ImportCsv(PlanCsvImport(*gLayout, *gMapFile, "label", base::ReadCsv("name,code\nA,1\nB,2\n")));
  EXPECT_EQ(ListNames(*gUnmapDB), (Names{"A", "B"}));
  AutoMapping();
  EXPECT_EQ(gMapDB->Count(), 2);
  UndoChange();
  UndoChange();
  EXPECT_EQ(gUnmapDB->Count(), 0);
  EXPECT_EQ(DocumentFileText(), empty);
  EXPECT_FALSE(IsModified()) << "back where it started";
  RedoChange();
  EXPECT_EQ(gUnmapDB->Count(), 2);
  EXPECT_TRUE(IsModified());
}

TEST_F(NewDocumentTest, TheRecoveryCopyOfAnUntitledDocumentComesBackUntitled) {
  const std::string layout = Layout("work/labels.lay");
  NewDocument(layout);
  InsertBlock("label");
  TypeIntoFirstBlock("recovered");
  const std::string copy = DocumentFileText();
  EXPECT_NE(copy.find("layout=" + layout + "\r\n"), std::string::npos) << "the layout by full path";
  WriteUntitledRecoveryCopy(copy);
  EXPECT_EQ(ReadBytes(fs::path(base::SjisToUtf8(UntitledRecoveryPath()))), copy);

  // This editor still runs: its own copy is not offered.
  EXPECT_TRUE(FindUntitledRecoveryCopies().empty());

  ResetDocument();
  gIni->SetCurrentFolder(Path("prog/tessora"));
  OpenRecoveredUntitled(copy);
  EXPECT_TRUE(DocumentUntitled());
  EXPECT_TRUE(IsModified());
  EXPECT_EQ(gMapFile->FileName(), "");
  EXPECT_EQ(gIni->CurrentFolder(), Path("work"));
  EXPECT_EQ(DocumentFileText(), copy);
  RemoveUntitledRecoveryCopy();
  EXPECT_FALSE(fs::exists(base::SjisToUtf8(UntitledRecoveryPath())));

  // A copy whose layout is gone fails as an open does, in the no-document state.
  fs::remove(folder_ / "work/labels.lay");
  EXPECT_THROW(OpenRecoveredUntitled(copy), MLayoutLoadError);
  EXPECT_FALSE(HasDocument());
}

TEST(UntitledRecoveryCopies, OnlyThoseOfEndedEditorsAreOfferedNewestFirst) {
  doc_test::TempFolder folder("untitled");
  ::setenv("XDG_STATE_HOME", (folder.Path() / "state").c_str(), 1);
  const fs::path copies = folder.Path() / "state/tessora";

  // An ended process: a child that has exited and been reaped.
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ASSERT_GT(child, 0);
  ::waitpid(child, nullptr, 0);
  const std::string ended = "untitled-" + std::to_string(child) + "-12345.recover";
  // This process under another start time: an earlier process with the same id.
  const std::string reused = "untitled-" + std::to_string(::getpid()) + "-1.recover";
  WriteBytes(copies / ended, "older");
  WriteBytes(copies / reused, "newer");
  WriteBytes(copies / "untitled-9-1.recover", "");          // empty: nothing to offer
  WriteBytes(copies / "untitled-x-1.recover", "not ours");  // not a name the editor makes
  WriteBytes(copies / "0123456789abcdef-a.map.recover", "a named document's");
  WriteUntitledRecoveryCopy("mine, still running");
  const struct timeval past[2] = {{0, 0}, {::time(nullptr) - 100, 0}};
  ASSERT_EQ(::utimes((copies / ended).c_str(), past), 0);

  const std::vector<MRecoveryCopy> found = FindUntitledRecoveryCopies();
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].Bytes, "newer");
  EXPECT_EQ(found[1].Bytes, "older");
  EXPECT_EQ(found[1].Path, base::Utf8ToSjis((copies / ended).string()));

  RemoveRecoveryFile(found[1].Path);
  EXPECT_FALSE(fs::exists(copies / ended));
  // Only files of the folder itself are removed.
  WriteBytes(folder.Path() / "state/outside.recover", "x");
  RemoveRecoveryFile(base::Utf8ToSjis((copies / "../outside.recover").string()));
  RemoveRecoveryFile(base::Utf8ToSjis((folder.Path() / "state/outside.recover").string()));
  EXPECT_TRUE(fs::exists(folder.Path() / "state/outside.recover"));
  ::unsetenv("XDG_STATE_HOME");
}
