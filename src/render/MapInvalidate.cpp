#include "render/MapInvalidate.h"

#include "base/Numbers.h"
#include "layout/Page.h"
#include "render/CanvasHost.h"
#include "render/MapCanvas.h"

void MMapInvalidate::InvalidateAll() {
  if (canvas_ != nullptr) canvas_->Invalidate();
}

void MMapInvalidate::InvalidateBounds(double x1, double y1, double x2, double y2) {
  if (canvas_ == nullptr || canvas_->Host() == nullptr) return;
  const QRect r = canvas_->RectToPixels(x1, y1, x2, y2).normalized();
  canvas_->Host()->RepaintRect(r.adjusted(-1, -1, 1, 1), true);
}

bool MMapInvalidate::ShowsPage(int page) const {
  // Without a page of its own the canvas takes every request, as it always did.
  const MPage* shown = canvas_ != nullptr ? canvas_->Page() : nullptr;
  return shown == nullptr || shown->Number() == page;
}

void MMapInvalidate::InvalidateMark(double x, double y) {
  if (canvas_ == nullptr || canvas_->Host() == nullptr) return;
  const QPoint p = canvas_->PointToPixels(x, y);
  const int s = base::RoundHalfEven(canvas_->Zoom() * 20);
  canvas_->Host()->RepaintRect(QRect(p.x(), p.y(), s + 2, s + 2), true);
}
