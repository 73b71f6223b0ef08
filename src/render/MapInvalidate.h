// The page view's invalidation object: turns a change on the page into a repaint request for just
// the pixels it touches.
#pragma once

#include "layout/Invalidate.h"

class MMapCanvas;

class MMapInvalidate : public MBaseInvalidate {
 public:
  explicit MMapInvalidate(MMapCanvas* canvas = nullptr) : canvas_(canvas) {}

  MMapCanvas* Canvas() const { return canvas_; }
  void SetCanvas(MMapCanvas* canvas) { canvas_ = canvas; }

  // The whole paint box.
  void InvalidateAll() override;
  // An element's rectangle in page units, one pixel wider on every side.
  void InvalidateBounds(double x1, double y1, double x2, double y2) override;
  // An entry glyph whose top-left point is (x, y): it is drawn one pixel in from there.
  void InvalidateMark(double x, double y) override;
  // The page the canvas shows (any, when it has none): a flow through the pages behind it asks for
  // nothing.
  bool ShowsPage(int page) const override;

 private:
  MMapCanvas* canvas_;
};
