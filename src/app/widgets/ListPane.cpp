#include "app/widgets/ListPane.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDrag>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/platform/Icons.h"
#include "app/widgets/BoxEdit.h"
#include "app/widgets/DragData.h"
#include "data/ListDB.h"
#include "layout/Form.h"
#include "render/ListCanvas.h"
#include "render/QtText.h"

namespace {

constexpr int kPaneBarHeight = 30;

// The control names of a pane: "#" stands for Unmap or Trash.
QByteArray PaneName(MPane pane, const char* pattern) {
  return QByteArray(pattern).replace("#", pane == MPane::Unmap ? "Unmap" : "Trash");
}

}  // namespace

MListPane::MListPane(MPane pane, const MDocumentContext& document, QWidget* parent)
    : QWidget(parent), pane_(pane), document_(document) {
  setObjectName(pane == MPane::Unmap ? "tsUnmap" : "tsTrash");
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* bar = new QWidget(this);
  bar->setFixedHeight(kPaneBarHeight);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(2, 2, 2, 2);
  row->setSpacing(2);
  thumb_ = new QToolButton(bar);
  NameControl(thumb_, PaneName(pane, "btn#Thumb").constData(), "サムネイル表示", true);
  thumb_->setIcon(IconFor(MIcon::Thumbnails));
  list_ = new QToolButton(bar);
  NameControl(list_, PaneName(pane, "btn#List").constData(), "リスト表示", true);
  list_->setIcon(IconFor(MIcon::ListView));
  auto* group = new QButtonGroup(bar);
  for (QToolButton* b : {thumb_, list_}) {
    b->setCheckable(true);
    b->setFocusPolicy(Qt::NoFocus);  // as the tool bar's buttons: the mouse's, not stops of Tab
    b->setAutoRaise(true);
    group->addButton(b);
    row->addWidget(b);
  }
  thumb_->setChecked(true);
  connect(thumb_, &QToolButton::clicked, this, [this] { SetThumbnails(true); });
  connect(list_, &QToolButton::clicked, this, [this] { SetThumbnails(false); });
  search_ = new MBoxEdit(bar);
  NameControl(search_, PaneName(pane, "edt#Search").constData(), "検索", true);
  search_->setPlaceholderText("検索");
  search_->setClearButtonEnabled(true);
  connect(search_, &MBoxEdit::committed, this, [this](bool enter) { ApplySearch(enter); });
  // Emptied by its clear button (or by deleting the text): every block shows again at once.
  connect(search_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (text.isEmpty()) ApplySearch(false);
  });
  row->addWidget(search_, 1);
  column->addWidget(bar);

  scrollBox_ = new MScrollBox(this);
  NameControl(scrollBox_, PaneName(pane, "sbx#").constData());
  scrollBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scrollBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  scrollBox_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  scrollBox_->setBackgroundRole(QPalette::Base);
  panel_ = new MPanel(*this);
  NameControl(panel_, PaneName(pane, "pnl#").constData(), pane == MPane::Unmap ? "未配置" : "ごみ箱");
  panel_->resize(0, 0);
  paintBox_ = new MPaintBox(*this, panel_);
  NameControl(paintBox_, PaneName(pane, "pbx#").constData());
  scrollBox_->setWidget(panel_);
  controls_ = std::make_unique<MCanvasControls>(scrollBox_, panel_, paintBox_);
  scrollBox_->OnResize = [this] { Canvas().Relayout(); };
  column->addWidget(scrollBox_, 1);

  controls_->Bind(&Canvas());
  thumbBack_ = MakeThumbBack();
  Canvas().SetThumbBack(&thumbBack_);
}

MListPane::~MListPane() {
  // The canvas outlives the pane: it must not reach the picture any more.
  if (Canvas().ThumbBack() == &thumbBack_) Canvas().SetThumbBack(nullptr);
}

QWidget* MListPane::Panel() const { return panel_; }

void MListPane::DocumentChanged() {
  search_->clear();
  search_->setEnabled(document_.Open());
  Refresh();
}

void MListPane::Refresh() {
  const int visible = document_.Open() ? List().VisibleCount() : 0;
  Canvas().SetItemCount(visible);
  Canvas().Invalidate();
  // Tab passes over a pane that could not hold the focus.
  panel_->setFocusPolicy(visible > 0 ? Qt::StrongFocus : Qt::NoFocus);
}

void MListPane::SetThumbnails(bool thumbnails) {
  thumb_->setChecked(thumbnails);
  list_->setChecked(!thumbnails);
  Canvas().SetListType(thumbnails ? ltThumbnails : ltList);
  Canvas().Invalidate();
}

void MListPane::ClearSearchBox() { search_->clear(); }

void MListPane::ScrollLine(bool up) {
  scrollBox_->verticalScrollBar()->triggerAction(up ? QAbstractSlider::SliderSingleStepSub
                                                    : QAbstractSlider::SliderSingleStepAdd);
}

void MListPane::ApplySearch(bool enter) {
  if (!document_.Open()) return;
  Apply(SetPaneSearch(pane_, ToSjis(search_->text())));
  // Enter is done with the box: the keys go back to the list it searched.
  if (enter) panel_->setFocus(Qt::OtherFocusReason);
}

// ---- keys and focus

void MListPane::PanelKeyDown(QKeyEvent* key) {
  key->accept();
  if (!document_.Open()) return;
  // The old and the new selected cell repaint.
  const auto select = [this](void (MListDB::*step)()) {
    Canvas().InvalidateSelection();
    (List().*step)();
    Canvas().InvalidateSelection();
  };
  switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_H:
    case Qt::Key_K:
      select(&MListDB::SelectPrevious);
      return;
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_J:
    case Qt::Key_L:
      select(&MListDB::SelectNext);
      return;
    case Qt::Key_Delete:
    case Qt::Key_X:
      DeleteSelected();
      return;
    default:
      return;
  }
}

void MListPane::DeleteSelected() {
  if (pane_ == MPane::Unmap) {
    Apply(TrashSelected());
  } else {
    const MBlockInstance* block = List().Current();
    if (block == nullptr) return;
    const QString question = QString("'%1'を削除しますか？").arg(FromSjis(block->FaceText()));
    if (!Confirm || !Confirm(question)) return;
    Apply(DeleteSelectedForGood());
  }
  if (List().VisibleCount() == 0) emit focusRefused();
}

void MListPane::PanelFocusIn(QFocusEvent*) {
  // An empty pane cannot hold the focus: its keys would act on nothing.
  if (!document_.Open() || List().VisibleCount() == 0) {
    emit focusRefused();
    return;
  }
  Canvas().ShowFocused();
}

void MListPane::PanelFocusOut(QFocusEvent*) { Canvas().ShowUnfocused(); }

// ---- the mouse

void MListPane::BoxMouseDown(QMouseEvent* mouse) {
  mayDrag_ = false;
  panel_->setFocus(Qt::MouseFocusReason);
  if (!document_.Open()) return;
  // Any button selects; the block under it may then be dragged onto the page.
  if (Canvas().SelectAt(mouse->position().toPoint())) {
    mayDrag_ = true;
    pressAt_ = mouse->position().toPoint();
  }
}

void MListPane::BoxMouseMove(QMouseEvent* mouse) {
  if (!mayDrag_ || mouse->buttons() == Qt::NoButton) return;
  if ((mouse->position().toPoint() - pressAt_).manhattanLength() < QApplication::startDragDistance()) return;
  mayDrag_ = false;
  auto* drag = new QDrag(paintBox_);
  drag->setMimeData(PaneDragData(pane_));
  // A drag that ends nowhere gives the pane the focus back.
  if (drag->exec(Qt::MoveAction) == Qt::IgnoreAction) panel_->setFocus();
}

void MListPane::BoxMouseUp(QMouseEvent*) { mayDrag_ = false; }
