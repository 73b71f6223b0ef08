#include <gtest/gtest.h>

#include <random>

#include "base/IniText.h"
#include "base/Sjis.h"

using base::IniText;
using Lines = std::vector<std::string>;

TEST(IniText, SplitsTrimsAndDropsCommentsAndEmptyLines) {
  const IniText ini(
      "before=dropped\r\n"
      "[data]\r\n"
      "  a,b  \r"
      "\n"
      "; a comment\n"
      "   ;indented comment\r\n"
      "\t\r\n"
      "c\n"
      "d;not a comment");
  EXPECT_EQ(ini.LineTexts("data"), (Lines{"a,b", "c", "d;not a comment"}));
  EXPECT_TRUE(ini.Lines("missing").empty());
}

TEST(IniText, SectionsCompareWithoutCaseAndOnlyTheFirstOccurrenceCounts) {
  const IniText ini(
      "[MAP_DATA]\r\nfirst\r\n"
      "[ other ]\r\nx\r\n"
      "[map_data]\r\nsecond\r\n"
      "[Other]\r\ny\r\n");
  EXPECT_EQ(ini.LineTexts("map_data"), (Lines{"first"}));
  EXPECT_EQ(ini.LineTexts("OTHER"), (Lines{"x"}));
}

TEST(IniText, BlanksAroundTheFirstEqualsSignAreRemoved) {
  const IniText ini("[s]\nkey \t=  value = more \nrow,\"a = b\"\n=lone\nno equals here\n");
  EXPECT_EQ(ini.LineTexts("s"), (Lines{"key=value = more", "row,\"a=b\"", "=lone", "no equals here"}));
}

TEST(IniText, KeysAndValues) {
  const IniText ini(
      "[Config]\n"
      "Temp_Folder = .\\tmp\n"
      "temp_folder=second\n"
      "empty=\n"
      "layout=a=b\n"
      "plain line\n");
  EXPECT_EQ(ini.ReadString("config", "TEMP_FOLDER", "x"), ".\\tmp");  // the first line of a key wins
  EXPECT_EQ(ini.ReadString("config", "empty", "x"), "");
  EXPECT_EQ(ini.ReadString("config", "layout", ""), "a=b");
  EXPECT_EQ(ini.ReadString("config", "plain line", "x"), "x");
  EXPECT_EQ(ini.ReadString("nothing", "layout", "fallback"), "fallback");
  EXPECT_EQ(ini.Keys("config"), (Lines{"Temp_Folder", "empty", "layout"}));
}

TEST(IniText, BracketAsSecondByteDoesNotMakeAHeader) {
  // "‐" is 81 5D: its second byte is "]", so this line does not end with a bracket of its own.
  const std::string dash = base::Utf8ToSjis("‐");
  ASSERT_EQ(dash, "\x81\x5D");
  const IniText ini("[s]\n[x" + dash + "\n[t]\ny\n");
  EXPECT_EQ(ini.LineTexts("s"), (Lines{"[x" + dash}));
  EXPECT_EQ(ini.LineTexts("t"), (Lines{"y"}));
}

TEST(IniText, AnyBytesReadWithoutFailing) {
  std::mt19937 rng(3);
  for (int round = 0; round < 2000; ++round) {
    std::string text(rng() % 200, '\0');
    for (char& c : text) c = "[]=;\r\n \0ab\x81"[rng() % 11];
    const IniText ini(text);
    for (const std::string_view line : ini.Lines("a")) {
      ASSERT_FALSE(line.empty());
      ASSERT_GT(static_cast<unsigned char>(line.front()), 0x20);
      ASSERT_EQ(line.find_first_of("\r\n"), std::string_view::npos);
    }
  }
}
