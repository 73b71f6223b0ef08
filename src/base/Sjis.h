// Shift-JIS (code page 932) byte strings.
//
// Text stays Shift-JIS inside the program: files, rows, names and comparisons work on bytes. These
// helpers know which bytes start a double-byte character, so that a second byte (which may look like
// "\", "a" or "|") is never taken for a character of its own, and they convert to UTF-8 only at the
// edges (Qt, the terminal).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace base {

// True for the first byte of a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Size in bytes (1 or 2) of the character that starts at byte pos. A lead byte at the very end of
// the string (half a character) counts as a character of one byte.
inline std::size_t CharSize(std::string_view s, std::size_t pos) {
  return (IsLeadByte(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size()) ? 2 : 1;
}

// Number of characters; a double-byte character counts as one.
std::size_t CharCount(std::string_view s);

// Byte offset at which character n (0-based) starts; s.size() when n is past the end.
std::size_t CharOffset(std::string_view s, std::size_t n);

// The first n characters of s (all of s when it has fewer).
std::string_view CharPrefix(std::string_view s, std::size_t n);

// True when byte pos is the second byte of a double-byte character.
bool IsTrailByteAt(std::string_view s, std::size_t pos);

// Upper-cases the Latin letters a-z and the full-width letters ａ-ｚ; second bytes of double-byte
// characters are never touched. This is the case folding of every comparison "without regard to
// case" (names, keys, sections, searches).
std::string UpperCase(std::string_view s);
// UpperCase into out, reusing its storage (for loops that fold many texts).
void UpperCaseInto(std::string_view s, std::string& out);

// Case-insensitive equality and ordering, with the folding of UpperCase.
bool SameText(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);

// Byte offset of the first occurrence of needle in hay that starts on a character boundary, at or
// after byte from; npos when there is none. The case-insensitive form folds both sides.
std::size_t FindBytes(std::string_view hay, std::string_view needle, std::size_t from = 0);
std::size_t FindText(std::string_view hay, std::string_view needle, std::size_t from = 0);
inline bool ContainsText(std::string_view hay, std::string_view needle) {
  return FindText(hay, needle) != std::string_view::npos;
}

// Every occurrence of token (compared without regard to case, on character boundaries) replaced.
std::string ReplaceText(std::string_view s, std::string_view token, std::string_view replacement);
// Every occurrence of token (exact bytes, on character boundaries) replaced.
std::string ReplaceBytes(std::string_view s, std::string_view token, std::string_view replacement);

// Trimming of bytes 0x00-0x20 (blanks and control characters), as the file formats require.
std::string_view Trim(std::string_view s);
std::string_view TrimLeft(std::string_view s);
std::string_view TrimRight(std::string_view s);

// Splits text into lines at CR LF, CR or LF. A line break at the very end does not start another
// line, so "a\r\n" is one line and "" none.
std::vector<std::string> SplitLines(std::string_view text);

// Conversion at the program's edges. Bytes that are not valid Shift-JIS become U+FFFD; characters
// that Shift-JIS cannot hold become "?".
std::string SjisToUtf8(std::string_view sjis);
std::string Utf8ToSjis(std::string_view utf8);
// Utf8ToSjis into out that reports loss: false when some character had no Shift-JIS form (or the
// bytes were not UTF-8), "?" standing in for it.
bool Utf8ToSjisExact(std::string_view utf8, std::string& out);

}  // namespace base
