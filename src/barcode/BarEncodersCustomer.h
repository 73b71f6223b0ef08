// The customer barcode of the Japanese postal service: a postal code and address digits as 20
// symbols of three bars each, between a start and a stop symbol, closed by a modulus-19 check symbol.
//
// Its pattern digits are bar-part flags, one module wide each: 4 the upper third, 2 the middle third
// (the timing part), 1 the lower third. So '7' is a long bar, '6' an ascender, '3' a descender, '2' a
// timing bar and '0' a space.
#pragma once

#include <string>
#include <string_view>

namespace barcode {

// Digits, "-", capitals (two symbols each) and spaces are encoded; other characters are left out. The
// code is padded with spaces to 21 characters; symbolText is the padded code and the check character
// ("0"-"9", "-", or a space for the control symbols). Every non-empty code gives a pattern.
std::string EncodeCUSTOMER(std::string_view code, std::string& symbolText);

}  // namespace barcode
