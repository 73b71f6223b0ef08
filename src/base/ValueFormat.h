// The value formatter of texts: applies a layout's format pattern to one value.
//
// A pattern comes from the layout file, so it is data: it is read here directive by directive and
// never handed to printf. The directives are those of the formatting routine the layouts were written
// for: "%" ["-"] [width] ["." precision] type, the type one of d x (integers), f e g n (floating-point
// values), s (text), and "%%" for a percent sign. Upper-case types are the same directives. Anything
// else, a directive that does not suit the value, a second value directive or a width or precision
// above 1000 makes the formatting fail, and the caller shows the value unformatted.
//
// Results:
//   %d   decimal; a precision pads with zeros to that many digits ("%5.3d" of 42 is "  042")
//   %x   upper-case hexadecimal (negative values in two's complement), precision as for %d
//   %f   fixed point, precision decimals (default 2)
//   %n   as %f with "," between groups of three integer digits
//   %e   "d.ddd...E+ddd": precision counts all mantissa digits (default 15), three exponent digits at
//        least
//   %g   fixed point or scientific, whichever the value needs, precision significant digits (default
//        15), trailing zeros removed; the exponent is written "E" [-] ddd
//   %s   the text; a precision keeps that many characters (a double-byte character is one)
// A width pads the result with blanks on the left to that many bytes, on the right with "-".
// Floating-point values are taken with 18 significant digits and rounded half up from there, so
// "2.675" with "%.2f" gives "2.68". The decimal point is "." and the group separator "," whatever
// the system locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace base {

// The one value a pattern is applied to: an integer, a floating-point value or a Shift-JIS text.
using FormatArgument = std::variant<std::int64_t, long double, std::string_view>;

// Formats arg with pattern into out. False (out untouched) when the pattern cannot be applied.
bool FormatValue(std::string_view pattern, const FormatArgument& arg, std::string& out);

// What a text holds, which decides the argument it becomes.
enum class ValueKind { Integer, Float, Text };

// Converts text to an argument of the given kind and formats it. An integer text is decimal or
// hexadecimal with "$" or "0x"; a floating-point text is decimal with "." and an optional exponent;
// blanks around the number are allowed. False when the text does not convert or the formatting fails.
bool FormatTextValue(std::string_view pattern, ValueKind kind, std::string_view text, std::string& out);

}  // namespace base
