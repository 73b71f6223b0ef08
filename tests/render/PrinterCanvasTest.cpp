#include <gtest/gtest.h>

#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "base/Error.h"
#include "base/Sjis.h"
#include "render/PrinterCanvas.h"
#include "support/RenderTestSupport.h"

namespace {

// Prints pages into a PDF and reads them back as 72 dpi pictures (one pixel a point).
class PrinterCanvasTest : public ::testing::Test {
 protected:
  PrinterCanvasTest() : printer_(QPrinter::HighResolution) {
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(dir_.filePath("out.pdf"));
    printer_.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
  }

  // The pages of the PDF as pictures; skips the test when poppler's converter is missing.
  std::vector<QImage> Pages() {
    const QString tool = QStandardPaths::findExecutable("pdftoppm");
    if (tool.isEmpty()) return {};
    QProcess p;
    p.start(tool, {"-r", "72", "-png", dir_.filePath("out.pdf"), dir_.filePath("page")});
    EXPECT_TRUE(p.waitForFinished(60000));
    std::vector<QImage> pages;
    for (int i = 1; i < 100; ++i) {
      QImage page(dir_.filePath(QString("page-%1.png").arg(i)));
      if (page.isNull()) break;
      pages.push_back(page.convertToFormat(QImage::Format_RGB32));
    }
    return pages;
  }
  bool HaveConverter() const { return !QStandardPaths::findExecutable("pdftoppm").isEmpty(); }

  // A black box with no outline from (x1, y1) to (x2, y2) in page units.
  static void Box(MPrinterCanvas& c, double x1, double y1, double x2, double y2) {
    c.SetPen(MPen{1, 0, psClear});
    c.SetBrush(MBrush{0x000000, bsSolid});
    c.Rectangle(x1, y1, x2, y2);
  }

  QTemporaryDir dir_;
  QPrinter printer_;
};

// Millimetres to points (pixels of a 72 dpi picture).
constexpr double Pt(double mm) { return mm * 72 / 25.4; }

}  // namespace

TEST_F(PrinterCanvasTest, PaperTakesThePageSizeAndOrientation) {
  MPrinterCanvas c(printer_);
  EXPECT_EQ(c.Mode(), cmPrinting);
  c.SetupPage(cuMillimetre, 297, 210);
  EXPECT_EQ(printer_.pageLayout().orientation(), QPageLayout::Landscape);
  EXPECT_EQ(printer_.pageLayout().pageSize().size(QPageSize::Millimeter),
            QSizeF(210, 297));  // width 2100, length 2970
  c.SetupPage(cuMillimetre, 210, 297);
  EXPECT_EQ(printer_.pageLayout().orientation(), QPageLayout::Portrait);
  EXPECT_EQ(printer_.pageLayout().pageSize().size(QPageSize::Millimeter), QSizeF(210, 297));
  c.SetupPage(cuMillimetre, 150, 150);  // a square page prints landscape
  EXPECT_EQ(printer_.pageLayout().orientation(), QPageLayout::Landscape);
  c.SetupPage(cuCentimetre, 21, 29.7);  // the same paper as 210 x 297 mm
  EXPECT_EQ(printer_.pageLayout().orientation(), QPageLayout::Portrait);
  EXPECT_EQ(printer_.pageLayout().pageSize().size(QPageSize::Millimeter), QSizeF(210, 297));
  EXPECT_EQ(c.Unit(), cuCentimetre);
  c.SetupPage(cuInch, 8.5, 11);  // whole millimetres: 216 x 279
  EXPECT_EQ(printer_.pageLayout().pageSize().size(QPageSize::Millimeter), QSizeF(216, 279));
}

TEST_F(PrinterCanvasTest, RefusesPaperThePrinterCannotBeToldOf) {
  MPrinterCanvas c(printer_);
  EXPECT_NO_THROW(c.SetupPage(cuMillimetre, 3276, 200));
  EXPECT_THROW(c.SetupPage(cuMillimetre, 3277, 200), base::Error);
  EXPECT_THROW(c.SetupPage(cuCentimetre, 20, 327.7), base::Error);
  EXPECT_THROW(c.SetupPage(cuMillimetre, 0, 200), base::Error);
  EXPECT_THROW(c.SetupPage(cuMillimetre, 200, -5), base::Error);
  try {
    c.SetupPage(cuInch, 200, 10);
    FAIL() << "no error";
  } catch (const base::Error& e) {
    EXPECT_NE(base::SjisToUtf8(e.what()).find("5080"), std::string::npos) << base::SjisToUtf8(e.what());
  }
}

TEST_F(PrinterCanvasTest, PaperFitFillsThePrintableArea) {
  MPrinterCanvas c(printer_);
  c.SetupPage(cuMillimetre, 210, 297, true);
  // About 190 mm of printable width at 1200 dpi for 210 mm of page, 277 for 297 mm.
  EXPECT_NEAR(c.DpiX(), 1200 * 190 / 210.0, 2);
  EXPECT_NEAR(c.DpiY(), 1200 * 277 / 297.0, 2);
  c.BeginPrint("");
  Box(c, 0, 0, 20, 20);        // the top-left corner of the page
  Box(c, 190, 277, 210, 297);  // the bottom-right corner
  c.EndPrint();
  if (!HaveConverter()) GTEST_SKIP() << "pdftoppm is not installed";
  const std::vector<QImage> pages = Pages();
  ASSERT_EQ(pages.size(), 1u);
  SaveForLooking(pages[0], "print_fit");
  EXPECT_EQ(pages[0].size(), QSize(595, 842));  // A4 portrait
  const QRect topLeft = InkBounds(pages[0], QRect(0, 0, 200, 200));
  EXPECT_NEAR(topLeft.left(), Pt(10), 1.5);  // the printable area starts 10 mm in
  EXPECT_NEAR(topLeft.top(), Pt(10), 1.5);
  EXPECT_NEAR(topLeft.right() + 1, Pt(10 + 20 * 190.0 / 210), 1.5);
  const QRect bottomRight = InkBounds(pages[0], QRect(400, 600, 195, 242));
  EXPECT_NEAR(bottomRight.right() + 1, Pt(200), 1.5);  // the page's right edge on the printable area's
  EXPECT_NEAR(bottomRight.bottom() + 1, Pt(287), 1.5);
}

TEST_F(PrinterCanvasTest, WithoutPaperFitUnitsAreTrueSize) {
  MPrinterCanvas c(printer_);
  c.SetupPage(cuMillimetre, 297, 210, false);
  EXPECT_EQ(c.DpiX(), 1200);
  c.SetOrigin(5, 0);  // the print offset shifts everything on paper
  c.BeginPrint("/home/user/docs/list.map");
  Box(c, 10, 10, 20, 30);
  c.NextSheet();
  Box(c, 100, 100, 110, 110);
  c.EndPrint();
  EXPECT_EQ(printer_.docName(), QString("list.map"));
  if (!HaveConverter()) GTEST_SKIP() << "pdftoppm is not installed";
  const std::vector<QImage> pages = Pages();
  ASSERT_EQ(pages.size(), 2u);
  SaveForLooking(pages[0], "print_true_size");
  EXPECT_EQ(pages[0].size(), QSize(842, 595));  // A4 landscape
  const QRect box = InkBounds(pages[0]);
  EXPECT_NEAR(box.left(), Pt(10 + 5 + 10), 1.5);  // margin, offset, x
  EXPECT_NEAR(box.top(), Pt(10 + 10), 1.5);
  EXPECT_NEAR(box.width(), Pt(10), 1.5);  // 10 mm on the page is 10 mm on paper
  EXPECT_NEAR(box.height(), Pt(20), 1.5);
  const QRect second = InkBounds(pages[1]);
  EXPECT_NEAR(second.left(), Pt(10 + 5 + 100), 1.5);
}

TEST_F(PrinterCanvasTest, TextAndImagesLandAtTheirSizeOnPaper) {
  MPrinterCanvas c(printer_);
  c.SetupPage(cuMillimetre, 210, 297, false);
  c.BeginPrint("");
  MFont font;
  font.Face = "IPAGothic";
  font.Height = c.ToPixels(10);  // a 10 mm character cell
  c.SetFont(font);
  c.DrawTextFit(MRect{20, 20, 200, 30}, "HHHH", taLeft);
  QImage picture(200, 100, QImage::Format_RGB32);
  picture.fill(Qt::red);
  c.DrawImage(MRect{20, 50, 120, 150}, picture, 100, 200);  // fitted: 100 x 50 mm, 25 mm down
  c.EndPrint();
  if (!HaveConverter()) GTEST_SKIP() << "pdftoppm is not installed";
  const std::vector<QImage> pages = Pages();
  ASSERT_EQ(pages.size(), 1u);
  SaveForLooking(pages[0], "print_text_image");
  const QRect text = InkBounds(pages[0], QRect(0, 0, 595, Pt(45)));
  EXPECT_NEAR(text.left(), Pt(30), 2);
  EXPECT_NEAR(text.height(), Pt(10) * 0.73, Pt(1.5));  // capital letters: about three quarters of the cell
  EXPECT_NEAR(text.width(), Pt(4 * 5), Pt(2));         // four half-width letters of 5 mm
  const QRect image = InkBounds(pages[0], QRect(0, Pt(45), 595, 842 - Pt(45)));
  EXPECT_NEAR(image.left(), Pt(30), 2);
  EXPECT_NEAR(image.top(), Pt(10 + 75), 2);
  EXPECT_NEAR(image.width(), Pt(100), 2.5);
  EXPECT_NEAR(image.height(), Pt(50), 2.5);
}

TEST_F(PrinterCanvasTest, AFileThatCannotBeWrittenEndsTheCommand) {
  printer_.setOutputFileName(dir_.filePath("no/such/folder/out.pdf"));
  MPrinterCanvas c(printer_);
  c.SetupPage(cuMillimetre, 210, 297);
  EXPECT_THROW(c.BeginPrint("x.map"), base::Error);
  EXPECT_EQ(c.GetCanvas(), nullptr);
}

TEST(PrintJob, TitlesAndRanges) {
  EXPECT_EQ(PrintJobTitle("/home/user/list.map"), "list.map");
  EXPECT_EQ(PrintJobTitle("list.map"), "list.map");
  EXPECT_EQ(PrintJobTitle(""), "untitle");
  EXPECT_EQ(PrintJobTitle("C:\\data\\list.map"), "list.map");
  const std::string so = base::Utf8ToSjis("ソ.map");  // its first character ends in the byte of "\"
  EXPECT_EQ(PrintJobTitle("dir/" + so), so);
  const MPrintRange all = PrintRange(pcAllPages, 5, 3, 1, 1);
  EXPECT_EQ(all.First, 0);
  EXPECT_EQ(all.Last, 4);
  const MPrintRange selection = PrintRange(pcSelection, 5, 3, 1, 1);
  EXPECT_EQ(selection.First, 2);
  EXPECT_EQ(selection.Last, 2);
  const MPrintRange numbers = PrintRange(pcPageNumbers, 5, 3, 2, 4);
  EXPECT_EQ(numbers.First, 1);
  EXPECT_EQ(numbers.Last, 3);
  EXPECT_GT(PrintRange(pcPageNumbers, 5, 3, 4, 2).First, PrintRange(pcPageNumbers, 5, 3, 4, 2).Last);
}
