// Loading large layout files. Target: a layout of 20,000 unnamed boxes in one form and 20,000 grid
// points loads in well under 100 ms; the time grows linearly with the element count (automatic
// naming and the case-insensitive name registry are not quadratic).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "LayoutGenerator.h"
#include "layout/Layout.h"
#include "layout/LoadLayout.h"
#include "layout/Scanner.h"

namespace {

// Generated files, written once per shape into a folder removed at the end of the run.
class Workspace {
 public:
  Workspace() {
    char pattern[] = "/tmp/tessora-bench-layout-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) std::abort();
    dir_ = pattern;
  }
  ~Workspace() { std::filesystem::remove_all(dir_); }

  const std::string& File(int elements, bool named) {
    const std::string name = (named ? "named-" : "unnamed-") + std::to_string(elements) + ".lay";
    auto it = files_.find(name);
    if (it != files_.end()) return it->second;
    bench::LayoutShape shape;
    shape.boxes = shape.gridPoints = elements;
    shape.namedElements = named;
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bench::GenerateLayoutText(shape);
    return files_.emplace(name, path).first->second;
  }

 private:
  std::string dir_;
  std::map<std::string, std::string> files_;
};

Workspace& Files() {
  static Workspace workspace;
  return workspace;
}

void Load(benchmark::State& state, bool named) {
  const int elements = static_cast<int>(state.range(0));
  const std::string& path = Files().File(elements, named);
  for (auto _ : state) {
    MLayout layout;
    MLoadLayout loader(layout);
    if (!loader.Load(path)) {
      state.SkipWithError(loader.ErrorText.c_str());
      return;
    }
    benchmark::DoNotOptimize(layout.Forms.front()->Children.size());
  }
  state.counters["boxes"] = elements;
  state.counters["points"] = elements;
  state.SetComplexityN(elements);
}

// Unnamed boxes and grid points: every element takes an automatic name.
void BM_LoadLayoutUnnamed(benchmark::State& state) { Load(state, false); }
BENCHMARK(BM_LoadLayoutUnnamed)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Explicit names: every element is checked against the registry.
void BM_LoadLayoutNamed(benchmark::State& state) { Load(state, true); }
BENCHMARK(BM_LoadLayoutNamed)->Arg(20000)->Unit(benchmark::kMillisecond);

// The tokenizer alone over the 20,000-element file.
void BM_ScanLayout(benchmark::State& state) {
  const std::string& path = Files().File(20000, false);
  std::size_t tokens = 0;
  for (auto _ : state) {
    MScanner scanner;
    scanner.Open(path);
    MToken token;
    tokens = 0;
    do {
      scanner.NextToken(token);
      ++tokens;
    } while (token.Kind != tkEOF);
  }
  state.counters["tokens"] = static_cast<double>(tokens);
}
BENCHMARK(BM_ScanLayout)->Unit(benchmark::kMillisecond);

// A page of the large form: a deep copy of 20,000 boxes and 20,000 grid points.
void BM_NewPageForm(benchmark::State& state) {
  MLayout layout;
  MLoadLayout loader(layout);
  if (!loader.Load(Files().File(20000, false))) {
    state.SkipWithError(loader.ErrorText.c_str());
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(layout.NewPageForm());
}
BENCHMARK(BM_NewPageForm)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
