#include "layout/Scanner.h"

#include <array>
#include <string_view>
#include <unordered_map>

#include "base/Sjis.h"
#include "layout/TextFile.h"

namespace {

// The spellings of the punctuation (codes 0-4) and keyword (codes 5-83) kinds, in code order.
// clang-format off
constexpr std::array<const char*, tkNumber> kSpellings = {
    "{", "}", ":", ",", ";",
    "setting", "form", "block", "scale", "default", "unit", "mm", "cm", "in", "print", "paper-fit",
    "new-line",
    "face-element", "thumbnail-element", "key-element", "search-element",
    "line", "box", "circle", "image", "barcode", "value", "text",
    "data-type", "integer", "float", "date", "string", "memo", "create-date", "now-date", "now-page",
    "total-page",
    "format", "grid-point", "block-type", "all", "none",
    "x", "y", "x1", "y1", "x2", "y2", "width", "height",
    "stroke-width", "stroke-style", "solid", "dash", "dot", "dashdot", "dashdotdot", "stroke",
    "fill-style", "fill",
    "black", "white", "gray", "lightgray", "blue", "red", "green",
    "font-family", "font-size", "font-style", "normal", "italic", "font-weight", "bold",
    "align", "left", "center", "right", "stretch",
    "true", "false", "editable", "visible",
};
// clang-format on
constexpr int kFirstKeyword = tkSetting;
constexpr int kOperatorCount = kFirstKeyword;

// Keyword look-up by spelling. The spellings are distinct, so a hash table finds the same entry as
// a search in table order would.
const std::unordered_map<std::string_view, std::uint8_t>& KeywordTable() {
  static const auto table = [] {
    std::unordered_map<std::string_view, std::uint8_t> t;
    for (int code = kFirstKeyword; code < tkNumber; ++code) t.emplace(kSpellings[code], code);
    return t;
  }();
  return table;
}

int LookUpOperator(std::string_view text) {
  for (int code = 0; code < kOperatorCount; ++code) {
    if (text == kSpellings[code]) return code;
  }
  return -1;
}

bool IsWhite(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsIdentStart(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '-'; }
bool IsIdentChar(int c) { return IsIdentStart(c) || IsDigit(c); }
bool IsOperator(int c) { return c == '{' || c == '}' || c == ':' || c == ',' || c == ';'; }

}  // namespace

const char* TokenSpelling(std::uint8_t kind) { return kind < tkNumber ? kSpellings[kind] : ""; }

MScanner::MScanner() {
  Reset();
  Current = ReadChar();
}

void MScanner::Reset() {
  FileName.clear();
  Lines.clear();
  Column = 1;
  LineIndex = 0;
}

void MScanner::Open(const std::string& fileName) {
  OpenText(fileName, ReadWholeFile(fileName, kMaxLayoutFileSize));
}

void MScanner::OpenText(const std::string& fileName, const std::string& text) {
  Reset();
  FileName = fileName;
  Lines = base::SplitLines(text);
  for (std::string& line : Lines) line.push_back('\r');
  Current = ReadChar();
}

int MScanner::ReadChar() {
  if (LineIndex >= static_cast<std::int32_t>(Lines.size())) return kEndOfFile;
  const std::string& line = Lines[LineIndex];
  const int c = static_cast<unsigned char>(line[Column - 1]);
  ++Column;
  if (Column > static_cast<std::int32_t>(line.size())) {
    Column = 1;
    ++LineIndex;
  }
  return c;
}

// Steps back one character. Once the last carriage return of the file has been read the position
// stays past the end; the character lost that way is only white space.
void MScanner::UnreadChar() {
  if (LineIndex >= static_cast<std::int32_t>(Lines.size())) return;
  --Column;
  if (Column < 1) {
    --LineIndex;
    if (LineIndex < 0) {
      Column = 1;
      LineIndex = 0;
    } else {
      Column = static_cast<std::int32_t>(Lines[LineIndex].size());
    }
  }
}

bool MScanner::IsCommentStart() {
  const int next = ReadChar();
  UnreadChar();
  return Current == '/' && (next == '*' || next == '/');
}

void MScanner::SkipWhitespace() {
  while (IsWhite(Current)) Current = ReadChar();
}

void MScanner::SkipComment() {
  const int second = ReadChar();
  Current = ReadChar();
  if (second == '/') {
    while (Current != '\n' && Current != '\r' && Current != kEndOfFile) Current = ReadChar();
    return;
  }
  // Block comment: a window of the last two characters read; "/*/" does not close, "/**/" does.
  int w0 = kEndOfFile, w1 = kEndOfFile;
  while (!(w0 == '*' && w1 == '/') && Current != kEndOfFile) {
    w0 = Current;
    Current = ReadChar();
    w1 = Current;
  }
  Current = ReadChar();
}

void MScanner::NextToken(MToken& token) {
  token.Kind = tkEOF;
  token.Text.clear();
  token.Line = 0;

  while (true) {
    if (IsWhite(Current)) {
      SkipWhitespace();
    } else if (Current == '/' && IsCommentStart()) {
      SkipComment();
    } else {
      break;
    }
  }
  if (Current == kEndOfFile) return;

  if (Current == '"' || Current == '\'') {
    token.Kind = tkString;
    token.Line = LineIndex + 1;
    const int quote = Current;
    Current = ReadChar();
    while (Current != quote && Current != kEndOfFile && Current != '\n' && Current != '\r') {
      token.Text.push_back(static_cast<char>(Current));
      Current = ReadChar();
    }
    Current = ReadChar();  // the closing quote, or the line end of an unterminated string
    return;
  }

  if (Current == '-') {
    Current = ReadChar();
    if (IsDigit(Current)) {
      token.Text = "-";
    } else {
      UnreadChar();
      Current = '-';
    }
  }

  if (IsDigit(Current)) {
    token.Kind = tkNumber;
    token.Line = LineIndex + 1;
    while (IsDigit(Current)) {
      token.Text.push_back(static_cast<char>(Current));
      Current = ReadChar();
    }
    if (Current == '.') {
      token.Text.push_back('.');
      Current = ReadChar();
      while (IsDigit(Current)) {
        token.Text.push_back(static_cast<char>(Current));
        Current = ReadChar();
      }
    }
    return;
  }

  if (IsIdentStart(Current)) {
    token.Kind = tkIdent;
    token.Line = LineIndex + 1;
    while (IsIdentChar(Current)) {
      token.Text.push_back(static_cast<char>(Current));
      Current = ReadChar();
    }
    const auto& keywords = KeywordTable();
    if (const auto it = keywords.find(token.Text); it != keywords.end()) token.Kind = it->second;
    return;
  }

  if (IsOperator(Current)) {
    // Longest match first; with the present table every operator is a single character.
    token.Line = LineIndex + 1;
    const std::string single(1, static_cast<char>(Current));
    const int next = ReadChar();
    int code = next == kEndOfFile ? -1 : LookUpOperator(single + static_cast<char>(next));
    if (code < 0) {
      UnreadChar();
      code = LookUpOperator(single);
    }
    if (code >= 0) {
      token.Kind = static_cast<std::uint8_t>(code);
      token.Text = kSpellings[code];
    } else {
      token.Kind = tkError;
      token.Text = "ERROR : invalid operator. '" + single + "'";
    }
    Current = ReadChar();
    return;
  }

  token.Kind = tkError;
  token.Text = std::string("ERROR : invalid character. '") + static_cast<char>(Current) + "'";
  token.Line = LineIndex + 1;
  Current = ReadChar();
}
