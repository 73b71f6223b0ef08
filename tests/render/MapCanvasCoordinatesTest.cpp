#include <gtest/gtest.h>

#include <QPainter>

#include "render/MapCanvas.h"
#include "support/RenderTestSupport.h"

TEST(MapCanvasCoordinates, UnitsSetTheScalesFromTheResolution) {
  MMapCanvas c;
  c.SetDpi(96, 120);
  EXPECT_EQ(c.Unit(), cuPixel);
  EXPECT_EQ(c.ScaleX(), 1.0);
  c.SetUnit(cuMillimetre);
  EXPECT_DOUBLE_EQ(c.ScaleX(), 96 / 25.4);
  EXPECT_DOUBLE_EQ(c.ScaleY(), 120 / 25.4);
  EXPECT_DOUBLE_EQ(c.UnitPerPixelY(), 25.4 / 120);
  c.SetUnit(cuCentimetre);
  EXPECT_DOUBLE_EQ(c.ScaleX(), 96 / 2.54);
  c.SetUnit(cuInch);
  EXPECT_DOUBLE_EQ(c.ScaleY(), 120.0);
  EXPECT_DOUBLE_EQ(c.UnitPerPixelX(), 1.0 / 96);
  c.SetUnit(7);  // stored, scales kept
  EXPECT_EQ(c.Unit(), 7);
  EXPECT_DOUBLE_EQ(c.ScaleY(), 120.0);
  c.SetUnit(cuPixel);  // device pixels whatever the resolution
  EXPECT_EQ(c.ToPixels(37), 37);
  EXPECT_EQ(c.PointToPixels(12, 34), QPoint(12, 34));
}

TEST(MapCanvasCoordinates, RoundsHalvesToEven) {
  MMapCanvas c;
  c.SetUnit(cuPixel);
  EXPECT_EQ(c.PointToPixels(2.5, 3.5), QPoint(2, 4));
  EXPECT_EQ(c.PointToPixels(-2.5, -0.5), QPoint(-2, 0));
  EXPECT_EQ(c.ToPixels(4.5), 4);
  EXPECT_EQ(c.ToPixels(5.5), 6);
  // Each corner is rounded by itself; the size is the difference of the rounded corners.
  const QRect r = c.RectToPixels(0.5, 1.5, 2.5, 3.5);
  EXPECT_EQ(r, QRect(0, 2, 2, 2));
  c.SetZoom(0.5);
  EXPECT_EQ(c.PointToPixels(5, 7), QPoint(2, 4));
  // The origin is added before scaling.
  c.SetOrigin(1, 0);
  EXPECT_EQ(c.PointToPixels(4, 0), QPoint(2, 0));
  EXPECT_EQ(c.PixelsToPoint(10, 4), QPointF(19, 8));
}

TEST(MapCanvasCoordinates, MillimetresAtScreenResolution) {
  MMapCanvas c;
  c.SetDpi(96, 96);
  c.SetUnit(cuMillimetre);
  EXPECT_EQ(c.PointToPixels(10, 100), QPoint(38, 378));  // 37.795, 377.95
  EXPECT_EQ(c.ToPixels(0.1), 0);
  const QPointF back = c.PixelsToPoint(96, 192);
  EXPECT_DOUBLE_EQ(back.x(), 25.4);
  EXPECT_DOUBLE_EQ(back.y(), 50.8);
}

TEST(MapCanvasCoordinates, ZoomIsClampedAndRepaintsOnlyOnChange) {
  MMapCanvas c;
  RecordingHost host;
  c.SetHost(&host);
  c.SetUnit(cuPixel);
  c.SetPageWidth(200);
  c.SetPageHeight(100);
  c.SetZoom(5);
  EXPECT_EQ(c.Zoom(), 4.0);
  EXPECT_EQ(host.panel, QSize(800, 400));
  c.SetZoom(0.1);
  EXPECT_EQ(c.Zoom(), 0.25);
  EXPECT_EQ(host.panel, QSize(50, 25));
  const int repaints = host.repaintAll, panels = host.panelCalls;
  c.SetZoom(0.25);
  c.SetZoom(0.2);  // clamps to the same value
  EXPECT_EQ(host.repaintAll, repaints);
  EXPECT_EQ(host.panelCalls, panels);
  c.SetMode(cmTextInput);
  EXPECT_EQ(host.repaintAll, repaints + 1);
  c.SetMode(cmTextInput);
  EXPECT_EQ(host.repaintAll, repaints + 1);
}

TEST(MapCanvasCoordinates, ZoomRequests) {
  MMapCanvas c;
  RecordingHost host;
  host.box = QSize(800, 600);
  c.SetHost(&host);
  c.SetDpi(96, 96);
  c.SetPageWidth(210);
  c.SetPageHeight(297);
  c.SetUnit(cuMillimetre);
  EXPECT_DOUBLE_EQ(c.ZoomFor(1), 1.5);
  EXPECT_DOUBLE_EQ(c.ZoomFor(2), 0.66);
  EXPECT_DOUBLE_EQ(c.ZoomFor(3), 1.0);
  EXPECT_NEAR(c.ZoomFor(4), 600 / (297 * 96 / 25.4), 1e-12);  // the height limits an A4 portrait
  EXPECT_NEAR(c.ZoomFor(5), 780 / (210 * 96 / 25.4), 1e-12);
  c.SetZoom(c.ZoomFor(4));
  EXPECT_EQ(host.panel, QSize(424, 600));
  host.box = QSize(2000, 300);
  c.SetZoom(c.ZoomFor(4));
  EXPECT_EQ(host.panel.height(), 300);
  // Not clamped by ZoomFor; SetZoom clamps.
  host.box = QSize(20000, 20000);
  EXPECT_GT(c.ZoomFor(4), 4.0);
  c.SetZoom(2);
  EXPECT_DOUBLE_EQ(c.ZoomFor(1), 3.0);
}

TEST(MapCanvasCoordinates, ZoomRequestsWithoutAWindowOrAPageKeepTheZoom) {
  MMapCanvas c;
  c.SetZoom(2);
  EXPECT_EQ(c.ZoomFor(4), 2.0);
  EXPECT_EQ(c.ZoomFor(5), 2.0);
  EXPECT_EQ(c.ZoomFor(9), 2.0);
  RecordingHost host;
  c.SetHost(&host);
  c.SetPageWidth(0);
  EXPECT_EQ(c.ZoomFor(4), 2.0);  // no division by a zero page
  EXPECT_EQ(c.ZoomFor(5), 2.0);
  c.SetZoom(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(c.Zoom(), 2.0);
}

TEST(MapCanvasCoordinates, PanelFollowsPageSizeAndUnit) {
  MMapCanvas c;
  RecordingHost host;
  c.SetHost(&host);
  c.SetDpi(96, 96);
  c.SetUnit(cuMillimetre);
  c.SetPageWidth(210);
  c.SetPageHeight(297);
  EXPECT_EQ(host.panel, QSize(794, 1123));
  c.SetZoom(0.5);
  EXPECT_EQ(host.panel, QSize(397, 561));
  // The same paper in centimetres: the zoom stays 0.5, yet the panel must still fit the page.
  c.SetPageWidth(21);
  c.SetPageHeight(29.7);
  c.SetUnit(cuCentimetre);
  c.SetZoom(0.5);
  EXPECT_EQ(host.panel, QSize(397, 561));
}

TEST(MapCanvasCoordinates, ClipRectInUnitsIsWidenedByTwoPixels) {
  MMapCanvas c;
  c.SetUnit(cuPixel);
  c.SetZoom(2);
  QImage image = WhiteImage(200, 200);
  QPainter painter(&image);
  {
    MPaintScope scope(c, painter, QRect(10, 20, 100, 50));
    const MRect r = c.GetClipRectUnits();
    EXPECT_DOUBLE_EQ(r.Left, 4);
    EXPECT_DOUBLE_EQ(r.Top, 9);
    EXPECT_DOUBLE_EQ(r.Right, 56);
    EXPECT_DOUBLE_EQ(r.Bottom, 36);
  }
  {
    MPaintScope scope(c, painter);  // no clip: the whole surface
    EXPECT_EQ(c.ClipRect(), QRect(0, 0, 200, 200));
    EXPECT_DOUBLE_EQ(c.GetClipRectUnits().Right, 101);
  }
  EXPECT_EQ(c.GetCanvas(), nullptr);
}

TEST(MapCanvasCoordinates, ResolutionComesFromTheScreen) {
  MMapCanvas c;  // the offscreen screen of the test application reports 96
  EXPECT_EQ(c.DpiX(), 96);
  EXPECT_EQ(c.DpiY(), 96);
  c.SetDpi(0, 300);  // refused: no resolution of zero
  EXPECT_EQ(c.DpiX(), 96);
}

TEST(MapCanvasPaint, NothingWithoutAnActivePage) {
  MMapCanvas c;
  QImage image = WhiteImage(50, 50);
  QPainter painter(&image);
  {
    MPaintScope scope(c, painter);
    c.Paint();                                // no page source
    c.SetPageSource([] { return nullptr; });  // a source without a page
    c.Paint();
    c.SetPageSource(nullptr);
  }
  painter.end();
  EXPECT_TRUE(InkBounds(image).isEmpty());
}
