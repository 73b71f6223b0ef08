// The mapping commands of the window on the offscreen platform: automatic and same-position mapping,
// inserting blocks and page breaks, copy and paste by the focused control through the Qt clipboard,
// when copy and paste are enabled, and the two dialogs. Dialogs are answered by finding them as the
// active modal widget.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "WindowTestSupport.h"
#include "app/AppGlobals.h"
#include "app/dialogs/VersionDialog.h"
#include "app/platform/ErrorBox.h"
#include "app/platform/QtClipboard.h"
#include "app/window/MainWindow.h"
#include "data/DocumentCommands.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"
#include "support/DocumentTestSupport.h"

namespace {

using doc_test::DumpPages;
using doc_test::ListNames;
using doc_test::Sequence;
using doc_test::Sjis;
using doc_test::SjisCrLf;
using Names = std::vector<std::string>;

// The block format's bytes on the system clipboard, or "(none)".
std::string ClipboardBlock() {
  std::string bytes;
  return MQtClipboard().GetData(kMapBlockFormat, bytes) ? bytes : std::string("(none)");
}

void PutBlock(const std::string& bytes) { MQtClipboard().SetData(kMapBlockFormat, bytes); }

// The grid layout without its second class: a layout of one block class.
std::string OneClassLayout() {
  std::string text = doc_test::GridLayoutText({{"all", "all", "all"}, {"all", "all", "all"}});
  text.erase(text.find("block feature"));
  return text;
}

// While it lives, answers the first modal dialog that opens (it opens inside exec, so it is looked
// for from a timer).
class DialogAnswer {
 public:
  explicit DialogAnswer(std::function<void(QDialog*)> answer) : answer_(std::move(answer)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      timer_.stop();
      ++seen;
      answer_(dialog);
    });
    timer_.start(5);
  }
  int seen = 0;

 private:
  std::function<void(QDialog*)> answer_;
  QTimer timer_;
};

// The window fixture with a second layout of one block class beside the shop, and the clipboard
// emptied after each test.
class MappingCommands : public window_test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    doc_test::WriteBytes(folder_ / "one.lay", SjisCrLf(OneClassLayout()));
  }
  void TearDown() override {
    WindowTest::TearDown();
    QGuiApplication::clipboard()->clear();
  }

  // A document of rows (UTF-8 "map_data", "unmap_data", "trash_data" lines) on layout.
  std::string WriteMap(const std::string& name, const std::string& layout, const Names& placed,
                       const Names& unplaced = {}, const Names& trash = {},
                       const std::string& fields = "item,name,code,kana,biko") {
    std::string text = "[basic_info]\nlayout=" + layout + "\n\n[block_field]\n" + fields + "\n\n[map_data]\n";
    for (const std::string& row : placed) text += row + "\n";
    text += "\n[unmap_data]\n";
    for (const std::string& row : unplaced) text += row + "\n";
    text += "\n[trash_data]\n";
    for (const std::string& row : trash) text += row + "\n";
    doc_test::WriteBytes(folder_ / name, SjisCrLf(text));
    return folder_.SjisPath(name);
  }

  TfmMain& Open(const std::string& sjisPath) {
    if (!window_) {
      window_ = std::make_unique<TfmMain>(QStringList{}, QString::fromStdString(folder_.Path().string()));
      window_->resize(1000, 700);
      window_->show();
      EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
      window_->activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }
    EXPECT_TRUE(window_->OpenDocument(sjisPath));
    ClearModified();
    return *window_;
  }
  TfmMain& OpenShop() { return Open(folder_.SjisPath("shop.map")); }

  QAction* Action(const char* name) const { return Find<QAction>(name); }
  QString Status(int panel) const {
    return Find<QLabel>(QString("StatusPanel%1").arg(panel).toLatin1())->text();
  }
  void Focus(const char* name) {
    QWidget* widget = window_->findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_NE(widget, nullptr) << name;
    widget->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), widget) << name;
  }
  // Moves the page cursor onto the entry whose short name is face.
  void CursorTo(const std::string& face) {
    gMapDB->CursorFirst();
    for (int i = 0; i < 100 && doc_test::ShortName(*gMapDB->Current()) != face; ++i) gMapDB->CursorNext();
    ASSERT_EQ(doc_test::ShortName(*gMapDB->Current()), face);
  }
  std::string CursorEntry() const { return doc_test::ShortName(*gMapDB->Current()); }
};

}  // namespace

TEST_F(MappingCommands, AutoMappingPlacesTheVisibleBlocksBeforeTheCursor) {
  struct Case {
    const char* search;
    Names placed;  // what stands between b7 and b8 afterwards
    Names unplaced;
    const char* unplacedStatus;
  };
  const std::vector<Case> cases = {
      {"", {"tea1", "cup", "tea2", "pot"}, {}, "未配置 : 0/0"},
      {"TEA", {"tea1", "tea2"}, {"cup", "pot"}, "未配置 : 0/2"},
      {"nothing", {}, {"tea1", "cup", "tea2", "pot"}, "未配置 : 0/4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.search);
    TfmMain& w = OpenShop();
    auto* search = Find<QLineEdit>("edtUnmapSearch");
    search->setText(c.search);
    w.ApplyPaneSearch(true);
    // The cursor in the middle of page 2.
    gMapDB->GoToPage(2);
    gMapDB->CursorNext();
    ASSERT_EQ(CursorEntry(), "b8");
    Action("miAutoMapping")->trigger();

    Names expected;
    for (int i = 1; i <= 14; ++i) {
      if (i == 8) expected.insert(expected.end(), c.placed.begin(), c.placed.end());
      expected.push_back("b" + std::to_string(i));
    }
    expected.push_back("eod");
    EXPECT_EQ(Sequence(*gMapDB), expected);
    EXPECT_EQ(ListNames(*gUnmapDB), c.unplaced);
    EXPECT_EQ(CursorEntry(), "b8") << "the cursor stays on its entry, which moved on";
    EXPECT_EQ(Status(1), QString("配置 : %1").arg(14 + c.placed.size()));
    EXPECT_EQ(Status(2), c.unplacedStatus);
    EXPECT_EQ(IsModified(), !c.placed.empty()) << "with nothing visible nothing happens";
    EXPECT_EQ(Find<QLineEdit>("edtNowPage")->text(), c.placed.size() == 4 ? "2/4" : "2/3");
  }
}

TEST_F(MappingCommands, SameMappingFollowsTheReference) {
  // The document: placed p1 (k1), p2 (k2), a line break, p3 (k1); unplaced u1 (k2), u2 (k9); the
  // trash t1 (k1), which is never taken.
  const std::string doc =
      WriteMap("doc.map", "shop.lay", {"item,p1,k1,,", "item,p2,k2,,", "newline", "item,p3,k1,,"},
               {"item,u1,k2,,", "item,u2,k9,,"}, {"item,t1,k1,,"});
  // The reference lists its fields in another order; it names k1 three times, k2 twice, k3 (which no
  // block has), and holds a page break and a blank.
  WriteMap("ref.map", "elsewhere.lay",
           {"item,k1,x", "item,k1,x", "item,k1,x", "newpage", "item,k2,x", "item,k3,x", "space", "item,k2,x"},
           {}, {}, "item,code,name");
  TfmMain& w = Open(doc);
  Find<QLineEdit>("edtUnmapSearch")->setText("u2");
  w.ApplyPaneSearch(true);
  QStringList titles;
  w.ChooseFileForTest = [&](bool save, const QString& title, const QString&) {
    EXPECT_FALSE(save);
    titles << title;
    return QString::fromStdString((folder_ / "ref.map").string());
  };
  Action("miSameMapping")->trigger();

  EXPECT_EQ(titles, QStringList{"参照マップファイルの選択"});
  // Equal keys go in unplaced-list order: the blocks unplaced before, then those taken off the pages
  // in reading order. The document's line break is gone; the reference's page break holds.
  EXPECT_EQ(DumpPages(*gMapDB), "p1* p3 sp / np _ _ | u1 sp sp / p2 eod _");
  EXPECT_EQ(ListNames(*gUnmapDB), Names{"u2"});
  EXPECT_EQ(ListNames(*gTrashDB), Names{"t1"});
  EXPECT_EQ(Find<QLineEdit>("edtUnmapSearch")->text(), "") << "the unplaced search is cleared";
  EXPECT_EQ(Status(1), "配置 : 4");
  EXPECT_EQ(Status(2), "未配置 : 1/1");
  EXPECT_EQ(Find<QLineEdit>("edtNowPage")->text(), "1/2");
  EXPECT_TRUE(messages_.empty());

  // The open command asks with its own title again.
  w.AskSaveForTest = [] { return int(QMessageBox::No); };
  w.ChooseFileForTest = [&](bool, const QString& title, const QString&) {
    titles << title;
    return QString();
  };
  Action("miOpen")->trigger();
  EXPECT_EQ(titles.size(), 2);
  EXPECT_NE(titles.back(), "参照マップファイルの選択");
}

TEST_F(MappingCommands, SameMappingThatCannotGoOnLeavesThePagesAsTheyWere) {
  struct Case {
    const char* name;
    std::function<QString()> choose;  // the file chosen in the dialog
    bool error;
  };
  const std::vector<Case> cases = {
      {"cancelled", [] { return QString(); }, false},
      {"missing", [this] { return QString::fromStdString((folder_ / "none.map").string()); }, true},
      {"a folder", [this] { return QString::fromStdString(folder_.Path().string()); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    messages_.clear();
    TfmMain& w = OpenShop();
    Find<QLineEdit>("edtUnmapSearch")->setText("tea");
    w.ApplyPaneSearch(true);
    const std::string pages = DumpPages(*gMapDB);
    w.ChooseFileForTest = [&](bool, const QString&, const QString&) { return c.choose(); };
    w.SameMapping();
    EXPECT_EQ(DumpPages(*gMapDB), pages);
    EXPECT_EQ(ListNames(*gUnmapDB), (Names{"tea1", "cup", "tea2", "pot"}));
    EXPECT_EQ(gUnmapDB->VisibleCount(), 2) << "the search stays";
    EXPECT_EQ(Find<QLineEdit>("edtUnmapSearch")->text(), "tea");
    EXPECT_FALSE(IsModified());
    ASSERT_EQ(messages_.size(), c.error ? 1u : 0u);
    if (c.error) {
      EXPECT_TRUE(messages_[0].second) << "the standard error box";
    }
  }
}

TEST_F(MappingCommands, InsertBlockAsksForTheClassOnlyWhenThereAreSeveral) {
  struct Case {
    const char* name;
    const char* layout;
    std::function<void(QDialog*)> answer;  // null: no dialog may open
    const char* inserted;                  // the new entry before b2; null: nothing inserted
  };
  const auto choose = [](int row, bool ok) {
    return [row, ok](QDialog* dialog) {
      auto* list = dialog->findChild<QListWidget*>("lbxBlocks");
      if (row >= 0) list->setCurrentRow(row);
      QTest::mouseClick(dialog->findChild<QPushButton*>(ok ? "btnOK" : "btnCancel"), Qt::LeftButton);
    };
  };
  const std::vector<Case> cases = {
      {"one class", "one.lay", nullptr, "?"},
      {"first class", "shop.lay", choose(-1, true), "?"},
      {"second class", "shop.lay", choose(1, true), "F"},
      {"enter", "shop.lay",
       [](QDialog* d) {
         QTest::keyClick(d->findChild<QListWidget*>("lbxBlocks"), Qt::Key_Down);
         QTest::keyClick(d, Qt::Key_Return);
       },
       "F"},
      {"cancelled", "shop.lay", choose(1, false), nullptr},
      {"escape", "shop.lay", [](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TfmMain& w = Open(WriteMap(std::string(c.name) + ".map", c.layout, {"item,b1,c1,,", "item,b2,c2,,"}));
    CursorTo("b2");
    DialogAnswer answer(c.answer ? c.answer : [](QDialog* d) { d->reject(); });
    Action("miInsertBlock")->trigger();
    QTest::qWait(30);  // a dialog that should not have opened would have been seen by now
    EXPECT_EQ(answer.seen, c.answer ? 1 : 0);
    Names expected{"b1"};
    if (c.inserted != nullptr) expected.push_back(c.inserted);
    expected.insert(expected.end(), {"b2", "eod"});
    EXPECT_EQ(Sequence(*gMapDB), expected);
    EXPECT_EQ(CursorEntry(), "b2");
    EXPECT_EQ(Status(1), QString("配置 : %1").arg(expected.size() - 1));
    (void)w;
  }
}

TEST_F(MappingCommands, PageBreakStartsTheNextPageAtTheCursorEntry) {
  TfmMain& w = OpenShop();
  CursorTo("b2");
  Focus("pnlMap");
  QTest::keyClick(Find<QWidget>("pnlMap"), Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(DumpPages(*gMapDB).substr(0, 24), "b1 np _ / _ _ _ | b2* b3");
  EXPECT_EQ(gMapDB->CurrentPage(), 2);
  EXPECT_EQ(gMapDB->CurrentRow(), 1);
  EXPECT_EQ(gMapDB->CurrentColumn(), 1);
  EXPECT_EQ(Find<QLineEdit>("edtNowPage")->text(), "2/4");
  EXPECT_EQ(Status(1), "配置 : 14") << "a page break is no block";
  EXPECT_TRUE(IsModified());
  (void)w;
}

TEST_F(MappingCommands, CopyAndPasteGoByTheFocusedControl) {
  struct Case {
    const char* focus;
    const char* copied;  // the clipboard after copy (b2 at the cursor, cup selected); null: unchanged
    Names pages;         // after pasting "item,clip,k0,,"
    Names unplaced;
  };
  const Names pagesBefore{"b1", "b2", "b3", "eod"};
  const Names unplacedBefore{"tea1", "cup", "tea2"};
  const std::vector<Case> cases = {
      {"pnlMap", "item,b2,c2,,", {"b1", "clip", "b2", "b3", "eod"}, unplacedBefore},
      {"pnlUnmap", "item,cup,u2,,", pagesBefore, {"tea1", "clip", "cup", "tea2"}},
      {"pnlTrash", nullptr, pagesBefore, unplacedBefore},
      {"edtUnmapSearch", nullptr, pagesBefore, unplacedBefore},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.focus);
    TfmMain& w = Open(WriteMap(std::string(c.focus) + ".map", "shop.lay",
                               {"item,b1,c1,,", "item,b2,c2,,", "item,b3,c3,,"},
                               {"item,tea1,u1,,", "item,cup,u2,,", "item,tea2,u3,,"}, {"item,old,t1,,"}));
    CursorTo("b2");
    gUnmapDB->Select(1);
    Focus(c.focus);
    PutBlock("sentinel");
    w.copyToClipboard();
    EXPECT_EQ(ClipboardBlock(), c.copied != nullptr ? Sjis(c.copied) : "sentinel");

    PutBlock("item,clip,k0,,");
    w.PasteFromClipboard();
    EXPECT_EQ(Sequence(*gMapDB), c.pages);
    EXPECT_EQ(ListNames(*gUnmapDB), c.unplaced);
    EXPECT_EQ(ListNames(*gTrashDB), Names{"old"}) << "the trash takes part in neither";
    EXPECT_EQ(Status(1), QString("配置 : %1").arg(c.pages.size() - 1));
    EXPECT_EQ(Status(2), QString("未配置 : %1/%1").arg(c.unplaced.size()));
    if (c.unplaced != unplacedBefore) {
      EXPECT_EQ(doc_test::ShortName(*gUnmapDB->Current()), "cup")
          << "the selection stays on the block it was on";
    }
    if (c.pages != pagesBefore) {
      EXPECT_EQ(CursorEntry(), "b2");
    }
  }
}

TEST_F(MappingCommands, ACopiedLineBreakPastesOnThePageButNotIntoThePane) {
  TfmMain& w = Open(WriteMap("nl.map", "shop.lay",
                             {"item,b1,c1,,", "item,b2,c2,,", "newline", "item,b3,c3,,", "item,b4,c4,,"},
                             {"item,u1,k1,,"}));
  Focus("pnlMap");
  CursorTo("nl");
  Action("miCopy")->trigger();
  EXPECT_EQ(ClipboardBlock(), "newline");
  CursorTo("b4");
  w.UpdateEditCommands();
  ASSERT_TRUE(Action("miPaste")->isEnabled());
  Action("miPaste")->trigger();
  EXPECT_EQ(Sequence(*gMapDB), (Names{"b1", "b2", "nl", "b3", "nl", "b4", "eod"}));
  EXPECT_EQ(CursorEntry(), "b4");
  EXPECT_EQ(gMapDB->CurrentPage(), 2) << "the line break ended the last row, so b4 starts page 2";

  ClearModified();
  Focus("pnlUnmap");
  Action("miPaste")->trigger();
  EXPECT_EQ(ListNames(*gUnmapDB), Names{"u1"});
  EXPECT_FALSE(IsModified());

  // At the end of the data there is nothing to copy.
  Focus("pnlMap");
  CursorTo("eod");
  w.UpdateEditCommands();
  EXPECT_FALSE(Action("miCopy")->isEnabled());
  PutBlock("sentinel");
  w.copyToClipboard();
  EXPECT_EQ(ClipboardBlock(), "sentinel");
}

TEST_F(MappingCommands, ABlockKeepsItsValuesInAnotherDocument) {
  // Two documents of the same layout that list the same fields; the memo's lines each end in "<br>"
  // when written.
  const std::string from = WriteMap("from.map", "shop.lay", {"item,品名,コード,かな,\"メモ,1<br>メモ2\""});
  const std::string to = WriteMap("to.map", "shop.lay", {"item,z,zz,,"});
  TfmMain& w = Open(from);
  Focus("pnlMap");
  Action("miCopy")->trigger();
  EXPECT_EQ(ClipboardBlock(), Sjis("item,品名,コード,かな,\"メモ,1<br>メモ2<br>\""));
  Open(to);
  Focus("pnlMap");
  Action("miPaste")->trigger();
  ASSERT_TRUE(w.Run([] { ::SaveDocument(); }));
  const std::string saved = doc_test::ReadBytes(folder_ / "to.map");
  EXPECT_NE(saved.find(SjisCrLf("[map_data]\nitem,品名,コード,かな,\"メモ,1<br>メモ2<br>\"\nitem,z,zz,,\n")),
            std::string::npos)
      << base::SjisToUtf8(saved);
}

TEST_F(MappingCommands, CopyAndPasteAreEnabledByModeFocusAndClipboard) {
  struct Case {
    const char* focus;
    const char* cursor;
    bool block;  // the clipboard holds a block (else plain text only)
    bool copy;
    bool paste;
  };
  const std::vector<Case> cases = {
      {"pnlMap", "b1", true, true, true},     {"pnlMap", "b1", false, true, false},
      {"pnlMap", "eod", true, false, true},   {"pnlUnmap", "b1", true, true, true},
      {"pnlUnmap", "b1", false, true, false}, {"pnlTrash", "b1", true, false, false},
      {"edtNowPage", "b1", true, true, true},
  };
  TfmMain& w = OpenShop();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.focus) + " " + c.cursor + (c.block ? " block" : " text"));
    CursorTo(c.cursor);
    Focus(c.focus);
    // The clipboard's change notice runs the update: no explicit call.
    if (c.block)
      PutBlock("item,x,y,,");
    else
      QGuiApplication::clipboard()->setText("item,x,y,,");
    EXPECT_EQ(Action("miCopy")->isEnabled(), c.copy);
    EXPECT_EQ(Action("miPaste")->isEnabled(), c.paste);
    EXPECT_EQ(Find<QWidget>("btnCopy")->isEnabled(), c.copy) << "the tool button follows";
    EXPECT_EQ(Find<QWidget>("btnPaste")->isEnabled(), c.paste);
  }
  // Entering the page runs the update too.
  PutBlock("item,x,y,,");
  Focus("pnlTrash");
  EXPECT_FALSE(Action("miPaste")->isEnabled());
  Focus("pnlMap");
  EXPECT_TRUE(Action("miPaste")->isEnabled());
  // Without a document both are off whatever the clipboard holds.
  w.ResetDocument();
  w.UpdateEditCommands();
  EXPECT_FALSE(Action("miCopy")->isEnabled());
  EXPECT_FALSE(Action("miPaste")->isEnabled());
}

TEST_F(MappingCommands, TheAboutCommandShowsTheBoxModally) {
  OpenShop();
  QString title;
  DialogAnswer answer([&](QDialog* dialog) {
    title = dialog->windowTitle();
    EXPECT_NE(qobject_cast<TdlgVersion*>(dialog), nullptr);
    EXPECT_EQ(dialog->parentWidget(), window_.get());
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  Action("miAbout")->trigger();
  EXPECT_EQ(answer.seen, 1);
  EXPECT_EQ(title, "バージョン情報");
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
