#include <gtest/gtest.h>

#include "base/Csv.h"
#include "base/Error.h"
#include "base/Sjis.h"

using base::CsvEncoding;
using Rows = std::vector<std::vector<std::string>>;

namespace {

std::string Sjis(const char* utf8) { return base::Utf8ToSjis(utf8); }

struct Variant {
  const char* name;
  std::string bytes;
  CsvEncoding encoding;  // as detected
  char separator;        // as detected
  Rows rows;             // Shift-JIS
  std::vector<int> lines;
};

}  // namespace

TEST(Csv, ReadsTheVariantsPeopleWrite) {
  const std::string bom = "\xEF\xBB\xBF";
  const CsvEncoding u = CsvEncoding::Utf8;
  // clang-format off
  const Variant variants[] = {
      {"plain, LF, no final break", "a,b\n1,2", u, ',', {{"a", "b"}, {"1", "2"}}, {1, 2}},
      {"UTF-8 with a byte order mark, CR LF", bom + "名前,値\r\n茶,1\r\n", u, ',',
       {{Sjis("名前"), Sjis("値")}, {Sjis("茶"), "1"}}, {1, 2}},
      {"Shift-JIS with a second byte 0x5C", Sjis("表示,ソ\r\n"), CsvEncoding::Sjis, ',', {{Sjis("表示"), Sjis("ソ")}}, {1}},
      {"tabs", "a\tb,c\tx\n1\t2\t3\n", u, '\t', {{"a", "b,c", "x"}, {"1", "2", "3"}}, {1, 2}},
      {"semicolons", "a;b;c\n1;2,5;3\n", u, ';', {{"a", "b", "c"}, {"1", "2,5", "3"}}, {1, 2}},
      {"quotes, doubled quotes, line breaks inside", "k,v\r\n\"a,b\",\"say \"\"hi\"\"\"\r\n\"x\r\ny\",z\r\nlast,1\r\n", u, ',',
       {{"k", "v"}, {"a,b", "say \"hi\""}, {"x\r\ny", "z"}, {"last", "1"}}, {1, 2, 3, 5}},
      {"blank lines, empty fields, a short record", "\na,b,c\n\n,,\nx\n", u, ',', {{"a", "b", "c"}, {"", "", ""}, {"x"}}, {2, 4, 5}},
      {"trailing empty fields beyond the header", "a,b\n1,2,,\n", u, ',', {{"a", "b"}, {"1", "2"}}, {1, 2}},
      {"a quote inside a plain field, blanks kept", " a\"b , c\n", u, ',', {{" a\"b ", " c"}}, {1}},
      {"CR line ends, a quoted empty record", "a\r\"\"\rb\r", u, ',', {{"a"}, {""}, {"b"}}, {1, 2, 3}},
      {"separators inside quotes do not count", "\"a;b;c\",d\n", u, ',', {{"a;b;c", "d"}}, {1}},
  };
  // clang-format on
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.name);
    const base::CsvTable table = base::ReadCsv(v.bytes);
    EXPECT_EQ(table.Encoding, v.encoding);
    EXPECT_EQ(table.Separator, v.separator);
    EXPECT_EQ(table.Rows, v.rows);
    EXPECT_EQ(table.Lines, v.lines);
  }
}

TEST(Csv, RefusesBadInputNamingTheLine) {
  struct Bad {
    const char* name;
    std::string bytes;
    CsvEncoding encoding;
    const char* message;  // UTF-8, a part of the message
  };
  // clang-format off
  const Bad bad[] = {
      {"an unclosed quote", "a,b\n1,\"open\n2,3\n", CsvEncoding::Detect, "2 行目: 引用符 (\") が閉じられていません"},
      {"text after a closing quote", "a\n\"x\"y\n", CsvEncoding::Detect, "2 行目: 引用符で囲んだ項目のあと"},
      {"a record wider than the header", "a,b\n1,2\n\"m\nn\",2,3\n", CsvEncoding::Detect,
       "3 行目: 項目が 3 個あり、見出し (最初の行) の 2 個"},
      {"invalid UTF-8 when UTF-8 is chosen", "a\nb\n" + Sjis("茶") + "\n", CsvEncoding::Utf8, "3 行目: UTF-8 として正しくないバイト"},
      {"invalid Shift-JIS", "a\n\x81\x20x\n", CsvEncoding::Sjis, "2 行目: Shift-JIS として正しくないバイト"},
      {"a double-byte code that no character has", "a\nb\n\x85\x40\n", CsvEncoding::Sjis, "3 行目: Shift-JIS として正しくないバイト"},
      {"characters Shift-JIS cannot hold, listed by place", "a,b\n\xF0\x9F\x8D\xB5,ok\nx,y\xF0\xA0\xAE\xB7\n",
       CsvEncoding::Detect, "Shift-JIS で表せない文字があります: 2 行目 1 列目 (U+1F375)、3 行目 2 列目 (U+20BB7)"},
  };
  // clang-format on
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.name);
    try {
      base::ReadCsv(b.bytes, {b.encoding, 0});
      ADD_FAILURE() << "read without an error";
    } catch (const base::Error& error) {
      EXPECT_NE(base::SjisToUtf8(error.what()).find(b.message), std::string::npos)
          << base::SjisToUtf8(error.what());
    }
  }
}

TEST(Csv, WritesWhatItReadsBack) {
  const Rows rows{{"page", Sjis("名前"), "note"}, {"1", Sjis("表\"ソ\""), "a,b"}, {"2", "x\ny", ""}, {""}};
  for (const CsvEncoding encoding : {CsvEncoding::Utf8, CsvEncoding::Sjis}) {
    for (const char separator : {',', '\t', ';'}) {
      const std::string bytes = base::WriteCsv(rows, {encoding, true, separator});
      EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF", 0) == 0, encoding == CsvEncoding::Utf8);
      const base::CsvTable table = base::ReadCsv(bytes, {encoding, 0});
      EXPECT_EQ(table.Separator, separator);
      EXPECT_EQ(table.Rows, rows);
    }
  }
  // Every pair of bytes from a lead byte on is converted to UTF-8 as the program converts text.
  std::string pairs;
  for (int lead = 0x80; lead < 0x100; ++lead) {
    for (int trail = 0x40; trail < 0x100; ++trail)
      pairs += {static_cast<char>(lead), static_cast<char>(trail), ' '};
  }
  EXPECT_EQ(base::WriteCsv({{pairs}}, {CsvEncoding::Utf8, false, ','}), base::SjisToUtf8(pairs) + "\r\n");
  EXPECT_EQ(base::WriteCsv({{"a b", "c\"d"}, {""}}, {CsvEncoding::Sjis, false, ','}),
            "a b,\"c\"\"d\"\r\n\"\"\r\n");
}
