// The two-dimensional symbologies, QR Code and Data Matrix: a code value becomes a grid of dark and
// light modules. The symbols themselves are built by libzint; this unit chooses how a Shift-JIS text
// goes into them, so that readers give the same characters back:
//
//   - QR Code (model 2, automatic version, the chosen error correction): a text whose double-byte
//     characters all belong to JIS X 0208 goes in as it is, its double-byte characters in Kanji mode;
//     any other text (code page 932's own characters such as the circled digits, half-width katakana)
//     goes in as UTF-8 in byte mode behind ECI 26, and so does a text with a backslash or a tilde,
//     which readers of a Shift-JIS symbol take for JIS X 0201's yen sign and overline.
//   - Data Matrix (ECC 200, automatic square size): ASCII goes in as it is, anything else as UTF-8
//     behind ECI 26 (the symbology has no Kanji mode, and its bytes are Latin-1 without an ECI).
//
// Like the linear encoders, these never throw and never draw: a code that cannot be encoded (empty,
// or too long for the largest symbol) gives an empty grid. Drawing is BarMatrixPicture.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace barcode {

// The two-dimensional symbologies.
enum TMatrixTypes : int { cmatQR = 0, cmatDataMatrix = 1 };

// QR Code error correction levels, from about 7 % of the symbol restorable (L) to about 30 % (H).
enum TQRLevel : int { qrL = 0, qrM = 1, qrQ = 2, qrH = 3 };

// A grid of modules, row by row from the top left corner, without the quiet zone.
class TBarMatrix {
 public:
  TBarMatrix() = default;
  TBarMatrix(int width, int height) : width_(width), height_(height), modules_(std::size_t(width) * height) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return modules_.empty(); }
  bool Dark(int x, int y) const { return modules_[std::size_t(y) * width_ + x] != 0; }
  void SetDark(int x, int y, bool dark) { modules_[std::size_t(y) * width_ + x] = dark ? 1 : 0; }

  // The rows as text, '1' for a dark module and '0' for a light one, each row ended by a line feed.
  std::string Pattern() const;

  bool operator==(const TBarMatrix&) const = default;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> modules_;
};

// The light margin each symbology asks for on every side, in modules.
constexpr int MatrixQuietZone(TMatrixTypes type) { return type == cmatQR ? 4 : 1; }

// Builds the symbol of code (Shift-JIS); empty when it cannot be encoded.
TBarMatrix EncodeMatrix(TMatrixTypes type, std::string_view code, TQRLevel level = qrM);
TBarMatrix EncodeQR(std::string_view code, TQRLevel level);
TBarMatrix EncodeDataMatrix(std::string_view code);

// Whether the double-byte Shift-JIS character lead, trail is one of JIS X 0208 (rows 1 to 8 and the
// kanji rows 16 to 84 as the standard fills them), as opposed to code page 932's additions (NEC's row
// 13, the IBM extensions, the user-defined area) and to byte pairs that are no character at all.
bool IsJisX0208(unsigned char lead, unsigned char trail);

// Whether a QR Code takes the text as it is: every byte ASCII (but the backslash and the tilde) or
// part of a JIS X 0208 character.
bool QRTakesShiftJis(std::string_view code);

}  // namespace barcode
