// The tokenizer of the layout language.
//
// A layout file is read byte by byte (Shift-JIS bytes are only allowed inside strings and comments).
// The scanner never fails: a character that starts no token comes out as a tkError token whose text
// is the message, and the loader reports it like any other unexpected token.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Token kinds. 0-83 are the punctuation and keyword spellings, in the order of the tables in
// Scanner.cpp; the code is the position in that order.
enum MTokenKind : std::uint8_t {
  tkLBrace,
  tkRBrace,
  tkColon,
  tkComma,
  tkSemicolon,
  // section and setting words
  tkSetting,
  tkForm,
  tkBlock,
  tkScale,
  tkDefault,
  tkUnit,
  tkMm,
  tkCm,
  tkIn,
  tkPrint,
  tkPaperFit,
  tkNewLine,
  // block element roles
  tkFaceElement,
  tkThumbnailElement,
  tkKeyElement,
  tkSearchElement,
  // element kinds and value
  tkLine,
  tkBox,
  tkCircle,
  tkImage,
  tkBarcode,
  tkValue,
  tkText,
  // data types; the keyword "string" is tkStringType, as tkString is the kind of a quoted string
  tkDataType,
  tkInteger,
  tkFloat,
  tkDate,
  tkStringType,
  tkMemo,
  tkCreateDate,
  tkNowDate,
  tkNowPage,
  tkTotalPage,
  // format, grid points, block types
  tkFormat,
  tkGridPoint,
  tkBlockType,
  tkAll,
  tkNone,
  // geometry
  tkX,
  tkY,
  tkX1,
  tkY1,
  tkX2,
  tkY2,
  tkWidth,
  tkHeight,
  // stroke and fill
  tkStrokeWidth,
  tkStrokeStyle,
  tkSolid,
  tkDash,
  tkDot,
  tkDashDot,
  tkDashDotDot,
  tkStroke,
  tkFillStyle,
  tkFill,
  // colours
  tkBlack,
  tkWhite,
  tkGray,
  tkLightGray,
  tkBlue,
  tkRed,
  tkGreen,
  // font
  tkFontFamily,
  tkFontSize,
  tkFontStyle,
  tkNormal,
  tkItalic,
  tkFontWeight,
  tkBold,
  // alignment and stretch
  tkAlign,
  tkLeft,
  tkCenter,
  tkRight,
  tkStretch,
  // truth values and flags
  tkTrue,
  tkFalse,
  tkEditable,
  tkVisible,
  // the rest
  tkNumber,
  tkString,
  tkIdent,
  tkEOF,
  tkError,
};

inline constexpr int kTokenKindCount = tkError + 1;

// The spelling of a punctuation or keyword kind ("{", "stroke-width"); empty for the other kinds.
const char* TokenSpelling(std::uint8_t kind);

struct MToken {
  std::uint8_t Kind = tkEOF;
  std::string Text;       // the characters; a string's contents without quotes; an error's message
  std::int32_t Line = 0;  // 1-based line of the first character; 0 for the end of the file

  void Assign(const MToken& source) { *this = source; }
};

class MScanner {
 public:
  // The current character is a byte 0-255, or this sentinel once the lines are exhausted.
  static constexpr int kEndOfFile = -1;

  MScanner();

  // Forgets the file: no lines, position at the start (the current character is left as it is).
  void Reset();
  // Reads the file (a Shift-JIS path) and moves to its first character. The caller has checked that
  // it exists; a file that cannot be read throws base::Error naming it and the system's reason.
  void Open(const std::string& fileName);
  // Reads text as if it were a file's contents (the loader's tests and tools).
  void OpenText(const std::string& fileName, const std::string& text);
  // Fills token with the next token; after the last one every call gives tkEOF with line 0.
  void NextToken(MToken& token);

  std::string FileName;
  std::vector<std::string> Lines;  // each with one carriage return appended
  std::int32_t Column = 1;         // 1-based, in Lines[LineIndex], of the next character to read
  std::int32_t LineIndex = 0;      // 0-based line of the next character to read
  int Current = kEndOfFile;

 private:
  int ReadChar();
  void UnreadChar();
  bool IsCommentStart();
  void SkipWhitespace();
  void SkipComment();
  template <class Pred>
  void TakeWhile(Pred pred, std::string& out);
};
