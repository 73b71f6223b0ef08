#include "barcode/BarEncodersCustomer.h"

#include "base/Sjis.h"

namespace barcode {

namespace {

// Japan Post customer barcode: the symbols of the values 0-9 (digits), 10 ("-") and 11-18 (the
// control codes CC1 to CC8), three bars each followed by a space.
constexpr const char* kCustomerSymbols[19] = {
    "702020", "707020", "703060", "307060", "706030", "702070", "306070", "607030",
    "603070", "207070",                                                              // 0-9
    "207020",                                                                        // -
    "306020", "302060", "603020", "203060", "602030", "206030", "202070", "707070",  // CC1-CC8
};
constexpr const char* kCustomerStart = "007030";
constexpr const char* kCustomerStop = "307000";
constexpr int kCC1 = 11;
constexpr int kCC4 = 14;
constexpr int kDataSymbols = 20;

}  // namespace

std::string EncodeCUSTOMER(std::string_view code, std::string& symbolText) {
  symbolText.clear();
  if (code.empty()) return {};
  std::string value(code);
  for (std::size_t n = base::CharCount(value); n < 21; ++n) value += ' ';

  std::string pattern = kCustomerStart;
  int count = 0;
  int sum = 0;
  auto write = [&](int symbol) {
    pattern += kCustomerSymbols[symbol];
    sum += symbol;
    ++count;
  };
  // Characters are read whole: the second byte of a double-byte character may look like a capital.
  std::size_t pos = 0;
  for (int read = 0; read < kDataSymbols && count < kDataSymbols && pos < value.size(); ++read) {
    const std::size_t size = base::CharSize(value, pos);
    const char c = size == 1 ? value[pos] : '\0';
    pos += size;
    if (c == ' ') {
      write(kCC4);
    } else if (c >= '0' && c <= '9') {
      write(c - '0');
    } else if (c == '-') {
      write(10);
    } else if (c >= 'A' && c <= 'Z') {
      const int k = c - 'A';
      if (count < kDataSymbols - 1) {
        write(kCC1 + k / 10);
        write(k % 10);
      } else {
        write(kCC4);  // no room for the two symbols of a letter
      }
    }
  }
  const int check = (19 - sum % 19) % 19;
  pattern += kCustomerSymbols[check];
  pattern += kCustomerStop;
  symbolText = value;
  symbolText += check <= 10 ? "0123456789-"[check] : ' ';
  return pattern;
}

}  // namespace barcode
