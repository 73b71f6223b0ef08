// Comma text: one row of text items on one line, as the mapping data file and the clipboard hold it.
//
//   item,"item with blanks","say ""hi""",,last
//
// An item is written as it is unless it holds a blank, a control character, a double quote or a comma;
// then it is enclosed in double quotes with inner quotes doubled. A row of one empty item is written
// as "". Reading skips blanks and control characters between items; two commas in a row give an empty
// item between them, and a trailing comma a final empty item.
//
// The bytes that shape a row (00-20, '"' and ',') are never the second byte of a Shift-JIS character
// (second bytes are 40-7E and 80-FC), so scanning bytes never mistakes half a character for one of
// them. A lead byte followed by one of them is a broken character; the row's structure wins over it,
// so a broken character cannot swallow the comma after it.
//
// Every row reads back exactly as it was written. Three things need more than the plain rules above:
// - A line break or a zero byte inside an item would split the line of a file or end the text of the
//   clipboard. Inside quotes they are written as a quote followed by "r" (carriage return), "n" (line
//   feed) or "0" (zero byte). The plain rules never put a quote before these letters inside quotes,
//   so ordinary rows are written and read exactly as before.
// - A raw zero byte ends the text when reading, as it ends the clipboard's text.
// - The first item is quoted when it begins with ";" or "[", so that the row, as a line of a data
//   file, is never read as a comment or a section header.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace base {

// The comma text of row, appended to out.
void AppendCommaText(const std::vector<std::string>& row, std::string& out);
void AppendCommaText(const std::vector<std::string_view>& row, std::string& out);
std::string EncodeCommaText(const std::vector<std::string>& row);

// The items of text; row is cleared first. Any text gives a row: an empty text none, an unclosed
// quote the rest of the text.
void DecodeCommaText(std::string_view text, std::vector<std::string>& row);
std::vector<std::string> DecodeCommaText(std::string_view text);

}  // namespace base
