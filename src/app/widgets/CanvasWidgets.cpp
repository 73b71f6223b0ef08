#include "app/widgets/CanvasWidgets.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "render/BaseCanvas.h"

MScrollBox::MScrollBox(QWidget* parent) : QScrollArea(parent) {
  setWidgetResizable(false);
  // The panel inside holds the keys; the box itself is no stop of Tab.
  setFocusPolicy(Qt::NoFocus);
}

bool MScrollBox::focusNextPrevChild(bool next) {
  // QScrollArea scrolls the newly focused child into view; the panel fills the box, so skip that
  // for it and keep the toolkit's behaviour for every other child.
  const QPoint before(horizontalScrollBar()->value(), verticalScrollBar()->value());
  const bool moved = QWidget::focusNextPrevChild(next);
  if (moved && widget() != nullptr && QWidget::focusWidget() == widget()) {
    horizontalScrollBar()->setValue(before.x());
    verticalScrollBar()->setValue(before.y());
  } else if (moved && widget() != nullptr) {
    if (QWidget* focused = QWidget::focusWidget(); focused != nullptr && widget()->isAncestorOf(focused))
      ensureWidgetVisible(focused);
  }
  return moved;
}

void MScrollBox::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  if (OnResize) OnResize();
}

void MScrollBox::wheelEvent(QWheelEvent* event) { event->ignore(); }

MPanel::MPanel(MViewInput& input, QWidget* parent) : QWidget(parent), input_(input) {
  setFocusPolicy(Qt::StrongFocus);
}

void MPanel::keyPressEvent(QKeyEvent* event) { input_.PanelKeyDown(event); }

void MPanel::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  input_.PanelFocusIn(event);
}

void MPanel::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  input_.PanelFocusOut(event);
}

MPaintBox::MPaintBox(MViewInput& input, QWidget* parent) : QWidget(parent), input_(input) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
}

void MPaintBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::white);
  if (canvas_ == nullptr) return;
  MPaintScope scope(*canvas_, painter, event->rect());
  canvas_->Paint();
}

void MPaintBox::mousePressEvent(QMouseEvent* event) { input_.BoxMouseDown(event); }
void MPaintBox::mouseMoveEvent(QMouseEvent* event) { input_.BoxMouseMove(event); }
void MPaintBox::mouseReleaseEvent(QMouseEvent* event) { input_.BoxMouseUp(event); }

void MPaintBox::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void MPaintBox::dragMoveEvent(QDragMoveEvent* event) {
  if (input_.BoxDragOver(event))
    event->accept();
  else
    event->ignore();
}

void MPaintBox::dropEvent(QDropEvent* event) { input_.BoxDrop(event); }

MCanvasControls::MCanvasControls(MScrollBox* scrollBox, QWidget* panel, MPaintBox* paintBox)
    : scrollBox_(scrollBox), panel_(panel), paintBox_(paintBox) {}

void MCanvasControls::Bind(MBaseCanvas* canvas) {
  Unbind();
  canvas_ = canvas;
  if (canvas_ == nullptr) return;
  canvas_->SetHost(this);
  paintBox_->SetCanvas(canvas_);
}

void MCanvasControls::Unbind() {
  if (canvas_ != nullptr && canvas_->Host() == this) canvas_->SetHost(nullptr);
  paintBox_->SetCanvas(nullptr);
  canvas_ = nullptr;
}

QSize MCanvasControls::ScrollBoxSize() const { return scrollBox_->size(); }

void MCanvasControls::SetPanelSize(int width, int height) {
  panel_->resize(width, height);
  paintBox_->setGeometry(0, 0, width, height);
}

void MCanvasControls::RepaintAll() { paintBox_->update(); }

void MCanvasControls::RepaintRect(const QRect& rect, bool) { paintBox_->update(rect); }
