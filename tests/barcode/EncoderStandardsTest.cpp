// The encoders against what the symbology standards publish: check characters of well-known
// numbers and example symbols, and the construction rules every symbol character obeys. None of
// these restates an encoder's table; that the tables hold the right characters is shown by a real
// decoder in ZbarRoundTripTest.cpp for every symbology zbar reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "BarcodeTestSupport.h"
#include "barcode/BarEncodersCode128.h"

using namespace barcode;
using barcode_test::Encode;
using barcode_test::Widths;

namespace {

struct Published {
  TBarTypes type;
  std::string code;
  std::string symbolText;  // with the check character(s) the source gives
  bool cd = false;
  char startChar = 'A';
  char stopChar = 'A';
};

TEST(EncoderStandards, CheckCharactersOfPublishedExamples) {
  const Published cases[] = {
      // GS1 modulus-10 check digits of widely printed numbers.
      {cbarJAN, "490123456789", "4901234567894"},          // the JAN example number
      {cbarJAN, "400638133393", "4006381333931"},          // EAN-13 example
      {cbarJAN, "590123412345", "5901234123457"},          // GS1 EAN-13 example
      {cbarJAN, "978030640615", "9780306406157"},          // ISBN 978-0-306-40615-7
      {cbarJAN, "9638507", "96385074"},                    // EAN-8 example
      {cbarJAN, "5512345", "55123457"},                    // EAN-8 example
      {cbarUPC, "03600029145", "036000291452"},            // UPC-A example
      {cbarUPC, "01234567890", "012345678905"},            // UPC-A example
      {cbarUPC, "0425261", "04252614"},                    // UPC-E of UPC-A 04210000526 4
      {cbarUPC, "0654321", "06543217"},                    // UPC-E of UPC-A 06510000432 7
      {cbarITF, "1540014128876", "15400141288763", true},  // ITF-14 example, GTIN-14 check digit
      // Code 128 check example: 104 + 48 + 2*42 + 3*42 + 4*17 + 5*18 + 6*19 + 7*35 = 879, mod 103 = 55 "W".
      {cbarCODE128, "PJJ123C", "BPJJ123CW", false, 'B'},
      // Code 93 check example: C = 464 mod 47 = 41 "+", K = 617 mod 47 = 6 "6".
      {cbarCODE93, "TEST93", "(TEST93+6)"},
      // Code 39 modulus 43 by the standard's rule: C 12 + O 24 + D 13 + E 14 + 3 + 9 = 75, mod 43 = 32 "W".
      {cbarCODE39, "CODE39", "*CODE39W*", true},
      // Codabar modulus 16 by the standard's rule, start and stop included:
      // B 17 + 4 + 0 + 1 + 5 + 6 + D 19 = 52, 16 - 52 mod 16 = 12 ":".
      {cbarNW7, "40156", "B40156:D", true, 'B', 'D'},
  };
  for (const Published& c : cases) {
    std::string text;
    EXPECT_FALSE(Encode(c.type, c.code, &text, c.cd, c.startChar, c.stopChar).empty()) << c.code;
    EXPECT_EQ(text, c.symbolText) << c.code;
  }
}

// ISO/IEC 15420: a digit is 7 modules of two bars and two spaces. Set A starts with a space and has
// an odd number of dark modules; set C (the right half) is set A inverted, and set B is set C
// reversed. The leading digit of EAN-13 is carried only by the choice of set A or B for the left six
// digits: the first always A, all A for 0 (so that UPC-A is EAN-13 with a leading 0), otherwise
// three of each. (zbar, reading every leading digit back, checks which choice means which digit.)
TEST(EncoderStandards, EanAndUpcDigitsFollowTheNumberSetRules) {
  auto dark = [](const std::string& m) { return std::count(m.begin(), m.end(), '1'); };
  auto inverted = [](std::string m) {
    for (char& c : m) c = c == '1' ? '0' : '1';
    return m;
  };
  auto runs = [](const std::string& m) {
    int n = 1;
    for (std::size_t i = 1; i < m.size(); ++i) n += m[i] != m[i - 1];
    return n;
  };
  // UPC-A: set A on the left, set C on the right; two codes hold every digit on both sides.
  std::string setA[10], setC[10];
  for (const char* code : {"01234567890", "56789012345"}) {
    std::string text;
    const std::string p = Encode(cbarUPC, code, &text);
    ASSERT_EQ(p.size(), 95u + 1) << code;  // 95 modules and a trailing space module
    EXPECT_EQ(p, Encode(cbarJAN, std::string("0") + code)) << code;
    for (int k = 0; k < 6; ++k) {
      setA[text[k] - '0'] = p.substr(3 + 7 * k, 7);
      setC[text[6 + k] - '0'] = p.substr(50 + 7 * k, 7);
    }
  }
  std::set<std::string> distinct;
  for (int d = 0; d < 10; ++d) {
    ASSERT_EQ(setA[d].size(), 7u) << d;
    EXPECT_EQ(runs(setA[d]), 4) << d;
    EXPECT_EQ(setA[d].front(), '0') << d;
    EXPECT_EQ(dark(setA[d]) % 2, 1) << d;
    EXPECT_EQ(setC[d], inverted(setA[d])) << d;
    distinct.insert(setA[d]);
  }
  EXPECT_EQ(distinct.size(), 10u);

  // EAN-8: guards around four set A and four set C digits.
  for (const char* code : {"0123456", "4567890", "8901234"}) {
    std::string text;
    const std::string p = Encode(cbarJAN, code, &text);
    ASSERT_EQ(p.size(), 67u + 1) << code;
    std::string expected = "101";
    for (int k = 0; k < 4; ++k) expected += setA[text[k] - '0'];
    expected += "01010";
    for (int k = 4; k < 8; ++k) expected += setC[text[k] - '0'];
    EXPECT_EQ(p, expected + "1010") << code;
  }

  // EAN-13: guards, the left half in sets A and B by the leading digit, the right half in set C.
  std::set<std::string> choices;
  for (int lead = 0; lead < 10; ++lead) {
    std::string choice;
    for (const char* body : {"01234567890", "98765432109"}) {
      const std::string code = std::to_string(lead) + body;
      std::string text;
      const std::string p = Encode(cbarJAN, code, &text);
      ASSERT_EQ(p.size(), 95u + 1) << code;
      EXPECT_EQ(p.substr(0, 3), "101");
      EXPECT_EQ(p.substr(45, 5), "01010");
      EXPECT_EQ(p.substr(92), "1010");
      std::string sets;
      for (int k = 0; k < 6; ++k) {
        const std::string& c = setC[text[1 + k] - '0'];
        const std::string left = p.substr(3 + 7 * k, 7);
        if (left == setA[text[1 + k] - '0'])
          sets += 'A';
        else if (left == std::string(c.rbegin(), c.rend()))
          sets += 'B';
        else
          sets += '?';
        EXPECT_EQ(p.substr(50 + 7 * k, 7), setC[text[7 + k] - '0']) << code << " right digit " << k;
      }
      if (choice.empty()) choice = sets;
      EXPECT_EQ(sets, choice) << code;  // the choice depends on the leading digit alone
    }
    EXPECT_EQ(choice[0], 'A') << lead;
    EXPECT_EQ(std::count(choice.begin(), choice.end(), 'A'), lead == 0 ? 6 : 3) << lead;
    EXPECT_EQ(std::count(choice.begin(), choice.end(), 'B'), lead == 0 ? 0 : 3) << lead;
    choices.insert(choice);
  }
  EXPECT_EQ(choices.size(), 10u);
}

// Counts the wide elements among the bars (even positions) and the spaces (odd positions).
std::pair<int, int> WideBarsAndSpaces(const std::string& elements) {
  int bars = 0, spaces = 0;
  for (std::size_t i = 0; i < elements.size(); ++i)
    if (elements[i] >= '2') ++(i % 2 == 0 ? bars : spaces);
  return {bars, spaces};
}

// Code 39 is "3 of 9": every character has three wide elements of nine, two bars and a space, except
// $ / + % whose three wide elements are all spaces. Each character is followed by a narrow gap.
TEST(EncoderStandards, Code39CharactersAreThreeWideOfNine) {
  const std::string set = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
  std::set<std::string> distinct;
  for (char c : set) {
    const std::string p = Encode(cbarCODE39, std::string(1, c));
    ASSERT_EQ(p.size(), 30u) << c;
    const std::string start = p.substr(0, 10), character = p.substr(10, 10);
    EXPECT_EQ(start, p.substr(20)) << "start and stop are both *";
    EXPECT_EQ(character.back(), '0') << c;
    const auto wide = WideBarsAndSpaces(character.substr(0, 9));
    if (std::string("$/+%").find(c) != std::string::npos)
      EXPECT_EQ(wide, std::make_pair(0, 3)) << c;
    else
      EXPECT_EQ(wide, std::make_pair(2, 1)) << c;
    distinct.insert(character);
  }
  const std::string star = Encode(cbarCODE39, "0").substr(0, 10);
  EXPECT_EQ(WideBarsAndSpaces(star.substr(0, 9)), std::make_pair(2, 1));
  distinct.insert(star);
  EXPECT_EQ(distinct.size(), 44u);
}

// Codabar characters are seven elements: the digits, "-" and "$" have one wide bar and one wide space,
// ": / . +" three wide bars, and the start/stop characters A-D one wide bar and two wide spaces.
TEST(EncoderStandards, Nw7CharactersFollowTheirWidthClasses) {
  const std::string set = "0123456789-$:/.+ABCD";
  std::set<std::string> distinct;
  for (char c : set) {
    const std::string character = Encode(cbarNW7, std::string(1, c)).substr(8, 8);
    ASSERT_EQ(character.size(), 8u) << c;
    EXPECT_EQ(character.back(), '0') << c;
    const auto wide = WideBarsAndSpaces(character.substr(0, 7));
    if (c >= 'A')
      EXPECT_EQ(wide, std::make_pair(1, 2)) << c;
    else if (std::string(":/.+").find(c) != std::string::npos)
      EXPECT_EQ(wide, std::make_pair(3, 0)) << c;
    else
      EXPECT_EQ(wide, std::make_pair(1, 1)) << c;
    distinct.insert(character);
    if (c >= 'A') {  // the same character as start and as stop
      EXPECT_EQ(Encode(cbarNW7, "1", nullptr, false, c, 'A').substr(0, 8), character) << c;
      EXPECT_EQ(Encode(cbarNW7, "1", nullptr, false, 'A', c).substr(16), character) << c;
    }
  }
  EXPECT_EQ(distinct.size(), 20u);
}

// The 2 of 5 codes give each digit five elements weighted 1, 2, 4, 7 and parity, two of them wide,
// the wide weights adding up to the digit (0 as 4 + 7). Returns 'n' narrow and 'w' wide.
std::string TwoOfFive(char digit) {
  const int weights[5] = {1, 2, 4, 7, 0};
  const int target = digit == '0' ? 11 : digit - '0';
  for (int i = 0; i < 5; ++i)
    for (int j = i + 1; j < 5; ++j)
      if (weights[i] + weights[j] == target) {
        std::string w(5, 'n');
        w[i] = w[j] = 'w';
        return w;
      }
  return {};
}
char Bar(char w) { return w == 'w' ? '3' : '1'; }
char Space(char w) { return w == 'w' ? '2' : '0'; }

TEST(EncoderStandards, TwoOfFiveCodesFollowTheWeightRule) {
  // How each code lays out the five widths of a digit, and its start and stop characters.
  struct Family {
    TBarTypes type;
    const char* start;
    const char* stop;
    std::string (*digit)(const std::string& widths);
  };
  const Family families[] = {
      // Industrial: every width is a bar, each followed by a narrow space.
      {cbarCTF, "303010", "30103",
       [](const std::string& w) {
         std::string out;
         for (char c : w) out += std::string{Bar(c), '0'};
         return out;
       }},
      // IATA: as Industrial, with shorter start and stop characters.
      {cbarIATA, "1010", "301",
       [](const std::string& w) {
         std::string out;
         for (char c : w) out += std::string{Bar(c), '0'};
         return out;
       }},
      // Matrix: bar, space, bar, space, bar, and a narrow gap.
      {cbarMATRIX, "301010", "30101",
       [](const std::string& w) {
         return std::string{Bar(w[0]), Space(w[1]), Bar(w[2]), Space(w[3]), Bar(w[4]), '0'};
       }},
  };
  for (const Family& f : families) {
    for (const std::string digits : {"0123456789", "9876543210"}) {
      std::string text;
      const std::string p = Encode(f.type, digits, &text, true);
      std::string expected = f.start;
      for (char d : text) expected += f.digit(TwoOfFive(d));  // with the check digit
      expected += f.stop;
      EXPECT_EQ(p, expected) << f.type << " " << digits;
    }
  }
  // Interleaved: a pair of digits is the bars of the first and the spaces of the second.
  for (char a = '0'; a <= '9'; ++a) {
    std::string code(1, a), expected = "1010";
    for (char b = '0'; b <= '9'; ++b) code += b;
    code.pop_back();  // ten digits: a, then 0-8
    const std::string p = Encode(cbarITF, code);
    for (std::size_t k = 0; k < code.size(); k += 2) {
      const std::string bars = TwoOfFive(code[k]), spaces = TwoOfFive(code[k + 1]);
      for (int e = 0; e < 5; ++e) expected += std::string{Bar(bars[e]), Space(spaces[e])};
    }
    EXPECT_EQ(p, expected + "301") << code;
  }
}

// NEC 2 of 5 has no standard at hand: its structure only. Five elements, bar first, two of them wide,
// a narrow gap, every digit different; the modulus-10 check digit like the other 2 of 5 codes.
TEST(EncoderStandards, Nec2Of5DigitsAreTwoWideOfFive) {
  std::set<std::string> distinct;
  for (char d = '0'; d <= '9'; ++d) {
    const std::string p = Encode(cbarNEC, std::string(1, d));
    ASSERT_EQ(p.size(), 4u + 6 + 3) << d;
    EXPECT_EQ(p.substr(0, 4), "3030");  // start: two wide bars
    EXPECT_EQ(p.substr(10), "123");     // stop: narrow bar, wide space, wide bar
    const std::string digit = p.substr(4, 6);
    EXPECT_EQ(digit.back(), '0') << d;
    const auto wide = WideBarsAndSpaces(digit.substr(0, 5));
    EXPECT_EQ(wide.first + wide.second, 2) << d;
    distinct.insert(digit);
  }
  EXPECT_EQ(distinct.size(), 10u);
  std::string text;
  EXPECT_EQ(Encode(cbarNEC, "4901234567", &text, true).size(), 4u + 6 * 11 + 3);
  EXPECT_EQ(text, "49012345679");  // weights 3 1 3 ... from the right: 91, check 9
}

// Code 128 (ISO/IEC 15417) symbol characters are 11 modules of three bars and three spaces, each one
// to four modules wide, with an even number of bar modules; the stop is 13 modules of four bars.
// Code 93 characters are 9 modules of three bars and three spaces, one to four modules each.
TEST(EncoderStandards, MultiWidthCharactersHaveTheirModuleCounts) {
  auto modules = [](const std::string& widths) {
    int n = 0;
    for (char w : widths) n += w - '0';
    return n;
  };
  auto barModules = [](const std::string& widths) {
    int n = 0;
    for (std::size_t i = 0; i < widths.size(); i += 2) n += widths[i] - '0';
    return n;
  };
  std::set<std::string> code128;
  for (int v = 0; v <= 102; ++v) {
    // In set C every value has a token: the pairs, and CODEB, CODEA, FNC1 for 100-102.
    const std::string token = "<" + std::string(Code128Text(Code128Set::C, v)) + ">";
    const std::string p = Encode(cbarCODE128, token, nullptr, false, 'C');
    ASSERT_EQ(p.size(), 6u * 3 + 7) << v;
    const std::string w = Widths(p.substr(6, 6));
    EXPECT_EQ(modules(w), 11) << v;
    EXPECT_EQ(barModules(w) % 2, 0) << v;
    EXPECT_EQ(w.find_first_not_of("1234"), std::string::npos) << v;
    code128.insert(w);
    const std::string stop = Widths(p.substr(18));
    EXPECT_EQ(modules(stop), 13);
    EXPECT_EQ(stop.size(), 7u);
  }
  for (char start : {'A', 'B', 'C'}) {
    const std::string w = Widths(Encode(cbarCODE128, "<FNC1>", nullptr, false, start).substr(0, 6));
    EXPECT_EQ(modules(w), 11) << start;
    EXPECT_EQ(barModules(w) % 2, 0) << start;
    code128.insert(w);
  }
  EXPECT_EQ(code128.size(), 106u);  // 103 values and three start characters, all different

  const std::string set93 = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
  std::set<std::string> code93;
  for (int v = 0; v < 47; ++v) {
    const std::string code = v < 43 ? std::string(1, set93[v]) : std::string{'<', "$%/+"[v - 43], '>'};
    const std::string p = Encode(cbarCODE93, code);
    ASSERT_EQ(p.size(), 6u * 5 + 1) << v;  // start, the character, C, K, stop and termination bar
    const std::string w = Widths(p.substr(6, 6));
    EXPECT_EQ(modules(w), 9) << v;
    EXPECT_EQ(w.find_first_not_of("1234"), std::string::npos) << v;
    code93.insert(w);
    EXPECT_EQ(Widths(p.substr(24, 6)), Widths(p.substr(0, 6)));  // one start/stop character
    EXPECT_EQ(p.substr(30), "1");                                // and the termination bar
  }
  code93.insert(Widths(Encode(cbarCODE93, "0").substr(0, 6)));
  EXPECT_EQ(code93.size(), 48u);
}

// The customer barcode's table has no published source at hand: its structure only. 67 bars in all
// (start 2, twenty characters of 3, check 3, stop 2), one module wide and two modules apart, each
// with the timing part; nineteen different characters; and the check character makes the sum of all
// values a multiple of 19.
TEST(EncoderStandards, CustomerBarcodeStructure) {
  auto bars = [](const std::string& p) {
    return static_cast<int>(std::count_if(p.begin(), p.end(), [](char c) { return c != '0'; }));
  };
  auto symbol = [](const std::string& code, int n) { return Encode(cbarCUSTOMER, code).substr(6 * n, 6); };
  // The data characters' symbols: digits, "-", CC4 (space) and CC1-CC3 (the first of a letter's two).
  std::vector<std::string> byValue(19);
  const std::string digits = "0123456789-";
  for (int v = 0; v <= 10; ++v) byValue[v] = symbol(std::string(1, digits[v]), 1);
  byValue[11] = symbol("A", 1);
  byValue[12] = symbol("K", 1);
  byValue[13] = symbol("U", 1);
  byValue[14] = symbol(" ", 1);
  // A single character v and nineteen spaces (14 each, 19 * 14 = 0 mod 19): the check value is
  // -v mod 19, so the eleven characters give the checks 0 and 9 to 18, CC5-CC8 among them.
  for (int v = 0; v <= 10; ++v) {
    const std::string p = Encode(cbarCUSTOMER, std::string(1, digits[v]));
    ASSERT_EQ(p.size(), 6u * 23) << v;
    EXPECT_EQ(bars(p), 67) << v;
    const int check = (19 - v) % 19;
    const std::string checkSymbol = p.substr(6 * 21, 6);
    if (byValue[check].empty())
      byValue[check] = checkSymbol;
    else
      EXPECT_EQ(checkSymbol, byValue[check]) << v;
  }
  std::set<std::string> distinct;
  for (int v = 0; v < 19; ++v) {
    const std::string& s = byValue[v];
    ASSERT_EQ(s.size(), 6u) << v;
    for (int k = 0; k < 3; ++k) {
      EXPECT_NE(std::string("2367").find(s[2 * k]), std::string::npos) << v;  // has the timing part
      EXPECT_EQ(s[2 * k + 1], '0') << v;
    }
    distinct.insert(s);
  }
  EXPECT_EQ(distinct.size(), 19u);
  // A letter is CC1-CC3 by tens and a digit by units; both count in the check: Z is CC3 5, and with
  // eighteen spaces 13 + 5 + 18 * 14 = 270 = 4 mod 19, check 15 (CC5).
  EXPECT_EQ(symbol("Z", 1), byValue[13]);
  EXPECT_EQ(symbol("Z", 2), byValue[5]);
  EXPECT_EQ(symbol("Z", 21), byValue[15]);
  // Start and stop: two bars each, a long bar and a descender, the stop the start's mirror image.
  const std::string p = Encode(cbarCUSTOMER, "1");
  EXPECT_EQ(p.substr(0, 6), "007030");
  EXPECT_EQ(p.substr(6 * 22), "307000");
}

TEST(EncoderStandards, Code128TextColumnsFollowAscii) {
  // Sets A and B: the value of a printable character is its ASCII code minus 32; set A continues with
  // the control characters (NUL = 64), set B with the lower case.
  for (int c = 32; c < 127; ++c) {
    const std::string text(1, static_cast<char>(c));
    EXPECT_EQ(FindCode128Value(Code128Set::B, text), c - 32) << text;
    EXPECT_EQ(FindCode128Value(Code128Set::A, text), c < 96 ? c - 32 : -1) << text;
  }
  EXPECT_EQ(FindCode128Value(Code128Set::A, "NUL"), 64);
  EXPECT_EQ(FindCode128Value(Code128Set::A, "ENO"), 69);
  EXPECT_EQ(FindCode128Value(Code128Set::A, "US"), 95);
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

}  // namespace
