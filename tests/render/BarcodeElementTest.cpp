// Barcode elements of every symbology drawn on a page and read back: by zbarimg and dmtxread where
// Debian has a reader, and otherwise by their drawn bar widths against libzint's encoder or a worked
// example from the symbology's published table.
#include <gtest/gtest.h>
#include <zint.h>

#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "barcode/BarMatrix.h"
#include "base/Sjis.h"
#include "layout/Form.h"
#include "layout/Layout.h"
#include "layout/Shapes.h"
#include "render/PageOutput.h"
#include "support/DocumentTestSupport.h"
#include "support/RenderTestSupport.h"

namespace {

// One barcode element of the page: its properties in the layout language and its value (UTF-8).
struct Element {
  std::string properties;
  std::string value;
};

// A page of 200 x 420 mm holding the elements in a column of 72 x 22 mm boxes (2D codes 30 x 30 mm),
// drawn for paper at dpi.
QImage DrawPage(const std::vector<Element>& elements, int dpi) {
  std::string text = "setting { default { unit: mm; } print { width: 200; height: 420; } }\nform page {\n";
  double y = 4;
  int column = 0;
  for (const Element& e : elements) {
    const bool square =
        e.properties.find("qr") != std::string::npos || e.properties.find("datamatrix") != std::string::npos;
    const double height = square ? 30 : 22;
    text += "  barcode { x: " + std::to_string(4 + column * 100) + "; y: " + std::to_string(y) +
            "; width: " + (square ? "30" : "72") + "; height: " + std::to_string(height) + "; " +
            e.properties + " value: \"" + e.value + "\"; }\n";
    if (++column == 2) {
      column = 0;
      y += 34;
    }
  }
  text += "}\n";
  MLayout layout;
  doc_test::LoadLayoutText(layout, text);
  if (layout.Forms.empty()) return {};
  MPage page(*layout.Forms[0], 1);
  return DrawPageImage(page, layout, dpi, cmPrinting);
}

std::string RunTool(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(120000)) return "<" + program.toStdString() + " did not finish>";
  return p.readAllStandardOutput().toStdString();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  std::sort(lines.begin(), lines.end());
  return lines;
}

class BarcodeElementReadBack : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Save(const QImage& image) {
    const QString file = dir_.filePath(QString("page%1.png").arg(count_++));
    EXPECT_TRUE(image.save(file, "PNG"));
    return file;
  }
  QTemporaryDir dir_;
  int count_ = 0;
};

TEST_F(BarcodeElementReadBack, ZbarReadsEverySymbologyItKnows) {
  const QString zbar = QStandardPaths::findExecutable("zbarimg");
  ASSERT_FALSE(zbar.isEmpty()) << "zbarimg is not installed (Debian zbar-tools; scripts/deps.sh)";
  struct Case {
    Element element;
    std::string read;
  };
  const std::vector<Case> cases = {
      {{"bar-type: jan;", "490123456789"}, "4901234567894"},
      {{"bar-type: jan;", "4006381333931"}, "4006381333931"},  // the check digit given: drawn as it is
      {{"bar-type: jan;", "4512345"}, "45123450"},
      {{"bar-type: jan;", "96385074"}, "96385074"},
      {{"bar-type: upc;", "03600029145"}, "036000291452"},
      {{"bar-type: upc;", "0123455"}, "01234558"},
      {{"bar-type: code39; bar-check-digit: true;", "TESSORA-39"}, "TESSORA-39-"},
      {{"bar-type: code39; bar-ratio: 30;", "ABC 123"}, "ABC 123"},
      {{"bar-type: code93;", "TEST93"}, "TEST93"},
      {{"bar-type: code93;", "<+>S<+>H<+>O<+>P 9"}, "shop 9"},
      {{"bar-type: code128; bar-start: B;", "Tessora 128"}, "Tessora 128"},
      {{"bar-type: code128; bar-start: C;", "<12><34><56>"}, "123456"},
      {{"bar-start: D; bar-stop: A; bar-check-digit: true;", "40156"}, "D40156/A"},  // NW-7 by default
      {{"bar-type: nw7; bar-start: B; bar-stop: C; bar-ratio: 20;", "0123456789"}, "B0123456789C"},
      {{"bar-type: itf;", "123456"}, "123456"},
      {{"bar-type: itf; bar-check-digit: true; bar-ratio: 28;", "4901234"}, "49012347"},
      {{"bar-type: qr;", "https://midoriya.example/item/101001"}, "https://midoriya.example/item/101001"},
      {{"bar-type: qr; bar-ecc: H;", "特上煎茶 100g 1,620円"}, "特上煎茶 100g 1,620円"},
      {{"bar-type: qr; bar-ecc: L; bar-text: true;", "㈱みどり屋 ①"}, "㈱みどり屋 ①"},
      {{"bar-type: qr; bar-ecc: Q;", "急須 10～20"}, "急須 10〜20"},  // JIS X 0208's wave dash
  };
  std::vector<Element> elements;
  std::vector<std::string> expected;
  for (const Case& c : cases) {
    elements.push_back({c.element.properties, c.element.value});
    expected.push_back(c.read);
  }
  std::sort(expected.begin(), expected.end());
  for (int dpi : {200, 300}) {
    const QImage page = DrawPage(elements, dpi);
    ASSERT_FALSE(page.isNull());
    SaveForLooking(page, "barcode-elements");
    const std::string read = RunTool(zbar, {"--raw", "-q", "-Supca.enable", "-Supce.enable", "-Sean8.enable",
                                            "-Scodabar.enable", "-Scode93.enable", Save(page)});
    EXPECT_EQ(Lines(read), expected) << dpi << " dpi:\n" << read;
  }
}

TEST_F(BarcodeElementReadBack, DmtxreadReadsDataMatrix) {
  const QString dmtx = QStandardPaths::findExecutable("dmtxread");
  ASSERT_FALSE(dmtx.isEmpty()) << "dmtxread is not installed (Debian dmtx-utils; scripts/deps.sh)";
  for (const std::string& value : {std::string("A1"), std::string("SHELF-12/B 2024"),
                                   std::string("https://midoriya.example/item/201003")}) {
    const QImage page = DrawPage({{"bar-type: datamatrix;", value}}, 200);
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(RunTool(dmtx, {Save(page)}), value);
  }
  // Text beyond ASCII goes in as UTF-8 behind ECI 26; libdmtx does not interpret ECIs and gives the
  // designator's byte (26) before the UTF-8.
  const QImage page = DrawPage({{"bar-type: datamatrix;", "急須 ①"}}, 200);
  EXPECT_EQ(RunTool(dmtx, {Save(page)}), "\x1a急須 ①");
}

// ---- drawn widths

// Elements of one line through the middle of a drawing: 'n' narrow, 'w' wide, from the first dark
// pixel to the last, bars and spaces alternating. Wide is at least twice the narrowest.
std::string DrawnElements(const QImage& image, int y) {
  std::vector<int> runs;
  int x = 0;
  while (x < image.width() && Pixel(image, x, y) != 0) ++x;
  int last = image.width() - 1;
  while (last >= 0 && Pixel(image, last, y) != 0) --last;
  while (x <= last) {
    const bool dark = Pixel(image, x, y) == 0;
    int start = x;
    while (x <= last && (Pixel(image, x, y) == 0) == dark) ++x;
    runs.push_back(x - start);
  }
  if (runs.empty()) return "";
  const int narrow = *std::min_element(runs.begin(), runs.end());
  std::string elements;
  for (int r : runs) elements += r >= 2 * narrow ? 'w' : 'n';
  return elements;
}

// The same from libzint's modules of a linear symbol: one module narrow, more wide.
std::string LibzintElements(int symbology, const std::string& code, bool checkDigit) {
  std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> s(ZBarcode_Create(), ZBarcode_Delete);
  s->symbology = symbology;
  s->option_2 = checkDigit ? 1 : 0;
  if (ZBarcode_Encode(s.get(), reinterpret_cast<const unsigned char*>(code.data()), int(code.size())) >=
      ZINT_ERROR)
    return "<" + std::string(s->errtxt) + ">";
  std::string elements;
  int x = 0;
  while (x < s->width) {
    const bool dark = (s->encoded_data[0][x >> 3] >> (x & 7)) & 1;
    int start = x;
    while (x < s->width && bool((s->encoded_data[0][x >> 3] >> (x & 7)) & 1) == dark) ++x;
    elements += x - start > 1 ? 'w' : 'n';
  }
  return elements;
}

// A barcode element drawn alone, in device pixels, without its text band.
QImage DrawElement(std::uint8_t type, const std::string& value, bool checkDigit, int ratio, int width = 1500,
                   int height = 240) {
  MBarcode element;
  element.SetX(0);
  element.SetY(0);
  element.SetWidth(width);
  element.SetHeight(height);
  element.Value = value;
  element.Style.Type = type;
  element.Style.CheckDigit = checkDigit;
  element.Style.Ratio = static_cast<std::uint8_t>(ratio);
  element.Style.Text = btxHide;
  QImage image = WhiteImage(width, height);
  MMapCanvas canvas;
  canvas.SetUnit(cuPixel);
  QPainter painter(&image);
  MPaintScope scope(canvas, painter);
  element.Draw(canvas, 0, false);
  return image;
}

// Industrial, IATA and matrix 2 of 5 against libzint, whose wide elements are three modules (matrix
// 2 of 5's start and stop bar four): drawn with the ratio 3, the elements must follow libzint's.
TEST(BarcodeElementWidths, TwoOfFiveCodesAsLibzintEncodesThem) {
  struct Case {
    std::uint8_t type;
    int symbology;
    std::string code;
    bool checkDigit;  // ours
    bool zintCheck;   // libzint's
  };
  const std::vector<Case> cases = {
      {btCTF, BARCODE_C25IND, "1234567890", false, false},
      {btCTF, BARCODE_C25IND, "2024", true, true},
      {btIATA, BARCODE_C25IATA, "1234567890", false, true},  // IATA always carries its check digit
      {btIATA, BARCODE_C25IATA, "95", true, true},
      {btMatrix, BARCODE_C25STANDARD, "1234567890", false, false},
      {btMatrix, BARCODE_C25STANDARD, "31", true, true},
  };
  for (const Case& c : cases) {
    const QImage image = DrawElement(c.type, c.code, c.checkDigit, 30);
    EXPECT_EQ(DrawnElements(image, image.height() / 2), LibzintElements(c.symbology, c.code, c.zintCheck))
        << kBarTypeNames[c.type] << " " << c.code;
  }
}

// NEC 2 of 5 has no encoder or reader in Debian. Its published table gives each digit three bars and
// two spaces (bar, space, bar, space, bar), two of the five wide; the wide pair's weights (7, 4, 2, 1,
// 0 from the left) add up to the digit, 11 standing for 0. Each character is followed by a narrow
// space.
TEST(BarcodeElementWidths, NecTwoOfFiveAsItsPublishedTable) {
  const int weights[5] = {7, 4, 2, 1, 0};
  auto character = [&](int digit) {
    for (int a = 0; a < 5; ++a)
      for (int b = a + 1; b < 5; ++b)
        if ((weights[a] + weights[b]) % 11 == digit) {
          std::string e = "nnnnnn";
          e[a] = e[b] = 'w';
          return e;
        }
    return std::string("?");
  };
  for (const std::string code : {"0123456789", "97531"}) {
    std::string data;
    for (char d : code) data += character(d - '0');
    for (int ratio : {25, 30}) {
      const QImage image = DrawElement(btNEC, code, false, ratio);
      const std::string drawn = DrawnElements(image, image.height() / 2);
      // Between the start (four elements) and the stop (three).
      ASSERT_EQ(drawn.size(), 4 + data.size() + 3) << code;
      EXPECT_EQ(drawn.substr(4, data.size()), data) << code << ", ratio " << ratio;
    }
  }
}

// The postal customer barcode against libzint's Japan Post symbol: each bar's thirds, from the top.
TEST(BarcodeElementWidths, CustomerBarcodeAsLibzintEncodesIt) {
  for (const std::string code : {"1234567", "2630023-2-1", "1050011-3-5-2A", "0600007ABC-1-9"}) {
    std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> s(ZBarcode_Create(), ZBarcode_Delete);
    s->symbology = BARCODE_JAPANPOST;
    ASSERT_LT(ZBarcode_Encode(s.get(), reinterpret_cast<const unsigned char*>(code.data()), int(code.size())),
              ZINT_ERROR);
    ASSERT_EQ(s->rows, 3);
    std::string expected;
    for (int x = 0; x < s->width; x += 2) {
      int bar = 0;
      for (int row = 0; row < 3; ++row) bar = bar * 2 + ((s->encoded_data[row][x >> 3] >> (x & 7)) & 1);
      expected += char('0' + bar);
    }

    const QImage image = DrawElement(btCustomer, code, false, 0, 2000, 300);
    const QRect ink = InkBounds(image);
    ASSERT_FALSE(ink.isEmpty()) << code;
    std::string drawn;
    // Bars are found on the middle third, which every bar has; each is then looked at in its thirds.
    const int middle = ink.top() + ink.height() / 2;
    for (int x = ink.left(); x <= ink.right();) {
      if (Pixel(image, x, middle) != 0) {
        ++x;
        continue;
      }
      int end = x;
      while (end <= ink.right() && Pixel(image, end, middle) == 0) ++end;
      const int cx = (x + end) / 2;
      int bar = 0;
      for (int third = 0; third < 3; ++third)
        bar = bar * 2 + (Pixel(image, cx, ink.top() + ink.height() * (2 * third + 1) / 6) == 0 ? 1 : 0);
      drawn += char('0' + bar);
      x = end;
    }
    EXPECT_EQ(drawn, expected) << code;
  }
}

// ---- the element in its box

TEST(BarcodeElementDrawing, ValuesWithoutASymbolLeaveAWhiteBox) {
  struct Case {
    std::uint8_t type;
    std::string value;
  };
  for (const Case& c : std::vector<Case>{{btJAN, "4901234567890"},  // a wrong check digit
                                         {btJAN, "49012345"},
                                         {btUPC, "1234567"},
                                         {btCode39, "abc"},
                                         {btNW7, "E1"},
                                         {btITF, "12a4"},
                                         {btCode128, "<NOPE>"},
                                         {btCode93, "a"},
                                         {btQR, ""},
                                         {btQR, std::string(7090, '9')},
                                         {btDataMatrix, std::string(3200, '9')}}) {
    MBarcode element;
    element.SetX(10);
    element.SetY(10);
    element.SetWidth(100);
    element.SetHeight(60);
    element.Value = c.value;
    element.Style.Type = c.type;
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(Qt::red);
    MMapCanvas canvas;
    canvas.SetUnit(cuPixel);
    {
      QPainter painter(&image);
      MPaintScope scope(canvas, painter);
      element.Draw(canvas, 0, false);
    }
    EXPECT_EQ(Pixel(image, 50, 40), 0xFFFFFFu) << kBarTypeNames[c.type] << " " << c.value.substr(0, 20);
    EXPECT_EQ(Pixel(image, 10, 10), 0xFFFFFFu);
    EXPECT_EQ(Pixel(image, 108, 68), 0xFFFFFFu);  // a fill without a pen stops a pixel short
    EXPECT_EQ(Pixel(image, 110, 70), 0xFF0000u);  // the box and nothing more
  }
}

// 2D codes take the whole box unless the text band is asked for; their modules are whole pixels at
// every zoom, so every module is one colour throughout.
TEST(BarcodeElementDrawing, TwoDimensionalCodesFitSharpAtEveryZoom) {
  MBarcode element;
  element.SetX(10);
  element.SetY(5);
  element.SetWidth(40);
  element.SetHeight(30);
  element.Value = "https://midoriya.example/";
  element.Style.Type = btQR;
  const barcode::TBarMatrix matrix = barcode::EncodeQR(element.Value, barcode::qrM);
  const int across = matrix.Width() + 8;
  for (double zoom : {1.0, 1.5, 2.25, 4.0}) {
    for (std::uint8_t text : {btxDefault, btxShow}) {
      element.Style.Text = text;
      MMapCanvas canvas;
      canvas.SetUnit(cuMillimetre);
      canvas.SetDpi(96, 96);
      canvas.SetZoom(zoom);
      const QRect box = canvas.RectToPixels(element.Bounds);
      const QRect symbolBox = text == btxShow ? canvas.RectToPixels(10, 5, 50, 5 + 30 * 9.0 / 12) : box;
      QImage image = WhiteImage(box.right() + 10, box.bottom() + 10);
      {
        QPainter painter(&image);
        MPaintScope scope(canvas, painter);
        element.Draw(canvas, 0, false);
      }
      const int module = std::min(symbolBox.width(), symbolBox.height()) / across;
      ASSERT_GE(module, 1);
      const QRect ink = InkBounds(image, symbolBox);
      // The symbol (its quiet zone inside the box) is the largest that fits, centred.
      EXPECT_EQ(ink.width(), module * matrix.Width()) << zoom;
      EXPECT_EQ(ink.height(), module * matrix.Height()) << zoom;
      EXPECT_NEAR(ink.center().x(), symbolBox.center().x(), 1.0) << zoom;
      EXPECT_NEAR(ink.center().y(), symbolBox.center().y(), 1.0) << zoom;
      for (int y = 0; y < ink.height(); ++y)
        for (int x = 0; x < ink.width(); ++x)
          ASSERT_EQ(Pixel(image, ink.left() + x, ink.top() + y) == 0, matrix.Dark(x / module, y / module))
              << "zoom " << zoom << " at " << x << "," << y;
      // Asked for, the text band below the symbol holds the value.
      if (text == btxShow) {
        const QRect band = canvas.RectToPixels(10, 35 - 5, 50, 35);
        EXPECT_LT(ink.bottom(), band.top()) << zoom;
        EXPECT_FALSE(InkBounds(image, band).isEmpty()) << zoom;
      }
    }
  }
}

TEST(BarcodeElementDrawing, LinearCodesWithoutTheTextBandUseTheWholeBox) {
  for (std::uint8_t text : {btxDefault, btxHide}) {
    MBarcode element;
    element.SetX(0);
    element.SetY(0);
    element.SetWidth(300);
    element.SetHeight(120);
    element.Value = "4901234567894";
    element.Style.Type = btJAN;
    element.Style.Text = text;
    QImage image = WhiteImage(300, 120);
    MMapCanvas canvas;
    canvas.SetUnit(cuPixel);
    MFont font;
    font.Face = "IPAGothic";
    canvas.SetFont(font);
    {
      QPainter painter(&image);
      MPaintScope scope(canvas, painter);
      element.Draw(canvas, 0, false);
    }
    const QRect bars = InkBounds(image, QRect(0, 0, 300, 60));
    const QRect bottom = InkBounds(image, QRect(0, 100, 300, 20));
    EXPECT_FALSE(bars.isEmpty());
    if (text == btxHide) {
      // Bars from top to bottom: the bottom rows are bars like the top ones.
      for (int x = 0; x < 300; ++x) EXPECT_EQ(Pixel(image, x, 5), Pixel(image, x, 115)) << x;
    } else {
      // The bars end at 9/12 (90), the band holds the 13 digits' text.
      EXPECT_TRUE(InkBounds(image, QRect(0, 90, 300, 10)).isEmpty());
      EXPECT_FALSE(bottom.isEmpty());
      EXPECT_GT(bottom.width(), 100);  // "4901234567894" is wide
    }
  }
}

}  // namespace
