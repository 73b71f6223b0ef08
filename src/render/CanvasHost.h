// The window controls a canvas draws into, as the canvas sees them.
//
// On screen a canvas lives in a scroll box that holds a panel sized to the content, with a paint box
// filling the panel; the main window implements this interface over those controls. A canvas with
// no host (headless drawing, export, tests) simply skips these requests.
#pragma once

#include <QRect>
#include <QSize>

class MCanvasHost {
 public:
  virtual ~MCanvasHost() = default;

  // Outer size of the scroll box in pixels (the room the whole-page and page-width zooms fit into).
  virtual QSize ScrollBoxSize() const = 0;
  // Resizes the panel inside the scroll box to the content.
  virtual void SetPanelSize(int width, int height) = 0;
  // Asks for the whole paint box to be repainted.
  virtual void RepaintAll() = 0;
  // Asks for a rectangle of the paint box (in its pixels) to be repainted, erasing the background
  // first when erase is set.
  virtual void RepaintRect(const QRect& rect, bool erase) = 0;
};
