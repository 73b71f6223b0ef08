// Reading and writing a mapping data file of about 10 MB (100,000 rows).
// Targets: reading into rows at most 150 ms, writing (synced to disk) at most 100 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "MapFileGenerator.h"
#include "data/MapFile.h"

namespace {

// A folder holding the generated file for the whole run.
struct Workspace {
  Workspace() {
    char pattern[] = "/tmp/tessora-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) std::abort();
    dir = pattern;
    text = bench::GenerateMapFileText(bench::MapFileShape{});
    std::ofstream(dir + "/catalogue.map", std::ios::binary) << text;
  }
  ~Workspace() { std::filesystem::remove_all(dir); }
  std::string Path(const char* name) const { return dir + "/" + name; }

  std::string dir;
  std::string text;
};

const Workspace& Files() {
  static const Workspace workspace;
  return workspace;
}

std::size_t RowCount(const MMapFile& file) {
  return file.MapData().size() + file.UnmapData().size() + file.TrashData().size();
}

void BM_ReadMapFile(benchmark::State& state) {
  const Workspace& w = Files();
  std::size_t rows = 0;
  for (auto _ : state) {
    MMapFile file;
    file.ReadFile(w.Path("catalogue.map"));
    rows = RowCount(file);
    benchmark::DoNotOptimize(file.MapData().data());
  }
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["MB"] = static_cast<double>(w.text.size()) / 1e6;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * w.text.size()));
}
BENCHMARK(BM_ReadMapFile)->Unit(benchmark::kMillisecond);

void BM_WriteMapFile(benchmark::State& state) {
  const Workspace& w = Files();
  MMapFile file;
  file.ReadFile(w.Path("catalogue.map"));
  file.SetFileName(w.Path("saved.map"));
  for (auto _ : state) file.WriteFile();
  state.counters["rows"] = static_cast<double>(RowCount(file));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * w.text.size()));
}
BENCHMARK(BM_WriteMapFile)->Unit(benchmark::kMillisecond);

// The block-field look-up made for every block loaded and saved.
void BM_FindBlockFields(benchmark::State& state) {
  const Workspace& w = Files();
  MMapFile file;
  file.ReadFile(w.Path("catalogue.map"));
  for (auto _ : state) {
    for (const MMapFile::Row& row : file.MapData()) benchmark::DoNotOptimize(file.FindBlockFields(row[0]));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * file.MapData().size()));
}
BENCHMARK(BM_FindBlockFields)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
