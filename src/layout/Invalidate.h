// Repaint requests from the model to the page view.
//
// Grid points ask for the area of an entry placed on them or taken off them to be redrawn, and the
// placed-block database asks for the whole view when its current page changes. The model does not
// know the canvas: it talks to the invalidation object installed here (the global gMapInvalidate once
// the global objects exist). Without one, as in headless use, the requests go nowhere.
#pragma once

class MBaseInvalidate {
 public:
  virtual ~MBaseInvalidate() = default;
  // The whole page view.
  virtual void InvalidateAll() = 0;
  // A rectangle in page units (an element's bounds).
  virtual void InvalidateBounds(double x1, double y1, double x2, double y2) = 0;
  // The small area of an entry mark whose top-left point is (x, y) in page units.
  virtual void InvalidateMark(double x, double y) = 0;
  // Whether the view shows that page (numbered from 1): changes on other pages ask for nothing.
  virtual bool ShowsPage(int /*page*/) const { return true; }
};

// The installed invalidation object, or null.
MBaseInvalidate* PageInvalidator();
void SetPageInvalidator(MBaseInvalidate* target);
