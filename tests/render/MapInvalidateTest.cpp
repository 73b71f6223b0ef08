#include <gtest/gtest.h>

#include "render/MapInvalidate.h"
#include "support/RenderTestSupport.h"

TEST(MapInvalidate, RequestsTheTouchedPixelsOnly) {
  MMapCanvas canvas;
  RecordingHost host;
  canvas.SetHost(&host);
  canvas.SetUnit(cuPixel);
  MMapInvalidate invalidate(&canvas);
  invalidate.InvalidateBounds(10, 10, 20, 30);
  invalidate.InvalidateMark(10, 10);
  canvas.SetZoom(2);
  invalidate.InvalidateMark(5, 5);  // pixel (10, 10), side 40
  ASSERT_EQ(host.rects.size(), 3u);
  EXPECT_EQ(host.rects[0].first, QRect(9, 9, 12, 22));
  EXPECT_TRUE(host.rects[0].second);
  EXPECT_EQ(host.rects[1].first, QRect(10, 10, 22, 22));
  EXPECT_TRUE(host.rects[1].second);
  EXPECT_EQ(host.rects[2].first, QRect(10, 10, 42, 42));
  const int before = host.repaintAll;
  invalidate.InvalidateAll();
  EXPECT_EQ(host.repaintAll, before + 1);
}

TEST(MapInvalidate, WorksThroughTheModelsInterfaceAndWithoutAWindow) {
  MMapCanvas canvas;
  MMapInvalidate invalidate(&canvas);
  MBaseInvalidate& model = invalidate;
  model.InvalidateBounds(0, 0, 10, 10);  // no host: nothing to ask
  model.InvalidateMark(0, 0);
  model.InvalidateAll();
  MMapInvalidate detached;
  detached.InvalidateAll();
  detached.InvalidateBounds(0, 0, 1, 1);
  detached.InvalidateMark(0, 0);
  RecordingHost host;
  canvas.SetHost(&host);
  canvas.SetUnit(cuPixel);
  model.InvalidateBounds(20, 30, 10, 10);  // corners the other way round
  ASSERT_EQ(host.rects.size(), 1u);
  EXPECT_EQ(host.rects[0].first, QRect(9, 9, 12, 22));
}
