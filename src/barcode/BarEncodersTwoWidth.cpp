#include "barcode/BarEncodersTwoWidth.h"

#include "barcode/BarEncoders.h"

namespace barcode {

namespace {

// Code 39 (ISO/IEC 16388): the 43 data characters, value = position, and their nine elements (bar
// first) followed by the narrow inter-character gap.
constexpr std::string_view kCode39Chars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
constexpr const char* kCode39Patterns[43] = {
    "1012303010", "3012101030", "1032101030", "3032101010", "1012301030",  // 0 1 2 3 4
    "3012301010", "1032301010", "1012103030", "3012103010", "1032103010",  // 5 6 7 8 9
    "3010121030", "1030121030", "3030121010", "1010321030", "3010321010",  // A B C D E
    "1030321010", "1010123030", "3010123010", "1030123010", "1010323010",  // F G H I J
    "3010101230", "1030101230", "3030101210", "1010301230", "3010301210",  // K L M N O
    "1030301210", "1010103230", "3010103210", "1030103210", "1010303210",  // P Q R S T
    "3210101030", "1230101030", "3230101010", "1210301030", "3210301010",  // U V W X Y
    "1230301010", "1210103030", "3210103010", "1230103010", "1212121010",  // Z - . space $
    "1212101210", "1210121210", "1012121210",                              // / + %
};
constexpr const char* kCode39StartStop = "1210303010";  // "*"

// NW-7 / Codabar (JIS X 0503): the 20 characters, value = position, and their seven elements (bar
// first) followed by the narrow inter-character gap.
constexpr std::string_view kNW7Chars = "0123456789-$:/.+ABCD";
constexpr const char* kNW7Patterns[20] = {
    "10101230", "10103210", "10121030", "32101010", "10301210",  // 0 1 2 3 4
    "30101210", "12101030", "12103010", "12301010", "30121010",  // 5 6 7 8 9
    "10123010", "10321010", "30103030", "30301030", "30303010",  // - $ : / .
    "10303030", "10321210", "12121030", "10121230", "10123210",  // + A B C D
};

// The 2 of 5 family (Interleaved, Industrial, IATA and Matrix 2 of 5): the five element widths of
// each digit, n narrow and w wide.
constexpr const char* kTwoOfFiveWidths[10] = {"nnwwn", "wnnnw", "nwnnw", "wwnnn", "nnwnw",
                                              "wnwnn", "nwwnn", "nnnww", "wnnwn", "nwnwn"};

// NEC 2 of 5: five elements (bar first) and the narrow inter-character gap of each digit.
constexpr const char* kNECPatterns[10] = {"321010", "101230", "103030", "103210", "121030",
                                          "121210", "123010", "301030", "301210", "303010"};

char Bar(char width) { return width == 'w' ? '3' : '1'; }
char Space(char width) { return width == 'w' ? '2' : '0'; }

// The data digits, with cd the modulus-10 check digit appended; empty for a code that is not digits.
std::string DigitsWithCheck(std::string_view code, bool cd) {
  if (!AllDigits(code)) return {};
  std::string digits(code);
  if (cd) digits += Modulus10CheckDigit(code);
  return digits;
}

// Industrial and IATA 2 of 5: each width is a bar followed by a narrow space.
std::string EncodeBarsOnly(std::string_view code, bool cd, const char* start, const char* stop,
                           std::string& symbolText) {
  symbolText.clear();
  const std::string digits = DigitsWithCheck(code, cd);
  if (digits.empty()) return {};
  std::string pattern = start;
  pattern.reserve(pattern.size() + digits.size() * 10 + 5);
  for (char d : digits) {
    for (const char* w = kTwoOfFiveWidths[d - '0']; *w; ++w) {
      pattern += Bar(*w);
      pattern += '0';
    }
  }
  pattern += stop;
  symbolText = digits;
  return pattern;
}

}  // namespace

std::string EncodeCODE39(std::string_view code, bool cd, std::string& symbolText) {
  symbolText.clear();
  if (code.empty()) return {};
  std::string pattern = kCode39StartStop;
  pattern.reserve((code.size() + 3) * 10);
  std::size_t sum = 0;
  for (char c : code) {
    const std::size_t value = kCode39Chars.find(c);
    if (value == std::string_view::npos) return {};
    sum += value;
    pattern += kCode39Patterns[value];
  }
  symbolText.push_back('*');  // symbolText is empty here
  symbolText += code;
  if (cd) {
    const std::size_t check = sum % 43;
    pattern += kCode39Patterns[check];
    symbolText += kCode39Chars[check];
  }
  pattern += kCode39StartStop;
  symbolText += '*';
  return pattern;
}

std::string EncodeNW7(std::string_view code, bool cd, char startChar, char stopChar,
                      std::string& symbolText) {
  symbolText.clear();
  if (code.empty() || startChar < 'A' || startChar > 'D' || stopChar < 'A' || stopChar > 'D') return {};
  const std::size_t start = kNW7Chars.find(startChar);
  const std::size_t stop = kNW7Chars.find(stopChar);
  std::string pattern = kNW7Patterns[start];
  pattern.reserve((code.size() + 3) * 8);
  std::size_t sum = start + stop;
  for (char c : code) {
    const std::size_t value = kNW7Chars.find(c);
    if (value == std::string_view::npos) return {};
    sum += value;
    pattern += kNW7Patterns[value];
  }
  symbolText = startChar;
  symbolText += code;
  if (cd) {
    const std::size_t check = (16 - sum % 16) % 16;
    pattern += kNW7Patterns[check];
    symbolText += kNW7Chars[check];
  }
  pattern += kNW7Patterns[stop];
  symbolText += stopChar;
  return pattern;
}

std::string EncodeITF(std::string_view code, bool cd, std::string& symbolText) {
  symbolText.clear();
  if (!AllDigits(code)) return {};
  std::string digits(code);
  if ((digits.size() + (cd ? 1 : 0)) % 2 != 0) digits.insert(digits.begin(), '0');
  if (cd) digits += Modulus10CheckDigit(digits);
  std::string pattern = "1010";
  pattern.reserve(digits.size() * 5 + 7);
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
    const char* bars = kTwoOfFiveWidths[digits[i] - '0'];
    const char* spaces = kTwoOfFiveWidths[digits[i + 1] - '0'];
    for (int k = 0; k < 5; ++k) {
      pattern += Bar(bars[k]);
      pattern += Space(spaces[k]);
    }
  }
  pattern += "301";
  symbolText = digits;
  return pattern;
}

std::string EncodeCTF(std::string_view code, bool cd, std::string& symbolText) {
  return EncodeBarsOnly(code, cd, "303010", "30103", symbolText);
}

std::string EncodeIATA(std::string_view code, std::string& symbolText) {
  return EncodeBarsOnly(code, true, "1010", "301", symbolText);
}

std::string EncodeMATRIX(std::string_view code, bool cd, std::string& symbolText) {
  symbolText.clear();
  const std::string digits = DigitsWithCheck(code, cd);
  if (digits.empty()) return {};
  std::string pattern = "301010";
  pattern.reserve(digits.size() * 6 + 11);
  for (char d : digits) {
    const char* w = kTwoOfFiveWidths[d - '0'];
    pattern += Bar(w[0]);
    pattern += Space(w[1]);
    pattern += Bar(w[2]);
    pattern += Space(w[3]);
    pattern += Bar(w[4]);
    pattern += '0';
  }
  pattern += "30101";
  symbolText = digits;
  return pattern;
}

std::string EncodeNEC(std::string_view code, bool cd, std::string& symbolText) {
  symbolText.clear();
  const std::string digits = DigitsWithCheck(code, cd);
  if (digits.empty()) return {};
  std::string pattern = "3030";
  pattern.reserve(digits.size() * 6 + 7);
  for (char d : digits) pattern += kNECPatterns[d - '0'];
  pattern += "123";
  symbolText = digits;
  return pattern;
}

}  // namespace barcode
