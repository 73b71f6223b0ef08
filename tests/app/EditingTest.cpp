// Editing in the real window offscreen: the keys of the page and the panes, drops from the panes and
// on the page, panning, and in-place text editing with its commit paths.
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextEdit>

#include "WindowTestSupport.h"
#include "layout/Form.h"
#include "layout/Shapes.h"

namespace {

using Editing = window_test::WindowTest;

// The page as "b1 b2 b3 / b4 b5 b6" with the cursor marked by "*", for one page.
std::string PageText(int page) {
  std::string text;
  const MPage& onPage = *gMapDB->GetPage(page - 1);
  for (int r = 1; r <= onPage.RowCount(); ++r) {
    if (r > 1) text += " /";
    for (int c = 1; c <= onPage.PointCount(r); ++c) {
      const MEntry* entry = onPage.EntryAt(r, c);
      std::string name = entry == nullptr   ? "_"
                         : entry->IsBlock() ? entry->Block()->FaceText()
                                            : std::string(entry->Name());
      if (page == gMapDB->CurrentPage() && r == gMapDB->CurrentRow() && c == gMapDB->CurrentColumn())
        name += "*";
      text += (text.empty() ? "" : " ") + name;
    }
  }
  return text;
}

// A drop from a source ("page", "unmap", "trash") at a point of the page's paint box.
bool Drop(QWidget* paintBox, const char* source, QPoint at) {
  QMimeData data;
  data.setData("application/x-tessora-drag-source", source);
  QDragEnterEvent enter(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(paintBox, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(at), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(paintBox, &drop);
  return true;
}

// A move drag on the page as the mouse makes it: pressed at from, moved past the drag distance (and
// back when from is to), released at to.
void MoveDrag(QWidget* paintBox, QPoint from, QPoint to) {
  QTest::mousePress(paintBox, Qt::LeftButton, Qt::NoModifier, from);
  const QPoint away = from + QPoint(QApplication::startDragDistance() + 3, 0);
  for (const QPoint at : {away, (away + to) / 2, to}) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), paintBox->mapToGlobal(QPointF(at)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(paintBox, &move);
  }
  QTest::mouseRelease(paintBox, Qt::LeftButton, Qt::NoModifier, to);
}

}  // namespace

TEST_F(Editing, KeysOnThePage) {
  struct Case {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool textMode;
    const char* page1;  // after the key, the cursor starting on b2
    int unplaced;
  };
  const std::vector<Case> cases = {
      {"right", Qt::Key_Right, Qt::NoModifier, false, "b1 b2 b3* / b4 b5 b6", 4},
      {"l", Qt::Key_L, Qt::NoModifier, false, "b1 b2 b3* / b4 b5 b6", 4},
      {"shift+right does nothing", Qt::Key_Right, Qt::ShiftModifier, false, "b1 b2* b3 / b4 b5 b6", 4},
      {"left", Qt::Key_H, Qt::NoModifier, false, "b1* b2 b3 / b4 b5 b6", 4},
      {"down", Qt::Key_J, Qt::NoModifier, false, "b1 b2 b3 / b4 b5* b6", 4},
      {"end", Qt::Key_End, Qt::NoModifier, false, "b1 b2 b3* / b4 b5 b6", 4},
      {"dollar", Qt::Key_Dollar, Qt::ShiftModifier, false, "b1 b2 b3* / b4 b5 b6", 4},
      {"home", Qt::Key_0, Qt::NoModifier, false, "b1* b2 b3 / b4 b5 b6", 4},
      {"space", Qt::Key_Space, Qt::NoModifier, false, "b1 space b2* / b3 b4 b5", 4},
      {"enter", Qt::Key_Return, Qt::NoModifier, false, "b1 newline _ / b2* b3 b4", 4},
      {"ctrl+enter is a line break too", Qt::Key_Return, Qt::ControlModifier, false,
       "b1 newline _ / b2* b3 b4", 4},
      {"shift+enter breaks the page", Qt::Key_Return, Qt::ShiftModifier, false, "b1 newpage _ / _ _ _", 4},
      {"delete to the unplaced list", Qt::Key_Delete, Qt::NoModifier, false, "b1 b3* b4 / b5 b6 b7", 5},
      {"backspace", Qt::Key_Backspace, Qt::NoModifier, false, "b2* b3 b4 / b5 b6 b7", 5},
      {"insert the selected unplaced block", Qt::Key_Insert, Qt::NoModifier, false, "b1 tea1 b2* / b3 b4 b5",
       3},
      {"keys do nothing in text input mode", Qt::Key_Delete, Qt::NoModifier, true, "b1 b2* b3 / b4 b5 b6", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TfmMain& w = OpenShop();
    QWidget* page = w.findChild<QWidget*>("pnlMap");
    page->setFocus();
    gMapDB->CursorNext();
    if (c.textMode) w.ChangeEditMode(true);
    QTest::keyClick(page, c.key, c.modifiers);
    EXPECT_EQ(PageText(1), c.page1);
    EXPECT_EQ(gUnmapDB->Count(), c.unplaced);
    EXPECT_EQ(Text("StatusPanel2"), QString("未配置 : %1/%1").arg(c.unplaced));
  }
  // Backspace at the very first point does nothing; Ctrl+F and Ctrl+B turn pages in either mode.
  TfmMain& w = OpenShop();
  QWidget* page = w.findChild<QWidget*>("pnlMap");
  page->setFocus();
  QTest::keyClick(page, Qt::Key_Backspace);
  EXPECT_EQ(PageText(1), "b1* b2 b3 / b4 b5 b6");
  w.ChangeEditMode(true);
  page->setFocus();
  QTest::keyClick(page, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(Text("edtNowPage"), "2/3");
  QTest::keyClick(page, Qt::Key_B, Qt::ControlModifier);
  EXPECT_EQ(Text("edtNowPage"), "1/3");
}

TEST_F(Editing, PaneKeysMoveTheSelectionTrashAndDeleteForGood) {
  TfmMain& w = OpenShop();
  QWidget* unmap = w.findChild<QWidget*>("pnlUnmap");
  w.findChild<QTabWidget*>("pcUnmap")->setCurrentIndex(0);
  unmap->setFocus();
  QTest::keyClick(unmap, Qt::Key_Down);
  EXPECT_EQ(gUnmapDB->Selection(), 1);
  QTest::keyClick(unmap, Qt::Key_X);
  EXPECT_EQ(gUnmapDB->Count(), 3);
  EXPECT_EQ(gTrashDB->Count(), 2);
  EXPECT_EQ(Text("StatusPanel3"), "ごみ箱 : 2/2");

  w.findChild<QTabWidget*>("pcUnmap")->setCurrentIndex(1);
  QWidget* trash = w.findChild<QWidget*>("pnlTrash");
  trash->setFocus();
  std::vector<QString> asked;
  bool yes = false;
  w.ConfirmForTest = [&](const QString& question) {
    asked.push_back(question);
    return yes;
  };
  QTest::keyClick(trash, Qt::Key_Delete);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], "'cup'を削除しますか？");
  EXPECT_EQ(gTrashDB->Count(), 2) << "No keeps the block";
  yes = true;
  QTest::keyClick(trash, Qt::Key_Delete);
  QTest::keyClick(trash, Qt::Key_Delete);
  EXPECT_EQ(gTrashDB->Count(), 0);
  EXPECT_EQ(QApplication::focusWidget(), w.findChild<QWidget*>("pnlMap"))
      << "an empty pane gives the focus away";
  trash->setFocus();
  EXPECT_NE(QApplication::focusWidget(), trash);
  EXPECT_TRUE(IsModified());
}

TEST_F(Editing, DropsFromThePanesAndOnThePage) {
  TfmMain& w = OpenShop();
  QWidget* paintBox = w.findChild<QWidget*>("pbxMap");
  const auto pixel = [](double x, double y) { return gMapCanvas->PointToPixels(x, y) + QPoint(2, 2); };
  // Point (r, c) of the grid stands at x 20c, y 30r.
  EXPECT_TRUE(Drop(paintBox, "unmap", pixel(40, 30)));
  EXPECT_EQ(PageText(1), "b1 tea1 b2* / b3 b4 b5");
  gTrashDB->Select(0);
  EXPECT_TRUE(Drop(paintBox, "trash", pixel(20, 60)));
  EXPECT_EQ(PageText(1), "b1 tea1 b2 / old b3* b4");
  EXPECT_EQ(Text("StatusPanel1"), "配置 : 16");
  // A move on the page with the mouse: from b1's point to b4's place; refused on its own point.
  MoveDrag(paintBox, pixel(20, 30), pixel(20, 30));
  EXPECT_EQ(PageText(1), "b1* tea1 b2 / old b3 b4") << "dropped on its own point nothing moves";
  MoveDrag(paintBox, pixel(20, 30), pixel(40, 60));
  EXPECT_EQ(PageText(1), "tea1 b2 old / b1 b3* b4") << "b1 now stands before the entry it was dropped on";
  // In text input mode a pane's block is refused; another program's data always.
  w.ChangeEditMode(true);
  EXPECT_FALSE(Drop(paintBox, "unmap", pixel(40, 30)));
  w.ChangeEditMode(false);
  EXPECT_FALSE(Drop(paintBox, "other", pixel(40, 30)));
  EXPECT_EQ(gUnmapDB->Count(), 3);
}

TEST_F(Editing, PanningKeepsTheGrabbedPointUnderTheMouse) {
  TfmMain& w = OpenShop();
  w.ViewRealClick();
  for (int i = 0; i < 3; ++i) w.ZoomIn();
  QWidget* paintBox = w.findChild<QWidget*>("pbxMap");
  auto* box = w.findChild<QScrollArea*>("sbxMap");
  ASSERT_GT(box->verticalScrollBar()->maximum(), 50);
  QTest::mousePress(paintBox, Qt::RightButton, Qt::NoModifier, QPoint(300, 300));
  QMouseEvent move(QEvent::MouseMove, QPointF(260, 250), paintBox->mapToGlobal(QPointF(260, 250)),
                   Qt::NoButton, Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(paintBox, &move);
  EXPECT_EQ(box->horizontalScrollBar()->value(), 40);
  EXPECT_EQ(box->verticalScrollBar()->value(), 50);
  QTest::mouseRelease(paintBox, Qt::RightButton, Qt::NoModifier, QPoint(260, 250));
  EXPECT_FALSE(IsModified());
}

TEST_F(Editing, InPlaceEditingCommitsByEnterFocusClickAndModeChange) {
  TfmMain& w = OpenShop();
  QWidget* paintBox = w.findChild<QWidget*>("pbxMap");
  auto* editor = w.findChild<QTextEdit*>("mmInplaceEdit");
  w.ChangeEditMode(true);
  // The form's editable text "title" stands at the top of the page.
  const MText* title = As<MText>(gLayout->Forms.front()->FindChild("title"));
  ASSERT_NE(title, nullptr);
  const auto titleOn = [](int page) { return gMapDB->GetPage(page - 1)->FormText("title"); };
  const QPoint onTitle = gMapCanvas->RectToPixels(title->Bounds).center();
  QTest::mouseClick(paintBox, Qt::LeftButton, Qt::NoModifier, onTitle);
  ASSERT_NE(w.EditingText(), nullptr);
  EXPECT_TRUE(w.EditingText().IsFormText());
  EXPECT_EQ(w.EditingText()->Name, "title");
  EXPECT_EQ(w.EditingText().Page(), gMapDB->GetPage(0));
  EXPECT_TRUE(editor->isVisible());
  editor->selectAll();
  QTest::keyClicks(editor, "Spring");
  QTest::keyClick(editor, Qt::Key_Return);  // a single-line text commits on Enter
  EXPECT_EQ(w.EditingText(), nullptr);
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(titleOn(1), "Spring");
  EXPECT_EQ(titleOn(3), "Spring") << "later pages follow";
  EXPECT_TRUE(IsModified());

  // A click elsewhere and switching to mapping mode commit as well.
  QTest::mouseClick(paintBox, Qt::LeftButton, Qt::NoModifier, onTitle);
  editor->moveCursor(QTextCursor::End);
  QTest::keyClicks(editor, "!");
  QTest::mouseClick(paintBox, Qt::LeftButton, Qt::NoModifier, gMapCanvas->PointToPixels(150, 150));
  EXPECT_EQ(w.EditingText(), nullptr);
  EXPECT_EQ(titleOn(1), "Spring!");
  QTest::mouseClick(paintBox, Qt::LeftButton, Qt::NoModifier, onTitle);
  editor->selectAll();
  QTest::keyClicks(editor, "Summer");
  w.ChangeEditMode(false);
  EXPECT_EQ(titleOn(1), "Summer");
  // Turning the page commits too.
  w.ChangeEditMode(true);
  QTest::mouseClick(paintBox, Qt::LeftButton, Qt::NoModifier, onTitle);
  editor->selectAll();
  QTest::keyClicks(editor, "Autumn");
  w.NextPage();
  EXPECT_EQ(w.EditingText(), nullptr);
  EXPECT_EQ(titleOn(1), "Autumn");
}
