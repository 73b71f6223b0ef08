// Line breaking of memo texts, counted in Shift-JIS characters.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

// The break class of one character (its bytes): 0 for the Latin letters and the symbols
// @ # _ $ & ' ^ \ | < > { , ~, 1 for the digits 0-9, 2 for everything else (blanks, other
// punctuation and every double-byte character). A break never falls inside a run of class 0 or of
// class 1 unless the run starts the line.
int CharClass(std::string_view character);

// The number of characters of rest that make the next display line: as many as fit into maxWidth
// (at least one), moved back to before a run of letters or of digits that the break would split.
// widthOf(n) gives the width of the first n characters; prefix widths are taken to grow with n.
std::size_t BreakLineLength(std::string_view rest, int maxWidth,
                            const std::function<int(std::size_t)>& widthOf);
