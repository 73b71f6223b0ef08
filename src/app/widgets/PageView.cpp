// The page view: its controls, the zoom, the caret, pages and the keys of the page.
#include "app/widgets/PageView.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <cmath>

#include "app/widgets/InplaceEditor.h"
#include "base/Numbers.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "layout/Layout.h"
#include "render/MapCanvas.h"

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

bool NoModifier(const QKeyEvent* key) {
  return (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
}

}  // namespace

MPageView::MPageView(const MDocumentContext& document, QWidget* parent)
    : MScrollBox(parent), document_(document) {
  NameControl(this, "sbxMap");
  setBackgroundRole(QPalette::Dark);
  QPalette grey = palette();
  grey.setColor(QPalette::Dark, QColor(128, 128, 128));
  setPalette(grey);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);

  panel_ = new MPanel(*this);
  NameControl(panel_, "pnlMap", "ページ");
  panel_->setAutoFillBackground(true);
  QPalette white = panel_->palette();
  white.setColor(QPalette::Window, Qt::white);
  panel_->setPalette(white);
  paintBox_ = new MPaintBox(*this, panel_);
  NameControl(paintBox_, "pbxMap");
  paintBox_->setAcceptDrops(true);
  editor_ = new MInplaceEditor(panel_);
  NameControl(editor_, "mmInplaceEdit", "インプレイスエディット");
  // The mapping cursor: a gray bar over the page, placed by UpdateCaret.
  caret_ = new QWidget(panel_);
  caret_->setObjectName("Caret");
  caret_->setAttribute(Qt::WA_TransparentForMouseEvents);
  caret_->setAutoFillBackground(true);
  QPalette gray = caret_->palette();
  gray.setColor(QPalette::Window, QColor(128, 128, 128));
  caret_->setPalette(gray);
  caret_->hide();
  setWidget(panel_);

  connect(editor_, &MInplaceEditor::finished, this, [this] {
    CloseInplaceEditor();
    panel_->setFocus();
  });
  connect(editor_, &MInplaceEditor::left, this, [this] { CloseInplaceEditor(); });
  connect(editor_, &MInplaceEditor::selectionMayHaveChanged, this, &MPageView::editorChanged);
  // The whole-page and page-width views follow the size of the view.
  OnResize = [this] {
    if (viewMode_ == MViewMode::WholePage)
      ApplyZoom(MZoomRequest::WholePage);
    else if (viewMode_ == MViewMode::PageWidth)
      ApplyZoom(MZoomRequest::PageWidth);
  };
  controls_ = std::make_unique<MCanvasControls>(this, panel_, paintBox_);
  controls_->Bind(&document_.PageCanvas);
  document_.PageCanvas.SetUnit(0);
}

MPageView::~MPageView() {
  // The editor goes after this: its last focus change must not commit into a view that is no more.
  editor_->disconnect(this);
  editing_ = nullptr;
}

QWidget* MPageView::Panel() const { return panel_; }

void MPageView::DocumentChanged() {
  // The text being edited went with the document it belonged to.
  editing_ = nullptr;
  editor_->hide();
  ScrollToOrigin();
  MMapCanvas& canvas = document_.PageCanvas;
  canvas.SetPageWidth(document_.Layout.Setting.PageWidth);
  canvas.SetPageHeight(document_.Layout.Setting.PageHeight);
  canvas.SetUnit(document_.Layout.Setting.Unit);
  paintBox_->setEnabled(DocumentOpen());
  canvas.Invalidate();
}

// ---- zoom and scrolling

void MPageView::ApplyZoom(MZoomRequest request, const QString& typed) {
  MMapCanvas& canvas = document_.PageCanvas;
  int percent = 100;
  switch (request) {
    case MZoomRequest::Text:
      percent = PercentOfText(typed);
      break;
    case MZoomRequest::RealSize:
      percent = 100;
      break;
    default:
      percent = TruncatedPercent(canvas.ZoomFor(static_cast<int>(request)));
      break;
  }
  // What was typed is kept before the editor is laid out at the new scale (its content stays).
  if (editing_ != nullptr) StoreEditorValue(editing_);
  canvas.SetZoom(percent / 100.0);
  if (editing_ != nullptr) LayOutEditor();
  UpdateCaret();
  if (percent == 100)
    viewMode_ = MViewMode::RealSize;
  else if (request == MZoomRequest::WholePage)
    viewMode_ = MViewMode::WholePage;
  else if (request == MZoomRequest::PageWidth)
    viewMode_ = MViewMode::PageWidth;
  else
    viewMode_ = MViewMode::None;
  emit zoomChanged();
}

int MPageView::ZoomPercent() const { return base::RoundHalfEven(document_.PageCanvas.Zoom() * 100); }

void MPageView::ScrollLine(bool up) {
  verticalScrollBar()->triggerAction(up ? QAbstractSlider::SliderSingleStepSub
                                        : QAbstractSlider::SliderSingleStepAdd);
}

void MPageView::ScrollToOrigin() {
  horizontalScrollBar()->setValue(0);
  verticalScrollBar()->setValue(0);
}

// ---- pages

void MPageView::TurnPage(int page) {
  if (!DocumentOpen()) return;
  CommitEdit();
  // A drag of an entry belongs to the page it started on.
  if (press_ == MPress::Dragging) EndMoveDrag(QPoint(), false);
  Apply(GoToPage(page));
}

void MPageView::PreviousPage() { TurnPage(document_.Pages.CurrentPage() - 1); }
void MPageView::NextPage() { TurnPage(document_.Pages.CurrentPage() + 1); }

// ---- modes and the caret

void MPageView::SetEditMode(bool textInput) {
  MMapCanvas& canvas = document_.PageCanvas;
  if (textInput) {
    canvas.SetMode(cmTextInput);
  } else {
    CloseInplaceEditor();
    panel_->setFocus();
    canvas.SetMode(cmMapping);
  }
  UpdateCaret();
}

void MPageView::UpdateCaret() {
  caret_->hide();
  if (!panel_->hasFocus() || document_.TextInput() || !DocumentOpen()) return;
  const MEntry* entry = document_.Pages.Current();
  double x = 0, y = 0;
  MRect bounds;
  if (entry == nullptr || !document_.Pages.CurrentArea(x, y, bounds)) return;
  const MMapCanvas& canvas = document_.PageCanvas;
  const double zoom = canvas.Zoom();
  const int width = base::RoundHalfEven(zoom * 10);
  const int height =
      entry->IsBlock() ? canvas.ToPixels(entry->Block()->Class().Height) : base::RoundHalfEven(zoom * 20);
  const QPoint at = canvas.PointToPixels(x, y) + QPoint(1, 1);
  caret_->setGeometry(at.x(), at.y(), std::max(1, width), std::max(1, height));
  caret_->show();
  caret_->raise();
}

void MPageView::PanelFocusIn(QFocusEvent*) { UpdateCaret(); }

void MPageView::PanelFocusOut(QFocusEvent*) { caret_->hide(); }

// ---- keys

void MPageView::PanelKeyDown(QKeyEvent* key) {
  // Every key stays with the page: the scroll box behind it would scroll on the ones the page does
  // not use.
  key->accept();
  // While an entry is dragged, the page stays as the drag found it; Escape gives the drag up.
  if (press_ == MPress::Dragging) {
    if (key->key() == Qt::Key_Escape) EndMoveDrag(QPoint(), false);
    return;
  }
  pnlMapKeyDown(key);
}

void MPageView::pnlMapKeyDown(QKeyEvent* key) {
  if (!document_.HasForms()) return;
  const bool mapping = !document_.TextInput();
  const bool plain = NoModifier(key);
  const bool control = (key->modifiers() & Qt::ControlModifier) != 0;
  const auto move = [&](MCursorMove step) {
    if (mapping && plain) Apply(MoveCursor(step));
  };
  switch (key->key()) {
    case Qt::Key_Backspace:
      if (mapping) Apply(DeleteBeforeCursor());
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Execute:
      if (mapping) Apply(InsertSpecial((key->modifiers() & Qt::ShiftModifier) != 0 ? "newpage" : "newline"));
      break;
    case Qt::Key_Space:
      if (mapping) Apply(InsertSpecial("space"));
      break;
    case Qt::Key_End:
      move(MCursorMove::RowEnd);
      break;
    case Qt::Key_Dollar:
      if (mapping) Apply(MoveCursor(MCursorMove::RowEnd));
      break;
    case Qt::Key_Home:
    case Qt::Key_0:
      move(MCursorMove::RowStart);
      break;
    case Qt::Key_Left:
    case Qt::Key_H:
      move(MCursorMove::Previous);
      break;
    case Qt::Key_Up:
    case Qt::Key_K:
      move(MCursorMove::Up);
      break;
    case Qt::Key_Right:
    case Qt::Key_L:
      move(MCursorMove::Next);
      break;
    case Qt::Key_Down:
    case Qt::Key_J:
      move(MCursorMove::Down);
      break;
    case Qt::Key_Insert:
    case Qt::Key_I:
      if (mapping && plain && document_.Unplaced.Current() != nullptr) Apply(PlaceSelected(MPane::Unmap));
      break;
    case Qt::Key_Delete:
    case Qt::Key_X:
      if (mapping && plain) Apply(DeleteAtCursor());
      break;
    case Qt::Key_B:
      if (control) PreviousPage();
      break;
    case Qt::Key_F:
      if (control) NextPage();
      break;
    default:
      break;
  }
}
