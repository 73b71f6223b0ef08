#include "app/cli/BatchMode.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/AppGlobals.h"
#include "app/cli/ExportActions.h"
#include "base/Csv.h"
#include "base/Error.h"
#include "base/Sjis.h"
#include "data/CsvImport.h"
#include "data/DocumentCommands.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"
#include "layout/BlockInstance.h"
#include "layout/ComputedText.h"
#include "layout/Layout.h"
#include "layout/Page.h"

namespace {

// What the run has produced so far. Files, print jobs and output are held back until every action
// has succeeded, so that a failing run leaves nothing behind: an action that writes or prints
// something adds a commit, and the commits run in the order of the actions once all of them are done.
// Print jobs go first: a queue may still refuse its job then, and a refusal must leave no file.
struct BatchRun {
  std::string documentPath;  // Shift-JIS, full
  std::vector<std::function<void()>> jobs;
  std::vector<std::function<void()>> commits;
  std::string out;  // standard output, UTF-8
  std::string warnings;

  void Report(const MCommandReport& report) {
    const std::string message = MovedToUnplacedMessage(report);
    if (!message.empty()) warnings += "tessora: " + base::SjisToUtf8(message) + '\n';
  }
};

struct BatchAction;

// One action of the command line with its argument and the options given after it.
struct Step {
  const BatchAction* action = nullptr;
  std::string argument;  // empty when none was given
  std::vector<std::pair<std::string_view, std::string>> options;

  // The value of an option ("--pages"), or empty when it was not given.
  std::string_view Option(std::string_view name) const {
    for (const auto& [option, value] : options) {
      if (option == name) return value;
    }
    return {};
  }
};

enum class Arity { None, One, Optional };

struct BatchAction {
  std::string_view option;
  Arity arity;
  // Options "--name VALUE" that may follow the action and belong to it.
  std::array<std::string_view, 3> options;
  void (*run)(BatchRun& run, const Step& step);
};

// A name from the command line as the document commands take it: a full Shift-JIS path.
std::string SjisFromShell(std::string_view argument) {
  return base::Utf8ToSjis(FromShell(argument).string());
}

void AutoMap(BatchRun& run, const Step&) {
  gMapDB->CursorToEndOfData();
  run.Report(AutoMapping());
}

void SameMap(BatchRun& run, const Step& step) { run.Report(SameMapping(SjisFromShell(step.argument))); }

// The document as the save command writes it, as it stands now, written when the run commits.
void Save(BatchRun& run, const Step& step) {
  auto save = std::make_shared<MPreparedSave>(
      PrepareSave(step.argument.empty() ? run.documentPath : SjisFromShell(step.argument)));
  run.commits.push_back([save] { WriteSave(*save); });
}

// A face text on one line: its line breaks written as the data file writes them.
std::string OneLine(std::string_view text) {
  std::string line = base::ReplaceBytes(text, "\r\n", "<br>");
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

void List(BatchRun& run, const Step&) { run.out += PageListing(); }

}  // namespace

std::string PageListing() {
  std::string out;
  for (int p = 1; p <= gMapDB->PageCount(); ++p) {
    const MPage& page = *gMapDB->GetPage(p - 1);
    const MPageScope scope(p);
    for (int r = 1; r <= page.RowCount(); ++r) {
      for (int c = 1; c <= page.PointCount(r); ++c) {
        const MEntry* entry = page.EntryAt(r, c);
        if (entry == nullptr) continue;
        const MBlockInstance* block = entry->Block();
        out += std::to_string(p) + ' ' + std::to_string(r) + ' ' + std::to_string(c) + ' ' +
               base::SjisToUtf8(entry->Name()) + ' ' +
               (block != nullptr ? base::SjisToUtf8(OneLine(block->FaceText())) : std::string()) + '\n';
      }
    }
  }
  return out;
}

std::string DocumentCounts() {
  return "pages=" + std::to_string(gMapDB->PageCount()) + " placed=" + std::to_string(gMapDB->Count()) +
         " unplaced=" + std::to_string(gUnmapDB->Count()) + " trash=" + std::to_string(gTrashDB->Count()) +
         '\n';
}

namespace {

// The pages as a PDF or as PNG pictures, made now and put in place when the run commits.
void Pdf(BatchRun& run, const Step& step) {
  std::shared_ptr<MPendingExport> pdf = ExportPdf(step.argument, step.Option("--pages"));
  run.commits.push_back([pdf] { pdf->Commit(); });
}

// The pages drawn for a queue now, sent to it when the run commits.
void Print(BatchRun& run, const Step& step) {
  std::shared_ptr<MPendingExport> job =
      PrintToQueue(step.argument, step.Option("--copies"), step.Option("--pages"));
  run.jobs.push_back([job] { job->Commit(); });
}

void Png(BatchRun& run, const Step& step) {
  std::shared_ptr<MPendingExport> png = ExportPng(step.argument, step.Option("--dpi"));
  run.commits.push_back([png] { png->Commit(); });
}

base::CsvEncoding CsvEncodingOption(std::string_view value, base::CsvEncoding fallback) {
  if (value.empty()) return fallback;
  if (base::SameText(value, "utf-8") || base::SameText(value, "utf8")) return base::CsvEncoding::Utf8;
  if (base::SameText(value, "sjis") || base::SameText(value, "shift-jis") ||
      base::SameText(value, "shift_jis") || base::SameText(value, "cp932"))
    return base::CsvEncoding::Sjis;
  throw base::Error(base::Utf8ToSjis("--encoding には utf-8 か sjis を指定してください: ") +
                    std::string(value));
}

char CsvSeparatorOption(std::string_view value) {
  if (value.empty()) return 0;
  if (value == "," || base::SameText(value, "comma")) return ',';
  if (value == "\t" || value == "\\t" || base::SameText(value, "tab")) return '\t';
  if (value == ";" || base::SameText(value, "semicolon")) return ';';
  throw base::Error(base::Utf8ToSjis("--separator には , か tab か ; を指定してください: ") +
                    std::string(value));
}

// Blocks of a class from a CSV file, appended to the unplaced list.
void ImportCsvAction(BatchRun& run, const Step& step) {
  std::string className = base::Utf8ToSjis(step.Option("--class"));
  if (className.empty() && gLayout->Blocks.size() == 1) className = gLayout->Blocks.front()->Name;
  if (className.empty())
    throw base::Error(base::Utf8ToSjis("--import-csv には --class でブロッククラスを指定してください。"));
  base::CsvReadOptions options;
  options.Encoding = CsvEncodingOption(step.Option("--encoding"), base::CsvEncoding::Detect);
  options.Separator = CsvSeparatorOption(step.Option("--separator"));
  base::CsvTable table = ReadCsvTable(SjisFromShell(step.argument), options);
  run.Report(ImportCsv(PlanCsvImport(*gLayout, *gMapFile, className, std::move(table))));
}

// The document as CSV rows as it stands now, written when the run commits.
void ExportCsvAction(BatchRun& run, const Step& step) {
  base::CsvWriteOptions options;
  options.Encoding = CsvEncodingOption(step.Option("--encoding"), base::CsvEncoding::Utf8);
  const char separator = CsvSeparatorOption(step.Option("--separator"));
  if (separator != 0) options.Separator = separator;
  const std::string_view lists = step.Option("--lists");
  if (!lists.empty() && !base::SameText(lists, "yes") && !base::SameText(lists, "no"))
    throw base::Error(base::Utf8ToSjis("--lists には yes か no を指定してください: ") + std::string(lists));
  auto bytes = std::make_shared<std::string>(DocumentCsvBytes(options, base::SameText(lists, "yes")));
  const std::string path = SjisFromShell(step.argument);
  run.commits.push_back([bytes, path] { WriteCsvFile(path, *bytes); });
}

// clang-format off
constexpr BatchAction kActions[] = {
    {"--auto-map", Arity::None,     {},          &AutoMap},
    {"--same-map", Arity::One,      {},          &SameMap},
    {"--save",     Arity::Optional, {},          &Save},
    {"--list",     Arity::None,     {},          &List},
    {"--pdf",      Arity::One,      {"--pages"}, &Pdf},
    {"--png",      Arity::One,      {"--dpi"},   &Png},
    {"--print",    Arity::Optional, {"--copies", "--pages"}, &Print},
    {"--import-csv", Arity::One,    {"--class", "--encoding", "--separator"}, &ImportCsvAction},
    {"--export-csv", Arity::One,    {"--encoding", "--separator", "--lists"}, &ExportCsvAction},
};
// clang-format on

bool IsSwitch(std::string_view word) { return word.rfind("--", 0) == 0; }

// The actions in order; false, with the reason on standard error, when an argument is not understood.
bool Parse(CommandArgs args, std::vector<Step>& steps) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view word = args[i];
    const BatchAction* action = nullptr;
    for (const BatchAction& a : kActions) {
      if (word == a.option) action = &a;
    }
    if (action == nullptr) {
      std::cerr << "tessora: unknown action " << word << '\n';
      return false;
    }
    Step step{action, {}, {}};
    const auto hasNext = [&] { return i + 1 < args.size(); };
    if (action->arity == Arity::One) {
      if (!hasNext()) {
        std::cerr << "tessora: " << word << " needs a file name\n";
        return false;
      }
      step.argument = args[++i];
    } else if (action->arity == Arity::Optional && hasNext() && !IsSwitch(args[i + 1])) {
      step.argument = args[++i];
    }
    while (hasNext()) {
      const std::string_view option = args[i + 1];
      if (option.empty() ||
          std::find(action->options.begin(), action->options.end(), option) == action->options.end())
        break;
      if (i + 2 >= args.size()) {
        std::cerr << "tessora: " << option << " needs a value\n";
        return false;
      }
      step.options.emplace_back(option, args[i + 2]);
      i += 2;
    }
    steps.push_back(std::move(step));
  }
  return true;
}

}  // namespace

int RunBatch(CommandArgs args) {
  // "--layout FILE.lay" starts from a new, untitled document instead of a document file.
  const bool fromLayout = !args.empty() && std::string_view(args[0]) == "--layout";
  const std::size_t first = fromLayout ? 2 : 1;
  if (args.size() < first || IsSwitch(args[first - 1])) return kExitUsage;
  std::vector<Step> steps;
  if (!Parse(args.subspan(first), steps)) return kExitUsage;

  BatchRun run;
  try {
    CreateGlobals();
    if (fromLayout) {
      // Nothing is saved unless --save names a file: the document has none of its own.
      run.Report(NewDocument(SjisFromShell(args[1])));
    } else {
      run.documentPath = SjisFromShell(args[0]);
      run.Report(OpenDocument(run.documentPath));
      ClearModified();
    }
    for (const Step& step : steps) step.action->run(run, step);
    for (const auto& job : run.jobs) job();
    for (const auto& commit : run.commits) commit();
  } catch (const base::Error& error) {
    ReleaseGlobals();
    std::cerr << "tessora: " << base::SjisToUtf8(error.what()) << '\n';
    return kExitFailure;
  }
  run.out += DocumentCounts();
  ReleaseGlobals();
  std::cerr << run.warnings;
  std::cout << run.out;
  return kExitSuccess;
}
