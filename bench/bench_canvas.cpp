// The page view canvas: drawing a full page of records at 100 % into an offscreen image (target
// 16 ms) and repainting the area of one record (target 2 ms), with the primitives the elements use
// and the clip test they make. Also the image cache's lookup among 300 paths.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

#include "base/Sjis.h"
#include "render/Fonts.h"
#include "render/ImageCache.h"
#include "render/MapCanvas.h"

namespace {

bool Meets(const MRect& a, const MRect& b) {
  return b.Right >= a.Left && a.Right >= b.Left && b.Bottom >= a.Top && a.Bottom >= b.Top;
}

// One catalogue card, drawn as its elements would draw themselves: frame, title, price, code,
// a memo, a photo, a dashed rule.
void DrawCard(MMapCanvas& c, double x, double y, const QImage& photo, int index) {
  const MRect clip = c.GetClipRectUnits();
  const MRect card{x, y, x + 60, y + 32};
  if (!Meets(card, clip)) {
    return;
  }
  static const std::string title = base::Utf8ToSjis("北海道産 じゃがいも 男爵 5kg 箱入り");
  static const std::vector<std::string> memo = {
      base::Utf8ToSjis("産地直送。届いてから三日以内にお召し上がりください。"), "Size L, weight 5 kg"};
  c.SetPen(MPen{c.ToPixels(0.3) > 0 ? c.ToPixels(0.3) : 1, 0x000000, psSolid});
  c.SetBrush(MBrush{0xFFFFFF, bsClear});
  c.Rectangle(card);
  MFont font;
  font.Face = base::Utf8ToSjis("ＭＳ Ｐゴシック");
  font.Height = c.ToPixels(4);
  c.SetFont(font);
  const MRect titleBox{x + 2, y + 1, x + 58, y + 6};
  if (Meets(titleBox, clip)) c.DrawTextFit(titleBox, title, taLeft);
  font.Height = c.ToPixels(5);
  font.Bold = true;
  c.SetFont(font);
  const MRect priceBox{x + 30, y + 7, x + 58, y + 13};
  if (Meets(priceBox, clip)) c.DrawTextFit(priceBox, "\\" + std::to_string(1980 + index), taRight);
  font.Height = c.ToPixels(3);
  font.Bold = false;
  c.SetFont(font);
  const MRect memoBox{x + 30, y + 14, x + 58, y + 30};
  if (Meets(memoBox, clip)) c.DrawMemoText(memoBox, memo);
  const MRect photoBox{x + 2, y + 7, x + 28, y + 30};
  if (Meets(photoBox, clip)) c.DrawImage(photoBox, photo, photo.height(), photo.width());
  c.SetPen(MPen{2, 0x808080, psDash});
  c.MoveTo(x + 2, y + 31);
  c.LineTo(x + 58, y + 31);
  c.DrawGridPointMark(true, x + 60, y);
}

// An A4 page of 3 x 8 cards.
void DrawPage(MMapCanvas& c, const QImage& photo) {
  c.SetPen(MPen{1, 0x000000, psSolid});
  c.SetBrush(MBrush{0xFFFFFF, bsClear});
  c.Rectangle(5, 5, 205, 292);
  int index = 0;
  for (int row = 0; row < 8; ++row) {
    for (int col = 0; col < 3; ++col) DrawCard(c, 10 + col * 64, 20 + row * 34, photo, index++);
  }
}

QImage Photo() {
  QImage photo(640, 480, QImage::Format_RGB32);
  QPainter p(&photo);
  p.fillRect(photo.rect(), QColor(90, 140, 60));
  p.setBrush(QColor(200, 170, 90));
  p.drawEllipse(100, 80, 440, 320);
  return photo;
}

void SetUpCanvas(MMapCanvas& c) {
  c.SetDpi(96, 96);
  c.SetUnit(cuMillimetre);
  c.SetPageWidth(210);
  c.SetPageHeight(297);
}

void BM_FullPage(benchmark::State& state) {
  MMapCanvas c;
  SetUpCanvas(c);
  const QImage photo = Photo();
  QImage image(c.PanelSize(), QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    MPaintScope scope(c, painter);
    DrawPage(c, photo);
  }
}
BENCHMARK(BM_FullPage)->Unit(benchmark::kMillisecond);

void BM_OneCardRegion(benchmark::State& state) {
  MMapCanvas c;
  SetUpCanvas(c);
  const QImage photo = Photo();
  QImage image(c.PanelSize(), QImage::Format_RGB32);
  image.fill(Qt::white);
  const QRect region =
      c.RectToPixels(74, 88, 134, 120).adjusted(-1, -1, 1, 1);  // the card in row 3, column 2
  for (auto _ : state) {
    QPainter painter(&image);
    painter.setClipRect(region);  // as the platform clips a paint event
    painter.fillRect(region, Qt::white);
    MPaintScope scope(c, painter, region);
    DrawPage(c, photo);
  }
}
BENCHMARK(BM_OneCardRegion)->Unit(benchmark::kMicrosecond);

void BM_DrawTextFitShrinking(benchmark::State& state) {
  MMapCanvas c;
  c.SetUnit(cuPixel);
  QImage image(400, 100, QImage::Format_RGB32);
  const std::string text = base::Utf8ToSjis("とても長い商品名がここに入って箱からはみ出します");
  MFont font;
  font.Face = base::Utf8ToSjis("ＭＳ ゴシック");
  for (auto _ : state) {
    QPainter painter(&image);
    MPaintScope scope(c, painter);
    font.Height = 40;
    c.SetFont(font);
    c.DrawTextFit(MRect{0, 0, 300, 50}, text, taLeft);  // shrinks to about 12 pixels
  }
}
BENCHMARK(BM_DrawTextFitShrinking)->Unit(benchmark::kMicrosecond);

void BM_ImageCacheHit(benchmark::State& state) {
  MImageCache cache;
  std::vector<std::string> paths;
  for (int i = 0; i < 300; ++i) paths.push_back("/nonexistent/images/Photo_" + std::to_string(i) + ".PNG");
  for (const std::string& p : paths) cache.GetImage(p);  // 300 cached failures: no decoding below
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(cache.GetImage(paths[i]));
    i = (i + 7) % paths.size();
  }
}
BENCHMARK(BM_ImageCacheHit);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  InstallFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
