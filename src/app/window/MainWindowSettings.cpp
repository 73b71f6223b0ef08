// What the window keeps between runs, per user: the recent files of the file menu and the window's
// state (size and place, the side pane, the tool bars, the panes' list types, the view). They live in
// their own file of the desktop's configuration folder, $XDG_CONFIG_HOME/tessora/editor.ini: the
// program's configuration (tessora.ini beside it) is the administrator's and is only read.
#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QToolButton>

#include "app/dialogs/StartPanel.h"
#include "app/platform/ErrorBox.h"
#include "app/widgets/BoxEdit.h"
#include "app/window/MainWindow.h"
#include "render/ListCanvas.h"
#include "render/MapCanvas.h"
#include "render/QtText.h"
#include "render/RenderGlobal.h"

namespace {

// The user's settings file; nothing of other files (the organisation's or the system's) is mixed in.
class MEditorSettings : public QSettings {
 public:
  MEditorSettings() : QSettings(QSettings::IniFormat, QSettings::UserScope, "tessora", "editor") {
    setFallbacksEnabled(false);
  }
};

// A switch as the file says it, or otherwise when it says nothing usable.
bool Flag(const QSettings& settings, const char* key, bool otherwise) {
  const QString text = settings.value(key).toString();
  return text == "true" || (text != "false" && otherwise);
}

// Accelerators are "&" in menu texts: one in a file name is shown as it is.
QString MenuText(int number, const QString& path) {
  return QString("&%1 %2").arg(number).arg(QFileInfo(path).fileName().replace('&', "&&"));
}

}  // namespace

void TfmMain::BuildRecentMenu() {
  miRecent = new QMenu("最近使ったファイル(&R)", this);
  miRecent->setObjectName("miRecent");
  miRecent->menuAction()->setObjectName("miRecentMenu");
  miRecent->setAccessibleName("最近使ったファイル");
  miRecent->setToolTipsVisible(true);  // the full path of each entry
  for (int i = 0; i < MRecentFiles::kLimit; ++i) {
    const QByteArray name = "miRecent" + QByteArray::number(i + 1);
    miRecentItems_[i] = NewAction(name.constData(), QString());
    miRecentItems_[i]->setVisible(false);  // until the settings name files (RestoreAndShow)
    connect(miRecentItems_[i], &QAction::triggered, this, [this, i] { OpenRecent(i); });
    miRecent->addAction(miRecentItems_[i]);
  }
  miFile->insertMenu(miExit, miRecent);
  miFile->insertSeparator(miExit);
}

void TfmMain::RefreshRecentMenu() {
  const QStringList& files = recent_.Files();
  for (int i = 0; i < MRecentFiles::kLimit; ++i) {
    QAction* item = miRecentItems_[i];
    const bool used = i < files.size();
    item->setVisible(used);
    item->setText(used ? MenuText(i + 1, files[i]) : QString());
    item->setToolTip(used ? files[i] : QString());
    item->setStatusTip(used ? files[i] : QString());
  }
  startPanel_->SetRecentFiles(files);
  UpdateActions();
}

void TfmMain::RememberRecent(const std::string& path) {
  if (!remembers_ || path.empty()) return;
  // Read again first: another editor may have added its own files since.
  MEditorSettings settings;
  recent_.Load(settings);
  recent_.Add(FromSjis(path));
  recent_.Save(settings);
  RefreshRecentMenu();
}

void TfmMain::OpenRecent(int index) {
  if (index < 0 || index >= recent_.Files().size()) return;
  const QString path = recent_.Files()[index];
  bool missing = false;
  {
    MEditorSettings settings;
    recent_.Load(settings);
    missing = recent_.DropIfMissing(path);
    if (missing) recent_.Save(settings);
  }
  RefreshRecentMenu();
  if (missing) {
    ShowMessage(this, QString("%1 が見つかりません。最近使ったファイルから削除しました。").arg(path));
    return;
  }
  OpenNamed(path);
}

void TfmMain::ApplyDocumentView() {
  if (!startView_) {
    ApplyZoom(4);
    return;
  }
  if (startView_->request == 0) cbxZoom->setEditText(QString::number(startView_->percent) + "%");
  ApplyZoom(startView_->request);
}

void TfmMain::RestoreAndShow() {
  remembers_ = true;
  MEditorSettings settings;
  recent_.Load(settings);
  RefreshRecentMenu();

  // Every value is checked: the file may be damaged or edited by hand, and a bad value is a default.
  settings.beginGroup("Window");
  const bool placed = restoreGeometry(settings.value("Geometry").toByteArray());
  bool ok = false;
  const int paneWidth = settings.value("PaneWidth").toInt(&ok);
  if (ok && paneWidth > 0 && paneWidth <= 10000) paneWidth_ = paneWidth;
  miToolBar->setChecked(Flag(settings, "ToolBar", true));
  ToggleToolBar();
  miUnmapPane->setChecked(Flag(settings, "UnmapPane", true));
  VisibleUnmapPane(true);
  ChangeListType(true, Flag(settings, "UnmapThumbnails", true));
  ChangeListType(false, Flag(settings, "TrashThumbnails", true));
  const QString view = settings.value("View").toString();
  const int percent = settings.value("Zoom").toInt(&ok);
  if (view == "all")
    startView_ = StartView{4, 100};
  else if (view == "real")
    startView_ = StartView{3, 100};
  else if (view == "width")
    startView_ = StartView{5, 100};
  else if (view == "zoom" && ok)
    startView_ = StartView{0, percent};
  settings.endGroup();
  if (!doc_.Open()) ApplyDocumentView();

  // A window that filled its screen comes back maximized, as on the first start: restored as it was,
  // its frame would hang over the screen's edge.
  const QScreen* screen = QGuiApplication::screenAt(geometry().center());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  const QRect available = screen != nullptr ? screen->availableGeometry() : QRect();
  const bool fills = width() >= available.width() && height() >= available.height();
  if (placed && !isMaximized() && !fills) {
    show();
    return;
  }
  // Maximized; a desktop without a window manager ignores that, so the screen's size is set as well.
  if (screen != nullptr) setGeometry(available);
  showMaximized();
}

void TfmMain::SaveWindowState() {
  if (!remembers_) return;
  MEditorSettings settings;
  settings.beginGroup("Window");
  settings.setValue("Geometry", saveGeometry());
  // A hidden pane has no width in the splitter: the one it had when shown is kept.
  if (!pnlPane->isHidden() && splitter_->sizes().size() == 2) paneWidth_ = splitter_->sizes()[1];
  settings.setValue("PaneWidth", paneWidth_);
  settings.setValue("ToolBar", miToolBar->isChecked());
  settings.setValue("UnmapPane", miUnmapPane->isChecked());
  settings.setValue("UnmapThumbnails", doc_.UnmapCanvas.ListType() == ltThumbnails);
  settings.setValue("TrashThumbnails", doc_.TrashCanvas.ListType() == ltThumbnails);
  const char* view = miViewAll->isChecked()     ? "all"
                     : miViewBaseW->isChecked() ? "width"
                     : miViewReal->isChecked()  ? "real"
                                                : "zoom";
  settings.setValue("View", view);
  settings.setValue("Zoom", qRound(doc_.PageCanvas.Zoom() * 100));
  settings.endGroup();
}
