// Barcodes drawn by the component are read back by a real decoder (zbarimg).
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <string>
#include <vector>

#include "BarcodeTestSupport.h"
#include "barcode/BarImage.h"
#include "base/Sjis.h"

using namespace barcode;

namespace {

struct Case {
  TBarTypes type;
  std::string code;
  std::string decoded;  // what the reader must report
  bool cd = false;
  char startChar = 'A';
  char stopChar = 'A';
};

// zbar reads UPC-A and UPC-E as such only when asked; Codabar and Code 93 are off by default in some
// builds.
constexpr const char* kZbarOptions =
    "--raw -q -Supca.enable -Supce.enable -Sean8.enable -Scodabar.enable -Scode93.enable";

class ZbarRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    barcode_test::EnsureGuiApp();
    ASSERT_TRUE(dir_.isValid());
  }

  // Draws the case with a generous quiet zone, as a printed label would have.
  QImage Render(const Case& c, int scale, int ratio) {
    TBarImage bar;
    bar.SetBarEnabled(false);
    bar.SetBarType(c.type);
    bar.SetCD(c.cd);
    bar.SetStartChar(c.startChar);
    bar.SetStopChar(c.stopChar);
    bar.SetScale(scale);
    bar.SetElementRatio(ratio);
    bar.SetBarSpaceLeft(15 * scale);
    bar.SetBarSpaceRight(15 * scale);
    bar.SetBarSpaceUp(10);
    bar.SetBarSpaceDown(10);
    bar.SetBarHeight(80);
    bar.SetMatch(true);
    bar.SetCode(c.code);
    bar.SetBarEnabled(true);
    EXPECT_TRUE(bar.BarDisped()) << c.code;
    return bar.PictureImage();
  }

  std::string Read(const QImage& image) {
    const QString file = dir_.filePath(QString("bar%1.png").arg(count_++));
    if (!image.save(file, "PNG")) return "<not saved>";
    const std::string command =
        std::string("zbarimg ") + kZbarOptions + " '" + file.toStdString() + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return "<zbarimg not run>";
    std::string out;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
  }

  void Check(const std::vector<Case>& cases, int scale, int ratio = 25) {
    for (const Case& c : cases) {
      const QImage image = Render(c, scale, ratio);
      EXPECT_EQ(Read(image), c.decoded) << "code " << c.code << ", scale " << scale << ", ratio " << ratio;
    }
  }

  QTemporaryDir dir_;
  int count_ = 0;
};

// All ten digits in every number set, and every leading digit of JAN-13: the reader finds the
// leading digit only from the sets of the left half, so each one read back proves its set choice.
TEST_F(ZbarRoundTrip, JanAndUpcWithTheirCheckDigits) {
  const std::vector<Case> cases = {
      {cbarJAN, "490123456789", "4901234567894"},
      {cbarJAN, "400638133393", "4006381333931"},
      {cbarJAN, "012345678901", "123456789012"},  // a leading 0 is UPC-A to zbar
      {cbarJAN, "123456789012", "1234567890128"},
      {cbarJAN, "234567890123", "2345678901234"},
      {cbarJAN, "345678901234", "3456789012340"},
      {cbarJAN, "555555555555", "5555555555550"},
      {cbarJAN, "678901234567", "6789012345678"},
      {cbarJAN, "789012345678", "7890123456784"},
      {cbarJAN, "890123456789", "8901234567890"},
      {cbarJAN, "987654321098", "9876543210982"},
      {cbarJAN, "9638507", "96385074"},
      {cbarJAN, "4512345", "45123450"},
      {cbarUPC, "03600029145", "036000291452"},
      {cbarUPC, "12345678901", "123456789012"},
      // UPC-E: one code per check digit, so every parity row of the table is read.
      {cbarUPC, "0123455", "01234558"},
      {cbarUPC, "0654321", "06543217"},
      {cbarUPC, "0425261", "04252614"},
      {cbarUPC, "0123453", "01234531"},
      {cbarUPC, "0111114", "01111149"},
      {cbarUPC, "0987655", "09876552"},
      {cbarUPC, "0333333", "03333333"},
      {cbarUPC, "0444444", "04444446"},
      {cbarUPC, "0776317", "07763175"},
      {cbarUPC, "0555555", "05555550"},
  };
  Check(cases, 2);
  Check(cases, 3);
}

TEST_F(ZbarRoundTrip, Code39WithAndWithoutItsCheckCharacter) {
  const std::vector<Case> cases = {
      {cbarCODE39, "ABC", "ABCX", true},
      {cbarCODE39, "ABC-123", "ABC-123W", true},
      {cbarCODE39, "0123456789", "0123456789", false},
      {cbarCODE39, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", false},
      {cbarCODE39, "-. $/+%", "-. $/+%", false},
      {cbarCODE39, "TESSORA 2024", "TESSORA 2024Y", true},
  };
  Check(cases, 2, 25);
  Check(cases, 3, 20);
  Check(cases, 2, 30);
}

// zbar reports Codabar with its start and stop characters and the check character as data.
TEST_F(ZbarRoundTrip, Nw7WithStartStopAndCheckCharacters) {
  const std::vector<Case> cases = {
      {cbarNW7, "123", "A123-A", true, 'A', 'A'},
      {cbarNW7, "0123456789", "B0123456789C", false, 'B', 'C'},
      {cbarNW7, "-$:/.+", "C-$:/.+D", false, 'C', 'D'},
      {cbarNW7, "40156", "D40156/A", true, 'D', 'A'},
  };
  Check(cases, 2, 25);
  Check(cases, 3, 20);
  Check(cases, 2, 30);
}

// zbar's default minimum length for ITF is six digits.
TEST_F(ZbarRoundTrip, InterleavedTwoOfFive) {
  const std::vector<Case> cases = {
      {cbarITF, "123456", "123456"},
      {cbarITF, "1234567", "01234567"},        // padded to an even count
      {cbarITF, "1234567", "12345670", true},  // the check digit makes it even
      {cbarITF, "49012345", "0490123456", true},
      {cbarITF, "0123456789", "0123456789"},
      {cbarITF, "9876543210", "9876543210"},
  };
  Check(cases, 2, 25);
  Check(cases, 3, 20);
  Check(cases, 2, 30);
}

// zbar checks and drops the check character; set switches and shifts must give the written data.
// Between them the cases use every value 0-102: the function characters FNC1-FNC3 (102, 97, 96),
// which zbar does not report, as check characters, which it decodes and verifies.
TEST_F(ZbarRoundTrip, Code128SetsSwitchesAndShifts) {
  std::string printable;
  for (char c = ' '; c <= '~'; ++c) printable += c;
  auto escaped = [](const std::string& text) {  // "<" and ">" written as escapes
    std::string code;
    for (char c : text) code += (c == '<' || c == '>') ? std::string(2, c) : std::string(1, c);
    return code;
  };
  std::string pairsCode, pairs;
  for (int v = 0; v < 100; ++v) {
    char text[3] = {static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10), 0};
    pairsCode += std::string("<") + text + ">";
    pairs += text;
  }
  std::string controlsCode, controls;  // set A's 32 control characters by name
  for (const char* name : {"NUL", "SOH", "STX", "ETX", "EOT", "ENO", "ACK", "BEL", "BS",  "HT",  "LF",
                           "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
                           "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"}) {
    controlsCode += std::string("<") + name + ">";
    controls += static_cast<char>(controls.size());
  }
  const std::vector<Case> cases = {
      {cbarCODE128, "HELLO 128", "HELLO 128", false, 'A'},
      {cbarCODE128, controlsCode, controls, false, 'A'},
      {cbarCODE128, "!R", "!R", false, 'B'},       // check (104 + 1 + 2 * 50) % 103 = 102, FNC1
      {cbarCODE128, " P", " P", false, 'B'},       // check (104 + 0 + 2 * 48) % 103 = 97, FNC2
      {cbarCODE128, "<DEL>", "\x7f", false, 'B'},  // DEL (95), check (104 + 95) % 103 = 96, FNC3
      {cbarCODE128, "ABC<cr><LF><HT>XYZ<NUL>", std::string("ABC\r\n\tXYZ") + '\0', false, 'A'},
      {cbarCODE128, escaped(printable.substr(0, 48)), printable.substr(0, 48), false, 'B'},
      {cbarCODE128, escaped(printable.substr(48)), printable.substr(48), false, 'B'},
      {cbarCODE128, pairsCode.substr(0, 200), pairs.substr(0, 100), false, 'C'},
      {cbarCODE128, pairsCode.substr(200), pairs.substr(100), false, 'C'},
      {cbarCODE128, "<12><34><CODEB>ab<CODEC><56>", "1234ab56", false, 'C'},
      {cbarCODE128, "AB<CODEB>cd<CODEA>E<ESC>", "ABcdE\x1b", false, 'A'},
      {cbarCODE128, "ABC<SHIFT>dEF", "ABCdEF", false, 'A'},
      {cbarCODE128, "abc<SHIFT><CR>def", "abc\rdef", false, 'B'},
      {cbarCODE128, "x>>y<<z", "x>y<z", false, 'B'},
      {cbarCODE128, "Tessora", "Tessora", false, 'D'},  // an unknown start set is set A: invalid
  };
  // The last case cannot be encoded in set A; it is checked separately below.
  Check(std::vector<Case>(cases.begin(), cases.end() - 1), 2);
  Check(std::vector<Case>(cases.begin(), cases.end() - 1), 3);
  TBarImage bar;
  bar.SetBarType(cbarCODE128);
  bar.SetStartChar('D');
  bar.SetCode("Tessora");
  EXPECT_FALSE(bar.BarDisped());
}

// zbar decodes Code 93's shift pairs as full ASCII and checks both check characters.
TEST_F(ZbarRoundTrip, Code93WithShiftTokens) {
  const std::vector<Case> cases = {
      {cbarCODE93, "TEST93", "TEST93"},
      {cbarCODE93, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%",
       "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%"},
      {cbarCODE93, "<+>T<+>E<+>S<+>T93", "test93"},
      {cbarCODE93, "A<$>AB</>AC<%>A",
       "A\x01"
       "B!C\x1b"},
      {cbarCODE93, "<%>F<%>V</>C", ";@#"},
  };
  Check(cases, 2);
  Check(cases, 3);
}

}  // namespace
