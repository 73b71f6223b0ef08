#include "base/Sjis.h"

#include <gtest/gtest.h>

using namespace base;

namespace {
// "表" is 95 5C in Shift-JIS: its second byte is the backslash. "ソ" is 83 5C, "ａ" 82 81, "Ａ" 82 60.
const std::string kHyo = "\x95\x5C";
const std::string kSo = "\x83\x5C";
const std::string kFullA = "\x82\x60";
const std::string kFullSmallA = "\x82\x81";
}  // namespace

TEST(Sjis, CountsDoubleByteCharactersAsOne) {
  EXPECT_EQ(CharCount(""), 0u);
  EXPECT_EQ(CharCount("abc"), 3u);
  EXPECT_EQ(CharCount(kHyo + "a" + kSo), 3u);
  // Half a character at the end is one character of one byte.
  EXPECT_EQ(CharCount("a\x95"), 2u);
  EXPECT_EQ(CharOffset(kHyo + "ab", 1), 2u);
  EXPECT_EQ(CharOffset(kHyo + "ab", 9), 4u);
  EXPECT_EQ(CharPrefix(kHyo + kSo + "x", 2), kHyo + kSo);
  EXPECT_TRUE(IsTrailByteAt(kHyo, 1));
  EXPECT_FALSE(IsTrailByteAt(kHyo, 0));
  EXPECT_FALSE(IsTrailByteAt("a\\", 1));
}

TEST(Sjis, UpperCaseFoldsLatinAndFullWidthButNeverSecondBytes) {
  EXPECT_EQ(UpperCase("abcXYZ09_"), "ABCXYZ09_");
  EXPECT_EQ(UpperCase(kFullSmallA), kFullA);
  // 88 61 is a kanji whose second byte is "a": it must stay as it is.
  const std::string kanji = "\x88\x61";
  EXPECT_EQ(UpperCase(kanji + "a"), kanji + "A");
}

TEST(Sjis, ComparesWithoutRegardToCase) {
  EXPECT_TRUE(SameText("Form1.Box2", "FORM1.box2"));
  EXPECT_FALSE(SameText("form1", "form12"));
  EXPECT_TRUE(SameText(kFullSmallA, kFullA));
  EXPECT_FALSE(SameText("\x88\x61", "\x88\x41"));  // different kanji, not a case pair
  EXPECT_LT(CompareText("apple", "BANANA"), 0);
  EXPECT_GT(CompareText("b", "A"), 0);
  EXPECT_EQ(CompareText("abc", "ABC"), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
}

TEST(Sjis, FindsOnlyOnCharacterBoundaries) {
  // The backslash inside "表" is not a backslash of the text.
  EXPECT_EQ(FindBytes(kHyo, "\\"), std::string::npos);
  EXPECT_EQ(FindBytes(kHyo + "\\", "\\"), 2u);
  EXPECT_EQ(FindBytes("abcabc", "c", 3), 5u);
  EXPECT_TRUE(ContainsText("Product NAME list", "name"));
  EXPECT_FALSE(ContainsText("\x88\x61", "a"));
  EXPECT_TRUE(ContainsText("x" + kFullA + "y", kFullSmallA));
}

TEST(Sjis, ReplacesEveryOccurrence) {
  EXPECT_EQ(ReplaceText("<Img>\\a<img>\\b", "<IMG>", "/pics"), "/pics\\a/pics\\b");
  EXPECT_EQ(ReplaceBytes("a<br>b<br>", "<br>", "\r\n"), "a\r\nb\r\n");
  EXPECT_EQ(ReplaceBytes("abc", "", "x"), "abc");
  // "ソ" followed by "ン" is 83 5C 83 93: the 5C is no backslash to replace.
  EXPECT_EQ(ReplaceBytes(kSo + "\\", "\\", "/"), kSo + "/");
}

TEST(Sjis, TrimsBlanksAndControlBytes) {
  EXPECT_EQ(Trim(std::string_view(" \t\x01" "a b\r\n\0", 9)), "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
}

TEST(Sjis, SplitsLinesAtEveryKindOfBreak) {
  EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n"), std::vector<std::string>{"a"});
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_EQ(SplitLines("\n\r"), (std::vector<std::string>{"", ""}));
}

TEST(Sjis, ConvertsToAndFromUtf8) {
  // "ＭＳ Ｐゴシック"
  const std::string sjis = "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
  const std::string utf8 = "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF";
  EXPECT_EQ(SjisToUtf8(sjis), utf8);
  EXPECT_EQ(Utf8ToSjis(utf8), sjis);
  EXPECT_EQ(SjisToUtf8(kHyo), "\xE8\xA1\xA8");
  // Half-width katakana and the code page's own mappings.
  EXPECT_EQ(SjisToUtf8("\xB1"), "\xEF\xBD\xB1");
  EXPECT_EQ(SjisToUtf8("\x81\x60"), "\xEF\xBD\x9E");
  // Broken input never stops the conversion.
  EXPECT_EQ(SjisToUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(SjisToUtf8("a\x95"), "a\xEF\xBF\xBD");
  EXPECT_EQ(Utf8ToSjis("a\xF0\x9F\x98\x80" "b"), "a?b");  // an emoji has no Shift-JIS code
  EXPECT_EQ(Utf8ToSjis("a\xC3"), "a?");
  EXPECT_EQ(SjisToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}
