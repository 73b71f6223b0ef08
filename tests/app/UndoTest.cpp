// Undo and redo in the real window offscreen, as a property: seeded random sessions of the user's
// changes (page and pane keys, drops, the mapping commands, copy and paste, in-place edits, undo and
// redo among them), then undo everything: the document saves to the bytes of a save before the
// session and is not modified; redo everything: the bytes of a save after it.
#include <QPushButton>

#include "RandomUser.h"
#include "data/UndoHistory.h"

namespace {

class UndoInWindow : public window_test::WindowTest {
 protected:
  QAction* Action(const char* name) const { return Find<QAction>(name); }
};

TEST_F(UndoInWindow, RandomSessionsUndoToTheSavedBytesAndRedoToTheEditedOnes) {
  doc_test::WriteBytes(
      folder_ / "ref.map",
      doc_test::SjisCrLf("[basic_info]\nlayout=shop.lay\n\n[block_field]\nitem,code\n\n[map_data]\n"
                         "item,c4\nitem,u2\nnewline\nitem,c1\nitem,none\n"));
  TfmMain& w = OpenShop();
  w.ChooseFileForTest = [&](bool, const QString&, const QString&) {
    return QString::fromStdString((folder_ / "ref.map").string());
  };
  w.ConfirmForTest = [](const QString&) { return true; };
  std::size_t steps = 0, changed = 0;
  for (unsigned seed = 1; seed <= 5; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    ASSERT_TRUE(w.OpenDocument(folder_.SjisPath("shop.map")));
    ClearModified();
    window_test::RandomUser user(w, seed);
    const std::string before = PrepareSave().Bytes;
    for (int i = 0; i < 25; ++i) user.Change();
    // Undone steps at the end of the session are part of it: redo reaches them.
    while (Action("miRedo")->isEnabled()) Action("miRedo")->trigger();
    const std::string after = PrepareSave().Bytes;
    // The status bar tells the databases' counts after all that.
    EXPECT_EQ(Text("StatusPanel1"), QString("配置 : %1").arg(gMapDB->Count()));
    EXPECT_EQ(Text("StatusPanel2"),
              QString("未配置 : %1/%2").arg(gUnmapDB->VisibleCount()).arg(gUnmapDB->Count()));

    steps += gUndo->StepCount();
    changed += after != before ? 1 : 0;
    for (int guard = 0; Action("miUndo")->isEnabled() && guard < 500; ++guard) Action("miUndo")->trigger();
    EXPECT_FALSE(Action("miUndo")->isEnabled());
    EXPECT_EQ(PrepareSave().Bytes, before);
    EXPECT_FALSE(IsModified()) << "back at the state that was saved";
    EXPECT_EQ(Text("StatusPanel3"), QString("ごみ箱 : %1/%1").arg(gTrashDB->Count()));

    for (int guard = 0; Action("miRedo")->isEnabled() && guard < 500; ++guard) Action("miRedo")->trigger();
    EXPECT_EQ(PrepareSave().Bytes, after);
    EXPECT_EQ(IsModified(), after != before);
  }
  // The sessions did change the document: the property was not tested on nothing.
  EXPECT_GE(steps, 50u);
  EXPECT_EQ(changed, 5u);
}

TEST_F(UndoInWindow, TheCommandsFollowTheHistoryAndASaveKeepsIt) {
  TfmMain& w = OpenShop();
  window_test::RandomUser user(w, 0);
  const auto Key = [&](QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    user.Key(target, key, modifiers);
  };
  QWidget* page = user.Widget("pnlMap");
  EXPECT_FALSE(Action("miUndo")->isEnabled());
  EXPECT_FALSE(Action("miRedo")->isEnabled());
  EXPECT_EQ(Action("miUndo")->text(), "元に戻す(&U)");
  EXPECT_EQ(Action("miRedo")->text(), "やり直し(&R)");
  page->setFocus();
  Key(page, Qt::Key_F, Qt::ControlModifier);  // page 2: b7 stands at the cursor
  Key(page, Qt::Key_Delete);                  // b7 to the unplaced list
  const std::string deleted = PrepareSave().Bytes;
  ASSERT_TRUE(w.Save());
  EXPECT_FALSE(IsModified());
  ASSERT_TRUE(Action("miUndo")->isEnabled()) << "a save keeps the history";
  Key(page, Qt::Key_Home);
  QTest::keyClick(page, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(IsModified()) << "undone past the save";
  EXPECT_EQ(gMapDB->CurrentPage(), 2) << "the cursor returns to where the change happened";
  EXPECT_EQ(gMapDB->Current()->Block()->FaceText(), "b7");
  EXPECT_FALSE(Action("miUndo")->isEnabled());
  EXPECT_TRUE(Action("miRedo")->isEnabled());
  QTest::keyClick(page, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(PrepareSave().Bytes, deleted);
  EXPECT_FALSE(IsModified()) << "redone to the saved state";
  // A new change after an undo drops what could be redone.
  QTest::keyClick(page, Qt::Key_Z, Qt::ControlModifier);
  Key(page, Qt::Key_Space);
  EXPECT_FALSE(Action("miRedo")->isEnabled());
  EXPECT_TRUE(IsModified());
}

TEST_F(UndoInWindow, ACancelledMappingLeavesTheDocumentAsItWas) {
  // 400 more unplaced blocks: the flow of the automatic mapping crosses 70 pages and reports.
  std::string text = doc_test::ReadBytes(folder_ / "shop.map"), rows;
  for (int i = 0; i < 400; ++i) rows += "item,n" + std::to_string(i) + ",n,,\r\n";
  text.insert(text.find("\r\n[trash_data]"), rows);
  doc_test::WriteBytes(folder_ / "many.map", text);
  TfmMain& w = Window();
  ASSERT_TRUE(w.OpenDocument(folder_.SjisPath("many.map")));
  ClearModified();
  const std::string before = PrepareSave().Bytes;
  int cancelled = 0;
  {
    const window_test::DialogAnswers answers([&](QDialog* d) {
      if (d->objectName() == "dlgProgress" && ++cancelled) d->findChild<QPushButton*>("btnCancel")->click();
    });
    Action("miAutoMapping")->trigger();
  }
  EXPECT_EQ(cancelled, 1);
  EXPECT_EQ(PrepareSave().Bytes, before);
  EXPECT_FALSE(IsModified());
  EXPECT_FALSE(Action("miRedo")->isEnabled()) << "a cancelled command is not there to redo";
  EXPECT_EQ(Text("StatusPanel2"), QString("未配置 : %1/%1").arg(gUnmapDB->Count()));
  EXPECT_TRUE(messages_.empty());
  // Not cancelled, the same command places them all.
  Action("miAutoMapping")->trigger();
  EXPECT_EQ(gUnmapDB->Count(), 0);
}

}  // namespace
