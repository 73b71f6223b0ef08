// Any text as a code, for any symbology and options, gives a well-formed pattern or an invalid code.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "BarcodeTestSupport.h"
#include "barcode/BarImage.h"

using namespace barcode;

namespace {

// The shape every pattern of a symbology must have.
void ExpectWellFormed(TBarTypes type, const std::string& pattern, const std::string& code) {
  if (pattern.empty()) return;
  if (type == cbarJAN || type == cbarUPC) {
    ASSERT_EQ(pattern.find_first_not_of("01"), std::string::npos) << code;
    ASSERT_EQ(pattern.substr(0, 3), "101") << code;
  } else if (type == cbarCUSTOMER) {
    ASSERT_EQ(pattern.find_first_not_of("02367"), std::string::npos) << code;
    ASSERT_EQ(pattern.size() % 6, 0u) << code;
    ASSERT_LE(pattern.size(), 6u * 23) << code;
  } else {
    // Bars and spaces alternate, starting with a bar.
    for (std::size_t i = 0; i < pattern.size(); ++i) {
      const int digit = pattern[i] - '0';
      ASSERT_TRUE(digit >= 0 && digit <= 7) << code;
      ASSERT_EQ(digit % 2, i % 2 == 0 ? 1 : 0) << code << " at " << i;
    }
    if (IsTwoWidth(type)) {
      ASSERT_EQ(pattern.find_first_of("4567"), std::string::npos) << code;
    }
  }
}

std::vector<std::string> AdversarialCodes() {
  std::vector<std::string> codes = {"",
                                    "<",
                                    ">",
                                    "<<",
                                    ">>",
                                    "<>",
                                    "><",
                                    "<<<",
                                    ">>>",
                                    "<$",
                                    "<$>",
                                    "<$><",
                                    "<SHIFT>",
                                    "<SHIFT",
                                    "<shift><shift>a",
                                    "<CODEC><",
                                    ">\x81",
                                    "<\x81\x40>",
                                    "\x81",
                                    "\x81\x40",
                                    std::string(1, '\0'),
                                    std::string("12\0"
                                                "34",
                                                5),
                                    "0",
                                    "00000000000",
                                    "0000000",
                                    "000000000000",
                                    "-",
                                    "A",
                                    "a",
                                    " ",
                                    std::string(21, ' '),
                                    std::string(19, '9') + "Z",
                                    "ZZZZZZZZZZZZZZZZZZZZZZ"};
  for (int b = 0; b < 256; ++b) {
    codes.emplace_back(1, static_cast<char>(b));
    codes.push_back("1" + std::string(1, static_cast<char>(b)) + "2");
    codes.push_back("<" + std::string(1, static_cast<char>(b)) + ">");
  }
  codes.push_back(std::string(100000, '7'));
  codes.push_back(std::string(100000, '<'));
  codes.push_back(std::string(100000, '>'));
  std::string names;
  for (int i = 0; i < 20000; ++i) names += "<FNC1><SHIFT>a";
  codes.push_back(names);
  std::mt19937 random(20240601);
  const std::string alphabet = "<>$%/+-.: *0123456789ABCDZabcz\r\n\t\x81\x40\x9f\xe0\xfc\xff";
  for (int i = 0; i < 3000; ++i) {
    std::string code(random() % 40, ' ');
    for (char& c : code)
      c = (i % 2 == 0) ? alphabet[random() % alphabet.size()] : static_cast<char>(random() % 256);
    codes.push_back(code);
  }
  std::string big(1 << 20, ' ');
  for (char& c : big) c = static_cast<char>(random() % 256);
  codes.push_back(big);
  return codes;
}

TEST(BadInput, EveryEncoderGivesAWellFormedPatternOrNone) {
  const std::vector<std::string> codes = AdversarialCodes();
  for (int t = 0; t < kBarTypeCount; ++t) {
    const auto type = static_cast<TBarTypes>(t);
    for (const char start : {'A', 'C', 'D', 'E', '\0'}) {
      for (const bool cd : {false, true}) {
        for (const std::string& code : codes) {
          EncodeOptions options{cd, start, static_cast<char>(start == 'E' ? 'Z' : 'B')};
          std::string text = "stale";
          const std::string pattern = EncodeBar(type, code, options, text);
          // A pattern exactly when there is a human-readable text.
          ASSERT_EQ(pattern.empty(), text.empty()) << t << " " << code.substr(0, 40);
          ExpectWellFormed(type, pattern, code.substr(0, 40));
          if (type == cbarCODE128 && !code.empty()) {  // an empty code is rejected first
            ASSERT_TRUE(options.startChar >= 'A' && options.startChar <= 'C');
          }
        }
      }
    }
  }
}

TEST(BadInput, TheComponentNeverDrawsOutsideItsLimits) {
  barcode_test::EnsureGuiApp();
  const std::vector<std::string> codes = AdversarialCodes();
  for (int t = 0; t < kBarTypeCount; ++t) {
    TBarImage bar;
    bar.SetBarEnabled(false);
    bar.SetBarType(static_cast<TBarTypes>(t));
    bar.SetScale(10);
    bar.SetElementRatio(30);
    bar.SetBarFrame(100);
    bar.SetCommentUp("<>");
    // Random bytes as text would only exercise Qt's font fallback, whose cache the leak checker
    // reports; the encoders and the geometry are what this sweep is about.
    bar.SetSymbolDisp(false);
    bar.SetMatch(true);
    bar.SetBarEnabled(true);
    for (std::size_t i = t % 3; i < codes.size(); i += 3) {
      bar.SetCode(codes[i]);
      if (bar.BarDisped()) {
        ASSERT_LE(bar.Width(), TBarImage::kMaxPictureSide);
        ASSERT_EQ(bar.PictureBitmap().size(), QSize(bar.Width(), bar.Height()));
      }
    }
    // A code of 100,000 digits is far too wide: refused like an invalid code, nothing allocated. The
    // customer barcode reads only 20 symbols of it.
    bar.SetCode(std::string(100000, '1'));
    EXPECT_EQ(bar.BarDisped(), t == cbarCUSTOMER) << t;
  }
}

TEST(BadInput, ExtremeSettingsDoNotOverflow) {
  TBarImage bar;
  bar.SetBarType(cbarNW7);
  bar.SetMatch(true);
  bar.SetCode("123");
  ASSERT_TRUE(bar.BarDisped());
  bar.SetBarHeight(INT_MAX);
  EXPECT_FALSE(bar.BarDisped());
  bar.SetBarHeight(INT_MIN);  // raised to the text height plus 6
  EXPECT_TRUE(bar.BarDisped());
  bar.SetBarLeft(INT_MAX);
  EXPECT_FALSE(bar.BarDisped());
  bar.SetBarLeft(INT_MIN);  // the drawing lies left of the picture: nothing to see
  EXPECT_TRUE(bar.BarDisped());
  EXPECT_EQ(bar.Width(), 0);
  bar.SetBarLeft(0);
  bar.SetBarSpaceRight(INT_MAX);
  EXPECT_FALSE(bar.BarDisped());
  bar.SetBarSpaceRight(10);
  bar.SetBarSpaceUp(20000);
  bar.SetBarSpaceDown(20000);  // each side fits, but not together
  EXPECT_FALSE(bar.BarDisped());
  bar.SetBarSpaceUp(0);
  bar.SetBarSpaceDown(0);
  bar.SetWidth(INT_MAX);
  EXPECT_EQ(bar.Width(), TBarImage::kMaxPictureSide);
  bar.SetWidth(-1);
  EXPECT_EQ(bar.Width(), 0);
}

}  // namespace
