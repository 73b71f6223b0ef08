// Records in and out as CSV, with the targets for the 2-core machine:
//   import 100,000 records of 8 fields (about 10 MB, UTF-8) into the unplaced list   <= 1 s
//     (reading the file, parsing, converting to Shift-JIS, building the blocks, the one undo step)
//   export 100,000 placed blocks (UTF-8 with a byte order mark, written to disk)      <= 0.5 s
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "DocumentGenerator.h"
#include "app/AppGlobals.h"
#include "base/Csv.h"
#include "data/CsvImport.h"
#include "data/DocumentCommands.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"

namespace {

constexpr std::size_t kRecords = 100000;

// The program folder of the global objects, holding a document and a CSV file of the catalogue's items.
class Workspace {
 public:
  Workspace() {
    char pattern[] = "/tmp/tessora-bench-csv-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) std::abort();
    dir_ = pattern;
    CreateGlobals(dir_ + "/tessora");
    bench::WriteGeneratedDocument(dir_, "small.map", {100, 0, 0, 1, 2});
    // 100,000 placed blocks among 105,300 placed rows with breaks and blanks.
    bench::WriteGeneratedDocument(dir_, "placed.map", {105300, 0, 0, 100, 1});
    WriteItems();
  }
  ~Workspace() {
    ReleaseGlobals();
    std::filesystem::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return base::Utf8ToSjis(dir_ + "/" + name); }
  std::size_t CsvBytes() const { return csvBytes_; }

 private:
  // Eight columns as a spreadsheet would hold the items: a memo's "<br>" as a line break in the cell.
  void WriteItems() {
    bench::detail::RowMaker maker(7);
    std::vector<std::vector<std::string>> rows;
    rows.reserve(kRecords + 1);
    rows.push_back({"code", "name", "price", "photo", "photo.visible", "note", "category", "name.visible"});
    for (std::size_t i = 0; i < kRecords; ++i) {
      std::vector<std::string> item = maker.Item(i);
      item.resize(8);
      rows.push_back({item[2], item[1], item[3], item[4], item[5], base::ReplaceBytes(item[6], "<br>", "\n"),
                      item[7], "1"});
    }
    const std::string bytes = base::WriteCsv(rows);
    csvBytes_ = bytes.size();
    std::ofstream(dir_ + "/items.csv", std::ios::binary) << bytes;
  }

  std::string dir_;
  std::size_t csvBytes_ = 0;
};

Workspace& Files() {
  static Workspace workspace;
  return workspace;
}

void BM_ImportCsv(benchmark::State& state) {
  Workspace& w = Files();
  OpenDocument(w.Path("small.map"));
  const int before = gUnmapDB->Count();
  for (auto _ : state) {
    base::CsvTable table = ReadCsvTable(w.Path("items.csv"));
    ImportCsv(PlanCsvImport(*gLayout, *gMapFile, "item", std::move(table)));
    state.PauseTiming();
    if (gUnmapDB->Count() != before + static_cast<int>(kRecords)) state.SkipWithError("records were lost");
    RevertLastChange();
    state.ResumeTiming();
  }
  state.counters["records"] = static_cast<double>(kRecords);
  state.counters["MB"] = static_cast<double>(w.CsvBytes()) / 1e6;
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportCsv(benchmark::State& state) {
  Workspace& w = Files();
  OpenDocument(w.Path("placed.map"));
  const std::string out = w.Path("out.csv");
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = DocumentCsvBytes({}, false);
    WriteCsvFile(out, text);
    bytes = text.size();
  }
  state.counters["placed"] = gMapDB->BlockCount();
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
