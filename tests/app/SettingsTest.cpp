// What the editor keeps between runs (the recent files, the window's state) and documents dropped on
// the window from a file manager.
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QSplitter>
#include <QToolBar>
#include <QUrl>

#include "WindowTestSupport.h"
#include "app/platform/RecentFiles.h"
#include "render/ListCanvas.h"

namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& file) { return QString::fromStdString(file.string()); }

class Settings : public window_test::WindowTest {
 protected:
  // The editor's own start: settings read, window shown as it was left, then the command line's file.
  TfmMain& Start(const QStringList& arguments = {}) {
    window_.reset();  // one window at a time: the canvases draw into one
    window_ = std::make_unique<TfmMain>(arguments, Q(folder_.Path()));
    window_->RestoreAndShow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    window_->OpenStartFile();
    return *window_;
  }
  QStringList RecentMenu() const {
    QStringList shown;
    for (QAction* item : Find<QMenu>("miRecent")->actions())
      if (item->isVisible()) shown << item->text() + " " + item->toolTip();
    return shown;
  }
  // A drag of data entering target, dropped when drop; whether the target took it as a copy.
  static bool Drag(QWidget* target, QMimeData& data, bool drop = false) {
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted() || !drop) return enter.isAccepted();
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    QApplication::processEvents();
    return dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
  }
};

TEST(RecentFiles, OrderLimitMissingFilesAndStoredLists) {
  doc_test::TempFolder folder{"recent"};
  const auto names = [&](const QStringList& files) {
    QStringList shown;
    for (const QString& file : files) shown << QFileInfo(file).fileName();
    return shown.join(' ');
  };
  struct Added {
    QStringList added;
    const char* list;
  };
  for (const Added& c :
       std::vector<Added>{{{"a", "b", "c"}, "c b a"},
                          {{"a", "b", "a"}, "a b"},
                          {{"a", "x/../a", "./b"}, "b a"},
                          {{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}, "10 9 8 7 6 5 4 3"}}) {
    MRecentFiles recent;
    for (const QString& name : c.added) recent.Add(Q(folder / name.toStdString()));
    EXPECT_EQ(names(recent.Files()), c.list) << c.added.join(' ').toStdString();
  }
  // A stored list is taken as the user may have left it: damaged, hand-edited, too long.
  const std::string dir = folder.Path().string();
  struct Stored {
    std::string ini;
    const char* list;
  };
  for (const Stored& c : std::vector<Stored>{
           {"[RecentFiles]\nFiles=" + dir + "/one\n", "one"},
           {"[RecentFiles]\nFiles=" + dir + "/a, rel, " + dir + "/a, " + dir + "/b\n", "a b"},
           {"[RecentFiles]\nFiles=" + dir + "/1,/2,/3,/4,/5,/6,/7,/8,/9\n", "1 2 3 4 5 6 7 8"},
           {std::string("\0\xff[[Recent\nFiles", 16), ""}}) {
    doc_test::WriteBytes(folder / "editor.ini", c.ini);
    QSettings settings(Q(folder / "editor.ini"), QSettings::IniFormat);
    MRecentFiles recent;
    recent.Load(settings);
    EXPECT_EQ(names(recent.Files()), c.list) << c.ini;
  }
  doc_test::WriteBytes(folder / "here.map", "");
  fs::create_directory(folder / "dir.map");
  MRecentFiles recent;
  for (const char* name : {"gone.map", "dir.map", "here.map"}) recent.Add(Q(folder / name));
  EXPECT_FALSE(recent.DropIfMissing(Q(folder / "here.map")));
  EXPECT_TRUE(recent.DropIfMissing(Q(folder / "gone.map")));
  EXPECT_TRUE(recent.DropIfMissing(Q(folder / "dir.map")));
  EXPECT_EQ(names(recent.Files()), "here.map");
}

TEST_F(Settings, ARestartShowsTheWindowAsItWasLeft) {
  struct Case {
    const char* name;
    bool toolBar, pane, unmapList, trashList;
    std::function<void()> view;
    const char* zoom;  // the zoom box after the restart
    const char* mode;
  };
  const std::vector<Case> cases = {
      {"zoom, list, no tool bar", false, true, true, false, [this] { TypeZoom("150"); }, "150%", ""},
      {"page width, no pane", true, false, false, true, [this] { window_->ViewBaseWClick(); }, nullptr,
       "width"},
      {"real size", true, true, false, false, [this] { window_->ViewRealClick(); }, "100%", "real"},
  };
  const QRect placed(40, 30, 700, 520);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(Config());
    TfmMain& w = Start({"shop.map"});
    w.showNormal();
    w.setGeometry(placed);
    Find<QSplitter>("Splitter")->setSizes({300, 330});
    if (!c.toolBar) Find<QAction>("miToolBar")->trigger();
    if (!c.pane) Find<QAction>("miUnmapPane")->trigger();
    if (c.unmapList) Find<QToolButton>("btnUnmapList")->click();
    if (c.trashList) Find<QToolButton>("btnTrashList")->click();
    c.view();
    ASSERT_TRUE(w.close());

    TfmMain& again = Start();
    EXPECT_EQ(again.geometry(), placed);
    EXPECT_EQ(Find<QToolBar>("tbView")->isVisible(), c.toolBar);
    EXPECT_EQ(Find<QAction>("miToolBar")->isChecked(), c.toolBar);
    EXPECT_EQ(Find<QWidget>("pnlPane")->isVisible(), c.pane);
    EXPECT_EQ(Find<QAction>("btnUnmapPaneAction")->isChecked(), c.pane);
    EXPECT_EQ(Find<QToolButton>("btnUnmapList")->isChecked(), c.unmapList);
    EXPECT_EQ(gUnmapCanvas->ListType(), c.unmapList ? ltList : ltThumbnails);
    EXPECT_EQ(gTrashCanvas->ListType(), c.trashList ? ltList : ltThumbnails);
    // A pane hidden since the start comes back as wide as it was.
    if (!c.pane) Find<QAction>("miUnmapPane")->trigger();
    EXPECT_EQ(Find<QSplitter>("Splitter")->sizes().value(1), 330);
    EXPECT_EQ(RecentMenu(), QStringList{"&1 shop.map " + Q(folder_ / "shop.map")});
    // The first document opened takes the view; later ones open whole as always.
    Find<QAction>("miRecent1")->trigger();
    EXPECT_EQ(ViewMode(), c.mode);
    if (c.zoom != nullptr) {
      EXPECT_EQ(Text("cbxZoom"), c.zoom);
    }
    Find<QAction>("miRecent1")->trigger();
    EXPECT_EQ(ViewMode(), "all");
  }
  // A window as big as the screen comes back maximized rather than over the screen's edge.
  fs::remove_all(Config());
  Start().showNormal();
  window_->setGeometry(window_->screen()->availableGeometry());
  ASSERT_TRUE(window_->close());
  EXPECT_TRUE(Start().isMaximized());
  // A damaged file gives the defaults.
  fs::remove_all(Config());
  const char damaged[] = "[Window]\nGeometry=\xff\0@@\nPaneWidth=-4\nView=7\n[RecentFiles\nFiles=\xff";
  doc_test::WriteBytes(Config() / "tessora" / "editor.ini", std::string(damaged, sizeof damaged - 1));
  Start();
  EXPECT_TRUE(Find<QToolBar>("tbView")->isVisible());
  EXPECT_EQ(Find<QSplitter>("Splitter")->sizes().value(1), 260);
  EXPECT_EQ(ViewMode(), "all");
  EXPECT_FALSE(Find<QMenu>("miRecent")->isEnabled());
}

TEST_F(Settings, RecentFilesOpenAfterTheSaveQuestionAndMissingOnesGo) {
  for (const char* name : {"two.map", "gone.map"}) fs::copy_file(folder_ / "shop.map", folder_ / name);
  TfmMain& w = Start({"gone.map"});
  w.ChooseFileForTest = [this](bool, const QString&, const QString&) { return Q(folder_ / "two.map"); };
  Find<QAction>("miOpen")->trigger();
  w.ChooseFileForTest = [this](bool, const QString&, const QString&) { return Q(folder_ / "three.map"); };
  Find<QAction>("miSaveAs")->trigger();
  EXPECT_EQ(RecentMenu(),
            (QStringList{"&1 three.map " + Q(folder_ / "three.map"), "&2 two.map " + Q(folder_ / "two.map"),
                         "&3 gone.map " + Q(folder_ / "gone.map")}));
  InsertBlock("item");
  w.AskSaveForTest = [] { return int(QMessageBox::Cancel); };
  Find<QAction>("miRecent2")->trigger();
  EXPECT_EQ(w.windowTitle(), "Tessora - [three.map]");
  w.AskSaveForTest = [] { return int(QMessageBox::No); };
  Find<QAction>("miRecent2")->trigger();
  EXPECT_EQ(w.windowTitle(), "Tessora - [two.map]");
  EXPECT_FALSE(IsModified());
  fs::remove(folder_ / "gone.map");
  Find<QAction>("miRecent3")->trigger();
  EXPECT_EQ(w.windowTitle(), "Tessora - [two.map]");
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].first.contains(Q(folder_ / "gone.map")));
  EXPECT_EQ(RecentMenu().size(), 2);
}

TEST_F(Settings, OneMapFileDroppedAnywhereOpensBlocksStayOnThePage) {
  TfmMain& w = OpenShop();
  fs::copy_file(folder_ / "shop.map", folder_ / "other.MAP");
  doc_test::WriteBytes(folder_ / "note.txt", "");
  const auto files = [this](std::initializer_list<const char*> names) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const char* name : names) urls << QUrl::fromLocalFile(Q(folder_ / name));
    data->setUrls(urls);
    return data;
  };
  auto* block = new QMimeData;
  block->setData("application/x-tessora-drag-source", "unmap");
  struct Case {
    QMimeData* data;
    bool onPage, elsewhere;
  };
  const std::vector<Case> cases = {{files({"other.MAP"}), true, true},
                                   {files({"note.txt"}), false, false},
                                   {files({"other.MAP", "shop.map"}), false, false},
                                   {files({"missing.map"}), false, false},
                                   {block, true, false}};
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Drag(Find<QWidget>("pbxMap"), *cases[i].data), cases[i].onPage);
    for (const char* name : {"pbxUnmap", "tbView", "edtTrashSearch", "StatusBar", "fmMain"})
      EXPECT_EQ(Drag(name == std::string("fmMain") ? &w : Find<QWidget>(name), *cases[i].data),
                cases[i].elsewhere)
          << name;
    delete cases[i].data;
  }
  InsertBlock("item");
  const std::unique_ptr<QMimeData> dropped(files({"other.MAP"}));
  w.AskSaveForTest = [] { return int(QMessageBox::Cancel); };
  EXPECT_TRUE(Drag(Find<QWidget>("pbxTrash"), *dropped, true));
  EXPECT_EQ(w.windowTitle(), "Tessora - [shop.map]") << "the save question was cancelled";
  w.AskSaveForTest = [] { return int(QMessageBox::No); };
  EXPECT_TRUE(Drag(Find<QWidget>("pbxTrash"), *dropped, true));
  EXPECT_EQ(w.windowTitle(), "Tessora - [other.MAP]");
}

}  // namespace
