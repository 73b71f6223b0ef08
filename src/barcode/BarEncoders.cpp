#include "barcode/BarEncoders.h"

#include "barcode/BarEncodersCode128.h"
#include "barcode/BarEncodersCode93.h"
#include "barcode/BarEncodersCustomer.h"
#include "barcode/BarEncodersJanUpc.h"
#include "barcode/BarEncodersTwoWidth.h"

namespace barcode {

std::string EncodeBar(TBarTypes type, std::string_view code, EncodeOptions& options,
                      std::string& symbolText) {
  switch (type) {
    case cbarJAN:
      return EncodeJAN(code, symbolText);
    case cbarUPC:
      return EncodeUPC(code, symbolText);
    case cbarCODE39:
      return EncodeCODE39(code, options.cd, symbolText);
    case cbarNW7:
      return EncodeNW7(code, options.cd, options.startChar, options.stopChar, symbolText);
    case cbarITF:
      return EncodeITF(code, options.cd, symbolText);
    case cbarCTF:
      return EncodeCTF(code, options.cd, symbolText);
    case cbarIATA:
      return EncodeIATA(code, symbolText);
    case cbarMATRIX:
      return EncodeMATRIX(code, options.cd, symbolText);
    case cbarNEC:
      return EncodeNEC(code, options.cd, symbolText);
    case cbarCUSTOMER:
      return EncodeCUSTOMER(code, symbolText);
    case cbarCODE128:
      return EncodeCODE128(code, options.startChar, symbolText);
    case cbarCODE93:
      return EncodeCODE93(code, symbolText);
  }
  symbolText.clear();
  return {};
}

char Modulus10CheckDigit(std::string_view digits) {
  int sum = 0;
  int weight = 3;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    sum = (sum + (*it - '0') * weight) % 10;  // kept small: codes may be very long
    weight = 4 - weight;
  }
  return static_cast<char>('0' + (10 - sum) % 10);
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace barcode
