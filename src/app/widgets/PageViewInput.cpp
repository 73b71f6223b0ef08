// The mouse on the page: clicks that move the cursor or open a text in place, move drags of placed
// entries, panning with the right button, and drops of blocks from the side panes.
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

#include "app/widgets/DragData.h"
#include "app/widgets/InplaceEditor.h"
#include "app/widgets/PageView.h"
#include "data/MapDB.h"
#include "layout/Controls.h"
#include "render/MapCanvas.h"

void MPageView::CursorToPixel(QPoint pixel) {
  const QPointF point = document_.PageCanvas.PixelsToPoint(pixel.x(), pixel.y());
  Apply(CursorToPoint(point.x(), point.y()));
}

void MPageView::BoxMouseDown(QMouseEvent* mouse) {
  press_ = MPress::None;
  if (!DocumentOpen()) return;
  const QPoint at = mouse->position().toPoint();
  if (mouse->button() == Qt::RightButton) {
    // Panning: the grabbed point stays under the mouse, in both modes.
    press_ = MPress::Panning;
    pressAt_ = at;
    paintBox_->setCursor(Qt::ClosedHandCursor);
    return;
  }
  const QPointF point = document_.PageCanvas.PixelsToPoint(at.x(), at.y());
  if (document_.TextInput()) {
    MPageText text = document_.Pages.TextAt(point.x(), point.y());
    CloseInplaceEditor();
    editing_ = text;
    if (text != nullptr)
      OpenInplaceEditor();
    else
      panel_->setFocus();
    return;
  }
  panel_->setFocus();
  Apply(CursorToPoint(point.x(), point.y()));
  const MEntry* entry = document_.Pages.Current();
  if (entry != nullptr && (entry->IsBlock() || entry->Kind() == MKind::Space)) {
    dragOriginRow_ = document_.Pages.CurrentRow();
    dragOriginColumn_ = document_.Pages.CurrentColumn();
    press_ = MPress::MayDrag;
    pressAt_ = at;
  }
}

void MPageView::BoxMouseMove(QMouseEvent* mouse) {
  const QPoint at = mouse->position().toPoint();
  switch (press_) {
    case MPress::Panning:
      if (at != pressAt_) {
        // Paint-box pixels move with the scrolling, so the grabbed point stays under the mouse.
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + pressAt_.x() - at.x());
        verticalScrollBar()->setValue(verticalScrollBar()->value() + pressAt_.y() - at.y());
      }
      return;
    case MPress::MayDrag:
      if (mouse->buttons() == Qt::NoButton) {
        press_ = MPress::None;
        return;
      }
      if ((at - pressAt_).manhattanLength() < QApplication::startDragDistance()) return;
      StartMoveDrag();
      TrackMoveDrag(at);
      return;
    case MPress::Dragging:
      TrackMoveDrag(at);
      return;
    case MPress::None:
      return;
  }
}

void MPageView::BoxMouseUp(QMouseEvent* mouse) {
  switch (press_) {
    case MPress::Dragging:
      EndMoveDrag(mouse->position().toPoint(), true);
      return;
    case MPress::Panning:
      paintBox_->unsetCursor();
      break;
    default:
      break;
  }
  press_ = MPress::None;
}

// ---- move drags

void MPageView::StartMoveDrag() {
  press_ = MPress::Dragging;
  paintBox_->setCursor(Qt::DragMoveCursor);
}

bool MPageView::MoveDragTarget() const {
  // Dropped on its own point, an entry does not move.
  return document_.Pages.CurrentRow() != dragOriginRow_ ||
         document_.Pages.CurrentColumn() != dragOriginColumn_;
}

void MPageView::TrackMoveDrag(QPoint pixel) {
  CursorToPixel(pixel);
  paintBox_->setCursor(MoveDragTarget() ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
}

void MPageView::EndMoveDrag(QPoint pixel, bool drop) {
  press_ = MPress::None;
  paintBox_->unsetCursor();
  // Released outside the page, or cancelled: nothing moves.
  if (!drop || !paintBox_->rect().contains(pixel)) return;
  CursorToPixel(pixel);
  if (MoveDragTarget()) Apply(MoveEntryToCursor(dragOriginRow_, dragOriginColumn_));
}

// ---- drops from the panes

bool MPageView::BoxDragOver(QDragMoveEvent* drag) {
  // Only blocks of the panes, only in mapping mode; a document file is the window's to open.
  const std::optional<MPane> pane = DraggedPane(drag->mimeData());
  if (!pane || !DocumentOpen() || document_.TextInput()) return false;
  panel_->setFocus();
  CursorToPixel(drag->position().toPoint());
  drag->setDropAction(Qt::MoveAction);
  return true;
}

void MPageView::BoxDrop(QDropEvent* drop) {
  // A document file lands here when the page is the drag's target already (a block's drag left it).
  if (const QString file = DraggedMapFile(drop->mimeData()); !file.isEmpty()) {
    // Copied, never moved: a file manager told that the file moved would delete it.
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    emit fileDropped(file);
    return;
  }
  const std::optional<MPane> pane = DraggedPane(drop->mimeData());
  if (!pane || !DocumentOpen() || document_.TextInput()) {
    drop->ignore();
    return;
  }
  CursorToPixel(drop->position().toPoint());
  Apply(PlaceSelected(*pane));
  drop->setDropAction(Qt::MoveAction);
  drop->accept();
}
