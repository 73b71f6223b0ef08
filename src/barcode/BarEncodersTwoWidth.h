// Encoders of the symbologies made of narrow and wide elements: Code 39, NW-7 (Codabar), Interleaved
// 2 of 5 (ITF), Industrial 2 of 5 (CTF), IATA 2 of 5, Matrix 2 of 5 and NEC 2 of 5. Their patterns use
// '0' narrow space, '1' narrow bar, '2' wide space and '3' wide bar; the drawing decides how wide a
// wide element is (the element ratio).
#pragma once

#include <string>
#include <string_view>

namespace barcode {

// Code 39: capitals, digits and "-. $/+%"; with cd the modulus-43 check character is appended.
// symbolText is the code between asterisks.
std::string EncodeCODE39(std::string_view code, bool cd, std::string& symbolText);

// NW-7: digits, "-$:/.+" and A-D, between the start and stop characters (each one of A-D); with cd
// the modulus-16 check character stands before the stop character.
std::string EncodeNW7(std::string_view code, bool cd, char startChar, char stopChar, std::string& symbolText);

// Interleaved 2 of 5: digits in pairs; a leading '0' makes the count (with the check digit) even.
std::string EncodeITF(std::string_view code, bool cd, std::string& symbolText);

// Industrial 2 of 5, IATA 2 of 5 (always with its check digit), Matrix 2 of 5 and NEC 2 of 5: digits,
// with cd followed by the modulus-10 check digit.
std::string EncodeCTF(std::string_view code, bool cd, std::string& symbolText);
std::string EncodeIATA(std::string_view code, std::string& symbolText);
std::string EncodeMATRIX(std::string_view code, bool cd, std::string& symbolText);
std::string EncodeNEC(std::string_view code, bool cd, std::string& symbolText);

}  // namespace barcode
