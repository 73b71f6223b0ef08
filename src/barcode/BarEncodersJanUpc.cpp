#include "barcode/BarEncodersJanUpc.h"

#include "barcode/BarEncoders.h"

namespace barcode {

namespace {

// EAN/UPC symbology (ISO/IEC 15420), number sets A, B and C: seven modules per digit,
// '1' a dark module.
constexpr const char* kSetA[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                   "0110001", "0101111", "0111011", "0110111", "0001011"};
constexpr const char* kSetB[10] = {"0100111", "0110011", "0011011", "0100001", "0011101",
                                   "0111001", "0000101", "0010001", "0001001", "0010111"};
constexpr const char* kSetC[10] = {"1110010", "1100110", "1101100", "1000010", "1011100",
                                   "1001110", "1010000", "1000100", "1001000", "1110100"};

// ISO/IEC 15420, number sets of the left half of EAN-13 chosen by the leading digit ('1' set A,
// '0' set B).
constexpr const char* kJan13Parity[10] = {"111111", "110100", "110010", "110001", "101100",
                                          "100110", "100011", "101010", "101001", "100101"};

// ISO/IEC 15420, UPC-E number system 0: sets of the six digits chosen by the check digit ('1' set A,
// '0' set B).
constexpr const char* kUpcEParity[10] = {"000111", "001011", "001101", "001110", "010011",
                                         "011001", "011100", "010101", "010110", "011010"};

constexpr const char* kStartGuard = "101";
constexpr const char* kCentreGuard = "01010";
constexpr const char* kEndGuard = "1010";         // end guard and one space module
constexpr const char* kUpcEEndGuard = "0101010";  // UPC-E end guard and one space module

int Digit(char c) { return c - '0'; }

void AppendLeft(std::string& pattern, char digit, char parity) {
  pattern += (parity == '1' ? kSetA : kSetB)[Digit(digit)];
}

}  // namespace

std::string EncodeJAN(std::string_view code, std::string& symbolText) {
  symbolText.clear();
  if ((code.size() != 12 && code.size() != 7) || !AllDigits(code)) return {};
  std::string d(code);
  d += Modulus10CheckDigit(code);

  std::string pattern = kStartGuard;
  std::size_t half;
  if (d.size() == 13) {
    const char* parity = kJan13Parity[Digit(d[0])];
    for (std::size_t k = 1; k <= 6; ++k) AppendLeft(pattern, d[k], parity[k - 1]);
    half = 7;
  } else {
    for (std::size_t k = 0; k < 4; ++k) pattern += kSetA[Digit(d[k])];
    half = 4;
  }
  pattern += kCentreGuard;
  for (std::size_t k = half; k < d.size(); ++k) pattern += kSetC[Digit(d[k])];
  pattern += kEndGuard;
  symbolText = d;
  return pattern;
}

std::string EncodeUPC(std::string_view code, std::string& symbolText) {
  symbolText.clear();
  if ((code.size() != 11 && code.size() != 7) || !AllDigits(code)) return {};
  const std::string reference = code.size() == 11 ? std::string(code) : ExpandUPCE(code);
  if (reference.empty()) return {};
  std::string d(code);
  d += Modulus10CheckDigit(reference);

  std::string pattern = kStartGuard;
  if (d.size() == 12) {
    for (std::size_t k = 0; k < 6; ++k) pattern += kSetA[Digit(d[k])];
    pattern += kCentreGuard;
    for (std::size_t k = 6; k < 12; ++k) pattern += kSetC[Digit(d[k])];
    pattern += kEndGuard;
  } else {
    const char* parity = kUpcEParity[Digit(d[7])];
    for (std::size_t k = 1; k <= 6; ++k) AppendLeft(pattern, d[k], parity[k - 1]);
    pattern += kUpcEEndGuard;
  }
  symbolText = d;
  return pattern;
}

std::string ExpandUPCE(std::string_view s) {
  if (s.size() != 7 || s[0] != '0' || !AllDigits(s)) return {};
  // d[1] .. d[6] are the six digits after the number system.
  const std::string_view d = s;
  const std::string head = "0";
  if (d[6] >= '5' && d[5] != '0') return head + std::string(d.substr(1, 5)) + "0000" + d[6];
  if (d[6] == '4' && d[4] != '0') return head + std::string(d.substr(1, 4)) + "00000" + d[5];
  if (d[6] == '3' && d[3] >= '3')
    return head + std::string(d.substr(1, 3)) + "00000" + std::string(d.substr(4, 2));
  if (d[6] <= '2') return head + std::string(d.substr(1, 2)) + d[6] + "0000" + std::string(d.substr(3, 3));
  return {};
}

std::string CompressUPCA(std::string_view s) {
  if (s.size() != 11 || s[0] != '0' || !AllDigits(s)) return {};
  // Manufacturer digits m1 .. m5 are s[1] .. s[5], product digits p1 .. p5 are s[6] .. s[10].
  const std::string_view m = s.substr(1, 5);
  const std::string_view p = s.substr(6, 5);
  const std::string head = "0";
  if (p.substr(0, 4) == "0000" && m[4] != '0' && p[4] >= '5') return head + std::string(m) + p[4];
  if (m[4] == '0' && p.substr(0, 4) == "0000" && m[3] != '0')
    return head + std::string(m.substr(0, 4)) + p[4] + "4";
  if (m.substr(3, 2) == "00" && p.substr(0, 3) == "000" && m[2] >= '3')
    return head + std::string(m.substr(0, 3)) + std::string(p.substr(3, 2)) + "3";
  if (m.substr(3, 2) == "00" && p.substr(0, 2) == "00" && m[2] <= '2')
    return head + std::string(m.substr(0, 2)) + std::string(p.substr(2, 3)) + m[2];
  return {};
}

}  // namespace barcode
