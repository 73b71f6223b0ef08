// What the editor keeps between runs (recent files, window state) and documents dropped on the window.
#include <QDragEnterEvent>
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
    window_->OpenStartFile();
    return *window_;
  }
  QString RecentMenu() const {
    QStringList shown;
    for (QAction* item : Find<QMenu>("miRecent")->actions()) shown << item->text();
    return shown.join(' ').trimmed();
  }
};

TEST(RecentFiles, StoredListsAsTheUserMayHaveLeftThem) {
  // Entries go through Add: most recent first, relative ones skipped, repeated or unclean ones once,
  // no more than eight.
  const std::string key = "[RecentFiles]\nFiles=";
  const std::vector<std::pair<std::string, QString>> cases = {
      {key + "/one\n", "one"},
      {key + "/a, rel, /x/../a, /2, /3, /4, /5, /6, /7, /8, /9\n", "a 2 3 4 5 6 7 8"},
      {std::string("\0\xff[[Recent\nFiles", 16), ""}};
  doc_test::TempFolder folder{"recent"};
  for (const auto& [ini, list] : cases) {
    doc_test::WriteBytes(folder / "editor.ini", ini);
    QSettings settings(Q(folder / "editor.ini"), QSettings::IniFormat);
    MRecentFiles recent;
    recent.Load(settings);
    EXPECT_EQ(recent.Files().join(' ').remove('/'), list);
  }
}

TEST_F(Settings, ARestartShowsTheWindowAsItWasLeft) {
  const QRect placed(40, 30, 700, 520);
  TfmMain& w = Start({"shop.map"});
  w.showNormal();
  w.setGeometry(placed);
  Find<QSplitter>("Splitter")->setSizes({300, 330});
  for (const char* name : {"miToolBar", "miUnmapPane"}) Find<QAction>(name)->trigger();
  Find<QToolButton>("btnUnmapList")->click();
  TypeZoom("150");
  ASSERT_TRUE(w.close());

  EXPECT_EQ(Start().geometry(), placed);
  EXPECT_FALSE(Find<QToolBar>("tbView")->isVisible() || Find<QWidget>("pnlPane")->isVisible());
  EXPECT_EQ(gUnmapCanvas->ListType(), ltList);
  EXPECT_EQ(gTrashCanvas->ListType(), ltThumbnails);
  // A pane hidden since the start comes back as wide as it was.
  Find<QAction>("miUnmapPane")->trigger();
  EXPECT_EQ(Find<QSplitter>("Splitter")->sizes().value(1), 330);
  EXPECT_EQ(RecentMenu(), "&1 shop.map");
  EXPECT_EQ(Find<QAction>("miRecent1")->toolTip(), Q(folder_ / "shop.map"));
  // The first document opened takes the view; later ones open whole as always.
  Find<QAction>("miRecent1")->trigger();
  EXPECT_EQ(Text("cbxZoom"), "150%");
  Find<QAction>("miRecent1")->trigger();
  EXPECT_EQ(ViewMode(), "all");
  window_->ViewBaseWClick();
  ASSERT_TRUE(window_->close());
  Start();
  EXPECT_EQ(ViewMode(), "width");
  // A window as big as the screen comes back maximized rather than over the screen's edge.
  window_->showNormal();
  window_->setGeometry(window_->screen()->availableGeometry());
  ASSERT_TRUE(window_->close());
  EXPECT_TRUE(Start().isMaximized());
  // A damaged file gives the defaults.
  const char damaged[] =
      "[Window]\nGeometry=\xff\0@@\nToolBar=\nPaneWidth=-4\nView=7\n[RecentFiles\nFiles=\xff";
  doc_test::WriteBytes(Config() / "tessora" / "editor.ini", std::string(damaged, sizeof damaged - 1));
  Start();
  EXPECT_TRUE(Find<QToolBar>("tbView")->isVisible() && Find<QWidget>("pnlPane")->isVisible());
  EXPECT_EQ(gUnmapCanvas->ListType(), ltThumbnails);
  EXPECT_EQ(Find<QSplitter>("Splitter")->sizes().value(1), 260);
  EXPECT_EQ(ViewMode(), "all");
  EXPECT_FALSE(Find<QMenu>("miRecent")->isEnabled());
}

TEST_F(Settings, RecentFilesOpenAfterTheSaveQuestionAndMissingOnesGo) {
  for (const char* name : {"two.map", "gone.map"}) fs::copy_file(folder_ / "shop.map", folder_ / name);
  TfmMain& w = Start({"gone.map"});
  w.OpenNamed(Q(folder_ / "two.map"));
  w.ChooseFileForTest = [this](bool, const QString&, const QString&) { return Q(folder_ / "three.map"); };
  Find<QAction>("miSaveAs")->trigger();
  EXPECT_EQ(RecentMenu(), "&1 three.map &2 two.map &3 gone.map");
  InsertBlock("item");
  w.AskSaveForTest = [] { return int(QMessageBox::Cancel); };
  Find<QAction>("miRecent2")->trigger();
  EXPECT_EQ(w.windowTitle(), "Tessora - [three.map]");
  // A file gone meanwhile leaves the list with a word, and the document stays.
  fs::remove(folder_ / "gone.map");
  Find<QAction>("miRecent3")->trigger();
  EXPECT_EQ(w.windowTitle(), "Tessora - [three.map]");
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].first.contains(Q(folder_ / "gone.map")));
  EXPECT_EQ(RecentMenu(), "&1 three.map &2 two.map");
  EXPECT_EQ(
      QSettings(QSettings::IniFormat, QSettings::UserScope, "tessora", "editor").value("RecentFiles/Files"),
      QStringList({Q(folder_ / "three.map"), Q(folder_ / "two.map")}));
}

TEST_F(Settings, OneMapFileDroppedAnywhereOpensBlocksStayOnThePage) {
  TfmMain& w = OpenShop();
  fs::copy_file(folder_ / "shop.map", folder_ / "other.MAP");
  doc_test::WriteBytes(folder_ / "note.txt", "");
  // Dragged onto target (and dropped there when drop): whether it was taken, as a copy.
  const auto drag = [this](QWidget* target, const QStringList& names, bool drop = false) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& name : names) urls << QUrl::fromLocalFile(Q(folder_ / name.toStdString()));
    data.setUrls(urls);
    if (names.isEmpty()) data.setData("application/x-tessora-drag-source", "unmap");
    QDragEnterEvent enter({5, 5}, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QDropEvent dropped({5, 5}, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QDropEvent& event = drop ? dropped : enter;
    event.setDropAction(Qt::MoveAction);  // as a file manager proposes with Shift
    QApplication::sendEvent(target, &event);
    QApplication::processEvents();
    // Files only as copies: a file manager told they moved would delete them.
    return event.isAccepted() && (names.isEmpty() || event.dropAction() == Qt::CopyAction);
  };
  for (const auto& [names, onPage, elsewhere] :
       std::vector<std::tuple<QStringList, bool, bool>>{{{"other.MAP"}, true, true},
                                                        {{"note.txt"}, false, false},
                                                        {{"other.MAP", "shop.map"}, false, false},
                                                        {{"missing.map"}, false, false},
                                                        {{}, true, false}}) {  // a block from the pane
    SCOPED_TRACE(names.join(' ').toStdString());
    EXPECT_EQ(drag(Find<QWidget>("pbxMap"), names), onPage);
    for (const char* target : {"pbxUnmap", "tbView", "edtTrashSearch", "StatusBar"})
      EXPECT_EQ(drag(Find<QWidget>(target), names), elsewhere) << target;
    EXPECT_EQ(drag(&w, names), elsewhere);
  }
  InsertBlock("item");
  int asked = 0;
  w.AskSaveForTest = [&] { return ++asked, int(QMessageBox::No); };
  EXPECT_TRUE(drag(Find<QWidget>("pbxTrash"), {"other.MAP"}, true));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(w.windowTitle(), "Tessora - [other.MAP]");
}

}  // namespace
