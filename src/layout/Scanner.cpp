#include "layout/Scanner.h"

#include <array>
#include <string_view>
#include <vector>

#include "layout/TextFile.h"

namespace {

// The spellings of the punctuation (codes 0-4) and keyword (codes 5-83) kinds, in code order.
// clang-format off
constexpr std::array<std::string_view, tkNumber> kSpellings = {
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

// Keyword look-up by spelling: the keywords grouped by their first letter (all are lower-case
// words), each group in table order, so that an identifier is compared with a handful of spellings.
// The spellings are distinct, so this finds the entry that a search in table order would.
struct KeywordIndex {
  std::array<std::vector<std::uint8_t>, 26> byFirstLetter;
  KeywordIndex() {
    for (int code = kFirstKeyword; code < tkNumber; ++code)
      byFirstLetter[kSpellings[code][0] - 'a'].push_back(code);
  }
  int Find(std::string_view text) const {
    if (text.empty() || text[0] < 'a' || text[0] > 'z') return -1;
    for (const std::uint8_t code : byFirstLetter[text[0] - 'a']) {
      if (kSpellings[code] == text) return code;
    }
    return -1;
  }
};

const KeywordIndex& Keywords() {
  static const KeywordIndex index;
  return index;
}

// The operator spelled by text, or -1.
int LookUpOperator(std::string_view text) {
  for (int code = 0; code < kOperatorCount; ++code) {
    if (text == kSpellings[code]) return code;
  }
  return -1;
}

// Whether any operator is longer than one character; with the present table none is, and the scanner
// then never needs to look a character ahead for one.
constexpr bool kHasLongOperators = [] {
  for (int code = 0; code < kOperatorCount; ++code) {
    if (kSpellings[code].size() > 1) return true;
  }
  return false;
}();

bool IsWhite(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsIdentStart(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '-'; }
bool IsIdentChar(int c) { return IsIdentStart(c) || IsDigit(c); }
bool IsOperator(int c) { return c == '{' || c == '}' || c == ':' || c == ',' || c == ';'; }

}  // namespace

// The spellings are literals, so their views end in a zero byte.
const char* TokenSpelling(std::uint8_t kind) { return kind < tkNumber ? kSpellings[kind].data() : ""; }

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
  // Lines end at CR LF, CR or LF; a break at the very end starts no further line. Each line gets
  // one carriage return, so no line is empty.
  const std::size_t size = text.size();
  std::size_t start = 0;
  while (start < size) {
    std::size_t end = start;
    while (end < size && text[end] != '\r' && text[end] != '\n') ++end;
    std::string& line = Lines.emplace_back();
    line.reserve(end - start + 1);
    line.append(text, start, end - start);
    line.push_back('\r');
    if (end == size) break;
    start = end + ((text[end] == '\r' && end + 1 < size && text[end + 1] == '\n') ? 2 : 1);
  }
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

// Appends Current and the characters after it for which pred holds, then reads the first one for
// which it does not. A run never crosses a line end, as pred is false for the carriage return that
// ends every line, so it can be taken from the line in one piece.
template <class Pred>
void MScanner::TakeWhile(Pred pred, std::string& out) {
  out.push_back(static_cast<char>(Current));
  if (LineIndex < static_cast<std::int32_t>(Lines.size())) {
    const std::string& line = Lines[LineIndex];
    std::size_t end = static_cast<std::size_t>(Column - 1);
    const std::size_t start = end;
    while (end < line.size() && pred(static_cast<unsigned char>(line[end]))) ++end;
    out.append(line, start, end - start);
    Column = static_cast<std::int32_t>(end + 1);
    if (Column > static_cast<std::int32_t>(line.size())) {  // the run took the line's last character
      Column = 1;
      ++LineIndex;
    }
  }
  Current = ReadChar();
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
    if (Current != quote && Current != kEndOfFile && Current != '\n' && Current != '\r') {
      TakeWhile([quote](int c) { return c != quote && c != '\n' && c != '\r'; }, token.Text);
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
    TakeWhile(IsDigit, token.Text);
    if (Current == '.') {
      token.Text.push_back('.');
      Current = ReadChar();
      if (IsDigit(Current)) TakeWhile(IsDigit, token.Text);
    }
    return;
  }

  if (IsIdentStart(Current)) {
    token.Kind = tkIdent;
    token.Line = LineIndex + 1;
    TakeWhile(IsIdentChar, token.Text);
    if (const int code = Keywords().Find(token.Text); code >= 0) token.Kind = static_cast<std::uint8_t>(code);
    return;
  }

  if (IsOperator(Current)) {
    // Longest match first.
    token.Line = LineIndex + 1;
    const char single[2] = {static_cast<char>(Current), '\0'};
    int code = -1;
    if (kHasLongOperators) {
      const int next = ReadChar();
      if (next != kEndOfFile) code = LookUpOperator(std::string{single[0], static_cast<char>(next)});
      if (code < 0) UnreadChar();
    }
    if (code < 0) code = LookUpOperator(single);
    if (code >= 0) {
      token.Kind = static_cast<std::uint8_t>(code);
      token.Text = kSpellings[code];
    } else {
      token.Kind = tkError;
      token.Text = std::string("ERROR : invalid operator. '") + single + "'";
    }
    Current = ReadChar();
    return;
  }

  token.Kind = tkError;
  token.Text = std::string("ERROR : invalid character. '") + static_cast<char>(Current) + "'";
  token.Line = LineIndex + 1;
  Current = ReadChar();
}
