// The choice of a QR Code's mask pattern (ISO/IEC 18004, 7.8).
//
// libzint builds a QR Code in tens of microseconds but spends ten times as long choosing its mask: it
// scores each of the eight patterns over the whole symbol module by module. Here libzint builds the
// symbol with mask pattern 000, and the eight candidates are derived from it and scored a machine word
// of modules at a time. The rules are those of the standard as libzint applies them, so the symbol is
// the one libzint would choose itself (the barcode tests compare the two on many symbols).
#pragma once

#include <cstdint>
#include <vector>

#include "barcode/BarMatrix.h"

namespace barcode::detail {

// A square symbol of size modules as rows of bits: module x of row y is bit x % 64 of
// rows[y * words + x / 64], 1 dark; bits past size are 0.
struct QRBitRows {
  int size = 0;
  int words = 0;
  std::vector<std::uint64_t> rows;
};

// The symbol with the mask pattern of the lowest penalty, given the same symbol built with mask
// pattern 000. Empty when bits is no QR Code symbol (a size that is no version, or format information
// that is not mask pattern 000's).
TBarMatrix ApplyBestQRMask(const QRBitRows& bits);

}  // namespace barcode::detail
