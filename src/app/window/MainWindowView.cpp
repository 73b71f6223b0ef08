// How the pages are looked at: zoom, view modes, pages, the side pane and the tool bar, the wheel,
// and the refresh operations that keep the status bar and the page indicator up to date.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>

#include "app/platform/ErrorBox.h"
#include "app/widgets/CanvasWidgets.h"
#include "app/window/MainWindow.h"
#include "base/Numbers.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"
#include "render/ListCanvas.h"
#include "render/MapCanvas.h"
#include "render/QtText.h"
#include "render/RenderGlobal.h"

namespace {

// The percentage a zoom factor gives: 100 times the factor in extended precision, truncated, so that
// zooming out from 150 % gives 98 (the product lies just below 99).
int TruncatedPercent(double factor) {
  const long double percent = 100.0L * static_cast<long double>(factor);
  return static_cast<int>(percent);
}

// The zoom box's text as a percentage: every "%" removed, rounded halves to even; 100 when it is no
// number.
int PercentOfText(QString text) {
  text.remove('%');
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(value) || std::abs(value) > 1e9) return 100;
  return base::RoundHalfEven(value);
}

}  // namespace

void TfmMain::ApplyZoom(int request) {
  for (QAction* a : {miViewAll, miViewReal, miViewBaseW}) a->setChecked(false);
  int percent = 100;
  switch (request) {
    case 0:
      percent = PercentOfText(cbxZoom->currentText());
      break;
    case 3:
      percent = 100;
      break;
    case 1:
    case 2:
    case 4:
    case 5:
      percent = TruncatedPercent(gMapCanvas->ZoomFor(request));
      break;
    default:
      return;
  }
  gMapCanvas->SetZoom(percent / 100.0);
  // The editor follows the new scale (typing not yet committed is dropped); the caret too.
  if (gMapCanvas->Mode() == cmTextInput)
    OpenInplaceEditor();
  else
    UpdateCaret();
  cbxZoom->setEditText(QString::number(base::RoundHalfEven(gMapCanvas->Zoom() * 100)) + "%");
  if (percent == 100)
    miViewReal->setChecked(true);
  else if (request == 4)
    miViewAll->setChecked(true);
  else if (request == 5)
    miViewBaseW->setChecked(true);
}

void TfmMain::ZoomIn() { ApplyZoom(1); }
void TfmMain::ZoomOut() { ApplyZoom(2); }
void TfmMain::ViewRealClick() { ApplyZoom(3); }
void TfmMain::ViewAllClick() { ApplyZoom(4); }
void TfmMain::ViewBaseWClick() { ApplyZoom(5); }

void TfmMain::ScrollToOrigin() {
  sbxMap->horizontalScrollBar()->setValue(0);
  sbxMap->verticalScrollBar()->setValue(0);
}

void TfmMain::PreviousPage() {
  if (!HasDocument()) return;
  CommitBeforeLeavingThePage();
  gMapDB->PreviousPage();
  UpdatePageIndicator(false);
  UpdateCaret();
}

void TfmMain::NextPage() {
  if (!HasDocument()) return;
  CommitBeforeLeavingThePage();
  gMapDB->NextPage();
  UpdatePageIndicator(false);
  UpdateCaret();
}

void TfmMain::ApplyPageBox() {
  if (!HasDocument()) return;
  CommitBeforeLeavingThePage();
  const QString text = edtNowPage->text();
  const qsizetype slash = text.indexOf('/');
  bool ok = false;
  const int page = (slash < 0 ? text : text.left(slash)).trimmed().toInt(&ok);
  gMapDB->GoToPage(ok ? page : gMapDB->CurrentPage());
  UpdatePageIndicator(true);
}

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
    pnlMap->setFocus();
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
  // The buttons follow when the type comes from elsewhere than them (the settings).
  const Pane& pane = unmapPane ? unmap_ : trash_;
  pane.thumb->setChecked(thumbnails);
  pane.list->setChecked(!thumbnails);
  MListCanvas* canvas = PaneCanvas(unmapPane);
  canvas->SetListType(thumbnails ? 0 : 1);
  canvas->Invalidate();
}

MListCanvas* TfmMain::PaneCanvas(bool unmapPane) {
  if (unmapPane) return gUnmapCanvas.get();
  return gTrashCanvas.get();
}

MListDB& TfmMain::PaneList(bool unmapPane) {
  if (unmapPane) return *gUnmapDB;
  return *gTrashDB;
}

void TfmMain::RefreshPane(bool unmapPane) {
  MListCanvas* canvas = PaneCanvas(unmapPane);
  const MListDB& list = PaneList(unmapPane);
  canvas->SetItemCount(list.VisibleCount());
  canvas->Invalidate();
}

void TfmMain::ApplyPaneSearch(bool unmapPane) {
  if (!HasDocument()) return;
  const QLineEdit* box = unmapPane ? unmap_.search : trash_.search;
  AfterCommand(SetPaneSearch(unmapPane ? MPane::Unmap : MPane::Trash, ToSjis(box->text())));
}

void TfmMain::UpdateStatusBar() {
  const int placed = gMapDB != nullptr ? gMapDB->Count() : 0;
  statusPanels_[1]->setText(QString("配置 : %1").arg(placed));
  statusPanels_[2]->setText(QString("未配置 : %1/%2").arg(gUnmapDB->VisibleCount()).arg(gUnmapDB->Count()));
  statusPanels_[3]->setText(QString("ごみ箱 : %1/%2").arg(gTrashDB->VisibleCount()).arg(gTrashDB->Count()));
}

void TfmMain::UpdatePageIndicator(bool force) {
  const int count = std::max(1, gMapDB->PageCount());
  const int current = std::clamp(gMapDB->CurrentPage(), 1, count);
  if (!force && tbPageBar->maximum() == count && tbPageBar->value() == current) return;
  {
    const QSignalBlocker quiet(tbPageBar);  // setting the position must not navigate
    tbPageBar->setMaximum(count);
    tbPageBar->setValue(current);
  }
  edtNowPage->setText(QString("%1/%2").arg(tbPageBar->value()).arg(tbPageBar->maximum()));
  gMapCanvas->Invalidate();
}

void TfmMain::AfterCommand(const MCommandReport& report) {
  if (report.Changed(dlPages)) gMapCanvas->Invalidate();
  if (report.Changed(dlUnmap)) RefreshPane(true);
  if (report.Changed(dlTrash)) RefreshPane(false);
  if (report.Lists != 0) UpdateStatusBar();
  UpdatePageIndicator(false);
  UpdateUndoCommands();
  if (report.Lists != 0 && HasDocument()) ScheduleRecoveryCopy();
  if (report.MovedToUnplaced > 0) ShowMessage(this, FromSjis(MovedToUnplacedMessage(report)));
}

void TfmMain::StatusBarResized() { statusPanels_[0]->setFixedWidth(std::max(0, statusBar()->width() - 380)); }

void TfmMain::WheelScroll(bool up) {
  QWidget* focused = QApplication::focusWidget();
  const QString name = focused != nullptr ? focused->objectName() : QString();
  MScrollBox* target = nullptr;
  if (name == "pnlMap")
    target = sbxMap;
  else if (name == "pnlUnmap")
    target = unmap_.scrollBox;
  else if (name == "pnlTrash")
    target = trash_.scrollBox;
  if (target == nullptr) return;
  target->verticalScrollBar()->triggerAction(up ? QAbstractSlider::SliderSingleStepSub
                                                : QAbstractSlider::SliderSingleStepAdd);
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
  // The window sees every key first: the zoom keys work wherever the focus is, except while a text
  // is edited in place.
  if (event->type() == QEvent::KeyPress && editingText_ == nullptr) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & Qt::ControlModifier) != 0 && isActiveWindow()) {
      switch (key->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
        case Qt::Key_Semicolon:
          ApplyZoom(1);
          return true;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
          ApplyZoom(2);
          return true;
        default:
          break;
      }
    }
  }
  if (FileDragEvent(watched, event) || EditEvent(watched, event)) return true;
  switch (event->type()) {
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (watched == cbxZoom && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        ApplyZoom(0);
        return true;
      }
      break;
    }
    case QEvent::FocusOut:
      // Leaving a box commits it as Enter does.
      if (watched == cbxZoom) ApplyZoom(0);
      if (watched == edtNowPage) ApplyPageBox();
      if (watched == unmap_.search) ApplyPaneSearch(true);
      if (watched == trash_.search) ApplyPaneSearch(false);
      break;
    case QEvent::Wheel:
      // The window handles the wheel itself, one line a message, by the focused control.
      if (isAncestorOf(qobject_cast<QWidget*>(watched)) || watched == this) {
        WheelScroll(static_cast<QWheelEvent*>(event)->angleDelta().y() > 0);
        return true;
      }
      break;
    case QEvent::Resize:
      if (watched == statusBar()) StatusBarResized();
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}
