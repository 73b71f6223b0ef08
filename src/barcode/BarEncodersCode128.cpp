#include "barcode/BarEncodersCode128.h"

#include <array>

#include "base/Sjis.h"

namespace barcode {

namespace {

// Code 128 (ISO/IEC 15417), symbol character patterns of the values 0 to 102: bar, space, bar, space,
// bar, space.
constexpr const char* kCode128Patterns[103] = {
    "303232", "323032", "323230", "121234", "121432", "141232", "123214", "123412",  // 0-7
    "143212", "321214", "321412", "341212", "103252", "123052", "123250", "105232",  // 8-15
    "125032", "125230", "325210", "321052", "321250", "305212", "325012", "503050",  // 16-23
    "501232", "521032", "521230", "503212", "523012", "523210", "303034", "303430",  // 24-31
    "343030", "101434", "141034", "141430", "103414", "143014", "143410", "301414",  // 32-39
    "341014", "341410", "103054", "103450", "143050", "105034", "105430", "145030",  // 40-47
    "505030", "301450", "341050", "305014", "305410", "305050", "501034", "501430",  // 48-55
    "541030", "503014", "503410", "543010", "507010", "321610", "741010", "101236",  // 56-63
    "101632", "121036", "121630", "161032", "161230", "103216", "103612", "123016",  // 64-71
    "123610", "163012", "163210", "361210", "321016", "705010", "361012", "147010",  // 72-79
    "101272", "121072", "121270", "107212", "127012", "127210", "701212", "721012",  // 80-87
    "721210", "303070", "307030", "703030", "101074", "101470", "141070", "107014",  // 88-95
    "107410", "701014", "701410", "105070", "107050", "501070", "701050",            // 96-102
};
// ISO/IEC 15417: Start A (103), Start B (104), Start C (105); Stop with its termination bar.
constexpr const char* kCode128Start[3] = {"301612", "301216", "301252"};
constexpr const char* kCode128Stop = "3450103";

// Texts of the code sets. Sets A and B share the printable characters from space on; set A continues
// with the control characters, set B with the lower-case letters.
constexpr std::string_view kPrintable =
    " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~";
constexpr std::string_view kControlNames[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENO", "ACK", "BEL",
                                                "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                                "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                                "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
// Values 96 to 102 in the columns of sets A, B and C.
constexpr std::string_view kSpecials[7][3] = {
    {"FNC3", "FNC3", "96"},   {"FNC2", "FNC2", "97"},     {"SHIFT", "SHIFT", "98"},
    {"CODEC", "CODEC", "99"}, {"CODEB", "FNC4", "CODEB"}, {"FNC4", "CODEA", "CODEA"},
    {"FNC1", "FNC1", "FNC1"},
};
constexpr std::array<char, 200> kPairs = [] {
  std::array<char, 200> a{};
  for (int i = 0; i < 100; ++i) {
    a[2 * i] = static_cast<char>('0' + i / 10);
    a[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return a;
}();

Code128Set OtherOfAB(Code128Set set) { return set == Code128Set::A ? Code128Set::B : Code128Set::A; }

// Reads the next Code 128 token at pos into token. Returns false at the end of the code and when a
// "<" or ">" ends it (then invalid is set).
bool NextCode128Token(std::string_view code, std::size_t& pos, std::string& token, bool& invalid) {
  if (pos >= code.size()) return false;
  const char c = code[pos];
  if (c != '<' && c != '>') {
    const std::size_t n = base::CharSize(code, pos);
    token.assign(code.substr(pos, n));
    pos += n;
    return true;
  }
  if (pos + 1 >= code.size()) {
    invalid = true;
    return false;
  }
  if (c == '>') {
    const std::size_t n = base::CharSize(code, pos + 1);
    token.assign(code.substr(pos + 1, n));
    pos += 1 + n;
  } else if (code[pos + 1] == '<') {
    token = "<";
    pos += 2;
  } else {
    const std::size_t close = code.find('>', pos + 1);
    const std::size_t end = close == std::string_view::npos ? code.size() : close;
    token = base::UpperCase(code.substr(pos + 1, end - pos - 1));
    pos = close == std::string_view::npos ? code.size() : close + 1;
  }
  return true;
}

// The text of a check value as the human-readable line shows it.
std::string Code128CheckText(Code128Set set, int value) {
  const std::string_view text = Code128Text(set, value);
  if (text == "<") return "<<";
  if (text == ">") return ">>";
  if (text.size() == 1) return std::string(text);
  return "<" + std::string(text) + ">";
}

}  // namespace

std::string_view Code128Text(Code128Set set, int value) {
  const int column = static_cast<int>(set);
  if (value < 0 || value > 102) return {};
  if (value >= 96) return kSpecials[value - 96][column];
  switch (set) {
    case Code128Set::A:
      return value < 64 ? kPrintable.substr(value, 1) : kControlNames[value - 64];
    case Code128Set::B:
      return value < 95 ? kPrintable.substr(value, 1) : std::string_view("DEL");
    case Code128Set::C:
      return std::string_view(kPairs.data() + 2 * value, 2);
  }
  return {};
}

int FindCode128Value(Code128Set set, std::string_view text) {
  for (int value = 0; value <= 102; ++value)
    if (Code128Text(set, value) == text) return value;
  return -1;
}

std::string EncodeCODE128(std::string_view code, char& startChar, std::string& symbolText) {
  symbolText.clear();
  if (code.empty()) return {};
  if (startChar < 'A' || startChar > 'C') startChar = 'A';
  const Code128Set startSet = static_cast<Code128Set>(startChar - 'A');

  std::string pattern = kCode128Start[static_cast<int>(startSet)];
  pattern.reserve((code.size() + 3) * 6);
  int sum = 103 + static_cast<int>(startSet);
  int weight = 0;  // kept modulo 103, as the sum is
  Code128Set current = startSet;
  Code128Set beforeShift = startSet;
  bool shifted = false;
  std::size_t pos = 0;
  std::string token;
  bool invalid = false;
  while (NextCode128Token(code, pos, token, invalid)) {
    const int value = FindCode128Value(current, token);
    if (value < 0) return {};
    weight = (weight + 1) % 103;
    sum = (sum + value * weight) % 103;
    pattern += kCode128Patterns[value];

    if (token == "SHIFT") {
      // Only the next token is read in the other set; a shift right after a shift starts afresh.
      if (!shifted) beforeShift = current;
      current = OtherOfAB(beforeShift);
      shifted = true;
    } else if (token == "CODEA" || token == "CODEB" || token == "CODEC") {
      current = static_cast<Code128Set>(token[4] - 'A');
      shifted = false;
    } else if (shifted) {
      current = beforeShift;
      shifted = false;
    }
  }
  if (invalid) return {};
  const int check = sum % 103;
  pattern += kCode128Patterns[check];
  pattern += kCode128Stop;

  symbolText = startChar;
  symbolText += code;
  symbolText += Code128CheckText(current, check);
  return pattern;
}

}  // namespace barcode
