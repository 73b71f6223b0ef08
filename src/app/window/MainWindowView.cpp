// The window around its views: the zoom box and the view modes, the page box and the page bar, the
// side pane and the tool bars, the wheel and dropped files, and ApplyReport, the one place that
// refreshes the window after a command.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QWheelEvent>

#include "app/platform/ErrorBox.h"
#include "app/widgets/BoxEdit.h"
#include "app/widgets/DragData.h"
#include "app/widgets/ListPane.h"
#include "app/widgets/PageView.h"
#include "app/window/MainWindow.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "render/MapCanvas.h"
#include "render/QtText.h"

void TfmMain::ConnectViews() {
  connect(pageView_, &MPageView::reportReady, this, &TfmMain::ApplyReport);
  for (MListPane* pane : {unmapPane_, trashPane_}) {
    connect(pane, &MListPane::reportReady, this, &TfmMain::ApplyReport);
    // An empty pane cannot hold the focus: the page takes it.
    connect(pane, &MListPane::focusRefused, this, [this] { pageView_->Panel()->setFocus(); });
    pane->Confirm = [this](const QString& question) { return Confirm(question); };
  }
  connect(pageView_, &MPageView::zoomChanged, this, [this] { ShowZoom(); });
  connect(pageView_, &MPageView::editorChanged, this, [this] { UpdateActions(); });
  connect(pageView_, &MPageView::fileDropped, this, &TfmMain::OpenAfterDrop);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusChanged(now); });
  if (QClipboard* clipboard = QGuiApplication::clipboard())
    connect(clipboard, &QClipboard::dataChanged, this, [this] { ClipboardChanged(); });

  // The boxes take effect by Enter, after which the keys go to the view they serve, or by leaving them.
  connect(cbxZoom->Edit(), &MBoxEdit::committed, this, [this](bool enter) {
    ApplyZoom(0);
    if (enter) pageView_->Panel()->setFocus();
  });
  connect(cbxZoom, &QComboBox::activated, this, [this] {
    ApplyZoom(0);
    pageView_->Panel()->setFocus();
  });
  connect(edtNowPage, &MBoxEdit::committed, this, [this](bool enter) {
    ApplyPageBox();
    if (enter) pageView_->Panel()->setFocus();
  });
  connect(tbPageBar, &QSlider::valueChanged, this, [this](int position) {
    // Setting the position from UpdatePageIndicator does not navigate: it is the current page then.
    if (doc_.Open() && position != doc_.Pages.CurrentPage()) {
      pageView_->TurnPage(position);
      UpdatePageIndicator(true);
    }
  });
}

// ---- zoom

void TfmMain::ApplyZoom(int request) {
  if (request < 0 || request > 5) return;
  pageView_->ApplyZoom(static_cast<MZoomRequest>(request), cbxZoom->currentText());
}

void TfmMain::ShowZoom() {
  cbxZoom->setEditText(QString::number(pageView_->ZoomPercent()) + "%");
  const MViewMode mode = pageView_->ViewMode();
  miViewReal->setChecked(mode == MViewMode::RealSize);
  miViewAll->setChecked(mode == MViewMode::WholePage);
  miViewBaseW->setChecked(mode == MViewMode::PageWidth);
}

void TfmMain::ZoomIn() { ApplyZoom(1); }
void TfmMain::ZoomOut() { ApplyZoom(2); }
void TfmMain::ViewRealClick() { ApplyZoom(3); }
void TfmMain::ViewAllClick() { ApplyZoom(4); }
void TfmMain::ViewBaseWClick() { ApplyZoom(5); }

// ---- pages

void TfmMain::PreviousPage() { pageView_->PreviousPage(); }
void TfmMain::NextPage() { pageView_->NextPage(); }

void TfmMain::ApplyPageBox() {
  if (!doc_.Open()) return;
  const QString text = edtNowPage->text();
  const qsizetype slash = text.indexOf('/');
  bool ok = false;
  const int page = (slash < 0 ? text : text.left(slash)).trimmed().toInt(&ok);
  pageView_->TurnPage(ok ? page : doc_.Pages.CurrentPage());
  // The box always shows the page and the count again, also after a number out of range.
  UpdatePageIndicator(true);
}

// ---- the side pane and the tool bars

void TfmMain::VisibleUnmapPane(bool fromMenu) {
  // The menu item toggles; the button follows its own state.
  const bool show = fromMenu ? miUnmapPane->isChecked() : btnUnmapPaneAction->isChecked();
  if (show) {
    // Back as wide as it was, also when it was hidden from the start and the splitter never sized it.
    const bool wasHidden = pnlPane->isHidden();
    pnlPane->show();
    if (wasHidden) {
      const int total = splitter_->width();
      splitter_->setSizes({std::max(1, total - paneWidth_ - splitter_->handleWidth()), paneWidth_});
    }
  } else {
    // Its width is kept for the next run; the splitter has none for a hidden pane.
    if (shown_ && !pnlPane->isHidden()) paneWidth_ = splitter_->sizes().value(1, paneWidth_);
    pageView_->Panel()->setFocus();
    pnlPane->hide();
  }
  miUnmapPane->setChecked(show);
  btnUnmapPaneAction->setChecked(show);
}

void TfmMain::ToggleToolBar() {
  const bool show = miToolBar->isChecked();
  for (QToolBar* bar : {tbEdit, tbView, tbPage, tbPrint}) bar->setVisible(show);
}

void TfmMain::ChangeListType(bool unmapPane, bool thumbnails) {
  (unmapPane ? unmapPane_ : trashPane_)->SetThumbnails(thumbnails);
}

void TfmMain::ApplyPaneSearch(bool unmapPane) { (unmapPane ? unmapPane_ : trashPane_)->ApplySearch(false); }

// ---- refreshing

void TfmMain::ApplyReport(const MCommandReport& report) {
  if (report.Changed(dlPages)) doc_.PageCanvas.Invalidate();
  if (report.Changed(dlUnmap)) unmapPane_->Refresh();
  if (report.Changed(dlTrash)) trashPane_->Refresh();
  if (report.Lists != 0) UpdateStatusBar();
  UpdatePageIndicator(false);
  pageView_->UpdateCaret();
  UpdateActions();
  if (report.Lists != 0 && doc_.Open()) ScheduleRecoveryCopy();
  if (report.MovedToUnplaced > 0) ShowMessage(this, FromSjis(MovedToUnplacedMessage(report)));
}

void TfmMain::UpdateStatusBar() {
  const bool open = doc_.Open();
  statusPanels_[1]->setText(QString("配置 : %1").arg(open ? doc_.Pages.Count() : 0));
  statusPanels_[2]->setText(
      QString("未配置 : %1/%2").arg(doc_.Unplaced.VisibleCount()).arg(doc_.Unplaced.Count()));
  statusPanels_[3]->setText(QString("ごみ箱 : %1/%2").arg(doc_.Trash.VisibleCount()).arg(doc_.Trash.Count()));
}

void TfmMain::UpdatePageIndicator(bool force) {
  const int count = std::max(1, doc_.Pages.PageCount());
  const int current = std::clamp(doc_.Pages.CurrentPage(), 1, count);
  if (!force && tbPageBar->maximum() == count && tbPageBar->value() == current) return;
  {
    const QSignalBlocker quiet(tbPageBar);  // setting the position must not navigate
    tbPageBar->setMaximum(count);
    tbPageBar->setValue(current);
  }
  edtNowPage->setText(QString("%1/%2").arg(tbPageBar->value()).arg(tbPageBar->maximum()));
  doc_.PageCanvas.Invalidate();
}

void TfmMain::UpdateCaret() { pageView_->UpdateCaret(); }

const MPageText& TfmMain::EditingText() const { return pageView_->EditingText(); }

// ---- the wheel and dropped files

void TfmMain::wheelEvent(QWheelEvent* event) {
  // Every wheel turn in the window that no control keeps comes here: one line of the focused view.
  ScrollFocusedView(event->angleDelta().y() > 0);
  event->accept();
}

void TfmMain::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

namespace {

// The document a drag brings the window, accepted as a copy; empty (the drag refused) for anything
// else. Never moved: a file manager told that the file moved would delete it.
QString TakeDocumentDrag(QDropEvent* event) {
  const QString path = DraggedMapFile(event->mimeData());
  if (path.isEmpty() || (event->possibleActions() & Qt::CopyAction) == 0) {
    event->ignore();
    return {};
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  return path;
}

}  // namespace

void TfmMain::dragMoveEvent(QDragMoveEvent* event) { TakeDocumentDrag(event); }

void TfmMain::dropEvent(QDropEvent* event) {
  const QString path = TakeDocumentDrag(event);
  if (!path.isEmpty()) OpenAfterDrop(path);
}

void TfmMain::OpenAfterDrop(const QString& path) {
  // Once the drop is over: the save question must not hold up the other program's drag.
  QMetaObject::invokeMethod(
      this, [this, path] { OpenNamed(path); }, Qt::QueuedConnection);
}
