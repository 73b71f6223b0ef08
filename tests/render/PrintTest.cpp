// Printing a document's pages through the printer canvas into a PDF, read back with poppler, and the
// page pictures of the page view; a barcode on a page read back with zbar.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "base/Progress.h"
#include "base/Sjis.h"
#include "data/DocumentCommands.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"
#include "layout/Layout.h"
#include "render/MapCanvas.h"
#include "render/PageOutput.h"
#include "render/RenderGlobal.h"
#include "support/RenderTestSupport.h"

namespace fs = std::filesystem;

namespace {

// Colours of the marks the page view draws in mapping mode.
constexpr QRgb kGridMark = 0xF43D3D;
constexpr QRgb kEntryMark = 0xA0A0A4;

// A document of three pages, 200 x 100 mm. Page n holds one block showing only its box bn, so a
// printed sheet tells which page it is by where its box stands. The pages end with a page break or
// the end of the data on a second point, and a third point stays empty.
class PrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tessora-print-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    std::ofstream(dir_ / "tessora.ini") << "[config]\r\n";
    WriteLayout("");
    std::ofstream(dir_ / "doc.map") << "[basic_info]\r\nlayout=t.lay\r\n\r\n[block_field]\r\n"
                                       "item,b1.visible,b2.visible,b3.visible,code\r\n\r\n[map_data]\r\n"
                                       "item,1,0,0,0123\r\nnewpage\r\nitem,0,1,0,4567\r\nnewpage\r\n"
                                       "item,0,0,1,89012\r\n";
    CreateGlobals();
    Open();
  }
  void TearDown() override {
    ReleaseGlobals();
    fs::remove_all(dir_);
  }

  // The document's objects and the page view, whose design mode printing follows.
  void CreateGlobals() {
    CreateDataGlobals((dir_ / "tessora").string());
    gMapCanvas = std::make_unique<MMapCanvas>();
  }
  static void ReleaseGlobals() {
    gMapCanvas.reset();
    ReleaseDataGlobals();
  }

  void WriteLayout(const std::string& print) {
    std::ofstream(dir_ / "t.lay")
        << "setting { print { width: 200; height: 100; " << print << " } }\n"
        << "form page {\n"
           "  image photo { x: 150; y: 60; width: 30; height: 30; value: \"missing.png\"; }\n"
           "  grid-point { x: 10; y: 10; }\n"
           "  new-line;\n"
           "  grid-point { x: 10; y: 70; }\n"
           "  grid-point { x: 60; y: 70; } }\n"
           "block item { width: 120; height: 50;\n"
           "  box b1 { x: 5; y: 5; width: 20; height: 20; stroke-style: none; fill-style: solid; fill: "
           "black; }\n"
           "  box b2 { x: 35; y: 5; width: 20; height: 20; stroke-style: none; fill-style: solid; fill: "
           "black; }\n"
           "  box b3 { x: 65; y: 5; width: 20; height: 20; stroke-style: none; fill-style: solid; fill: "
           "black; }\n"
           "  barcode code { x: 5; y: 30; width: 60; height: 18; } }\n";
  }
  void Open() {
    OpenDocument((dir_ / "doc.map").string());
    ClearModified();
    ASSERT_EQ(gMapDB->PageCount(), 3);
  }

  QString Pdf() const { return QString::fromStdString((dir_ / "out.pdf").string()); }

  // A PDF printer; paper-fit stretches the page over the whole sheet.
  std::unique_ptr<QPrinter> Printer() const {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(Pdf());
    printer->setFullPage(true);
    return printer;
  }

  // The sheets of the PDF as pictures at dpi; empty when poppler's converter is missing.
  std::vector<QImage> Sheets(int dpi = 72) const {
    const QString tool = QStandardPaths::findExecutable("pdftoppm");
    if (tool.isEmpty()) return {};
    const QString prefix = QString::fromStdString((dir_ / "sheet").string());
    QProcess p;
    p.start(tool, {"-r", QString::number(dpi), "-png", Pdf(), prefix});
    EXPECT_TRUE(p.waitForFinished(60000));
    std::vector<QImage> sheets;
    for (int i = 1; i < 100; ++i) {
      QImage sheet(prefix + QString("-%1.png").arg(i));
      if (sheet.isNull()) break;
      sheets.push_back(sheet.convertToFormat(QImage::Format_RGB32));
      fs::remove(prefix.toStdString() + "-" + std::to_string(i) + ".png");
    }
    return sheets;
  }
  bool HavePoppler() const { return !QStandardPaths::findExecutable("pdftoppm").isEmpty(); }

  // Which page a sheet shows: the number of the box that is drawn (0 for none), at 72 dpi.
  static int PageOnSheet(const QImage& sheet) {
    int found = 0;
    for (int n = 1; n <= 3; ++n) {
      // Box bn stands at (10 + 5 + 30 (n - 1), 15) mm on the page; its middle in points.
      const int x = static_cast<int>((25 + 30 * (n - 1)) * 72 / 25.4);
      const int y = static_cast<int>(25 * 72 / 25.4);
      if (qGray(sheet.pixel(x, y)) < 64) found = found == 0 ? n : -1;
    }
    return found;
  }
  std::vector<int> PrintedPages() const {
    std::vector<int> pages;
    for (const QImage& sheet : Sheets()) pages.push_back(PageOnSheet(sheet));
    return pages;
  }

  // zbar's reading of a picture file, or "" when it finds nothing.
  static std::string Zbar(const QString& file) {
    QProcess p;
    p.start(QStandardPaths::findExecutable("zbarimg"), {"--raw", "-q", "-Scodabar.enable", file});
    EXPECT_TRUE(p.waitForFinished(60000));
    return p.readAllStandardOutput().trimmed().toStdString();
  }

  fs::path dir_;
};

}  // namespace

TEST_F(PrintTest, ThePageRangeChoosesTheSheets) {
  if (!HavePoppler()) GTEST_SKIP() << "pdftoppm is not installed";
  EXPECT_EQ(PrintDocument(*Printer(), pcAllPages), 3);
  EXPECT_EQ(PrintedPages(), (std::vector<int>{1, 2, 3}));

  // The selection is the page shown.
  gMapDB->GoToPage(2);
  EXPECT_EQ(PrintDocument(*Printer(), pcSelection), 1);
  EXPECT_EQ(PrintedPages(), (std::vector<int>{2}));

  EXPECT_EQ(PrintDocument(*Printer(), pcPageNumbers, 2, 3), 2);
  EXPECT_EQ(PrintedPages(), (std::vector<int>{2, 3}));
  // Page numbers the document does not have are left out.
  EXPECT_EQ(PrintDocument(*Printer(), pcPageNumbers, 3, 9), 1);
  EXPECT_EQ(PrintedPages(), (std::vector<int>{3}));

  // An empty range is an empty job: a blank sheet, nothing of the document.
  EXPECT_EQ(PrintDocument(*Printer(), pcPageNumbers, 3, 2), 0);
  const std::vector<QImage> blank = Sheets();
  ASSERT_EQ(blank.size(), 1u);
  EXPECT_TRUE(InkBounds(blank[0]).isEmpty());
  EXPECT_FALSE(IsModified());
}

TEST_F(PrintTest, PaperShowsNoMarksAndTheScreenDoes) {
  if (!HavePoppler()) GTEST_SKIP() << "pdftoppm is not installed";
  PrintDocument(*Printer(), pcAllPages);
  const std::vector<QImage> sheets = Sheets();
  ASSERT_EQ(sheets.size(), 3u);
  for (const QImage& sheet : sheets) {
    EXPECT_EQ(InkBounds(sheet, QRect(0, 180, 560, 100)), QRect());  // the lower points: empty on paper
  }
  // The page view in mapping mode marks the empty point, the page break and the end of the data.
  for (int page = 0; page < 3; ++page) {
    const QImage view = DrawPageImage(*gMapDB->GetPage(page), *gLayout, 72);
    EXPECT_EQ(view.size(), QSize(567, 283));
    EXPECT_GT(InkBounds(view, QRect(0, 180, 560, 100)).width(), 0);
    EXPECT_EQ(Pixel(view, static_cast<int>(60 * 72 / 25.4) + 4, static_cast<int>(70 * 72 / 25.4) + 4),
              kGridMark);
  }
  const QImage mapping = DrawPageImage(*gMapDB->GetPage(2), *gLayout, 72);
  const QImage paper = DrawPageImage(*gMapDB->GetPage(2), *gLayout, 72, cmPrinting);
  const QRect endMark(static_cast<int>(10 * 72 / 25.4), static_cast<int>(70 * 72 / 25.4), 22, 22);
  EXPECT_GT(InkBounds(mapping, endMark).width(), 10);
  EXPECT_TRUE(InkBounds(paper, endMark).isEmpty());
  int glyphPixels = 0;
  for (int y = endMark.top(); y <= endMark.bottom(); ++y)
    for (int x = endMark.left(); x <= endMark.right(); ++x) glyphPixels += Pixel(mapping, x, y) == kEntryMark;
  EXPECT_GT(glyphPixels, 20);
}

TEST_F(PrintTest, PrintOffsetsMoveEverythingOnPaperOnly) {
  if (!HavePoppler()) GTEST_SKIP() << "pdftoppm is not installed";
  PrintDocument(*Printer(), pcPageNumbers, 1, 1);
  const QRect plain = InkBounds(Sheets().at(0));
  const QRect plainView = InkBounds(DrawPageImage(*gMapDB->GetPage(0), *gLayout, 72, cmPrinting));

  ReleaseGlobals();
  WriteLayout("x: 10; y: 5;");
  CreateGlobals();
  Open();
  PrintDocument(*Printer(), pcPageNumbers, 1, 1);
  const QRect shifted = InkBounds(Sheets().at(0));
  const double mm = 72 / 25.4;
  EXPECT_NEAR(shifted.left() - plain.left(), 10 * mm, 1.5);
  EXPECT_NEAR(shifted.top() - plain.top(), 5 * mm, 1.5);
  EXPECT_EQ(InkBounds(DrawPageImage(*gMapDB->GetPage(0), *gLayout, 72, cmPrinting)), plainView);
}

TEST_F(PrintTest, DesignModeComesFromThePageView) {
  if (!HavePoppler()) GTEST_SKIP() << "pdftoppm is not installed";
  // The missing photo at (150, 60) mm: nothing on paper, the gray box in design mode.
  const QPoint photo(static_cast<int>(165 * 72 / 25.4), static_cast<int>(75 * 72 / 25.4));
  PrintDocument(*Printer(), pcSelection);
  EXPECT_EQ(Pixel(Sheets().at(0), photo.x(), photo.y()), 0xFFFFFFu);
  gMapCanvas->SetDesignMode(true);
  PrintDocument(*Printer(), pcSelection);
  EXPECT_EQ(Pixel(Sheets().at(0), photo.x(), photo.y()), 0xD0D0D0u);
}

TEST_F(PrintTest, APrintedBarcodeReadsBackAt300Dpi) {
  if (QStandardPaths::findExecutable("zbarimg").isEmpty() || !HavePoppler())
    GTEST_SKIP() << "zbarimg or pdftoppm is not installed";
  QTemporaryDir dir;
  PrintDocument(*Printer(), pcPageNumbers, 3, 3);
  const std::vector<QImage> sheets = Sheets(300);
  ASSERT_EQ(sheets.size(), 1u);
  const QString sheet = dir.filePath("sheet.png");
  ASSERT_TRUE(sheets[0].save(sheet));
  EXPECT_EQ(Zbar(sheet), "A89012A");
}

TEST_F(PrintTest, ACancelBetweenSheetsLeavesNoFile) {
  struct Sink : base::ProgressSink {
    std::vector<std::int64_t> done;
    bool Report(std::int64_t d, std::int64_t total) override {
      done.push_back(total == 3 ? d : -1);
      return done.size() < 3;  // cancelled after two sheets
    }
  } sink;
  const base::ProgressScope scope(sink);
  EXPECT_THROW(PrintDocument(*Printer(), pcAllPages), base::Cancelled);
  EXPECT_EQ(sink.done, (std::vector<std::int64_t>{0, 1, 2}));
  EXPECT_FALSE(fs::exists(Pdf().toStdString())) << "half a job left as a file";
}
