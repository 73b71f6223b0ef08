// Code 93 encoder: the 43 characters of Code 39 and the four shift characters, written in a code
// value as "<$>", "<%>", "</>" and "<+>" (so full ASCII can be spelled out as shift pairs). Both
// check characters, C and K, are always added.
//
// Patterns use element digits of one to four modules: bars '1' '3' '5' '7', spaces '0' '2' '4' '6'.
#pragma once

#include <string>
#include <string_view>

namespace barcode {

// symbolText is the code as written and its two check characters, in parentheses.
std::string EncodeCODE93(std::string_view code, std::string& symbolText);

}  // namespace barcode
