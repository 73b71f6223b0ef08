#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Sjis.h"
#include "layout/Scanner.h"

namespace {

struct Tok {
  int kind;
  std::string text;
  int line;
};

// Every token of text up to and including the end-of-file token.
std::vector<Tok> Scan(const std::string& text) {
  MScanner scanner;
  scanner.OpenText("mem.lay", text);
  std::vector<Tok> tokens;
  MToken token;
  // Each token takes at least one character, so more tokens than characters would be a hang.
  for (std::size_t guard = 0; guard <= text.size() + 1; ++guard) {
    scanner.NextToken(token);
    tokens.push_back({token.Kind, token.Text, token.Line});
    if (token.Kind == tkEOF) return tokens;
  }
  ADD_FAILURE() << "the scanner does not reach the end of the file";
  return tokens;
}

std::vector<int> Kinds(const std::string& text) {
  std::vector<int> kinds;
  for (const Tok& t : Scan(text)) kinds.push_back(t.kind);
  return kinds;
}

TEST(Scanner, TokenKindCodesAreFixed) {
  static_assert(tkLBrace == 0 && tkSemicolon == 4 && tkSetting == 5 && tkFaceElement == 17 && tkLine == 21);
  static_assert(tkDataType == 28 && tkFormat == 38 && tkX == 43 && tkStrokeWidth == 51 && tkBlack == 61);
  static_assert(tkFontFamily == 68 && tkAlign == 75 && tkTrue == 80 && tkVisible == 83);
  static_assert(tkNumber == 84 && tkString == 85 && tkIdent == 86 && tkEOF == 87 && tkError == 88);
  static_assert(kTokenKindCount == 89);
}

TEST(Scanner, EverySpellingGivesItsOwnKind) {
  std::string text;
  for (int kind = 0; kind < tkNumber; ++kind) text += std::string(TokenSpelling(kind)) + "\n";
  const std::vector<Tok> tokens = Scan(text);
  ASSERT_EQ(tokens.size(), static_cast<std::size_t>(tkNumber) + 1);
  for (int kind = 0; kind < tkNumber; ++kind) {
    EXPECT_EQ(tokens[kind].kind, kind) << TokenSpelling(kind);
    EXPECT_EQ(tokens[kind].text, TokenSpelling(kind));
    EXPECT_EQ(tokens[kind].line, kind + 1);
  }
  EXPECT_EQ(std::string(TokenSpelling(tkStringType)), "string");
  EXPECT_EQ(std::string(TokenSpelling(tkIdent)), "");
}

TEST(Scanner, EmptyInputAndEndOfFile) {
  for (const std::string text : {"", " \t\r\n", "\n\n\n", "// only a comment", "/* only a comment */"}) {
    const std::vector<Tok> tokens = Scan(text);
    ASSERT_EQ(tokens.size(), 1u) << text;
    EXPECT_EQ(tokens[0].kind, tkEOF);
    EXPECT_EQ(tokens[0].line, 0);
    EXPECT_EQ(tokens[0].text, "");
  }
  // Once at the end, it stays there.
  MScanner scanner;
  scanner.OpenText("x", "box");
  MToken token;
  scanner.NextToken(token);
  EXPECT_EQ(token.Kind, tkBox);
  for (int i = 0; i < 3; ++i) {
    scanner.NextToken(token);
    EXPECT_EQ(token.Kind, tkEOF);
    EXPECT_EQ(token.Line, 0);
  }
}

TEST(Scanner, Comments) {
  const std::vector<Tok> a = Scan("/* comment */box");
  EXPECT_EQ(a[0].kind, tkBox);
  EXPECT_EQ(a[0].line, 1);

  const std::vector<Tok> b = Scan("// line { comment\nbox");
  EXPECT_EQ(b[0].kind, tkBox);
  EXPECT_EQ(b[0].line, 2);

  EXPECT_EQ(Kinds("box /* never closed\nline { }"), (std::vector<int>{tkBox, tkEOF}));
  // "/*/" does not close the comment it opens; "/**/" is a whole comment.
  EXPECT_EQ(Kinds("/*/ box */ line"), (std::vector<int>{tkLine, tkEOF}));
  EXPECT_EQ(Kinds("/**/box/**/"), (std::vector<int>{tkBox, tkEOF}));
  // A comment spanning lines; the next token keeps its physical line.
  const std::vector<Tok> c = Scan("/*\r\n\r\n*/ circle");
  EXPECT_EQ(c[0].kind, tkCircle);
  EXPECT_EQ(c[0].line, 3);
  // Shift-JIS text inside comments.
  EXPECT_EQ(Kinds(base::Utf8ToSjis("/* 表ソ能 */ text // 予定表\nform")),
            (std::vector<int>{tkText, tkForm, tkEOF}));
}

TEST(Scanner, Strings) {
  const std::vector<Tok> a = Scan("'a\"b' \"c'd\" ''");
  EXPECT_EQ(a[0].kind, tkString);
  EXPECT_EQ(a[0].text, "a\"b");
  EXPECT_EQ(a[1].text, "c'd");
  EXPECT_EQ(a[2].kind, tkString);
  EXPECT_EQ(a[2].text, "");

  // An unterminated string ends at its line's end; the next token starts on the next line.
  const std::vector<Tok> b = Scan("value: 'abc ;\r\nbox");
  ASSERT_EQ(b.size(), 5u);
  EXPECT_EQ(b[2].kind, tkString);
  EXPECT_EQ(b[2].text, "abc ;");
  EXPECT_EQ(b[3].kind, tkBox);
  EXPECT_EQ(b[3].line, 2);

  // Double-byte characters whose second byte is a backslash or a quote-like byte stay whole.
  const std::string japanese = base::Utf8ToSjis("表示ソフト「能」");
  const std::vector<Tok> c = Scan("\"" + japanese + "\"");
  EXPECT_EQ(c[0].text, japanese);
  // Comment openers inside strings are text.
  EXPECT_EQ(Scan("'/* x */'")[0].text, "/* x */");
}

TEST(Scanner, Numbers) {
  const std::vector<Tok> a = Scan("-12.50 5. 007");
  EXPECT_EQ(a[0].kind, tkNumber);
  EXPECT_EQ(a[0].text, "-12.50");
  EXPECT_EQ(a[1].text, "5.");
  EXPECT_EQ(a[2].text, "007");

  const std::vector<Tok> b = Scan("- 5");
  EXPECT_EQ(b[0].kind, tkIdent);
  EXPECT_EQ(b[0].text, "-");
  EXPECT_EQ(b[1].kind, tkNumber);
  EXPECT_EQ(b[1].text, "5");

  const std::vector<Tok> c = Scan("1.2.3");
  ASSERT_EQ(c.size(), 4u);
  EXPECT_EQ(c[0].text, "1.2");
  EXPECT_EQ(c[1].kind, tkError);
  EXPECT_EQ(c[1].text, "ERROR : invalid character. '.'");
  EXPECT_EQ(c[2].text, "3");

  const std::vector<Tok> d = Scan(".5");
  EXPECT_EQ(d[0].kind, tkError);
  EXPECT_EQ(d[1].kind, tkNumber);
  EXPECT_EQ(d[1].text, "5");

  // A minus sign followed by letters starts an identifier, also at the very end of the file.
  EXPECT_EQ(Scan("-abc")[0].text, "-abc");
  const std::vector<Tok> e = Scan("-");
  EXPECT_EQ(e[0].kind, tkIdent);
  EXPECT_EQ(e[0].text, "-");
  EXPECT_EQ(e[1].kind, tkEOF);
}

TEST(Scanner, IdentifiersAndKeywords) {
  EXPECT_EQ(Kinds("stroke-width stroke_width x1 x12 Setting setting _a"),
            (std::vector<int>{tkStrokeWidth, tkIdent, tkX1, tkIdent, tkIdent, tkSetting, tkIdent, tkEOF}));
  EXPECT_EQ(Scan("x12")[0].text, "x12");
  EXPECT_EQ(Kinds("{}"), (std::vector<int>{tkLBrace, tkRBrace, tkEOF}));
  EXPECT_EQ(Kinds("a:b,c;"),
            (std::vector<int>{tkIdent, tkColon, tkIdent, tkComma, tkIdent, tkSemicolon, tkEOF}));
  // A keyword running into other identifier characters is an identifier.
  EXPECT_EQ(Kinds("boxes box-1"), (std::vector<int>{tkIdent, tkIdent, tkEOF}));
}

TEST(Scanner, InvalidCharacters) {
  const std::vector<Tok> a = Scan("box = # / }");
  ASSERT_EQ(a.size(), 6u);
  EXPECT_EQ(a[1].kind, tkError);
  EXPECT_EQ(a[1].text, "ERROR : invalid character. '='");
  EXPECT_EQ(a[1].line, 1);
  EXPECT_EQ(a[2].text, "ERROR : invalid character. '#'");
  EXPECT_EQ(a[3].text, "ERROR : invalid character. '/'");
  EXPECT_EQ(a[4].kind, tkRBrace);

  // Half of a double-byte character, a NUL byte, a lone slash at the very end.
  const std::vector<Tok> b = Scan(std::string("box\n\x82", 5));
  EXPECT_EQ(b[1].kind, tkError);
  EXPECT_EQ(b[1].text, "ERROR : invalid character. '\x82'");
  EXPECT_EQ(b[1].line, 2);
  EXPECT_EQ(b[2].kind, tkEOF);
  const std::vector<Tok> c = Scan(std::string("a\0b", 3));
  EXPECT_EQ(c[1].kind, tkError);
  EXPECT_EQ(c[1].text, std::string("ERROR : invalid character. '") + '\0' + "'");
  EXPECT_EQ(c[2].text, "b");
  EXPECT_EQ(Kinds("box /"), (std::vector<int>{tkBox, tkError, tkEOF}));
}

TEST(Scanner, LineNumbersCountPhysicalLines) {
  const std::vector<Tok> a = Scan("a\rb\nc\r\nd\r\n\r\ne\n\rf");
  std::vector<int> lines;
  for (const Tok& t : a) lines.push_back(t.line);
  EXPECT_EQ(lines, (std::vector<int>{1, 2, 3, 4, 6, 8, 0}));
}

TEST(Scanner, ReopeningStartsAfresh) {
  MScanner scanner;
  scanner.OpenText("one", "form box");
  MToken token;
  scanner.NextToken(token);
  scanner.OpenText("two", "\n\nline");
  scanner.NextToken(token);
  EXPECT_EQ(token.Kind, tkLine);
  EXPECT_EQ(token.Line, 3);
  EXPECT_EQ(scanner.FileName, "two");

  MToken copy;
  copy.Assign(token);
  EXPECT_EQ(copy.Kind, tkLine);
  EXPECT_EQ(copy.Text, "line");
  EXPECT_EQ(copy.Line, 3);
}

}  // namespace
