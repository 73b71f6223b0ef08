#include <gtest/gtest.h>

#include <random>

#include "base/CommaText.h"
#include "base/Sjis.h"

using base::DecodeCommaText;
using base::EncodeCommaText;
using Row = std::vector<std::string>;

namespace {

std::string Sjis(const char* utf8) { return base::Utf8ToSjis(utf8); }

}  // namespace

TEST(CommaText, QuotesOnlyItemsThatNeedIt) {
  EXPECT_EQ(EncodeCommaText({"item", "12", "tea.png"}), "item,12,tea.png");
  EXPECT_EQ(EncodeCommaText({"a b", "x,y", "say \"hi\"", "tab\there"}),
            "\"a b\",\"x,y\",\"say \"\"hi\"\"\",\"tab\there\"");
  EXPECT_EQ(EncodeCommaText({"a", "", "b"}), "a,,b");
  EXPECT_EQ(EncodeCommaText({""}), "\"\"");
  EXPECT_EQ(EncodeCommaText({"", ""}), ",");
  EXPECT_EQ(EncodeCommaText({}), "");
  // An item is quoted for a blank or control byte, a quote or a comma, not for other punctuation.
  EXPECT_EQ(EncodeCommaText({"a=b", "<br>", "x;y", "[z]"}), "a=b,<br>,x;y,[z]");
}

TEST(CommaText, ReadsItemsBetweenCommasAndBlanks) {
  EXPECT_EQ(DecodeCommaText("  a , b\t,c  "), (Row{"a", "b", "c"}));
  EXPECT_EQ(DecodeCommaText("a b"), (Row{"a", "b"}));  // an unquoted blank ends an item
  EXPECT_EQ(DecodeCommaText("a,,b"), (Row{"a", "", "b"}));
  EXPECT_EQ(DecodeCommaText(",a"), (Row{"", "a"}));
  EXPECT_EQ(DecodeCommaText("a,"), (Row{"a", ""}));
  EXPECT_EQ(DecodeCommaText(","), (Row{"", ""}));
  EXPECT_EQ(DecodeCommaText("\"a \"\"q\"\" b\",c"), (Row{"a \"q\" b", "c"}));
  EXPECT_EQ(DecodeCommaText("\"\""), (Row{""}));
  EXPECT_EQ(DecodeCommaText(""), Row{});
  EXPECT_EQ(DecodeCommaText(" \t "), Row{});
}

TEST(CommaText, ReadsMalformedTextWithoutLosingBytes) {
  EXPECT_EQ(DecodeCommaText("\"open, never closed"), (Row{"open, never closed"}));
  EXPECT_EQ(DecodeCommaText("a,\"b"), (Row{"a", "b"}));
  EXPECT_EQ(DecodeCommaText("\"ab\"cd,e"), (Row{"ab", "cd", "e"}));  // text after a closing quote
  EXPECT_EQ(DecodeCommaText("x\"y"), (Row{"x\"y"}));                 // a quote inside a plain item
  EXPECT_EQ(DecodeCommaText("\""), (Row{""}));
}

TEST(CommaText, ShiftJisCharactersAreNeverTakenApart) {
  // Second bytes 0x5C ("\"), 0x7C ("|") and 0x40 ("@", the second byte of the full-width blank).
  const std::string hyo = Sjis("表"), so = Sjis("ソ"), bar = Sjis("ポ"), wide = Sjis("商品　名");
  ASSERT_EQ(hyo[1], '\\');
  ASSERT_EQ(so[1], '\\');
  const Row row{so + hyo, bar, wide, Sjis("価格 ") + hyo};
  const std::string text = EncodeCommaText(row);
  EXPECT_EQ(text, so + hyo + "," + bar + "," + wide + ",\"" + Sjis("価格 ") + hyo + "\"");
  EXPECT_EQ(DecodeCommaText(text), row);
}

TEST(CommaText, LineBreaksAndZeroBytesStayInsideTheirItem) {
  const Row row{"memo", "two\r\nlines", "cr\rlf\n", std::string("nul\0byte", 8), "\"r", "\"\n\""};
  const std::string text = EncodeCommaText(row);
  EXPECT_EQ(text.find_first_of(std::string("\r\n\0", 3)), std::string::npos) << text;
  EXPECT_EQ(DecodeCommaText(text), row);
  // A raw zero byte ends the text, as it ends the clipboard's.
  EXPECT_EQ(DecodeCommaText(std::string("a,b\0,c", 6)), (Row{"a", "b"}));
}

TEST(CommaText, FirstItemIsNeverReadAsACommentOrSectionHeader) {
  EXPECT_EQ(EncodeCommaText({";note", "x"}), "\";note\",x");
  EXPECT_EQ(EncodeCommaText({"[map_data]"}), "\"[map_data]\"");
  EXPECT_EQ(EncodeCommaText({"x", ";y", "[z]"}), "x,;y,[z]");
}

TEST(CommaText, BrokenLeadByteDoesNotSwallowTheComma) {
  // A lead byte with nothing of its character after it, at the end of an item.
  const Row row{"a\x81", "b\x95", "\x81"};
  EXPECT_EQ(DecodeCommaText(EncodeCommaText(row)), row);
  EXPECT_EQ(DecodeCommaText("x\x81,y"), (Row{"x\x81", "y"}));
}

TEST(CommaText, EveryRowReadsBackAsWritten) {
  std::mt19937 rng(20240611);
  // Bytes that shape rows and files, Shift-JIS lead and second bytes, and plain letters.
  const std::string alphabet = std::string("\0\t\r\n \",;[]=\"ab\x81\x95\x5C\x40\xFC", 20) + "xyz";
  for (int round = 0; round < 20000; ++round) {
    Row row(rng() % 5);
    for (std::string& item : row) {
      const std::size_t len = rng() % 6;
      for (std::size_t i = 0; i < len; ++i) {
        item += (rng() % 8 == 0) ? static_cast<char>(rng() % 256) : alphabet[rng() % alphabet.size()];
      }
    }
    const std::string text = EncodeCommaText(row);
    ASSERT_EQ(DecodeCommaText(text), row) << "encoded as [" << text << "]";
  }
}

TEST(CommaText, AnyTextReadsIntoARowThatRoundTrips) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20000; ++round) {
    std::string text(rng() % 24, '\0');
    for (char& c : text) c = "\"\", ab\x81\t\0"[rng() % 9];
    if (!text.empty() && round % 4 == 0) text[rng() % text.size()] = static_cast<char>(rng());
    const Row row = DecodeCommaText(text);
    ASSERT_EQ(DecodeCommaText(EncodeCommaText(row)), row) << "from [" << text << "]";
  }
}
