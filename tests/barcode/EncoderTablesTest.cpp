// The encoders' tables against the symbology standards, read through the patterns they produce. The
// expected values are written here in the standards' own notations (module strings, wide/narrow flags,
// element widths), independently of how the encoders store them.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "BarcodeTestSupport.h"
#include "barcode/BarEncodersCode128.h"
#include "barcode/BarEncodersCode93.h"
#include "barcode/BarEncodersCustomer.h"
#include "barcode/BarEncodersJanUpc.h"
#include "barcode/BarEncodersTwoWidth.h"

using namespace barcode;
using barcode_test::Encode;
using barcode_test::FromWideFlags;
using barcode_test::Widths;

namespace {

// ISO/IEC 15420: number sets A (L), B (G) and C (R).
const char* const kL[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                            "0110001", "0101111", "0111011", "0110111", "0001011"};
const char* const kG[10] = {"0100111", "0110011", "0011011", "0100001", "0011101",
                            "0111001", "0000101", "0010001", "0001001", "0010111"};
const char* const kR[10] = {"1110010", "1100110", "1101100", "1000010", "1011100",
                            "1001110", "1010000", "1000100", "1001000", "1110100"};
// ISO/IEC 15420: left-half sets chosen by the leading digit of EAN-13.
const char* const kEan13Parity[10] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                      "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};
// UPC-E number system 0: sets of the six digits chosen by the check digit (E = set B, O = set A).
const char* const kUpcEParity[10] = {"EEEOOO", "EEOEOO", "EEOOEO", "EEOOOE", "EOEEOO",
                                     "EOOEEO", "EOOOEE", "EOEOEO", "EOEOOE", "EOOEOE"};

TEST(EncoderTables, Ean13EveryDigitInEverySetAndParity) {
  for (int lead = 0; lead < 10; ++lead) {
    for (const char* body : {"01234567890", "56789012345", "98765432109"}) {
      const std::string code = std::to_string(lead) + body;
      std::string text;
      const std::string pattern = Encode(cbarJAN, code, &text);
      ASSERT_EQ(pattern.size(), 95u + 1) << code;
      EXPECT_EQ(pattern.substr(0, 3), "101");
      EXPECT_EQ(pattern.substr(45, 5), "01010");
      EXPECT_EQ(pattern.substr(92), "1010");
      for (int k = 0; k < 6; ++k) {
        const int digit = text[1 + k] - '0';
        const char* expected = kEan13Parity[lead][k] == 'L' ? kL[digit] : kG[digit];
        EXPECT_EQ(pattern.substr(3 + 7 * k, 7), expected) << code << " left digit " << k;
        EXPECT_EQ(pattern.substr(50 + 7 * k, 7), kR[text[7 + k] - '0']) << code << " right digit " << k;
      }
    }
  }
}

TEST(EncoderTables, Ean8AndUpcAUseSetsAAndC) {
  std::string text;
  std::string pattern = Encode(cbarJAN, "9638507", &text);
  ASSERT_EQ(pattern.size(), 67u + 1);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(pattern.substr(3 + 7 * k, 7), kL[text[k] - '0']);
    EXPECT_EQ(pattern.substr(36 + 7 * k, 7), kR[text[4 + k] - '0']);
  }
  pattern = Encode(cbarUPC, "01234567890", &text);
  ASSERT_EQ(pattern.size(), 96u);
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(pattern.substr(3 + 7 * k, 7), kL[text[k] - '0']);
    EXPECT_EQ(pattern.substr(50 + 7 * k, 7), kR[text[6 + k] - '0']);
  }
}

TEST(EncoderTables, UpcEParityForEveryCheckDigit) {
  // One code for each check digit 0-9.
  std::set<char> checks;
  for (const char* code : {"0555555", "0123453", "0987655", "0333333", "0425261", "0776317", "0444444",
                           "0654321", "0123455", "0111114"}) {
    std::string text;
    const std::string pattern = Encode(cbarUPC, code, &text);
    ASSERT_EQ(pattern.size(), 51u + 1) << code;
    const int check = text[7] - '0';
    checks.insert(text[7]);
    for (int k = 0; k < 6; ++k) {
      const int digit = text[1 + k] - '0';
      EXPECT_EQ(pattern.substr(3 + 7 * k, 7), kUpcEParity[check][k] == 'O' ? kL[digit] : kG[digit]) << code;
    }
    EXPECT_EQ(pattern.substr(45), "0101010");
  }
  EXPECT_EQ(checks.size(), 10u);
}

TEST(EncoderTables, Code39AgainstTheStandardsWideFlags) {
  // ISO/IEC 16388: nine elements, bar first, '1' wide.
  const std::pair<char, const char*> table[] = {
      {'0', "000110100"}, {'1', "100100001"}, {'2', "001100001"}, {'3', "101100000"}, {'4', "000110001"},
      {'5', "100110000"}, {'6', "001110000"}, {'7', "000100101"}, {'8', "100100100"}, {'9', "001100100"},
      {'A', "100001001"}, {'B', "001001001"}, {'C', "101001000"}, {'D', "000011001"}, {'E', "100011000"},
      {'F', "001011000"}, {'G', "000001101"}, {'H', "100001100"}, {'I', "001001100"}, {'J', "000011100"},
      {'K', "100000011"}, {'L', "001000011"}, {'M', "101000010"}, {'N', "000010011"}, {'O', "100010010"},
      {'P', "001010010"}, {'Q', "000000111"}, {'R', "100000110"}, {'S', "001000110"}, {'T', "000010110"},
      {'U', "110000001"}, {'V', "011000001"}, {'W', "111000000"}, {'X', "010010001"}, {'Y', "110010000"},
      {'Z', "011010000"}, {'-', "010000101"}, {'.', "110000100"}, {' ', "011000100"}, {'$', "010101000"},
      {'/', "010100010"}, {'+', "010001010"}, {'%', "000101010"}};
  const std::string startStop = FromWideFlags("010010100") + "0";
  for (const auto& [c, flags] : table) {
    const std::string pattern = Encode(cbarCODE39, std::string(1, c));
    EXPECT_EQ(pattern, startStop + FromWideFlags(flags) + "0" + startStop) << c;
  }
}

TEST(EncoderTables, Nw7AgainstTheStandardsWideFlags) {
  // Codabar: seven elements, bar first, '1' wide.
  const std::pair<char, const char*> table[] = {
      {'0', "0000011"}, {'1', "0000110"}, {'2', "0001001"}, {'3', "1100000"}, {'4', "0010010"},
      {'5', "1000010"}, {'6', "0100001"}, {'7', "0100100"}, {'8', "0110000"}, {'9', "1001000"},
      {'-', "0001100"}, {'$', "0011000"}, {':', "1000101"}, {'/', "1010001"}, {'.', "1010100"},
      {'+', "0010101"}, {'A', "0011010"}, {'B', "0101001"}, {'C', "0001011"}, {'D', "0001110"}};
  for (const auto& [c, flags] : table) {
    const std::string expected = FromWideFlags(flags) + "0";
    EXPECT_EQ(Encode(cbarNW7, std::string(1, c)).substr(8, 8), expected) << c;
    if (c >= 'A') {  // as start and as stop character
      EXPECT_EQ(Encode(cbarNW7, "1", nullptr, false, c, 'A').substr(0, 8), expected);
      EXPECT_EQ(Encode(cbarNW7, "1", nullptr, false, 'A', c).substr(16), expected);
    }
  }
}

// The 2 of 5 family shares one width table (weights 1 2 4 7 and parity): n narrow, w wide.
const char* const kTwoOfFive[10] = {"nnwwn", "wnnnw", "nwnnw", "wwnnn", "nnwnw",
                                    "wnwnn", "nwwnn", "nnnww", "wnnwn", "nwnwn"};

std::string Elements(const std::string& widths, bool bars) {
  std::string out;
  for (char w : widths) out += static_cast<char>('0' + (w == 'w' ? 2 : 0) + (bars ? 1 : 0));
  return out;
}

TEST(EncoderTables, TwoOfFiveFamilies) {
  for (int a = 0; a < 10; ++a) {
    const std::string digit(1, static_cast<char>('0' + a));
    const std::string bars = Elements(kTwoOfFive[a], true);
    // Industrial and IATA: every width is a bar followed by a narrow space.
    std::string industrial;
    for (char b : bars) industrial += std::string(1, b) + "0";
    EXPECT_EQ(Encode(cbarCTF, digit), "303010" + industrial + "30103");
    std::string text;
    const std::string iata = Encode(cbarIATA, digit, &text);
    EXPECT_EQ(iata.substr(0, 14), "1010" + industrial);
    EXPECT_EQ(iata.substr(iata.size() - 3), "301");
    // Matrix: bar, space, bar, space, bar and the gap.
    const std::string spaces = Elements(kTwoOfFive[a], false);
    EXPECT_EQ(Encode(cbarMATRIX, digit),
              std::string("301010") + bars[0] + spaces[1] + bars[2] + spaces[3] + bars[4] + "0" + "30101");
    // Interleaved: bars of the first digit of a pair, spaces of the second.
    for (int b = 0; b < 10; ++b) {
      const std::string pair = digit + static_cast<char>('0' + b);
      const std::string second = Elements(kTwoOfFive[b], false);
      std::string interleaved;
      for (int k = 0; k < 5; ++k) interleaved += std::string(1, bars[k]) + second[k];
      EXPECT_EQ(Encode(cbarITF, pair), "1010" + interleaved + "301") << pair;
    }
  }
}

TEST(EncoderTables, NecTwoOfFiveHasTwoWideOfFiveElements) {
  const char* const table[10] = {"321010", "101230", "103030", "103210", "121030",
                                 "121210", "123010", "301030", "301210", "303010"};
  std::set<std::string> seen;
  for (int d = 0; d < 10; ++d) {
    const std::string pattern = Encode(cbarNEC, std::string(1, static_cast<char>('0' + d)));
    EXPECT_EQ(pattern, std::string("3030") + table[d] + "123");
    const std::string elements = pattern.substr(4, 5);
    EXPECT_EQ(std::count_if(elements.begin(), elements.end(), [](char c) { return c >= '2'; }), 2) << d;
    seen.insert(elements);
  }
  EXPECT_EQ(seen.size(), 10u);
}

// ISO/IEC 15417: element widths of the values 0-102, then Start A, B, C.
const char* const kCode128Widths[106] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232"};

TEST(EncoderTables, Code128EveryValueAgainstTheStandardsWidths) {
  // In set C every value has a token: the pairs, and CODEB, CODEA, FNC1 for 100-102.
  for (int v = 0; v <= 102; ++v) {
    const std::string text(Code128Text(Code128Set::C, v));
    char start = 'C';
    std::string symbolText;
    const std::string pattern = EncodeCODE128("<" + text + ">", start, symbolText);
    ASSERT_EQ(pattern.size(), 25u) << v;
    EXPECT_EQ(Widths(pattern.substr(0, 6)), kCode128Widths[105]);
    EXPECT_EQ(Widths(pattern.substr(6, 6)), kCode128Widths[v]) << v;
    EXPECT_EQ(Widths(pattern.substr(12, 6)), kCode128Widths[(105 + v) % 103]) << v;
    EXPECT_EQ(Widths(pattern.substr(18)), "2331112");
  }
  char start = 'A';
  std::string text;
  EXPECT_EQ(Widths(EncodeCODE128("A", start, text).substr(0, 6)), kCode128Widths[103]);
  start = 'B';
  EXPECT_EQ(Widths(EncodeCODE128("a", start, text).substr(0, 6)), kCode128Widths[104]);
  // Every symbol is 11 modules of three bars and three spaces, and all differ.
  std::set<std::string> seen(std::begin(kCode128Widths), std::end(kCode128Widths));
  EXPECT_EQ(seen.size(), 106u);
}

TEST(EncoderTables, Code128TextColumns) {
  EXPECT_EQ(FindCode128Value(Code128Set::A, " "), 0);
  EXPECT_EQ(FindCode128Value(Code128Set::A, "_"), 63);
  EXPECT_EQ(FindCode128Value(Code128Set::A, "NUL"), 64);
  EXPECT_EQ(FindCode128Value(Code128Set::A, "ENO"), 69);
  EXPECT_EQ(FindCode128Value(Code128Set::A, "US"), 95);
  EXPECT_EQ(FindCode128Value(Code128Set::A, "a"), -1);
  EXPECT_EQ(FindCode128Value(Code128Set::B, "~"), 94);
  EXPECT_EQ(FindCode128Value(Code128Set::B, "DEL"), 95);
  EXPECT_EQ(FindCode128Value(Code128Set::B, "FNC4"), 100);
  EXPECT_EQ(FindCode128Value(Code128Set::B, "CODEA"), 101);
  EXPECT_EQ(FindCode128Value(Code128Set::A, "CODEB"), 100);
  EXPECT_EQ(FindCode128Value(Code128Set::A, "FNC4"), 101);
  EXPECT_EQ(FindCode128Value(Code128Set::C, "99"), 99);
  EXPECT_EQ(FindCode128Value(Code128Set::C, "FNC1"), 102);
  EXPECT_EQ(FindCode128Value(Code128Set::C, "SHIFT"), -1);
  EXPECT_EQ(FindCode128Value(Code128Set::C, "7"), -1);
}

TEST(EncoderTables, Code93AgainstTheStandardsWidths) {
  // AUS Code 93: the 43 characters and the shifts ($) (%) (/) (+).
  const char* const widths[47] = {
      "131112", "111213", "111312", "111411", "121113", "121212", "121311", "111114", "131211", "141111",
      "211113", "211212", "211311", "221112", "221211", "231111", "112113", "112212", "112311", "122112",
      "132111", "111123", "111222", "111321", "121122", "131121", "212112", "212211", "211122", "211221",
      "221121", "222111", "112122", "112221", "122121", "123111", "121131", "311112", "311211", "321111",
      "112131", "113121", "211131", "121221", "312111", "311121", "122211"};
  const std::string chars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
  const char* const shifts[4] = {"<$>", "<%>", "</>", "<+>"};
  for (int v = 0; v < 47; ++v) {
    const std::string code = v < 43 ? std::string(1, chars[v]) : shifts[v - 43];
    std::string text;
    const std::string pattern = EncodeCODE93(code, text);
    ASSERT_EQ(pattern.size(), 6u * 5 + 1) << v;
    EXPECT_EQ(Widths(pattern.substr(0, 6)), "111141");
    EXPECT_EQ(Widths(pattern.substr(6, 6)), widths[v]) << v;
    // A single character: C is its value, K is value + 2 * C.
    EXPECT_EQ(Widths(pattern.substr(12, 6)), widths[v]) << v;
    EXPECT_EQ(Widths(pattern.substr(18, 6)), widths[(3 * v) % 47]) << v;
    EXPECT_EQ(Widths(pattern.substr(24)), "1111411");
  }
}

TEST(EncoderTables, CustomerSymbolsAreThreeBarsTwoModulesApart) {
  // Bar kinds: L long, A ascender, D descender, T timing; one symbol for each value 0-18.
  const char* const kinds[19] = {"LTT", "LLT", "LDA", "DLA", "LAD", "LTL", "DAL", "ALD", "ADL", "TLL",
                                 "TLT", "DAT", "DTA", "ADT", "TDA", "ATD", "TAD", "TTL", "LLL"};
  auto symbol = [](const char* k) {
    std::string s;
    for (int i = 0; i < 3; ++i) s += std::string(1, "7632"[std::string("LADT").find(k[i])]) + "0";
    return s;
  };
  const std::string characters = "0123456789-";
  for (int v = 0; v <= 10; ++v) {
    std::string text;
    // The value's character and 19 spaces (CC4, value 14): the check symbol follows the 20 symbols.
    const std::string pattern = EncodeCUSTOMER(std::string(1, characters[v]), text);
    ASSERT_EQ(pattern.size(), 6u * 23);
    EXPECT_EQ(pattern.substr(0, 6), "007030");
    EXPECT_EQ(pattern.substr(6, 6), symbol(kinds[v])) << v;
    EXPECT_EQ(pattern.substr(12, 6), symbol(kinds[14]));
    EXPECT_EQ(pattern.substr(126, 6), symbol(kinds[(19 - (v + 19 * 14) % 19) % 19])) << v;
    EXPECT_EQ(pattern.substr(132), "307000");
  }
  std::string text;
  // Letters: CC1-CC3 and a digit; K is the 11th letter (CC2, 0), Z the 26th (CC3, 5).
  EXPECT_EQ(EncodeCUSTOMER("KZ", text).substr(6, 24),
            symbol(kinds[12]) + symbol(kinds[0]) + symbol(kinds[13]) + symbol(kinds[5]));
}

}  // namespace
