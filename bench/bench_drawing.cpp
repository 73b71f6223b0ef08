// Drawing the sample catalogue (samples/catalog.lay with its pictures) with the real element drawing:
//   - one full page at 100 % into an offscreen picture, as the page view repaints it (target 16 ms);
//   - the region of one block, as a repaint request after a change draws it (target 2 ms);
//   - a 100-page document printed into a PDF through the printer canvas (target 5 s);
//   - a 1,000-page document with a JAN and a QR code on every product printed into a PDF, at most twice
//     the time of the same document with two NW-7 codes;
//   - the last page of a 1,000-page document, whose page number texts must not search the document.
// The documents are generated from the sample's block classes: ten blocks a page, pictures, memos,
// barcodes (JAN and QR Code) and formatted prices on every page.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "barcode/BarEncoders.h"
#include "base/CommaText.h"
#include "base/Sjis.h"
#include "data/DocumentCommands.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"
#include "layout/Layout.h"
#include "render/Fonts.h"
#include "render/MapCanvas.h"
#include "render/PageOutput.h"
#include "render/RenderGlobal.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSamples = fs::path(TESSORA_SOURCE_DIR) / "samples";

// The folder of the benchmark's program, layout, pictures and generated documents.
fs::path WorkFolder() {
  static const fs::path work = [] {
    const fs::path dir = fs::temp_directory_path() / ("tessora-bench-drawing-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::copy_file(kSamples / "catalog.lay", dir / "catalog.lay", fs::copy_options::overwrite_existing);
    if (!fs::exists(dir / "images")) fs::create_directory_symlink(kSamples / "images", dir / "images");
    return dir;
  }();
  return work;
}

// The sample's layout with both barcode elements of the product block made NW-7.
fs::path Nw7Layout() {
  const fs::path path = WorkFolder() / "catalog-nw7.lay";
  if (fs::exists(path)) return path;
  std::ifstream in(WorkFolder() / "catalog.lay", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const char* type : {"bar-type: qr;", "bar-type: jan;"}) {
    const std::size_t at = text.find(type);
    if (at != std::string::npos) text.replace(at, std::string(type).size(), "bar-type: nw7;");
  }
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// A document of the sample's classes with that many full pages: two features and eight products each.
// Every product carries a JAN code and a QR code of 30 characters; with nw7, the layout's NW-7 variant
// and NW-7 values of the same lengths instead.
fs::path GenerateDocument(int pages, bool nw7 = false) {
  const fs::path path = WorkFolder() / ("catalog-" + std::to_string(pages) + (nw7 ? "-nw7" : "") + ".map");
  if (fs::exists(path)) return path;
  if (nw7) Nw7Layout();
  const char* const photos[] = {"sencha",  "matcha", "hojicha", "genmaicha",
                                "gyokuro", "kyusu",  "yunomi",  "chasen"};
  auto sjis = [](const std::string& utf8) { return base::Utf8ToSjis(utf8); };
  std::string text = std::string("[basic_info]\r\nlayout=") + (nw7 ? "catalog-nw7.lay" : "catalog.lay") +
                     "\r\n\r\n[block_field]\r\n";
  text += "shohin,hinban,shohin_mei,kana,kakaku,shashin,biko,jan,qr\r\ntokushu,midashi,setsumei,gazo\r\n";
  text += "\r\n[form_data]\r\n" + sjis("1.season=ベンチマーク号") + "\r\n\r\n[map_data]\r\n";
  int serial = 0;
  for (int p = 1; p <= pages; ++p) {
    for (int f = 0; f < 2; ++f) {
      text +=
          base::EncodeCommaText({"tokushu", sjis("特集 " + std::to_string(p) + "-" + std::to_string(f + 1)),
                                 sjis("季節のおすすめを<br>ご紹介します。ページ ") + std::to_string(p),
                                 f == 0 ? "images/feature.png" : "images/sencha.png"}) +
          "\r\n";
    }
    // The last page keeps its last point for the end of the data, so that there are exactly pages.
    const int products = p == pages ? 7 : 8;
    for (int i = 0; i < products; ++i, ++serial) {
      const std::string code = std::to_string(10000000 + serial);
      std::string jan = "4912" + code;
      jan += barcode::Modulus10CheckDigit(jan);
      const std::string url = "https://midoriya.example/" + std::to_string(10000 + serial % 90000);  // 30
      const std::string qr = nw7 ? std::string(22, '0') + code : url;
      text += base::EncodeCommaText({"shohin", code.substr(2), sjis("煎茶 お徳用 ") + std::to_string(serial),
                                     sjis("せんちゃ"), std::to_string(500 + serial % 5000),
                                     std::string("images/") + photos[serial % 8] + ".png",
                                     sjis("ひとことメモ<br>二行目はやや長めの説明文です"), jan, qr}) +
              "\r\n";
    }
  }
  text += "\r\n[unmap_data]\r\n\r\n[trash_data]\r\n";
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

void Open(const fs::path& path) {
  OpenDocument(path.string());
  ClearModified();
}

// The page view as it stands after opening a document: 96 dpi, the layout's page and unit, 100 %.
MMapCanvas& View() {
  MMapCanvas& c = *gMapCanvas;
  c.SetDpi(96, 96);
  c.SetPageWidth(gLayout->Setting.PageWidth);
  c.SetPageHeight(gLayout->Setting.PageHeight);
  c.SetUnit(gLayout->Setting.Unit);
  c.SetZoom(1.0);
  c.SetMode(cmMapping);
  return c;
}

void BM_FullSamplePage(benchmark::State& state) {
  Open(kSamples / "catalog.map");
  MMapCanvas& c = View();
  QImage image(c.PanelSize(), QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    MPaintScope scope(c, painter);
    c.Paint();  // page 1: the banner, two features and eight products
  }
  state.counters["width"] = image.width();
  state.counters["height"] = image.height();
}
BENCHMARK(BM_FullSamplePage)->Unit(benchmark::kMillisecond);

void BM_OneBlockRegion(benchmark::State& state) {
  Open(kSamples / "catalog.map");
  MMapCanvas& c = View();
  QImage image(c.PanelSize(), QImage::Format_RGB32);
  image.fill(Qt::white);
  // The product on the second row, third column, as the invalidation object asks for it.
  double x = 0, y = 0;
  MRect bounds;
  gMapDB->ActivePage()->EntryArea(2, 3, x, y, bounds);
  const QRect region = c.RectToPixels(bounds).normalized().adjusted(-1, -1, 1, 1);
  for (auto _ : state) {
    QPainter painter(&image);
    painter.setClipRect(region);  // as the platform clips a paint event
    painter.fillRect(region, Qt::white);
    MPaintScope scope(c, painter, region);
    c.Paint();
  }
  state.counters["pixels"] = region.width() * region.height();
}
BENCHMARK(BM_OneBlockRegion)->Unit(benchmark::kMicrosecond);

// Each iteration prints the open document's pages into the PDF file name, as paper would get them.
void PrintEveryPage(benchmark::State& state, const char* name) {
  const QString out = QString::fromStdString((WorkFolder() / name).string());
  int printed = 0;
  for (auto _ : state) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out);
    printer.setFullPage(true);
    printed = PrintDocument(printer, pcAllPages);
  }
  state.counters["pages"] = printed;
  state.counters["MB"] = static_cast<double>(fs::file_size(out.toStdString())) / 1e6;
}

void BM_Pdf100Pages(benchmark::State& state) {
  Open(GenerateDocument(100));
  PrintEveryPage(state, "out.pdf");
}
BENCHMARK(BM_Pdf100Pages)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every product of a 1,000-page document with a JAN code and a QR code of 30 characters, printed into
// a PDF; against the same document with two NW-7 codes instead (target: at most twice its time).
void BM_Pdf1000Pages(benchmark::State& state) {
  const bool nw7 = state.range(0) != 0;
  Open(GenerateDocument(1000, nw7));
  state.SetLabel(nw7 ? "NW-7 and NW-7" : "JAN and QR Code");
  PrintEveryPage(state, "out1000.pdf");
}
BENCHMARK(BM_Pdf1000Pages)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);

// Page 1,000 after page 999 and the other way round: a page draws its page numbers as its own
// number, never by a search through the document.
void BM_PageOf1000PageDocument(benchmark::State& state) {
  Open(GenerateDocument(1000));
  MMapCanvas& c = View();
  QImage image(c.PanelSize(), QImage::Format_RGB32);
  int page = 999;
  for (auto _ : state) {
    page = page == 1000 ? 999 : 1000;
    gMapDB->GoToPage(page);
    image.fill(Qt::white);
    QPainter painter(&image);
    MPaintScope scope(c, painter);
    c.Paint();
  }
  state.counters["pages"] = gMapDB->PageCount();
}
BENCHMARK(BM_PageOf1000PageDocument)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  InstallFontSubstitutions();
  CreateGlobals((WorkFolder() / "tessora").string());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  ReleaseGlobals();
  fs::remove_all(WorkFolder());
  return 0;
}
