// Number conversion and rounding, independent of the system locale: "." is always the decimal point.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace base {

// Parses a decimal number ("-12", "3.5", "5.", "1e3"); blanks around it are allowed. False for
// anything else, including an empty text, "inf" and "nan".
bool ParseDouble(std::string_view text, double& out);
bool ParseLongDouble(std::string_view text, long double& out);

// Parses a decimal integer with an optional sign; blanks around it are allowed. False on overflow.
bool ParseInt(std::string_view text, int& out);
bool ParseInt64(std::string_view text, std::int64_t& out);

// As ParseInt, but a text that begins with "0x", "0X" or "$" (after an optional sign) is hexadecimal.
bool ParseIntAutoBase(std::string_view text, int& out);
// The same for 64-bit values; sixteen hexadecimal digits may spell a negative value in two's complement.
bool ParseInt64AutoBase(std::string_view text, std::int64_t& out);

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). Values beyond the
// range of int saturate; NaN gives 0.
int RoundHalfEven(double v);
std::int64_t RoundHalfEven64(double v);

// a * b / c with a 64-bit intermediate, rounded to nearest (halves away from zero); -1 when c is 0.
int MulDiv(int a, int b, int c);

// The shortest decimal text of v with at most maxDecimals decimals: 297, 29.7, 0.25.
std::string FormatShortest(double v, int maxDecimals = 4);

}  // namespace base
