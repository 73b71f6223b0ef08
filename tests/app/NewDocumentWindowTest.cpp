// From nothing to a document in the real window: 新規作成 by its menu and Ctrl+N, the questions on
// the way, the untitled document's first save, undo in it, the start panel and the manual.
#include <QInputMethodEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextEdit>

#include "WindowTestSupport.h"
#include "app/dialogs/CsvImportDialog.h"
#include "layout/Form.h"
#include "layout/Shapes.h"

namespace {

class NewDocumentWindow : public window_test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    std::filesystem::create_directories(folder_ / "labels");
    doc_test::WriteBytes(folder_ / "labels" / "shelf.lay", doc_test::SjisCrLf(OneClassLayout()));
    doc_test::WriteBytes(folder_ / "labels" / "broken.lay",
                         doc_test::SjisCrLf("form page {\n  box { x: 0; y: ; }\n}\n"));
  }
  static std::string OneClassLayout() {
    std::string text = doc_test::GridLayoutText({{"all", "all", "all"}});
    text.erase(text.find("block feature"));
    return text;
  }
  QString Layout(const char* name) const {
    return QString::fromStdString((folder_ / "labels" / name).string());
  }
};

TEST_F(NewDocumentWindow, NewDocumentsComeFromALayoutAfterTheQuestions) {
  TfmMain& w = OpenShop();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  InsertBlock("item");
  std::vector<QString> asked;  // the file dialogs, by title and proposal
  QString answer;
  w.ChooseFileForTest = [&](bool save, const QString& title, const QString&) {
    asked.push_back((save ? "save:" : "open:") + title);
    return answer;
  };
  int questions = 0;
  int reply = QMessageBox::Cancel;
  w.AskSaveForTest = [&] { return ++questions, reply; };

  // Cancel at the save question, then at the layout dialog: the changed document stays.
  QTest::keyClick(Find<QWidget>("pnlMap"), Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(questions, 1);
  EXPECT_TRUE(asked.empty());
  reply = QMessageBox::No;
  ChooseFromMenu("miNew");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], "open:レイアウトファイルの選択");
  EXPECT_EQ(w.windowTitle(), "Tessora - [shop.map]");
  EXPECT_EQ(gMapDB->Count(), 15);

  // A layout with an error: its message with its line, and still the document as it was.
  answer = Layout("broken.lay");
  QTest::keyClick(Find<QWidget>("pnlMap"), Qt::Key_N, Qt::ControlModifier);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].first.contains("broken.lay")) << messages_[0].first.toStdString();
  EXPECT_TRUE(messages_[0].first.contains("2")) << "the line";
  EXPECT_EQ(gMapDB->Count(), 15);
  EXPECT_TRUE(IsModified());

  // The layout loads: an untitled, empty document.
  answer = Layout("shelf.lay");
  ChooseFromMenu("miNew");
  EXPECT_EQ(w.windowTitle(), "Tessora - [無題]");
  EXPECT_EQ(Text("StatusPanel1"), "配置 : 0");
  EXPECT_EQ(Text("StatusPanel2"), "未配置 : 0/0");
  EXPECT_FALSE(IsModified()) << "nothing to lose yet";
  EXPECT_FALSE(Find<QWidget>("pnlStart")->isVisible());
  EXPECT_TRUE(Find<QWidget>("pnlMap")->isVisible());
}

TEST_F(NewDocumentWindow, ItsFirstSaveGoesBesideTheLayoutWithWhatWasTyped) {
  TfmMain& w = Window();
  EXPECT_TRUE(Find<QWidget>("pnlStart")->isVisible()) << "where to begin, without a document";
  QString proposed;
  QString answer = Layout("shelf.lay");
  w.ChooseFileForTest = [&](bool save, const QString&, const QString& offered) {
    if (save) proposed = offered;
    return answer;
  };
  QTest::mouseClick(Find<QPushButton>("btnStartNew"), Qt::LeftButton);
  ASSERT_TRUE(HasDocument());
  InsertBlock("item");
  // Typed into the block's memo in place.
  w.ChangeEditMode(true);
  double x = 0, y = 0;
  MRect bounds;
  ASSERT_TRUE(gMapDB->GetPage(0)->EntryArea(1, 1, x, y, bounds));
  const auto* memo = As<MText>(gLayout->FindBlock("item")->FindChild("biko"));  // at its place in the block
  QTest::mouseClick(Find<QWidget>("pbxMap"), Qt::LeftButton, Qt::NoModifier,
                    gMapCanvas
                        ->RectToPixels(x + memo->Bounds.Left, y + memo->Bounds.Top, x + memo->Bounds.Right,
                                       y + memo->Bounds.Bottom)
                        .center());
  // Japanese comes from the input method, committed as a whole.
  QInputMethodEvent typed;
  typed.setCommitString("棚の上");
  QApplication::sendEvent(Find<QTextEdit>("mmInplaceEdit"), &typed);
  w.ChangeEditMode(false);

  answer = QString::fromStdString((folder_ / "labels" / "week1.map").string());
  QTest::keyClick(Find<QWidget>("pnlMap"), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(proposed, Layout("shelf.map")) << "beside the layout, named after it";
  EXPECT_EQ(w.windowTitle(), "Tessora - [week1.map]");
  EXPECT_FALSE(IsModified());
  const std::string saved = base::SjisToUtf8(doc_test::ReadBytes(folder_ / "labels" / "week1.map"));
  EXPECT_NE(saved.find("layout=shelf.lay\r\n"), std::string::npos)
      << "named beside it, relatively: " << saved;
  EXPECT_NE(saved.find("[block_field]\r\nitem,name,kana,code,biko\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("棚の上"), std::string::npos) << saved;
}

TEST_F(NewDocumentWindow, AnImportIntoItIsUndoneLikeAnyChange) {
  TfmMain& w = Window();
  w.ChooseFileForTest = [&](bool, const QString&, const QString&) { return Layout("shelf.lay"); };
  ChooseFromMenu("miNew");
  ASSERT_TRUE(HasDocument());
  doc_test::WriteBytes(folder_ / "labels" / "items.csv", "name,code\r\ntea,1\r\ncup,2\r\n");
  w.ChooseFileForTest = [&](bool, const QString&, const QString&) {
    return QString::fromStdString((folder_ / "labels" / "items.csv").string());
  };
  w.CsvImportForTest = [](TdlgCsvImport&) { return true; };
  ChooseFromMenu("miImportCsv");
  EXPECT_EQ(Text("StatusPanel2"), "未配置 : 2/2");
  EXPECT_TRUE(IsModified());
  ChooseFromMenu("miUndo");
  EXPECT_EQ(Text("StatusPanel2"), "未配置 : 0/0");
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(w.windowTitle(), "Tessora - [無題]");
}

TEST_F(NewDocumentWindow, F1ShowsTheManualOnce) {
  TfmMain& w = Window();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
  QDialog* manual = w.findChild<QDialog*>("dlgManual");
  ASSERT_NE(manual, nullptr);
  EXPECT_TRUE(manual->isVisible());
  EXPECT_FALSE(manual->isModal()) << "read beside the work";
  manual->close();
  QTest::mouseClick(Find<QPushButton>("btnStartManual"), Qt::LeftButton);
  EXPECT_TRUE(manual->isVisible());
  EXPECT_EQ(w.findChildren<QDialog*>("dlgManual").size(), 1);
}

}  // namespace
