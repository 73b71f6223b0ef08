// A page redraw builds every barcode anew: creating the component, encoding a 10-character NW-7 code
// and painting its bitmap must stay well under 100 microseconds, and so must building a QR Code of
// 100 characters.
#include <benchmark/benchmark.h>
#include <zint.h>

#include <memory>
#include <string>

#include "barcode/BarEncodersTwoWidth.h"
#include "barcode/BarImage.h"
#include "barcode/BarMatrix.h"
#include "base/Sjis.h"

namespace {

// As the layout's barcode element does it, without a QGuiApplication.
void BM_CreateEncodePaintNw7(benchmark::State& state) {
  const std::string code = "0123456789";
  for (auto _ : state) {
    barcode::TBarImage bar;
    bar.SetBarEnabled(false);
    bar.SetBarType(barcode::cbarNW7);
    bar.SetBarHeight(40);
    bar.SetMatch(true);
    bar.SetSymbolDisp(false);
    bar.SetElementRatio(25);
    bar.SetCode(code);
    bar.SetBarEnabled(true);
    if (!bar.BarDisped()) state.SkipWithError("not drawn");
    benchmark::DoNotOptimize(bar.PictureImage().constBits());
  }
}
BENCHMARK(BM_CreateEncodePaintNw7)->Unit(benchmark::kMicrosecond);

// One QR Code of 100 characters built from nothing (target: under 100 microseconds): a URL (byte
// mode), Japanese text (Kanji mode) and code page 932 text (UTF-8 behind ECI 26); and libzint choosing
// the mask itself, for comparison.
const std::string& QRText(int kind) {
  static const std::string texts[] = {
      "https://midoriya.example/item/101001?lot=A123456&size=large&colour=green-tea&ref=catalogue-2024-p1-x",
      base::Utf8ToSjis("特上煎茶百グラム入り。一番摘みの新芽だけを使い、深い旨みと爽やかな香りが楽しめます。"
                       "七十度のお湯で一分ほど蒸らしてお召し上がりください。急須は温めておきます。"
                       "保存は冷暗所で、開封後はお早めにどうぞ。茶"),
      base::Utf8ToSjis(
          "①㈱みどり屋 ｾﾝﾁｬ 髙島屋店 限定品 https://midoriya.example/item/101001?lot=A123456&ref=p2&s=1&campaign=summer-tea"),
  };
  return texts[kind];
}

void BM_EncodeQR100(benchmark::State& state) {
  const std::string& text = QRText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    const barcode::TBarMatrix m = barcode::EncodeQR(text, barcode::qrM);
    if (m.Empty()) state.SkipWithError("no symbol");
    benchmark::DoNotOptimize(m.Width());
  }
  state.counters["characters"] = static_cast<double>(base::CharCount(text));
  state.SetLabel(state.range(0) == 0   ? "URL"
                 : state.range(0) == 1 ? "Japanese (Kanji mode)"
                                       : "UTF-8, ECI 26");
}
BENCHMARK(BM_EncodeQR100)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_LibzintChoosesTheMask(benchmark::State& state) {
  const std::string& text = QRText(0);
  for (auto _ : state) {
    std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> s(ZBarcode_Create(), ZBarcode_Delete);
    s->symbology = BARCODE_QRCODE;
    s->option_1 = 2;
    ZBarcode_Encode(s.get(), reinterpret_cast<const unsigned char*>(text.data()),
                    static_cast<int>(text.size()));
    benchmark::DoNotOptimize(s->width);
  }
}
BENCHMARK(BM_LibzintChoosesTheMask)->Unit(benchmark::kMicrosecond);

void BM_EncodeDataMatrix100(benchmark::State& state) {
  const std::string& text = QRText(0);
  for (auto _ : state) benchmark::DoNotOptimize(barcode::EncodeDataMatrix(text).Width());
}
BENCHMARK(BM_EncodeDataMatrix100)->Unit(benchmark::kMicrosecond);

void BM_EncodeNw7(benchmark::State& state) {
  std::string text;
  for (auto _ : state) benchmark::DoNotOptimize(barcode::EncodeNW7("0123456789", false, 'A', 'A', text));
}
BENCHMARK(BM_EncodeNw7);

}  // namespace

BENCHMARK_MAIN();
