#include "barcode/BarMatrix.h"

#include <zint.h>

#include <algorithm>
#include <memory>

#include "barcode/QRMask.h"
#include "base/Sjis.h"

namespace barcode {

namespace {

struct SymbolDeleter {
  void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};
using Symbol = std::unique_ptr<zint_symbol, SymbolDeleter>;

// libzint keeps module x of row y as bit x % 8 of byte x / 8.
bool ZintDark(const zint_symbol& symbol, int x, int y) {
  return (symbol.encoded_data[y][x >> 3] >> (x & 7)) & 1;
}

// libzint's symbol for text, or null when it cannot be built. Text in Shift-JIS goes in as its bytes;
// any other text as UTF-8 behind ECI 26.
Symbol Build(int symbology, std::string_view code, bool asShiftJis, int option1, int option3) {
  if (code.empty()) return nullptr;
  Symbol symbol(ZBarcode_Create());
  if (symbol == nullptr) return nullptr;
  symbol->symbology = symbology;
  symbol->option_1 = option1;
  symbol->option_3 = option3;
  std::string utf8;
  if (asShiftJis) {
    symbol->input_mode = DATA_MODE;
  } else {
    utf8 = base::SjisToUtf8(code);
    code = utf8;
    symbol->input_mode = UNICODE_MODE;
    symbol->eci = 26;
  }
  // Warnings (below ZINT_ERROR) still give a symbol.
  const int result = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(code.data()),
                                     static_cast<int>(code.size()));
  if (result >= ZINT_ERROR || symbol->rows <= 0 || symbol->width <= 0) return nullptr;
  return symbol;
}

// JIS X 0208's characters by row (ku): the cells (ten) from-to that the standard fills.
struct CellRange {
  std::uint8_t row, first, last;
};
constexpr CellRange kJisX0208[] = {
    {1, 1, 94},                                                                    // punctuation and symbols
    {2, 1, 14},  {2, 26, 33}, {2, 42, 48}, {2, 60, 74}, {2, 82, 89}, {2, 94, 94},  // symbols
    {3, 16, 25}, {3, 33, 58}, {3, 65, 90},                                         // digits, Latin letters
    {4, 1, 83},                                                                    // hiragana
    {5, 1, 86},                                                                    // katakana
    {6, 1, 24},  {6, 33, 56},                                                      // Greek
    {7, 1, 33},  {7, 49, 81},                                                      // Cyrillic
    {8, 1, 32},                                                                    // box drawing
    {16, 1, 94}, {17, 1, 94}, {18, 1, 94}, {19, 1, 94}, {20, 1, 94}, {21, 1, 94}, {22, 1, 94},
    {23, 1, 94}, {24, 1, 94}, {25, 1, 94}, {26, 1, 94}, {27, 1, 94}, {28, 1, 94}, {29, 1, 94},
    {30, 1, 94}, {31, 1, 94}, {32, 1, 94}, {33, 1, 94}, {34, 1, 94}, {35, 1, 94}, {36, 1, 94},
    {37, 1, 94}, {38, 1, 94}, {39, 1, 94}, {40, 1, 94}, {41, 1, 94}, {42, 1, 94}, {43, 1, 94},
    {44, 1, 94}, {45, 1, 94}, {46, 1, 94}, {47, 1, 51},  // first level kanji
    {48, 1, 94}, {49, 1, 94}, {50, 1, 94}, {51, 1, 94}, {52, 1, 94}, {53, 1, 94}, {54, 1, 94},
    {55, 1, 94}, {56, 1, 94}, {57, 1, 94}, {58, 1, 94}, {59, 1, 94}, {60, 1, 94}, {61, 1, 94},
    {62, 1, 94}, {63, 1, 94}, {64, 1, 94}, {65, 1, 94}, {66, 1, 94}, {67, 1, 94}, {68, 1, 94},
    {69, 1, 94}, {70, 1, 94}, {71, 1, 94}, {72, 1, 94}, {73, 1, 94}, {74, 1, 94}, {75, 1, 94},
    {76, 1, 94}, {77, 1, 94}, {78, 1, 94}, {79, 1, 94}, {80, 1, 94}, {81, 1, 94}, {82, 1, 94},
    {83, 1, 94}, {84, 1, 6},  // second level kanji
};

}  // namespace

std::string TBarMatrix::Pattern() const {
  std::string text;
  text.reserve(std::size_t(width_ + 1) * height_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) text += Dark(x, y) ? '1' : '0';
    text += '\n';
  }
  return text;
}

bool IsJisX0208(unsigned char lead, unsigned char trail) {
  // Shift-JIS: each lead byte holds two rows, the trail bytes 0x40-0x9E the odd one (0x7F unused)
  // and 0x9F-0xFC the even one.
  int row;
  if (lead >= 0x81 && lead <= 0x9F)
    row = (lead - 0x81) * 2 + 1;
  else if (lead >= 0xE0 && lead <= 0xEF)
    row = (lead - 0xE0) * 2 + 63;
  else
    return false;
  int cell;
  if (trail >= 0x40 && trail <= 0x7E)
    cell = trail - 0x3F;
  else if (trail >= 0x80 && trail <= 0x9E)
    cell = trail - 0x40;
  else if (trail >= 0x9F && trail <= 0xFC) {
    cell = trail - 0x9E;
    ++row;
  } else
    return false;
  for (const CellRange& r : kJisX0208)
    if (r.row == row && cell >= r.first && cell <= r.last) return true;
  return false;
}

bool QRTakesShiftJis(std::string_view code) {
  for (std::size_t i = 0; i < code.size(); ++i) {
    const auto c = static_cast<unsigned char>(code[i]);
    // Readers that see a Shift-JIS symbol read its single bytes as JIS X 0201, whose 0x5C and 0x7E
    // are the yen sign and the overline: a backslash or a tilde would not come back.
    if (c == '\\' || c == '~') return false;
    if (c < 0x80) continue;
    if (i + 1 >= code.size() || !IsJisX0208(c, static_cast<unsigned char>(code[i + 1]))) return false;
    ++i;
  }
  return true;
}

TBarMatrix EncodeQR(std::string_view code, TQRLevel level) {
  if (level < qrL || level > qrH) return {};
  // Mask pattern 000 (libzint's option 1 << 8); the mask is chosen below, much faster than libzint
  // chooses it. Kanji mode for the double-byte characters of Shift-JIS data.
  const bool shiftJis = QRTakesShiftJis(code);
  const Symbol symbol = Build(BARCODE_QRCODE, code, shiftJis, level + 1, ZINT_FULL_MULTIBYTE | (1 << 8));
  if (symbol == nullptr || symbol->rows != symbol->width) return {};
  detail::QRBitRows bits;
  bits.size = symbol->width;
  bits.words = (bits.size + 63) / 64;
  bits.rows.assign(std::size_t(bits.size) * bits.words, 0);
  for (int y = 0; y < bits.size; ++y)
    for (int w = 0; w < bits.words; ++w) {
      // Eight of libzint's bytes make one word, module x % 64 at bit x % 64.
      std::uint64_t word = 0;
      for (int b = 0; b < 8 && 8 * w + b < 144; ++b)
        word |= std::uint64_t{symbol->encoded_data[y][8 * w + b]} << (8 * b);
      const int bitsInWord = std::min(64, bits.size - 64 * w);
      if (bitsInWord < 64) word &= (std::uint64_t{1} << bitsInWord) - 1;
      bits.rows[std::size_t(y) * bits.words + w] = word;
    }
  return detail::ApplyBestQRMask(bits);
}

TBarMatrix EncodeDataMatrix(std::string_view code) {
  bool ascii = true;
  for (char c : code) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  const Symbol symbol = Build(BARCODE_DATAMATRIX, code, ascii, 0, DM_SQUARE);
  if (symbol == nullptr) return {};
  TBarMatrix matrix(symbol->width, symbol->rows);
  for (int y = 0; y < symbol->rows; ++y)
    for (int x = 0; x < symbol->width; ++x) matrix.SetDark(x, y, ZintDark(*symbol, x, y));
  return matrix;
}

TBarMatrix EncodeMatrix(TMatrixTypes type, std::string_view code, TQRLevel level) {
  switch (type) {
    case cmatQR:
      return EncodeQR(code, level);
    case cmatDataMatrix:
      return EncodeDataMatrix(code);
  }
  return {};
}

}  // namespace barcode
