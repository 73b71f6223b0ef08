// The twelve barcode symbologies and what their encoders have in common.
//
// An encoder turns a code value into a bar pattern: a string of decimal digits, one per element from
// left to right. A digit v is an element (v / 2 + 1) modules wide, a bar when v is odd and a space when
// it is even. The customer barcode uses its digits as three bar-part flags instead (see
// BarEncodersCustomer.h). An empty pattern means that the code cannot be encoded.
//
// Encoders are pure functions over tables: they read the code (a Shift-JIS byte string) and their
// options, write the human-readable text and return the pattern. They never draw and never throw.
#pragma once

#include <string>
#include <string_view>

namespace barcode {

// The symbologies; the ordinal values are stored in files and must not change.
enum TBarTypes : int {
  cbarJAN = 0,
  cbarUPC = 1,
  cbarCODE39 = 2,
  cbarNW7 = 3,
  cbarITF = 4,
  cbarCTF = 5,
  cbarIATA = 6,
  cbarMATRIX = 7,
  cbarNEC = 8,
  cbarCUSTOMER = 9,
  cbarCODE128 = 10,
  cbarCODE93 = 11,
};
inline constexpr int kBarTypeCount = 12;

// The symbologies of narrow and wide elements only, whose wide elements follow the element ratio.
constexpr bool IsTwoWidth(TBarTypes type) { return type >= cbarCODE39 && type <= cbarNEC; }

// The options an encoder may read besides the code. Code 128 resets an unknown startChar to 'A'.
struct EncodeOptions {
  bool cd = false;       // append the optional check character
  char startChar = 'A';  // NW-7 start character; Code 128 start code set
  char stopChar = 'A';   // NW-7 stop character
};

// Runs the encoder of type: sets symbolText (empty for an invalid code) and returns the pattern.
std::string EncodeBar(TBarTypes type, std::string_view code, EncodeOptions& options, std::string& symbolText);

// The modulus-10 check digit of the EAN/UPC and 2 of 5 families: weights 3, 1, 3, ... from the
// rightmost digit leftwards; '0' + (10 - sum mod 10) mod 10. digits must hold only '0'-'9'.
char Modulus10CheckDigit(std::string_view digits);

// True when text is not empty and holds only '0'-'9'.
bool AllDigits(std::string_view text);

// Width in modules of a pattern element digit ('0'-'7').
constexpr int ElementModules(char digit) { return (digit - '0') / 2 + 1; }

}  // namespace barcode
