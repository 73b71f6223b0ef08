// The side panes over 100,000 unplaced blocks, in a view of 260 x 800 pixels (the scroll box; 240
// of it beside the scroll bar), with the targets for the 2-core machine:
//   paint the visible cards or rows of the view                 <= 16 ms
//   one scroll step: the view repainted one row further down    <= 16 ms
//   a new search text on the list, then the view repainted      <= 100 ms (BM_SearchOnly: the
//     list's share of it)
// The generated photo paths name no files, so the cards show the gray box and every new card asks
// the image cache (and the disk) once; the "photos" variants point the blocks at 64 real pictures,
// decoded once and kept scaled.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <filesystem>

#include "DocumentGenerator.h"
#include "app/AppGlobals.h"
#include "data/DocumentCommands.h"
#include "data/ListDB.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"
#include "layout/BlockInstance.h"
#include "layout/Containers.h"
#include "layout/Shapes.h"
#include "render/CanvasHost.h"
#include "render/Fonts.h"
#include "render/ListCanvas.h"
#include "render/RenderGlobal.h"

namespace {

constexpr int kViewWidth = 240;  // the scroll box of 260 less its scroll bar
constexpr int kViewHeight = 800;
constexpr int kPhotos = 64;

class PaneHost : public MCanvasHost {
 public:
  QSize ScrollBoxSize() const override { return {260, kViewHeight}; }
  void SetPanelSize(int width, int height) override { panel = {width, height}; }
  void RepaintAll() override {}
  void RepaintRect(const QRect&, bool) override {}
  QSize panel;
};

// The program folder of the global objects, with the document of 100,000 unplaced blocks and the
// pictures of the photo variants.
class Workspace {
 public:
  Workspace() {
    char pattern[] = "/tmp/tessora-bench-panes-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) std::abort();
    dir_ = pattern;
    CreateGlobals(dir_ + "/tessora");
    OpenDocument(base::Utf8ToSjis(bench::WriteGeneratedDocument(dir_, "panes.map", {100, 100000, 0, 1, 3})));
    for (int i = 0; i < kPhotos; ++i) {
      QImage photo(640, 480, QImage::Format_RGB32);
      photo.fill(QColor(40 + i * 3, 120, 200 - i * 2));
      QPainter p(&photo);
      p.setBrush(QColor(220, 180, 60));
      p.drawEllipse(80 + i, 60, 400, 300);
      p.end();
      const std::string path = dir_ + "/photo" + std::to_string(i) + ".jpg";
      if (!photo.save(QString::fromStdString(path), "JPG")) photo.save(QString::fromStdString(path), "PNG");
      photos_.push_back(path);
    }
    for (int i = 0; i < gUnmapDB->Count(); ++i)
      generated_.push_back(gUnmapDB->Entries()[i]->GetElementValue("photo"));
    back_ = MakeThumbBack();
    gUnmapCanvas->SetHost(&host_);
    gUnmapCanvas->SetThumbBack(&back_);
  }
  ~Workspace() {
    gUnmapCanvas->SetHost(nullptr);
    ReleaseGlobals();
    std::filesystem::remove_all(dir_);
  }

  // Points every block at the generated (missing) pictures or at the real ones.
  void UsePhotos(bool photos) {
    const auto& entries = gUnmapDB->Entries();
    for (std::size_t i = 0; i < entries.size(); ++i)
      entries[i]->SetElementValue("photo", photos ? photos_[i % kPhotos] : generated_[i]);
  }

 private:
  std::string dir_;
  std::vector<std::string> photos_;
  std::vector<std::string> generated_;
  PaneHost host_;
  QImage back_;
};

Workspace& Files() {
  static Workspace workspace;
  return workspace;
}

// The pane set up as the window shows it: the whole list, the given mode, the first block selected.
MListCanvas& Pane(std::uint8_t type, bool photos) {
  Files().UsePhotos(photos);
  gUnmapDB->SetSearch("");
  MListCanvas& pane = *gUnmapCanvas;
  pane.SetListType(type);
  pane.SetItemCount(gUnmapDB->VisibleCount());
  pane.Relayout();
  return pane;
}

// Repaints the view scrolled to top, as the platform does: the painter clipped to the visible part
// of the panel.
void PaintView(MListCanvas& pane, QImage& view, int top) {
  view.fill(Qt::white);
  QPainter painter(&view);
  painter.translate(0, -top);
  const QRect area(0, top, kViewWidth, kViewHeight);
  painter.setClipRect(area);
  MPaintScope scope(pane, painter, area);
  pane.Paint();
}

int RowHeight(std::uint8_t type) { return type == ltThumbnails ? 148 : 16; }

void Counts(benchmark::State& state, const MListCanvas& pane) {
  state.counters["items"] = pane.ItemCount();
  state.counters["columns"] = pane.Columns();
}

// The view in the middle of the list, painted again and again.
void BM_PaintVisibleCards(benchmark::State& state) {
  const auto type = static_cast<std::uint8_t>(state.range(0));
  MListCanvas& pane = Pane(type, state.range(1) != 0);
  QImage view(kViewWidth, kViewHeight, QImage::Format_RGB32);
  const int top = pane.Rows() / 2 * RowHeight(type) + 7;
  PaintView(pane, view, top);  // the pictures of these cards decoded and scaled once
  for (auto _ : state) PaintView(pane, view, top);
  Counts(state, pane);
}
BENCHMARK(BM_PaintVisibleCards)
    ->ArgNames({"list", "photos"})
    ->Args({ltThumbnails, 0})
    ->Args({ltThumbnails, 1})
    ->Args({ltList, 0})
    ->Unit(benchmark::kMillisecond);

// Each step scrolls one row further down and repaints the whole view (the platform would repaint
// only the strip that comes into view; this is the most a step can cost). New cards come into view
// at every step.
void BM_ScrollStep(benchmark::State& state) {
  const auto type = static_cast<std::uint8_t>(state.range(0));
  MListCanvas& pane = Pane(type, state.range(1) != 0);
  QImage view(kViewWidth, kViewHeight, QImage::Format_RGB32);
  const int step = RowHeight(type);
  const int lastTop = (pane.Rows() - kViewHeight / step - 1) * step;
  int top = 0;
  for (auto _ : state) {
    top = top + step > lastTop ? 0 : top + step;
    PaintView(pane, view, top);
  }
  Counts(state, pane);
}
BENCHMARK(BM_ScrollStep)
    ->ArgNames({"list", "photos"})
    ->Args({ltThumbnails, 0})
    ->Args({ltThumbnails, 1})
    ->Args({ltList, 0})
    ->Unit(benchmark::kMillisecond);

// A new search text over the 100,000 blocks (two texts in turn), then what the window does after it:
// the new item count, and the view repainted from the top.
void BM_SearchAndRepaint(benchmark::State& state) {
  const auto type = static_cast<std::uint8_t>(state.range(0));
  MListCanvas& pane = Pane(type, false);
  QImage view(kViewWidth, kViewHeight, QImage::Format_RGB32);
  const std::string texts[] = {base::Utf8ToSjis("抹茶"), base::Utf8ToSjis("限定")};
  int turn = 0;
  for (auto _ : state) {
    gUnmapDB->SetSearch(texts[turn++ % 2]);
    pane.SetItemCount(gUnmapDB->VisibleCount());
    pane.Invalidate();
    PaintView(pane, view, 0);
  }
  state.counters["matches"] = gUnmapDB->VisibleCount();
  Counts(state, pane);
  gUnmapDB->SetSearch("");
}
BENCHMARK(BM_SearchAndRepaint)
    ->ArgNames({"list"})
    ->Arg(ltThumbnails)
    ->Arg(ltList)
    ->Unit(benchmark::kMillisecond);

// The search alone, to tell its share of the above from the canvas's.
void BM_SearchOnly(benchmark::State& state) {
  Pane(ltThumbnails, false);
  const std::string texts[] = {base::Utf8ToSjis("抹茶"), base::Utf8ToSjis("限定")};
  int turn = 0;
  for (auto _ : state) gUnmapDB->SetSearch(texts[turn++ % 2]);
  state.counters["matches"] = gUnmapDB->VisibleCount();
  gUnmapDB->SetSearch("");
}
BENCHMARK(BM_SearchOnly)->Unit(benchmark::kMillisecond);

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
