// The main window on the offscreen platform, driven as a user would with QTest: zoom, pages, the
// status bar, the no-document state, the save question and the start-up switches. Message boxes and
// file dialogs are answered by the test.
#include "WindowTestSupport.h"

using MainWindow = window_test::WindowTest;
namespace fs = std::filesystem;

TEST_F(MainWindow, ZoomStepsTextsAndViewModes) {
  TfmMain& w = OpenShop();
  struct Step {
    std::function<void()> act;
    const char* text;
    const char* mode;
  };
  auto* zoomIn = Find<QAction>("miZoomIn");
  auto* zoomOut = Find<QAction>("miZoomOut");
  const std::vector<Step> steps = {
      {[&] { w.ViewRealClick(); }, "100%", "real"},
      {[&] { zoomIn->trigger(); }, "150%", ""},
      {[&] { zoomIn->trigger(); }, "225%", ""},
      {[&] { zoomIn->trigger(); }, "337%", ""},
      {[&] { zoomIn->trigger(); }, "400%", ""},
      {[&] { zoomIn->trigger(); }, "400%", ""},
      {[&] { w.ViewRealClick(); }, "100%", "real"},
      {[&] { zoomOut->trigger(); }, "66%", ""},
      {[&] { zoomOut->trigger(); }, "43%", ""},
      {[&] { zoomOut->trigger(); }, "28%", ""},
      {[&] { zoomOut->trigger(); }, "25%", ""},
      {[&] { zoomOut->trigger(); }, "25%", ""},
      {[&] { TypeZoom("150"); }, "150%", ""},
      {[&] { zoomOut->trigger(); }, "98%", ""},
      {[&] { TypeZoom("66%"); }, "66%", ""},
      {[&] { zoomIn->trigger(); }, "98%", ""},
      {[&] { TypeZoom("1000"); }, "400%", ""},
      {[&] { TypeZoom("abc"); }, "100%", "real"},
      {[&] { TypeZoom("12"); }, "25%", ""},
      {[&] { TypeZoom("100"); }, "100%", "real"},
      {[&] { QTest::keyClick(w.findChild<QWidget*>("pnlMap"), Qt::Key_Plus, Qt::ControlModifier); }, "150%",
       ""},
      {[&] { QTest::keyClick(w.findChild<QWidget*>("pnlMap"), Qt::Key_Minus, Qt::ControlModifier); }, "98%",
       ""},
      {[&] { w.ViewAllClick(); }, nullptr, "all"},
      {[&] { w.ViewBaseWClick(); }, nullptr, "width"},
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE(i);
    steps[i].act();
    if (steps[i].text != nullptr) {
      EXPECT_EQ(Text("cbxZoom"), steps[i].text);
    }
    EXPECT_EQ(ViewMode(), steps[i].mode);
    EXPECT_EQ(Text("cbxZoom"), QString::number(qRound(gMapCanvas->Zoom() * 100)) + "%");
  }
  // The whole-page view follows the window's size; a zoom step does not.
  w.ViewAllClick();
  const QString whole = Text("cbxZoom");
  w.resize(600, 400);
  QTest::qWait(50);
  EXPECT_NE(Text("cbxZoom"), whole);
  zoomIn->trigger();
  const QString stepped = Text("cbxZoom");
  w.resize(900, 650);
  QTest::qWait(50);
  EXPECT_EQ(Text("cbxZoom"), stepped);
}

TEST_F(MainWindow, PagesByBoxTrackBarAndKeys) {
  OpenShop();
  EXPECT_EQ(Text("edtNowPage"), "1/3");
  auto* bar = Find<QSlider>("tbPageBar");
  EXPECT_EQ(bar->maximum(), 3);
  const std::vector<std::pair<QString, QString>> inputs = {{"3", "3/3"}, {"2/10", "2/3"}, {"x/10", "2/3"},
                                                           {"0", "2/3"}, {"99", "2/3"},   {" 1 ", "1/3"}};
  for (const auto& [typed, shown] : inputs) {
    TypePage(typed);
    EXPECT_EQ(Text("edtNowPage"), shown) << typed.toStdString();
    EXPECT_EQ(gMapDB->CurrentPage(), shown.left(1).toInt());
  }
  bar->setValue(3);
  EXPECT_EQ(gMapDB->CurrentPage(), 3);
  EXPECT_EQ(Text("edtNowPage"), "3/3");
  Find<QAction>("miPrePage")->trigger();
  EXPECT_EQ(Text("edtNowPage"), "2/3");
  EXPECT_EQ(bar->value(), 2);
  Find<QAction>("miNextPage")->trigger();
  Find<QAction>("miNextPage")->trigger();
  EXPECT_EQ(Text("edtNowPage"), "3/3");
  EXPECT_FALSE(IsModified()) << "looking at pages changes nothing";
}

TEST_F(MainWindow, StatusBarCountsFollowTheSearches) {
  TfmMain& w = OpenShop();
  EXPECT_EQ(Text("StatusPanel1"), "配置 : 14");
  EXPECT_EQ(Text("StatusPanel2"), "未配置 : 4/4");
  EXPECT_EQ(Text("StatusPanel3"), "ごみ箱 : 1/1");
  auto* search = Find<QLineEdit>("edtUnmapSearch");
  search->setFocus();
  QTest::keyClicks(search, "TEA");
  QTest::keyClick(search, Qt::Key_Return);
  EXPECT_EQ(Text("StatusPanel2"), "未配置 : 2/4");
  // Leaving the box applies it as Enter does (Enter gave the keys to the list).
  search->setFocus();
  search->setText("pot");
  w.findChild<QWidget*>("pnlMap")->setFocus();
  EXPECT_EQ(Text("StatusPanel2"), "未配置 : 1/4");
  // The first panel takes what the four others leave.
  EXPECT_EQ(Find<QLabel>("StatusPanel0")->width(), std::max(0, w.statusBar()->width() - 380));
}

TEST_F(MainWindow, WithoutADocumentOnlyOpeningAndViewingWork) {
  TfmMain& w = Window();
  EXPECT_EQ(w.windowTitle(), "Tessora");
  for (const char* name :
       {"miSave", "miSaveAs", "miPrint", "miCopy", "miPaste", "miMappingMode", "miNewLine", "miAutoMapping"})
    EXPECT_FALSE(Find<QAction>(name)->isEnabled()) << name;
  for (const char* name : {"edtNowPage", "tbPageBar", "pbxMap", "edtUnmapSearch", "edtTrashSearch"})
    EXPECT_FALSE(w.findChild<QWidget*>(name)->isEnabled()) << name;
  for (const char* name : {"miOpen", "miExit", "miViewAll", "miZoomIn", "miToolBar"})
    EXPECT_TRUE(Find<QAction>(name)->isEnabled()) << name;
  EXPECT_EQ(Text("edtNowPage"), "1/1");

  EXPECT_TRUE(w.OpenDocument(folder_.SjisPath("shop.map")));
  EXPECT_EQ(w.windowTitle(), "Tessora - [shop.map]");
  EXPECT_TRUE(Find<QAction>("miSave")->isEnabled());
  EXPECT_TRUE(w.findChild<QWidget*>("edtNowPage")->isEnabled());

  // A document whose layout is missing: the loader's message, and the no-document state again.
  std::string broken = doc_test::ReadBytes(folder_ / "shop.map");
  broken.replace(broken.find("shop.lay"), 8, "gone.lay");
  doc_test::WriteBytes(folder_ / "broken.map", broken);
  EXPECT_FALSE(w.OpenDocument(folder_.SjisPath("broken.map")));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_FALSE(messages_[0].second) << "a plain message box, not the error box";
  EXPECT_EQ(w.windowTitle(), "Tessora");
  EXPECT_FALSE(Find<QAction>("miSave")->isEnabled());
  // A file that does not exist: the standard error box.
  EXPECT_FALSE(w.OpenDocument(folder_.SjisPath("none.map")));
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_TRUE(messages_[1].second);
}

TEST_F(MainWindow, TheSaveQuestionGuardsUnsavedWork) {
  struct Case {
    QMessageBox::StandardButton answer;
    bool chooseFile;  // a save-as dialog that is confirmed (else cancelled)
    bool closes;
    bool saved;
  };
  const std::vector<Case> cases = {
      {QMessageBox::Cancel, false, false, false},
      {QMessageBox::No, false, true, false},
      {QMessageBox::Yes, false, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.answer));
    TfmMain& w = OpenShop();
    int asked = 0;
    w.AskSaveForTest = [&] {
      ++asked;
      return int(c.answer);
    };
    const std::string before = doc_test::ReadBytes(folder_ / "shop.map");
    gMapDB->GoToPage(2);
    EXPECT_EQ(w.close(), true) << "unchanged: closes without asking";
    EXPECT_EQ(asked, 0);
    w.show();
    ASSERT_TRUE(HasDocument());
    InsertBlock("item");
    EXPECT_EQ(w.close(), c.closes);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(doc_test::ReadBytes(folder_ / "shop.map") != before, c.saved);
    EXPECT_EQ(IsModified(), !c.saved);
  }
}

TEST_F(MainWindow, YesThenCancellingTheSaveDialogKeepsTheWindow) {
  // A temporary start: the question comes even without a change, and "Yes" goes to the save dialog
  // that proposes the map folder and the same name.
  const fs::path temp = base::SjisToUtf8(gIni->TempFolder());
  doc_test::WriteBytes(temp / "job.map", doc_test::ReadBytes(folder_ / "shop.map"));
  doc_test::WriteBytes(temp / "shop.lay", doc_test::ReadBytes(folder_ / "shop.lay"));
  TfmMain& w = Window({"-t", "job.map"});
  EXPECT_TRUE(HasDocument());
  EXPECT_FALSE(fs::exists(temp / "job.map")) << "the temporary file is gone once opened";
  EXPECT_EQ(w.windowTitle(), "Tessora");
  QString proposed;
  w.AskSaveForTest = [] { return int(QMessageBox::Yes); };
  w.ChooseFileForTest = [&](bool save, const QString&, const QString& name) {
    EXPECT_TRUE(save);
    proposed = name;
    return QString();
  };
  EXPECT_FALSE(w.close()) << "cancelling the save dialog keeps the unsaved work";
  EXPECT_EQ(proposed, QString::fromStdString(base::SjisToUtf8(gIni->MapFolder())) + "/job.map");
  const fs::path saved = folder_ / "saved.map";
  w.ChooseFileForTest = [&](bool, const QString&, const QString&) {
    return QString::fromStdString(saved.string());
  };
  EXPECT_TRUE(w.close());
  EXPECT_TRUE(fs::exists(saved));
  fs::remove(temp / "shop.lay");
}

TEST_F(MainWindow, StartUpSwitches) {
  const fs::path temp = base::SjisToUtf8(gIni->TempFolder());
  struct Case {
    QStringList arguments;
    bool opened;
    int errors;
  };
  const std::vector<Case> cases = {
      {{"-t", "../shop.map"}, false, 1},
      {{"-t", ".."}, false, 1},
      {{"-t"}, false, 0},
      {{"-D"}, false, 1},  // a file name, not the design switch
      {{"none.map", QString::fromStdString((folder_ / "shop.map").string())}, true, 0},  // the last one wins
      {{"shop.map"}, true, 0},  // relative: not in the program folder, so the folder started from
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(" ").toStdString());
    messages_.clear();
    TfmMain& w = Window(c.arguments);
    EXPECT_EQ(HasDocument(), c.opened);
    EXPECT_EQ(static_cast<int>(messages_.size()), c.errors);
    EXPECT_FALSE(gMapCanvas->DesignMode());
    w.AskSaveForTest = [] { return int(QMessageBox::No); };
    window_.reset();
    ResetDocument();
  }
  EXPECT_TRUE(fs::exists(folder_ / "shop.map")) << "nothing outside the temporary folder is deleted";
}

TEST_F(MainWindow, DesignModeReloadsOnActivation) {
  TfmMain& w = Window({"-d", QString::fromStdString((folder_ / "shop.map").string())});
  ASSERT_TRUE(HasDocument());
  EXPECT_TRUE(gMapCanvas->DesignMode());
  InsertBlock("item");
  EXPECT_EQ(gMapDB->Count(), 15);
  emit qApp->applicationStateChanged(Qt::ApplicationActive);
  EXPECT_EQ(gMapDB->Count(), 14) << "read again from the file, the change dropped without a question";
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(w.windowTitle(), "Tessora - [shop.map]");
}
