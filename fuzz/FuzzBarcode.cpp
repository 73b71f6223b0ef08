// Every barcode encoder with any code, start and stop character and check-character option, the
// barcode component painting what they return, and the QR Code and Data Matrix of the same code.
//
// Input: byte 0 the symbology (any value: the twelve and invalid ones), byte 1 option bits, byte 2
// the start character, byte 3 the stop character, byte 4 the bar height of the picture; the rest is
// the code (Shift-JIS bytes).
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "barcode/BarEncoders.h"
#include "barcode/BarImage.h"
#include "barcode/BarMatrix.h"

namespace {

using namespace barcode;

// The element digits each symbology may use.
std::string_view PatternDigits(TBarTypes type) {
  switch (type) {
    case cbarJAN:
    case cbarUPC:
      return "01";
    case cbarCODE39:
    case cbarNW7:
    case cbarITF:
    case cbarCTF:
    case cbarIATA:
    case cbarMATRIX:
    case cbarNEC:
      return "0123";
    case cbarCUSTOMER:
      return "02367";
    case cbarCODE128:
    case cbarCODE93:
      return "01234567";
  }
  return "";
}

void CheckEncoder(TBarTypes type, std::string_view code, const EncodeOptions& given) {
  EncodeOptions options = given;
  std::string symbolText = "stale";
  const std::string pattern = EncodeBar(type, code, options, symbolText);

  const bool known = type >= 0 && type < kBarTypeCount;
  if (!known) FUZZ_CHECK(pattern.empty());
  if (pattern.empty()) {
    FUZZ_CHECK(symbolText.empty());
    if (type == cbarCUSTOMER) FUZZ_CHECK(code.empty());
    return;
  }
  FUZZ_CHECK(pattern.find_first_not_of(PatternDigits(type)) == std::string::npos);
  // A pattern grows with its code, never beyond a bounded number of elements per character (the
  // customer barcode has a fixed size).
  FUZZ_CHECK(pattern.size() <= 200 + 40 * code.size());
  if (type == cbarCODE128) FUZZ_CHECK(options.startChar >= 'A' && options.startChar <= 'C');
  if (type != cbarCODE128) FUZZ_CHECK(options.startChar == given.startChar);
  FUZZ_CHECK(options.stopChar == given.stopChar && options.cd == given.cd);
  // JAN-13 and JAN-8: guards, digits and the one space module after the end guard.
  if (type == cbarJAN) FUZZ_CHECK(pattern.size() == (code.size() == 12 ? 96u : 68u));

  // Encoding is a function of its input.
  EncodeOptions again = given;
  std::string text2;
  FUZZ_CHECK(EncodeBar(type, code, again, text2) == pattern && text2 == symbolText);
}

void CheckComponent(TBarTypes type, const std::string& code, std::uint8_t bits, char start, char stop,
                    int barHeight) {
  TBarImage bar;
  bar.SetBarEnabled(false);
  bar.SetBarType(type);
  bar.SetCD(bits & 1);
  bar.SetStartChar(start);
  bar.SetStopChar(stop);
  bar.SetScale(1 + (bits >> 5));  // 1-8
  bar.SetElementRatio(20 + (bits >> 1) % 11);
  bar.SetBarHeight(barHeight);
  bar.SetMatch(bits & 2);
  if (bits & 4) bar.SetBarPicture(pbarEMF);
  bar.SetTransparent(bits & 8);
  bar.SetBarFrame((bits & 16) ? 3 : 0);
  bar.SetCode(code);
  bar.SetBarEnabled(true);

  if (!bar.BarDisped()) return;
  const QSize size = bar.PictureSize();
  FUZZ_CHECK(size.width() >= 0 && size.width() <= TBarImage::kMaxPictureSide + 1);
  FUZZ_CHECK(size.height() >= 0 && size.height() <= TBarImage::kMaxPictureSide + 1);
  FUZZ_CHECK(!bar.BarPattern().empty());
}

// QR Code and Data Matrix: a symbol is square and of a size its symbology has, or there is none.
void CheckMatrix(const std::string& code, std::uint8_t bits) {
  if (code.size() > 400) return;  // libzint's own work grows with the code; the routing is what is fuzzed
  const TBarMatrix qr = EncodeQR(code, static_cast<TQRLevel>((bits >> 1) & 3));
  if (!qr.Empty()) {
    FUZZ_CHECK(qr.Width() == qr.Height());
    FUZZ_CHECK(qr.Width() >= 21 && qr.Width() <= 177 && (qr.Width() - 17) % 4 == 0);
    FUZZ_CHECK(qr.Pattern().size() == std::size_t(qr.Width() + 1) * qr.Height());
  } else {
    FUZZ_CHECK(code.empty() || code.size() > 100);  // anything shorter fits version 40
  }
  const TBarMatrix dm = EncodeDataMatrix(code);
  if (!dm.Empty()) FUZZ_CHECK(dm.Width() == dm.Height() && dm.Width() >= 10 && dm.Width() <= 144);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  const auto type = static_cast<TBarTypes>(static_cast<std::int8_t>(data[0]) % 14);
  const std::uint8_t bits = data[1];
  const char start = static_cast<char>(data[2]);
  const char stop = static_cast<char>(data[3]);
  const int barHeight = data[4];
  const std::string code(fuzz::Bytes(data + 5, size - 5));

  CheckEncoder(type, code, EncodeOptions{(bits & 1) != 0, start, stop});
  // The other symbologies see the same code too: cheap, and no code is wrong for only one of them.
  for (int other = 0; other < kBarTypeCount; ++other) {
    if (other != type)
      CheckEncoder(static_cast<TBarTypes>(other), code, EncodeOptions{(bits & 1) != 0, start, stop});
  }
  CheckComponent(type, code, bits, start, stop, barHeight);
  CheckMatrix(code, bits);
  return 0;
}
