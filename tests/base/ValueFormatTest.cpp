#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>

#include "base/Sjis.h"
#include "base/ValueFormat.h"

using namespace base;

namespace {

// The formatted text, or "<fail>" when the pattern was refused.
std::string Fmt(std::string_view pattern, const FormatArgument& arg) {
  std::string out = "unchanged";
  if (!FormatValue(pattern, arg, out)) return out == "unchanged" ? "<fail>" : "<fail, out changed>";
  return out;
}
std::string I(std::string_view p, std::int64_t v) { return Fmt(p, FormatArgument(v)); }
std::string F(std::string_view p, long double v) { return Fmt(p, FormatArgument(v)); }
std::string S(std::string_view p, std::string_view v) { return Fmt(p, FormatArgument(v)); }

}  // namespace

TEST(ValueFormat, IntegersWithWidthPrecisionAndAlignment) {
  EXPECT_EQ(I("%5.3d", 42), "  042");
  EXPECT_EQ(I("%-5.3d|", 42), "042  |");
  EXPECT_EQ(I("%d", -7), "-7");
  EXPECT_EQ(I("%.4d", -42), "-0042");
  EXPECT_EQ(I("%2d", 12345), "12345");  // a width never truncates
  EXPECT_EQ(I("%d", INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(I("No.%d", 7), "No.7");
  EXPECT_EQ(I("%x", 255), "FF");
  EXPECT_EQ(I("%.4X", 255), "00FF");
  EXPECT_EQ(I("%x", -1), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(I("%D", 3), "3");  // upper-case types are the same directives
}

TEST(ValueFormat, FixedAndNumberForms) {
  EXPECT_EQ(F("%.2f", 3.14159L), "3.14");
  EXPECT_EQ(F("%f", 2.5L), "2.50");  // two decimals by default
  EXPECT_EQ(F("%.0f", 0.5L), "1");   // halves round up
  EXPECT_EQ(F("%.0f", 2.5L), "3");
  EXPECT_EQ(F("%.2f", -0.001L), "0.00");  // no sign on a value that rounds to zero
  EXPECT_EQ(F("%.3f", 0.0625L), "0.063");
  EXPECT_EQ(F("%.2f", 99.995L), "100.00");
  EXPECT_EQ(F("%8.1f|", -3.25L), "    -3.3|");
  EXPECT_EQ(F("%n", 1234567.891L), "1,234,567.89");
  EXPECT_EQ(F("%.0n", 999.5L), "1,000");
  EXPECT_EQ(F("%n", -123.0L), "-123.00");
  EXPECT_EQ(F("%.1n", 0.25L), "0.3");
}

TEST(ValueFormat, DecimalTextsRoundAsWritten) {
  // The value of the text, not its nearest binary neighbour, decides the rounding.
  std::string out;
  ASSERT_TRUE(FormatTextValue("%.2f", ValueKind::Float, "2.675", out));
  EXPECT_EQ(out, "2.68");
  ASSERT_TRUE(FormatTextValue("%.1f", ValueKind::Float, "0.35", out));
  EXPECT_EQ(out, "0.4");
}

TEST(ValueFormat, ScientificAndGeneralForms) {
  EXPECT_EQ(F("%e", 1234.5L), "1.23450000000000E+003");
  EXPECT_EQ(F("%.3e", -0.000123456L), "-1.23E-004");
  EXPECT_EQ(F("%.1e", 5.0L), "5E+000");
  EXPECT_EQ(F("%.3e", 0.0L), "0.00E+000");
  EXPECT_EQ(F("%.2e", 1e300L * 1e10L), "1.0E+310");
  EXPECT_EQ(F("%g", 3.5L), "3.5");
  EXPECT_EQ(F("%g", 100.0L), "100");
  EXPECT_EQ(F("%g", 0.0L), "0");
  EXPECT_EQ(F("%g", 0.00001L), "0.00001");
  EXPECT_EQ(F("%g", 0.000001L), "1E-006");
  EXPECT_EQ(F("%.3g", 1234.0L), "1.23E003");
  EXPECT_EQ(F("%.3g", 123.0L), "123");
  EXPECT_EQ(F("%g", 1.0L / 3), "0.333333333333333");
  EXPECT_EQ(F("%.2g", 0.999L), "1");
  EXPECT_EQ(F("%g", -2.5e20L), "-2.5E020");
}

TEST(ValueFormat, TextsTruncateByCharacters) {
  EXPECT_EQ(S("[%s]", "abc"), "[abc]");
  EXPECT_EQ(S("[%5s]", "ab"), "[   ab]");
  EXPECT_EQ(S("[%-5s]", "ab"), "[ab   ]");
  EXPECT_EQ(S("%.2s", "abcdef"), "ab");
  const std::string tokyo = Utf8ToSjis("東京都");
  EXPECT_EQ(S("%.2s", tokyo), Utf8ToSjis("東京"));  // two characters, four bytes
  EXPECT_EQ(S("%s", ""), "");
  // Literal text around the directive is copied by characters: "ソ" ends in the byte of "\".
  const std::string so = Utf8ToSjis("ソ");
  EXPECT_EQ(S(so + "%s" + so, "x"), so + "x" + so);
  EXPECT_EQ(S("100%%", "x"), "100%");
  EXPECT_EQ(S("plain", "x"), "plain");  // no directive: the value is not used
}

TEST(ValueFormat, RefusesWhatItDoesNotKnow) {
  EXPECT_EQ(I("%.2f", 42), "<fail>");  // an integer is not a floating-point value
  EXPECT_EQ(F("%d", 4.0L), "<fail>");
  EXPECT_EQ(I("%s", 4), "<fail>");
  EXPECT_EQ(S("%d", "4"), "<fail>");
  EXPECT_EQ(I("%d %d", 4), "<fail>");  // one argument only
  for (const char* p :
       {"%", "abc%", "%u", "%p", "%i", "%+d", "% d", "%0:d", "%*d", "%#x", "%ld", "%5", "%-"}) {
    EXPECT_EQ(I(p, 4), "<fail>") << p;
  }
  EXPECT_EQ(I("%1001d", 4), "<fail>");
  EXPECT_EQ(F("%.1001f", 4), "<fail>");
  EXPECT_EQ(I("%99999999999999999999d", 4), "<fail>");
  EXPECT_EQ(I("%1000d", 4).size(), 1000u);
}

TEST(ValueFormat, ConvertsTextsByKind) {
  std::string out = "keep";
  EXPECT_TRUE(FormatTextValue("%5.3d", ValueKind::Integer, "42", out));
  EXPECT_EQ(out, "  042");
  EXPECT_TRUE(FormatTextValue("%d", ValueKind::Integer, "$1F", out));
  EXPECT_EQ(out, "31");
  EXPECT_TRUE(FormatTextValue("%d", ValueKind::Integer, "-0x10", out));
  EXPECT_EQ(out, "-16");
  out = "keep";
  EXPECT_FALSE(FormatTextValue("%5.3d", ValueKind::Integer, "4.2", out));
  EXPECT_FALSE(FormatTextValue("%d", ValueKind::Integer, "abc", out));
  EXPECT_FALSE(FormatTextValue("%d", ValueKind::Integer, "", out));
  EXPECT_FALSE(FormatTextValue("%.2f", ValueKind::Integer, "42", out));
  EXPECT_FALSE(FormatTextValue("%f", ValueKind::Float, "1,5", out));
  EXPECT_FALSE(FormatTextValue("%f", ValueKind::Float, "nan", out));
  EXPECT_FALSE(FormatTextValue("%f", ValueKind::Float, "1e99999", out));
  EXPECT_EQ(out, "keep");
  EXPECT_TRUE(FormatTextValue("%.1f", ValueKind::Float, " 1e3 ", out));
  EXPECT_EQ(out, "1000.0");
  EXPECT_TRUE(FormatTextValue("[%s]", ValueKind::Text, "abc", out));
  EXPECT_EQ(out, "[abc]");
}

TEST(ValueFormat, IgnoresTheSystemLocale) {
  const char* old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old ? old : "C";
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr && std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr) {
    GTEST_SKIP() << "no locale with a decimal comma";
  }
  EXPECT_EQ(F("%n", 1234.5L), "1,234.50");
  EXPECT_EQ(F("%e", 1.5L), "1.50000000000000E+000");
  std::string out;
  EXPECT_TRUE(FormatTextValue("%.1f", ValueKind::Float, "2.25", out));
  EXPECT_EQ(out, "2.3");
  std::setlocale(LC_ALL, saved.c_str());
}
