// The window used through real input, as a person uses it: menus opened by a click on their titles
// and by their Alt keys while the page has the focus, items clicked in the popups, Tab and Shift+Tab,
// the caret after every command, and the in-place editor while menus come and go.
#include <QtTest/qtestspontaneevent.h>

#include <QClipboard>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QWheelEvent>

#include "WindowTestSupport.h"
#include "app/platform/QtClipboard.h"
#include "layout/Form.h"
#include "layout/Shapes.h"
#include "render/ListCanvas.h"

namespace {

using doc_test::Sequence;
using Names = std::vector<std::string>;

class RealInput : public window_test::WindowTest {
 protected:
  // The shop document in an active window (menus and shortcuts want one), the page focused by a
  // click on its first block.
  TfmMain& OpenActive() {
    TfmMain& w = OpenShop();
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    ClickPage(PixelOf(20, 30));
    return w;
  }
  QWidget* Page() const { return Find<QWidget>("pnlMap"); }
  QWidget* PaintBox() const { return Find<QWidget>("pbxMap"); }
  static QPoint PixelOf(double x, double y) { return gMapCanvas->PointToPixels(x, y) + QPoint(3, 3); }
  void ClickPage(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(PaintBox(), button, Qt::NoModifier, at);
  }
  // A menu of the menu bar opened by a click on its title; the popup, shown.
  QMenu* ClickTitle(const char* name) {
    auto* bar = Find<QMenuBar>("MainMenu");
    QMenu* menu = Find<QMenu>(name);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(menu->menuAction()).center());
    return menu;
  }
  // A menu opened by its Alt key, pressed where the focus is.
  QMenu* AltKey(const char* name, Qt::Key key) {
    QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
    return Find<QMenu>(name);
  }
  // An item clicked inside its open popup.
  static void ClickItem(QMenu* menu, const char* item) {
    QAction* action = nullptr;
    for (QAction* a : menu->actions())
      if (a->objectName() == item) action = a;
    ASSERT_NE(action, nullptr) << item;
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(action).center());
  }
  // Escape until the menu is closed and the menu bar has let the keys go.
  static void CloseMenu(QMenu* menu) {
    QTest::keyClick(menu, Qt::Key_Escape);
    for (int i = 0; i < 2; ++i) {
      if (auto* bar = qobject_cast<QMenuBar*>(QApplication::focusWidget()))
        QTest::keyClick(bar, Qt::Key_Escape);
    }
  }
  // Where the caret stands against where the cursor entry stands: "" when they agree.
  static QString CaretOff(const QWidget* caret) {
    const MEntry* entry = gMapDB->Current();
    double x = 0, y = 0;
    MRect bounds;
    if (entry == nullptr || !gMapDB->CurrentArea(x, y, bounds)) return "no cursor entry";
    if (!caret->isVisible()) return "hidden";
    const QPoint expected = gMapCanvas->PointToPixels(x, y) + QPoint(1, 1);
    const int height = entry->IsBlock() ? gMapCanvas->ToPixels(entry->Block()->Class().Height)
                                        : qRound(gMapCanvas->Zoom() * 20);
    if (caret->pos() != expected || caret->height() != std::max(1, height))
      return QString("at %1,%2 h%3, the entry at %4,%5 h%6")
          .arg(caret->x())
          .arg(caret->y())
          .arg(caret->height())
          .arg(expected.x())
          .arg(expected.y())
          .arg(height);
    return {};
  }
};

TEST_F(RealInput, EveryMenuOpensByItsTitleAndItsAltKeyWhileThePageHasTheFocus) {
  OpenActive();
  const std::vector<std::pair<const char*, Qt::Key>> menus = {{"miFile", Qt::Key_F}, {"miEdit", Qt::Key_E},
                                                              {"miView", Qt::Key_V}, {"miInsert", Qt::Key_I},
                                                              {"miTool", Qt::Key_T}, {"miOther", Qt::Key_O}};
  for (const auto& [name, key] : menus) {
    SCOPED_TRACE(name);
    QMenu* menu = ClickTitle(name);
    EXPECT_TRUE(menu->isVisible()) << "by its title";
    if (std::string_view(name) == "miInsert") {
      for (QAction* item : menu->actions())
        EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
    }
    CloseMenu(menu);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "pnlMap");
    menu = AltKey(name, key);
    EXPECT_TRUE(menu->isVisible()) << "by its Alt key";
    CloseMenu(menu);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "pnlMap") << "the keys are the page's again";
  }
}

TEST_F(RealInput, BlocksAndPageBreaksAreInsertedThroughTheInsertMenu) {
  OpenActive();
  ClickPage(PixelOf(40, 30));  // b2
  // Two classes: the dialog asks; the second one is chosen by a click in the list and OK.
  window_test::DialogAnswers answers([](QDialog* dialog) {
    auto* list = dialog->findChild<QListWidget*>("lbxBlocks");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->item(1)).center());
    QTest::mouseClick(dialog->findChild<QPushButton*>("btnOK"), Qt::LeftButton);
  });
  ClickItem(ClickTitle("miInsert"), "miInsertBlock");
  window_->activateWindow();  // as the desktop does when the dialog closes
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  EXPECT_EQ(Sequence(*gMapDB).at(1), "F") << "a new feature block before b2";
  EXPECT_EQ(doc_test::ShortName(*gMapDB->Current()), "b2");
  EXPECT_EQ(CaretOff(Find<QWidget>("Caret")), "");

  ClickItem(AltKey("miInsert", Qt::Key_I), "miNewLine");
  EXPECT_EQ(gMapDB->CurrentPage(), 2) << "b2 starts the next page";
  EXPECT_EQ(Text("edtNowPage"), "2/4");
  EXPECT_EQ(CaretOff(Find<QWidget>("Caret")), "");
  EXPECT_EQ(Text("StatusPanel1"), "配置 : 15");
}

TEST_F(RealInput, TabAndShiftTabGoThroughThePageThePanesAndTheirSearchBoxes) {
  TfmMain& w = OpenActive();
  // The controls Tab (true) or Shift+Tab (false) reaches from the focus, one after the other.
  const auto walk = [](const std::vector<bool>& steps) {
    QStringList reached;
    for (const bool forward : steps) {
      QTest::keyClick(QApplication::focusWidget(), forward ? Qt::Key_Tab : Qt::Key_Backtab,
                      forward ? Qt::NoModifier : Qt::ShiftModifier);
      reached << QApplication::focusWidget()->objectName();
    }
    return reached.join(QChar(32)).toStdString();
  };
  EXPECT_EQ(walk({true, true, true, false, false, false}),
            "qt_tabwidget_tabbar edtUnmapSearch pnlUnmap edtUnmapSearch qt_tabwidget_tabbar pnlMap");
  EXPECT_EQ(gMapDB->Count(), 14) << "Tab is no key of the page";
  // The trash's list when its tab shows; emptied, it is passed over.
  Find<QTabWidget>("pcUnmap")->setCurrentIndex(1);
  Page()->setFocus();
  EXPECT_EQ(walk({true, true, true}), "qt_tabwidget_tabbar edtTrashSearch pnlTrash");
  w.ConfirmForTest = [](const QString&) { return true; };
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
  EXPECT_EQ(QApplication::focusWidget(), Page()) << "the emptied list gave the focus to the page";
  EXPECT_EQ(walk({true, true, true}).find("pnlTrash"), std::string::npos);
}

TEST_F(RealInput, TheCaretFollowsEveryCommand) {
  TfmMain& w = OpenActive();
  QWidget* caret = Find<QWidget>("Caret");
  MQtClipboard().SetData(kMapBlockFormat, "item,clip,k,,");
  const std::string reference = folder_.SjisPath("ref.map");
  doc_test::WriteBytes(folder_ / "ref.map",
                       doc_test::SjisCrLf("[basic_info]\nlayout=shop.lay\n\n[block_field]\nitem,name,code\n\n"
                                          "[map_data]\nspace\nitem,tea2,u3\nnewpage\nitem,cup,u2\n"));
  w.ChooseFileForTest = [&](bool, const QString&, const QString&) {
    return QString::fromStdString(reference);
  };
  const auto trigger = [&](const char* action) { ChooseFromMenu(action); };
  const auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QTest::keyClick(Page(), k, m);
  };
  const std::vector<std::pair<const char*, std::function<void()>>> commands = {
      {"click", [&] { ClickPage(PixelOf(60, 60)); }},
      {"right", [&] { key(Qt::Key_Right); }},
      {"up", [&] { key(Qt::Key_K); }},
      {"space", [&] { key(Qt::Key_Space); }},
      {"enter", [&] { key(Qt::Key_Return); }},
      {"shift+enter", [&] { key(Qt::Key_Return, Qt::ShiftModifier); }},
      {"backspace", [&] { key(Qt::Key_Backspace); }},
      {"delete", [&] { key(Qt::Key_Delete); }},
      {"insert", [&] { key(Qt::Key_Insert); }},
      {"ctrl+f", [&] { key(Qt::Key_F, Qt::ControlModifier); }},
      {"ctrl+b", [&] { key(Qt::Key_B, Qt::ControlModifier); }},
      {"page bar", [&] { Find<QSlider>("tbPageBar")->setValue(3); }},
      {"page box", [&] { TypePage("2"); }},
      {"page down", [&] { trigger("miNextPage"); }},
      {"paste", [&] { trigger("miPaste"); }},
      {"page break", [&] { trigger("miNewLine"); }},
      {"auto mapping", [&] { trigger("miAutoMapping"); }},
      {"undo", [&] { trigger("miUndo"); }},
      {"redo", [&] { trigger("miRedo"); }},
      {"same mapping", [&] { trigger("miSameMapping"); }},
      {"zoom in", [&] { trigger("miZoomIn"); }},
      {"whole page", [&] { trigger("miViewAll"); }},
      {"reopen", [&] { w.OpenDocument(folder_.SjisPath("shop.map")); }},
  };
  for (const auto& [name, command] : commands) {
    SCOPED_TRACE(name);
    Page()->setFocus();
    command();
    if (QApplication::focusWidget() != Page()) Page()->setFocus();
    EXPECT_EQ(CaretOff(caret), "");
  }
}

TEST_F(RealInput, TheInPlaceEditorStaysThroughMenusAndCommitsWhenTheFocusMovesOn) {
  TfmMain& w = OpenActive();
  w.ChangeEditMode(true);
  // The form's title, and whether it is the text being edited.
  const MText* title = As<MText>(gLayout->Forms.front()->FindChild("title"));
  const auto editingTitle = [&w] { return w.EditingText() != nullptr && w.EditingText()->Name == "title"; };
  const auto titleText = [] { return gMapDB->GetPage(0)->FormText("title"); };
  auto* editor = Find<QTextEdit>("mmInplaceEdit");
  const QPoint onTitle = gMapCanvas->RectToPixels(title->Bounds).center();
  ClickPage(onTitle);
  ASSERT_TRUE(editingTitle());
  editor->selectAll();
  QTest::keyClicks(editor, "Spring");
  // The edit menu, to copy the selection: the editor stays, and copy takes its selection.
  editor->selectAll();
  QMenu* edit = ClickTitle("miEdit");
  EXPECT_TRUE(editor->isVisible());
  ClickItem(edit, "miCopy");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "Spring");
  EXPECT_TRUE(editingTitle());
  EXPECT_EQ(titleText(), "T") << "nothing committed yet";
  // Its own context menu.
  QTimer::singleShot(0, [] {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  });
  QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5), editor->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(editor->viewport(), &menuEvent);
  EXPECT_TRUE(editingTitle());
  // Another program taking the focus.
  QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(editor, &away);
  EXPECT_TRUE(editingTitle());
  // A zoom from the view menu keeps it open, laid out again, with the typing committed.
  const QRect before = editor->geometry();
  ClickItem(ClickTitle("miView"), "miZoomIn");
  EXPECT_TRUE(editingTitle());
  EXPECT_EQ(titleText(), "Spring");
  EXPECT_GT(editor->width(), before.width());
  EXPECT_EQ(editor->toPlainText(), "Spring");
  // Tab leaves it, committing, and types no tab into the value.
  editor->moveCursor(QTextCursor::End);
  QTest::keyClicks(editor, "!");
  QTest::keyClick(editor, Qt::Key_Tab);
  EXPECT_EQ(w.EditingText(), nullptr);
  EXPECT_EQ(titleText(), "Spring!");
  // A click into another control of the window commits.
  ClickPage(gMapCanvas->RectToPixels(title->Bounds).center());
  editor->moveCursor(QTextCursor::End);
  QTest::keyClicks(editor, "?");
  QTest::mouseClick(Find<QWidget>("edtUnmapSearch"), Qt::LeftButton);
  EXPECT_EQ(w.EditingText(), nullptr);
  EXPECT_EQ(titleText(), "Spring!?");
  EXPECT_FALSE(editor->isVisible());
}

TEST_F(RealInput, TheBoxesHandTheKeysBackToTheirViews) {
  TfmMain& w = OpenActive();
  EXPECT_EQ(QApplication::focusWidget(), Page()) << "after opening";
  TypePage("2");
  EXPECT_EQ(QApplication::focusWidget(), Page());
  TypeZoom("200");
  EXPECT_EQ(QApplication::focusWidget(), Page());
  auto* search = Find<QLineEdit>("edtUnmapSearch");
  search->setFocus();
  QTest::keyClicks(search, "tea");
  QTest::keyClick(search, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), Find<QWidget>("pnlUnmap"));
  EXPECT_EQ(Text("StatusPanel2"), "未配置 : 2/4");
  // The clear button shows every block at once.
  for (QToolButton* button : search->findChildren<QToolButton*>())
    if (button->isVisible()) QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(search->text(), "");
  EXPECT_EQ(Text("StatusPanel2"), "未配置 : 4/4");
  // The zoom keys work from a box; not while a text is typed in place.
  search->setFocus();
  const QString zoom = Text("cbxZoom");
  QTest::keyClick(search, Qt::Key_Plus, Qt::ControlModifier);
  EXPECT_NE(Text("cbxZoom"), zoom);
  w.ChangeEditMode(true);
  ClickPage(gMapCanvas->RectToPixels(As<MText>(gLayout->Forms.front()->FindChild("title"))->Bounds).center());
  const QString typing = Text("cbxZoom");
  QTest::keyClick(Find<QWidget>("mmInplaceEdit"), Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_EQ(Text("cbxZoom"), typing);
}

TEST_F(RealInput, TheWheelScrollsTheFocusedViewWhereverItTurns) {
  TfmMain& w = OpenActive();
  w.ViewRealClick();
  for (int i = 0; i < 3; ++i) w.ZoomIn();
  auto* bar = Find<QScrollArea>("sbxMap")->verticalScrollBar();
  const auto wheel = [](QWidget* target, int delta) {
    QWheelEvent event(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    // As the mouse sends it: spontaneous, so passed on to the parents of a control that does not take it.
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(target, &event);
  };
  Page()->setFocus();
  wheel(Find<QWidget>("edtTrashSearch"), -120);
  wheel(PaintBox(), -120);
  EXPECT_EQ(bar->value(), 2 * bar->singleStep()) << "one line a turn, over the page or a box alike";
  wheel(Find<QWidget>("tbPageBar"), 120);
  EXPECT_EQ(bar->value(), bar->singleStep());
  EXPECT_EQ(gMapDB->CurrentPage(), 1) << "the page bar does not turn pages by the wheel";
  Find<QWidget>("cbxZoom")->setFocus();
  wheel(PaintBox(), -120);
  EXPECT_EQ(bar->value(), bar->singleStep()) << "with the focus in a box the wheel scrolls nothing";
}

TEST_F(RealInput, FaultsOfTheOldWindowStayMended) {
  // Opening in text input mode leaves the page break off.
  TfmMain& w = OpenActive();
  w.ChangeEditMode(true);
  w.OpenDocument(folder_.SjisPath("shop.map"));
  EXPECT_FALSE(Find<QAction>("miNewLine")->isEnabled());
  EXPECT_FALSE(Find<QMenu>("miInsert")->isEnabled());
  w.ChangeEditMode(false);
  EXPECT_TRUE(Find<QAction>("miNewLine")->isEnabled());

  // Any button selects in a pane.
  QWidget* cards = Find<QWidget>("pbxUnmap");
  QTest::mouseClick(cards, Qt::RightButton, Qt::NoModifier, gUnmapCanvas->GetItemRect(2).center());
  EXPECT_EQ(gUnmapDB->Selection(), 2);

  // The page bar commits the text being typed and moves the caret like every other page turn.
  w.ChangeEditMode(true);
  ClickPage(gMapCanvas->RectToPixels(As<MText>(gLayout->Forms.front()->FindChild("title"))->Bounds).center());
  QTest::keyClicks(Find<QWidget>("mmInplaceEdit"), "x");
  Find<QSlider>("tbPageBar")->setValue(2);
  EXPECT_EQ(w.EditingText(), nullptr);
  EXPECT_EQ(gMapDB->GetPage(0)->FormText("title"), "xT");
  EXPECT_EQ(Text("edtNowPage"), "2/3");

  // An empty or foreign file says which file it is and why.
  for (const char* content : {"", "\x81\x00 no sections"}) {
    messages_.clear();
    doc_test::WriteBytes(folder_ / "empty.map",
                         std::string(content, std::strlen(content) + (*content ? 2 : 0)));
    EXPECT_FALSE(w.OpenDocument(folder_.SjisPath("empty.map")));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].first.contains("empty.map")) << messages_[0].first.toStdString();
    EXPECT_FALSE(messages_[0].first.contains("directory")) << messages_[0].first.toStdString();
  }
}

TEST_F(RealInput, AfterATemporaryStartTheQuestionComesOnceWhateverTheAnswer) {
  TfmMain& w = Window({"-t"});
  int asked = 0;
  w.AskSaveForTest = [&] { return ++asked, int(QMessageBox::Cancel); };
  EXPECT_FALSE(w.close()) << "Cancel keeps the window";
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(w.close()) << "asked once";
  EXPECT_EQ(asked, 1);
}

}  // namespace
