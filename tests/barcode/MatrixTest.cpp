// QR Code and Data Matrix: the symbols against libzint's own choices, the Shift-JIS routing against
// glibc's JIS X 0208 table, and the pictures read back by zbarimg (Data Matrix is read back from a
// page, tests/render/BarcodeElementTest.cpp).
#include <gtest/gtest.h>
#include <iconv.h>
#include <zint.h>

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BarcodeTestSupport.h"
#include "barcode/BarMatrix.h"
#include "barcode/BarMatrixPicture.h"
#include "base/Sjis.h"

using namespace barcode;

namespace {

std::string Sjis(const std::string& utf8) { return base::Utf8ToSjis(utf8); }

// The symbol libzint makes when it chooses the mask itself, the text routed as EncodeQR routes it.
TBarMatrix LibzintQR(const std::string& sjis, TQRLevel level) {
  std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> s(ZBarcode_Create(), ZBarcode_Delete);
  s->symbology = BARCODE_QRCODE;
  s->option_1 = level + 1;
  s->option_3 = ZINT_FULL_MULTIBYTE;
  std::string data = sjis;
  if (!QRTakesShiftJis(sjis)) {
    data = base::SjisToUtf8(sjis);
    s->input_mode = UNICODE_MODE;
    s->eci = 26;
  }
  if (ZBarcode_Encode(s.get(), reinterpret_cast<const unsigned char*>(data.data()), int(data.size())) >=
      ZINT_ERROR)
    return {};
  TBarMatrix m(s->width, s->rows);
  for (int y = 0; y < s->rows; ++y)
    for (int x = 0; x < s->width; ++x) m.SetDark(x, y, (s->encoded_data[y][x >> 3] >> (x & 7)) & 1);
  return m;
}

// Texts of every mode and of sizes that reach from version 1 to 40.
std::vector<std::string> QRTexts() {
  std::vector<std::string> texts = {
      "1",           "HELLO WORLD", "https://midoriya.example/item/101001", Sjis("特上煎茶 100g 1620円"),
      Sjis("①㈱ｶﾅ"), "C:\\temp ~"};
  std::mt19937 random(23);
  const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:abcdefghijxyz";
  const std::string kanji = Sjis("漢字かなカナ茶器急須");
  for (int length : {5, 17, 40, 77, 120, 180, 260, 400, 700, 1100, 1700, 2500}) {
    std::string text;
    for (int i = 0; i < length; ++i) {
      if (random() % 5 == 0) {
        const std::size_t k = 2 * (random() % (kanji.size() / 2));
        text += kanji.substr(k, 2);
      } else {
        text += alphabet[random() % alphabet.size()];
      }
    }
    texts.push_back(text);
  }
  return texts;
}

// The mask is chosen here, not by libzint (which spends most of its time on it): the symbols must be
// the ones libzint chooses, at every level and across the versions.
TEST(QRCode, SymbolsAreTheOnesLibzintChooses) {
  int versions[41] = {};
  for (const std::string& text : QRTexts()) {
    for (TQRLevel level : {qrL, qrM, qrQ, qrH}) {
      const TBarMatrix ours = EncodeQR(text, level);
      const TBarMatrix theirs = LibzintQR(text, level);
      ASSERT_EQ(ours.Empty(), theirs.Empty()) << text.size() << " bytes, level " << level;
      if (ours.Empty()) continue;
      EXPECT_TRUE(ours == theirs) << text.size() << " bytes, level " << level << ", " << ours.Width()
                                  << " modules";
      ++versions[(ours.Width() - 17) / 4];
    }
  }
  int covered = 0;
  for (int v = 1; v <= 40; ++v) covered += versions[v] > 0 ? 1 : 0;
  EXPECT_GE(covered, 20);
  EXPECT_GT(versions[40] + versions[39] + versions[38], 0);  // the three-word rows
}

TEST(QRCode, EmptyAndOversizedCodesHaveNoSymbol) {
  EXPECT_TRUE(EncodeQR("", qrM).Empty());
  EXPECT_TRUE(EncodeDataMatrix("").Empty());
  EXPECT_FALSE(EncodeQR(std::string(7089, '7'), qrL).Empty());  // version 40-L holds 7089 digits
  EXPECT_TRUE(EncodeQR(std::string(7090, '7'), qrL).Empty());
  EXPECT_TRUE(EncodeQR(std::string(3000, 'x'), qrH).Empty());
  EXPECT_FALSE(EncodeDataMatrix(std::string(3116, '7')).Empty());  // 144 x 144 holds 3116 digits
  EXPECT_TRUE(EncodeDataMatrix(std::string(3117, '7')).Empty());
  EXPECT_TRUE(EncodeMatrix(static_cast<TMatrixTypes>(5), "1").Empty());
}

TEST(DataMatrix, EccTwoHundredSquareSymbols) {
  struct Case {
    std::string code;
    int size;
  };
  // ECC 200's square sizes hold 3, 5, 8, 12, 18 and 22 data codewords from 10 x 10 to 20 x 20; a
  // codeword takes two digits.
  for (const Case& c : std::vector<Case>{{"123456", 10},
                                         {"1234567", 12},
                                         {std::string(10, '1'), 12},
                                         {std::string(11, '1'), 14},
                                         {std::string(36, '1'), 18},
                                         {std::string(37, '1'), 20}}) {
    const TBarMatrix m = EncodeDataMatrix(c.code);
    EXPECT_EQ(m.Width(), c.size) << c.code;
    EXPECT_EQ(m.Height(), c.size) << c.code;
    if (m.Empty()) continue;
    // The finder: solid left column and bottom row, alternating top row and right column.
    for (int i = 0; i < c.size; ++i) {
      EXPECT_TRUE(m.Dark(0, i) && m.Dark(i, c.size - 1)) << c.code;
      EXPECT_EQ(m.Dark(i, 0), i % 2 == 0) << c.code;
      EXPECT_EQ(m.Dark(c.size - 1, i), i % 2 == 1) << c.code;
    }
  }
}

// Kanji mode takes JIS X 0208 exactly: glibc's SHIFT_JIS converter holds JIS X 0208 and nothing of
// code page 932's own rows.
TEST(QRCode, JisX0208IsGlibcsShiftJis) {
  iconv_t cd = iconv_open("UTF-8", "SHIFT_JIS");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1)) << "glibc has no SHIFT_JIS converter";
  int members = 0;
  for (int lead = 0x80; lead <= 0xFF; ++lead)
    for (int trail = 0x30; trail <= 0xFF; ++trail) {
      char in[2] = {char(lead), char(trail)};
      char out[8];
      char* inp = in;
      char* outp = out;
      std::size_t inLeft = 2, outLeft = sizeof out;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      const bool converts = iconv(cd, &inp, &inLeft, &outp, &outLeft) != std::size_t(-1) && inLeft == 0 &&
                            base::IsLeadByte(static_cast<unsigned char>(lead));
      ASSERT_EQ(IsJisX0208(lead, trail), converts) << std::hex << lead << " " << trail;
      members += converts ? 1 : 0;
    }
  iconv_close(cd);
  EXPECT_EQ(members, 6879);  // JIS X 0208:1997's characters
}

TEST(QRCode, WhichTextsGoInAsShiftJis) {
  struct Case {
    std::string utf8;
    bool shiftJis;
  };
  for (const Case& c : std::vector<Case>{
           {"ABC 123", true},
           {"特上煎茶 100g", true},
           {"ソース表示", true},  // second bytes 0x5C are no backslashes
           {"〜−‖¢£¬", true},     // code page 932's ～－∥￠￡￢, in JIS X 0208
           {"①", false},          // NEC row 13
           {"㈱", false},
           {"髙", false},        // IBM extension
           {"ｶﾀｶﾅ", false},      // half-width katakana: single bytes
           {"C:\\temp", false},  // JIS X 0201 would read a yen sign
           {"10~20", false},
       })
    EXPECT_EQ(QRTakesShiftJis(Sjis(c.utf8)), c.shiftJis) << c.utf8;
  EXPECT_FALSE(QRTakesShiftJis(Sjis("茶").substr(0, 1)));  // half a character
  EXPECT_FALSE(QRTakesShiftJis("\xA0"));
}

TEST(Matrix, PlacementFitsCentresAndKeepsWholePixels) {
  TBarMatrix m(21, 21);  // with a quiet zone of 4: 29 modules across
  struct Case {
    QRectF box;
    double module;
    QPointF origin;
  };
  for (const Case& c : std::vector<Case>{
           {QRectF(0, 0, 87, 87), 3, QPointF(12, 12)},
           {QRectF(10, 20, 100, 60), 2, QPointF(10 + 21 + 8, 20 + 1 + 8)},  // 58 of 60 high
           {QRectF(0, 0, 29, 29), 1, QPointF(4, 4)},
           {QRectF(0, 0, 14.5, 14.5), 0.5, QPointF(2, 2)},  // less than a pixel a module
           {QRectF(0, 0, 0, 10), 0, QPointF()},
       }) {
    const TMatrixPlacement p = PlaceMatrix(c.box, m, 4);
    EXPECT_DOUBLE_EQ(p.module, c.module) << c.box.width();
    if (c.module > 0) {
      EXPECT_EQ(p.origin, c.origin) << c.box.width();
    }
  }
}

// A module drawn on whole pixels covers its square exactly: every pixel of it is its colour.
TEST(Matrix, ModulesArePaintedAsSharpSquares) {
  const TBarMatrix m = EncodeQR("sharp", qrM);
  ASSERT_FALSE(m.Empty());
  const QImage image = MatrixImage(m, 4, 3);
  ASSERT_EQ(image.size(), QSize((m.Width() + 8) * 3, (m.Height() + 8) * 3));
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const int mx = x / 3 - 4, my = y / 3 - 4;
      const bool dark = mx >= 0 && my >= 0 && mx < m.Width() && my < m.Height() && m.Dark(mx, my);
      ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, dark ? 0u : 0xFFFFFFu) << x << "," << y;
    }
  EXPECT_TRUE(MatrixImage(TBarMatrix(), 4, 3).isNull());
  EXPECT_TRUE(MatrixSvg(m, 4, 2).contains("<svg"));
}

// --- Read back by real readers ---

std::string RunReader(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(60000)) return "<" + program.toStdString() + " did not finish>";
  std::string out = p.readAllStandardOutput().toStdString();
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

class MatrixReadBack : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  QString Save(const TBarMatrix& m, int quiet) {
    const QString file = dir_.filePath(QString("m%1.png").arg(count_++));
    EXPECT_TRUE(MatrixImage(m, quiet, 4).save(file, "PNG"));
    return file;
  }

  QTemporaryDir dir_;
  int count_ = 0;
};

TEST_F(MatrixReadBack, ZbarReadsQRCodesAsWritten) {
  const QString zbar = QStandardPaths::findExecutable("zbarimg");
  ASSERT_FALSE(zbar.isEmpty()) << "zbarimg is not installed (Debian zbar-tools; scripts/deps.sh)";
  struct Case {
    std::string utf8;
    std::string read;  // what the reader gives back, UTF-8
  };
  const std::vector<Case> cases = {
      {"4901234567894", "4901234567894"},
      {"https://midoriya.example/item/101001?lot=A-7", "https://midoriya.example/item/101001?lot=A-7"},
      {"特上煎茶 100g 1,620円 (税込)", "特上煎茶 100g 1,620円 (税込)"},
      {"玉露の淹れ方: 50℃のお湯で2分。", "玉露の淹れ方: 50℃のお湯で2分。"},
      {"株式会社みどり屋 ①②③ ㈱", "株式会社みどり屋 ①②③ ㈱"},  // UTF-8 behind ECI 26
      {"ｾﾝﾁｬ 半角", "ｾﾝﾁｬ 半角"},
      {"ソース表示 能力", "ソース表示 能力"},  // Kanji mode, second bytes 0x5C
      {"C:\\茶\\10~20", "C:\\茶\\10~20"},
      // In Kanji mode a reader gives JIS X 0208's characters for code page 932's ～－∥￠￡￢.
      {"10～20 －5 ∥ ￠￡￢", "10〜20 −5 ‖ ¢£¬"},
  };
  for (const Case& c : cases)
    for (TQRLevel level : {qrL, qrM, qrQ, qrH}) {
      const TBarMatrix m = EncodeQR(Sjis(c.utf8), level);
      ASSERT_FALSE(m.Empty()) << c.utf8;
      EXPECT_EQ(RunReader(zbar, {"--raw", "-q", Save(m, MatrixQuietZone(cmatQR))}), c.read)
          << c.utf8 << ", level " << level;
    }
}

}  // namespace
