// A page redraw builds every barcode anew: creating the component, encoding a 10-character NW-7 code
// and painting its bitmap must stay well under 100 microseconds.
#include <benchmark/benchmark.h>

#include <string>

#include "barcode/BarEncodersTwoWidth.h"
#include "barcode/BarImage.h"

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

void BM_EncodeNw7(benchmark::State& state) {
  std::string text;
  for (auto _ : state) benchmark::DoNotOptimize(barcode::EncodeNW7("0123456789", false, 'A', 'A', text));
}
BENCHMARK(BM_EncodeNw7);

}  // namespace

BENCHMARK_MAIN();
