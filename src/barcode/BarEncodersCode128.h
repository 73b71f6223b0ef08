// Code 128 encoder. It always adds its check character and reads a small escape syntax, so that
// control characters, function characters and shifts can be written in a code value.
//
// Read from left to right: "<<" is "<"; "<" name ">" is a named value (case-insensitive: "<FNC1>",
// "<cr>", "<SHIFT>", "<CODEC>", "<12>" for a set-C pair; the name runs to the next ">" or to the
// end); ">" and one character is that character (">>" is ">"); any other character is itself. A "<"
// or ">" as the last character makes the code invalid.
//
// Patterns use element digits of one to four modules: bars '1' '3' '5' '7', spaces '0' '2' '4' '6'.
#pragma once

#include <string>
#include <string_view>

namespace barcode {

enum class Code128Set { A = 0, B = 1, C = 2 };

// The value (0-102) whose text in the column of set equals text exactly, the lowest one first; -1
// when there is none. Texts are single characters, control and function names ("NUL", "FNC1",
// "SHIFT", "CODEB"), and in set C the pairs "00" to "99".
int FindCode128Value(Code128Set set, std::string_view text);

// The text of value (0-102) in the column of set.
std::string_view Code128Text(Code128Set set, int value);

// startChar 'A', 'B' or 'C' chooses the start code set; any other value is reset to 'A'. symbolText
// is the start set letter, the code as written and the check character.
std::string EncodeCODE128(std::string_view code, char& startChar, std::string& symbolText);

}  // namespace barcode
