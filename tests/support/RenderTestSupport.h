// Shared helpers of the rendering tests: a QGuiApplication for the whole run, a recording window
// host, and pixel probes.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <utility>
#include <vector>

#include "render/CanvasHost.h"
#include "render/MapCanvas.h"

// Records what a canvas asks of its window.
class RecordingHost : public MCanvasHost {
 public:
  QSize box{800, 600};
  QSize panel;
  int panelCalls = 0;
  int repaintAll = 0;
  std::vector<std::pair<QRect, bool>> rects;

  QSize ScrollBoxSize() const override { return box; }
  void SetPanelSize(int width, int height) override {
    panel = QSize(width, height);
    ++panelCalls;
  }
  void RepaintAll() override { ++repaintAll; }
  void RepaintRect(const QRect& rect, bool erase) override { rects.emplace_back(rect, erase); }
};

// A white image to draw on.
QImage WhiteImage(int width, int height);

// The pixel's colour without alpha.
QRgb Pixel(const QImage& image, int x, int y);

// The smallest rectangle holding every pixel that is not white; empty when there is none.
QRect InkBounds(const QImage& image, const QRect& area = QRect());

// Saves an image under the build folder for looking at it (tests/render/out/<name>.png).
void SaveForLooking(const QImage& image, const char* name);
