#include "app/cli/ExportActions.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMarginsF>
#include <QPageLayout>
#include <QPrinter>
#include <QTemporaryDir>
#include <charconv>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/cli/CommandLine.h"
#include "app/platform/CupsQueues.h"
#include "app/platform/HeadlessQt.h"
#include "base/Error.h"
#include "base/Progress.h"
#include "base/Sjis.h"
#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"
#include "layout/Layout.h"
#include "render/Fonts.h"
#include "render/MapCanvas.h"
#include "render/PageOutput.h"
#include "render/RenderGlobal.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDefaultDpi = 96;
constexpr int kMinDpi = 10;
constexpr int kMaxDpi = 1200;
constexpr int kMaxCopies = 999;
// The largest page picture: an A4 page at 1,200 dpi would hold 139 million pixels (530 MB).
constexpr long long kMaxPagePixels = 1LL << 27;

[[noreturn]] void Fail(const std::string& message) { throw base::Error(base::Utf8ToSjis(message)); }

// A whole decimal number that is all of text.
bool ParseWhole(std::string_view text, int& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

// Copies from to to, replacing to only once the copy is complete.
void PutInPlace(const fs::path& from, const fs::path& to) {
  const fs::path part = to.string() + ".part";
  std::error_code error;
  fs::copy_file(from, part, fs::copy_options::overwrite_existing, error);
  if (!error) fs::rename(part, to, error);
  if (error) {
    fs::remove(part, error);
    Fail("cannot write " + to.string());
  }
}

// An export's files are made in a temporary folder of their own, removed with the export.
class WorkFolder : public MPendingExport {
 protected:
  WorkFolder() {
    if (!work_.isValid()) Fail("cannot create a temporary folder: " + work_.errorString().toStdString());
  }
  QTemporaryDir work_;
};

class PendingPdf : public WorkFolder {
 public:
  explicit PendingPdf(fs::path target) : target_(std::move(target)) {}
  QString WorkFile() const { return work_.filePath("out.pdf"); }
  void Commit() override { PutInPlace(WorkFile().toStdString(), target_); }

 private:
  fs::path target_;
};

class PendingPng : public WorkFolder {
 public:
  explicit PendingPng(fs::path dir) : dir_(std::move(dir)) {}
  QString WorkFile(const std::string& name) const { return work_.filePath(QString::fromStdString(name)); }
  void Add(std::string name) { names_.push_back(std::move(name)); }
  void Commit() override {
    std::error_code error;
    fs::create_directories(dir_, error);
    if (error || !fs::is_directory(dir_)) Fail("cannot create the folder " + dir_.string());
    for (const std::string& name : names_) PutInPlace(WorkFile(name).toStdString(), dir_ / name);
  }

 private:
  fs::path dir_;
  std::vector<std::string> names_;
};

// A print job: the pages drawn into a PDF of the work folder, sent to the queue on Commit.
class PendingJob : public WorkFolder {
 public:
  explicit PendingJob(std::string_view queue) : queue_(queue) {}
  QString WorkFile() const { return work_.filePath("job.pdf"); }
  MCupsQueue& Queue() { return queue_; }
  MPaperRequest Paper;
  MJobOptions Options;
  void Commit() override {
    // A cancel that came as the last page was drawn still sends nothing.
    if (base::ProgressCancelled()) throw base::Cancelled();
    queue_.Submit(WorkFile().toStdString(), Paper, Options);
  }

 private:
  MCupsQueue queue_;
};

// A PDF printer writing into file; the paper is the layout's page, set by the print core.
void ToPdf(QPrinter& printer, const QString& file) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(file);
  printer.setCreator(QStringLiteral("Tessora"));
}

void RequireDocument() {
  if (gMapDB == nullptr || gLayout == nullptr || gMapDB->PageCount() == 0) Fail("the document has no pages");
}

// page-001.png, ..., page-999.png, page-1000.png: names that sort in page order up to 999 pages.
std::string PageFileName(int page) {
  std::string number = std::to_string(page);
  if (number.size() < 3) number.insert(0, 3 - number.size(), '0');
  return "page-" + number + ".png";
}

}  // namespace

void EnsureGuiApplication() {
  if (QGuiApplication::instance() != nullptr) return;
  PrepareHeadlessQt();
  static int argc = 1;
  static char name[] = "tessora";
  static char* argv[] = {name, nullptr};
  static const std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
  InstallFontSubstitutions();
}

MPageSpan ParsePageSpan(std::string_view text, int pageCount) {
  const std::string shown(text);
  MPageSpan span;
  const std::size_t dash = text.find('-');
  const bool parsed =
      dash == std::string_view::npos
          ? ParseWhole(text, span.First) && ParseWhole(text, span.Last)
          : ParseWhole(text.substr(0, dash), span.First) && ParseWhole(text.substr(dash + 1), span.Last);
  if (!parsed)
    Fail("--pages " + shown + ": expected FIRST-LAST, page numbers counted from 1 (for example 2-5)");
  if (span.First < 1) Fail("--pages " + shown + ": pages are counted from 1");
  if (span.First > span.Last) Fail("--pages " + shown + ": the first page comes after the last");
  if (span.Last > pageCount)
    Fail("--pages " + shown + ": the document has " + std::to_string(pageCount) +
         (pageCount == 1 ? " page" : " pages"));
  return span;
}

int ParseCopies(std::string_view text) {
  int copies = 0;
  if (!ParseWhole(text, copies) || copies < 1 || copies > kMaxCopies)
    Fail("--copies " + std::string(text) + ": expected a whole number of copies from 1 to " +
         std::to_string(kMaxCopies));
  return copies;
}

int ParseDpi(std::string_view text) {
  int dpi = 0;
  if (!ParseWhole(text, dpi) || dpi < kMinDpi || dpi > kMaxDpi)
    Fail("--dpi " + std::string(text) + ": expected a whole number of dots per inch from " +
         std::to_string(kMinDpi) + " to " + std::to_string(kMaxDpi));
  return dpi;
}

// The pages of --pages as a range of the print core; all pages when not given.
MPrintRange PagesOption(std::string_view pages) {
  const int count = gMapDB->PageCount();
  const MPageSpan span = pages.empty() ? MPageSpan{1, count} : ParsePageSpan(pages, count);
  return MPrintRange{span.First - 1, span.Last - 1};
}

std::unique_ptr<MPendingExport> ExportPdf(std::string_view outPath, std::string_view pages) {
  RequireDocument();
  return ExportPdf(outPath, PagesOption(pages));
}

std::unique_ptr<MPendingExport> ExportPdf(std::string_view outPath, MPrintRange range) {
  RequireDocument();
  const fs::path target = FromShell(outPath);
  if (fs::is_directory(target)) Fail("cannot write " + target.string() + ": it is a folder");
  EnsureGuiApplication();

  auto pending = std::make_unique<PendingPdf>(target);
  QPrinter printer(QPrinter::HighResolution);
  ToPdf(printer, pending->WorkFile());
  // The layout's page is the paper; paper fit then stretches it over the whole sheet.
  printer.setFullPage(true);
  PrintPages(printer, *gLayout, *gMapDB, gMapFile->FileName(), false, range);
  return pending;
}

std::unique_ptr<MPendingExport> PrintToQueue(std::string_view queue, MPrintRange range, int copies,
                                             bool collate) {
  RequireDocument();
  EnsureGuiApplication();
  auto job = std::make_unique<PendingJob>(queue);
  const MSetting& setting = gLayout->Setting;
  const int widthMm = PaperSideMm(setting.Unit, setting.PageWidth);
  const int heightMm = PaperSideMm(setting.Unit, setting.PageHeight);
  job->Paper = PaperForPage(widthMm, heightMm);
  const MPaperMargins margins = job->Queue().Margins(job->Paper, widthMm, heightMm);

  QPrinter printer(QPrinter::HighResolution);
  ToPdf(printer, job->WorkFile());
  // The printer's own margins, as a printer of the system gives them: paper fit fills what lies
  // within, true size measures from its top-left corner. They are the page's as it stands, and the
  // print core keeps them when it sets the paper's size and orientation.
  printer.setFullPage(false);
  printer.setPageMargins(QMarginsF(margins.Left, margins.Top, margins.Right, margins.Bottom),
                         QPageLayout::Millimeter);
  const bool designMode = gMapCanvas != nullptr && gMapCanvas->DesignMode();
  PrintPages(printer, *gLayout, *gMapDB, gMapFile->FileName(), designMode, range);
  job->Options = MJobOptions{base::SjisToUtf8(PrintJobTitle(gMapFile->FileName())), copies, collate};
  return job;
}

std::unique_ptr<MPendingExport> PrintToQueue(std::string_view queue, std::string_view copies,
                                             std::string_view pages) {
  RequireDocument();
  const int count = copies.empty() ? 1 : ParseCopies(copies);
  return PrintToQueue(queue, PagesOption(pages), count, true);
}

std::unique_ptr<MPendingExport> ExportPng(std::string_view dir, std::string_view dpiText) {
  RequireDocument();
  const int dpi = dpiText.empty() ? kDefaultDpi : ParseDpi(dpiText);
  const QSize size = PageImageSize(*gLayout, dpi);
  if (static_cast<long long>(size.width()) * size.height() > kMaxPagePixels)
    Fail("--dpi " + std::to_string(dpi) + ": a page would be " + std::to_string(size.width()) + " x " +
         std::to_string(size.height()) + " pixels; choose a lower resolution");
  const fs::path target = FromShell(dir);
  if (fs::exists(target) && !fs::is_directory(target))
    Fail("cannot write into " + target.string() + ": not a folder");
  EnsureGuiApplication();

  auto pending = std::make_unique<PendingPng>(target);
  const int count = gMapDB->PageCount();
  for (int page = 1; page <= count; ++page) {
    // A cancel drops the pictures made so far with the work folder.
    base::ReportProgressOrCancel(page - 1, count);
    const QImage image = DrawPageImage(*gMapDB->GetPage(page - 1), *gLayout, dpi, cmMapping, false);
    if (image.isNull()) Fail("not enough memory to draw page " + std::to_string(page));
    std::string name = PageFileName(page);
    QImageWriter writer(pending->WorkFile(name), "png");
    if (!writer.write(image)) Fail("cannot write " + name + ": " + writer.errorString().toStdString());
    pending->Add(std::move(name));
  }
  base::ReportProgress(count, count);
  return pending;
}
