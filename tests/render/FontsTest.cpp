#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "base/Sjis.h"
#include "render/Fonts.h"
#include "render/MapCanvas.h"
#include "render/PrinterCanvas.h"
#include "render/QtText.h"
#include "support/RenderTestSupport.h"

// The test environment installs the substitutions once, as the programs do.
TEST(Fonts, WindowsJapaneseFacesBecomeTheirIpaEquivalents) {
  const struct {
    const char* face;
    const char* expected;
  } cases[] = {
      {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"ＭＳ ゴシック", "IPAGothic"}, {"ＭＳ 明朝", "IPAMincho"},
      {"ＭＳ Ｐ明朝", "IPAPMincho"},     {"MS PGothic", "IPAPGothic"},   {"MS Gothic", "IPAGothic"},
      {"MS Mincho", "IPAMincho"},        {"MS PMincho", "IPAPMincho"},
  };
  for (const auto& c : cases) {
    // The face comes from a layout as Shift-JIS.
    const QFont font(FromSjis(base::Utf8ToSjis(c.face)));
    EXPECT_EQ(QFontInfo(font).family(), QString::fromLatin1(c.expected)) << c.face;
  }
}

namespace {

// The faces and weights of the bundled sample's texts, and the two faces it does not use.
struct FaceCase {
  const char* face;
  bool bold;
  const char* family;
};
constexpr FaceCase kSampleFaces[] = {
    {"ＭＳ Ｐゴシック", false, "IPAPGothic"}, {"ＭＳ Ｐゴシック", true, "IPAPGothic"},
    {"ＭＳ Ｐ明朝", true, "IPAPMincho"},      {"ＭＳ Ｐ明朝", false, "IPAPMincho"},
    {"ＭＳ ゴシック", true, "IPAGothic"},     {"ＭＳ 明朝", true, "IPAMincho"},
};

MFont FontOf(const FaceCase& c, int height) {
  return MFont{base::Utf8ToSjis(c.face), height, c.bold, false, 0x000000};
}

// The page view draws at 96 dpi into a picture, the print core into a PDF at the printer's 1200.
class ScreenAndPaper : public ::testing::Test {
 protected:
  ScreenAndPaper() : printer_(QPrinter::HighResolution) {
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(dir_.filePath("out.pdf"));
    printer_.setFullPage(true);
    view_.SetDpi(96, 96);
    view_.SetUnit(cuMillimetre);
  }
  // What each canvas draws with for the font, the paper's height scaled to its resolution.
  std::pair<MFontChoice, MFontChoice> Choices(const FaceCase& c, int viewHeight) {
    QImage image = WhiteImage(100, 100);
    QPainter painter(&image);
    MPaintScope scope(view_, painter);
    view_.SetFont(FontOf(c, viewHeight));
    paper_.SetFont(FontOf(c, viewHeight * printer_.resolution() / 96));
    return {view_.FontChoice(), paper_.FontChoice()};
  }

  QTemporaryDir dir_;
  QPrinter printer_;
  MMapCanvas view_;
  MPrinterCanvas paper_{printer_};
};

// The share of dark pixels in a part of a picture.
double Ink(const QImage& image, const QRect& area) {
  int dark = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) dark += qGray(image.pixel(x, y)) < 128;
  return static_cast<double>(dark) / (area.width() * area.height());
}

}  // namespace

TEST_F(ScreenAndPaper, ChooseTheSameFaceForEachFamilyAndWeightOfTheSample) {
  paper_.SetupPage(cuMillimetre, 100, 40);
  paper_.BeginPrint("fonts.map");
  for (const FaceCase& c : kSampleFaces) {
    const auto [view, paper] = Choices(c, 30);
    SCOPED_TRACE(std::string(c.face) + (c.bold ? " bold" : " regular"));
    EXPECT_EQ(view.Family, QString::fromLatin1(c.family));
    EXPECT_EQ(paper.Family, view.Family);
    EXPECT_EQ(paper.Weight, view.Weight);
    // The IPA faces have no bold face: both surfaces thicken the regular one, by the same share.
    EXPECT_EQ(view.SyntheticBold > 0, c.bold);
    EXPECT_EQ(paper.SyntheticBold > 0, c.bold);
    if (c.bold) {
      // Within a pixel of the screen's.
      EXPECT_NEAR(paper.SyntheticBold * 96.0 / printer_.resolution(), view.SyntheticBold, 1.0);
    }
  }
  paper_.EndPrint();
}

// Bold text carries visibly more ink than regular text, on paper as much as on screen (in a PDF Qt
// alone draws it a printer dot apart: no heavier than regular).
TEST_F(ScreenAndPaper, BoldTextIsHeavierOnPaperAsOnScreen) {
  const QString tool = QStandardPaths::findExecutable("pdftoppm");
  ASSERT_FALSE(tool.isEmpty()) << "pdftoppm (poppler-utils) is needed to read the PDF back";
  const std::string text = base::Utf8ToSjis("新茶の季節です");
  const auto draw = [&](MMapCanvas& canvas, const FaceCase& c, double top) {
    canvas.SetFont(FontOf(c, canvas.ToPixels(8)));
    canvas.DrawTextFit(MRect{5, top, 95, top + 10}, text, taLeft);
  };
  const FaceCase regular{"ＭＳ Ｐ明朝", false, ""}, bold{"ＭＳ Ｐ明朝", true, ""};
  paper_.SetupPage(cuMillimetre, 100, 40);
  paper_.BeginPrint("fonts.map");
  draw(paper_, regular, 5);
  draw(paper_, bold, 20);
  paper_.EndPrint();
  QProcess p;
  p.start(tool, {"-r", "96", "-png", "-singlefile", dir_.filePath("out.pdf"), dir_.filePath("sheet")});
  ASSERT_TRUE(p.waitForFinished(60000));
  const QImage sheet = QImage(dir_.filePath("sheet.png")).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(sheet.isNull());

  QImage screen = WhiteImage(sheet.width(), sheet.height());
  {
    QPainter painter(&screen);
    MPaintScope scope(view_, painter);
    draw(view_, regular, 5);
    draw(view_, bold, 20);
  }
  // The two lines, 10 mm high each, at 96 dpi.
  const QRect first(19, 19, 340, 38), second(19, 76, 340, 38);
  const double screenRatio = Ink(screen, second) / Ink(screen, first);
  const double paperRatio = Ink(sheet, second) / Ink(sheet, first);
  // Regular Mincho in a PDF drawn "bold" by Qt alone gave 1.36 here against 1.87 on screen.
  EXPECT_GT(screenRatio, 1.5);
  EXPECT_GT(paperRatio, 1.5);
  // The screen rounds its thickening to whole pixels.
  EXPECT_NEAR(paperRatio, screenRatio, 0.35);
}
