#include "base/Numbers.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace base;

TEST(Numbers, ParsesDecimalNumbersWithAPoint) {
  double v = 0;
  EXPECT_TRUE(ParseDouble("3.53", v));
  EXPECT_DOUBLE_EQ(v, 3.53);
  EXPECT_TRUE(ParseDouble("-12", v));
  EXPECT_DOUBLE_EQ(v, -12);
  EXPECT_TRUE(ParseDouble("5.", v));
  EXPECT_DOUBLE_EQ(v, 5);
  EXPECT_TRUE(ParseDouble(" 1e3 ", v));
  EXPECT_DOUBLE_EQ(v, 1000);
  EXPECT_TRUE(ParseDouble("+2.50", v));
  EXPECT_DOUBLE_EQ(v, 2.5);
  for (const char* bad : {"", " ", "abc", "1,5", "1.2.3", "inf", "nan", "1e999", "-", "0x10", "1 2"}) {
    EXPECT_FALSE(ParseDouble(bad, v)) << bad;
  }
}

TEST(Numbers, ParsingIgnoresTheSystemLocale) {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
  double v = 0;
  EXPECT_TRUE(ParseDouble("2.5", v));
  EXPECT_DOUBLE_EQ(v, 2.5);
  EXPECT_EQ(FormatShortest(2.5), "2.5");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(Numbers, ParsesIntegers) {
  int v = 0;
  EXPECT_TRUE(ParseInt("42", v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(ParseInt(" -7 ", v));
  EXPECT_EQ(v, -7);
  EXPECT_TRUE(ParseInt("2147483647", v));
  EXPECT_EQ(v, 2147483647);
  for (const char* bad : {"", "4.2", "2147483648", "12a", "0x10", "--1"}) EXPECT_FALSE(ParseInt(bad, v)) << bad;
  EXPECT_TRUE(ParseIntAutoBase("0x20", v));
  EXPECT_EQ(v, 32);
  EXPECT_TRUE(ParseIntAutoBase("0XfF", v));
  EXPECT_EQ(v, 255);
  EXPECT_TRUE(ParseIntAutoBase("$10", v));
  EXPECT_EQ(v, 16);
  EXPECT_TRUE(ParseIntAutoBase("300", v));
  EXPECT_EQ(v, 300);
  for (const char* bad : {"0x", "0xZZ", "abc", "0x100000000"}) EXPECT_FALSE(ParseIntAutoBase(bad, v)) << bad;
}

TEST(Numbers, RoundsHalvesToEven) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(-3.5), -4);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(1e12), 2147483647);
  EXPECT_EQ(RoundHalfEven(-1e12), -2147483647 - 1);
}

TEST(Numbers, MulDivRoundsToNearest) {
  EXPECT_EQ(MulDiv(100, 100, 200), 50);
  EXPECT_EQ(MulDiv(1, 1, 2), 1);    // 0.5 rounds away from zero
  EXPECT_EQ(MulDiv(-1, 1, 2), -1);
  EXPECT_EQ(MulDiv(10, 1, 3), 3);
  EXPECT_EQ(MulDiv(20, 1, 3), 7);
  EXPECT_EQ(MulDiv(1 << 30, 8, 16), 1 << 29);  // needs the 64-bit intermediate
  EXPECT_EQ(MulDiv(5, 5, 0), -1);
}

TEST(Numbers, FormatsTheShortestText) {
  EXPECT_EQ(FormatShortest(297), "297");
  EXPECT_EQ(FormatShortest(29.7), "29.7");
  EXPECT_EQ(FormatShortest(0.25), "0.25");
  EXPECT_EQ(FormatShortest(1.0 / 3), "0.3333");
  EXPECT_EQ(FormatShortest(-0.00001), "0");
  EXPECT_EQ(FormatShortest(2970.0), "2970");
}
