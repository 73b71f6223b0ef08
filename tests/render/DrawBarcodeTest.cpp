#include <gtest/gtest.h>

#include <QPainter>

#include "barcode/BarImage.h"
#include "support/RenderTestSupport.h"

namespace {

// The component as a barcode element builds it for one drawing.
std::unique_ptr<barcode::TBarImage> MakeBarcode(const std::string& value) {
  auto bar = std::make_unique<barcode::TBarImage>();
  bar->SetBarEnabled(false);
  bar->SetBarType(barcode::cbarNW7);
  bar->SetBarHeight(40);
  bar->SetMatch(true);
  bar->SetSymbolDisp(false);
  bar->SetElementRatio(25);
  bar->SetCode(value);
  bar->SetBarEnabled(true);
  return bar;
}

}  // namespace

TEST(DrawBarcode, BarsFillTheTopNineTwelfthsAndTheCodeTheBottomBand) {
  const auto bar = MakeBarcode("A123456A");
  ASSERT_TRUE(bar->BarDisped());
  MMapCanvas canvas;
  canvas.SetUnit(cuPixel);
  MFont font;
  font.Face = "IPAGothic";
  font.Height = 30;
  canvas.SetFont(font);
  QImage image = WhiteImage(260, 140);
  {
    QPainter painter(&image);
    MPaintScope scope(canvas, painter);
    canvas.DrawBarcode(MRect{10, 10, 250, 130}, *bar);  // 120 high: bars 90, gap 10, text 20
  }
  SaveForLooking(image, "barcode");
  EXPECT_EQ(canvas.Font().Height, 20);  // the band's height, kept on the surface
  const QRect bars = InkBounds(image, QRect(0, 0, 260, 100));
  EXPECT_EQ(bars.top(), 10);
  EXPECT_EQ(bars.bottom(), 99);
  EXPECT_GE(bars.left(), 10);
  EXPECT_LE(bars.right(), 249);
  EXPECT_GE(bars.width(), 180);  // the picture is stretched over the width (quiet zones aside)
  // Bars are black and white only: stretched without smoothing.
  for (int x = 10; x < 250; ++x) {
    const QRgb c = Pixel(image, x, 50);
    ASSERT_TRUE(c == 0 || c == 0xFFFFFF) << x << " " << std::hex << c;
  }
  EXPECT_TRUE(InkBounds(image, QRect(0, 100, 260, 10)).isEmpty());  // the empty twelfth
  const QRect text = InkBounds(image, QRect(0, 110, 260, 30));
  EXPECT_FALSE(text.isEmpty());
  EXPECT_NEAR(text.center().x(), 130, 6);  // the code text, centred
}
