// The encoders' rules: which codes are valid, check characters and the human-readable text.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "BarcodeTestSupport.h"
#include "barcode/BarEncodersCode128.h"
#include "barcode/BarEncodersCustomer.h"
#include "barcode/BarEncodersJanUpc.h"

using namespace barcode;
using barcode_test::Encode;

namespace {

std::string Text(TBarTypes type, const std::string& code, bool cd = false, char start = 'A',
                 char stop = 'A') {
  std::string text;
  const std::string pattern = Encode(type, code, &text, cd, start, stop);
  EXPECT_EQ(pattern.empty(), text.empty()) << code;  // a text exactly when there is a pattern
  return text;
}

TEST(EncoderRules, JanAndUpcLengthsAndDigits) {
  EXPECT_EQ(Text(cbarJAN, "490123456789"), "4901234567894");
  // Leading 4 takes the sets A B A A B B for d2-d7: set A digits have an odd number of dark modules,
  // set B digits an even one.
  const std::string pattern = Encode(cbarJAN, "490123456789");
  std::string parity;
  for (int k = 0; k < 6; ++k) {
    const std::string digit = pattern.substr(3 + 7 * k, 7);
    parity += std::count(digit.begin(), digit.end(), '1') % 2 == 1 ? 'A' : 'B';
  }
  EXPECT_EQ(parity, "ABAABB");
  EXPECT_EQ(Text(cbarJAN, "4901234567894"), "");  // the check digit is never given
  EXPECT_EQ(Text(cbarJAN, "49012345678a"), "");
  EXPECT_EQ(Text(cbarJAN, ""), "");
  EXPECT_EQ(Text(cbarUPC, "1123455"), "");  // UPC-E only for number system 0
  EXPECT_EQ(Text(cbarUPC, "0121453"), "");  // has no UPC-A form
  EXPECT_EQ(Text(cbarUPC, "0123455"), "01234558");
  EXPECT_EQ(Text(cbarUPC, "036000291452"), "");
  EXPECT_EQ(Text(cbarUPC, "0360002914 "), "");
}

TEST(EncoderRules, UpcConversionsUndoEachOther) {
  EXPECT_EQ(ExpandUPCE("0121453"), "");
  EXPECT_EQ(ExpandUPCE("0123455"), "01234500005");
  EXPECT_EQ(CompressUPCA("01234500005"), "0123455");
  EXPECT_EQ(ExpandUPCE("1123455"), "");
  EXPECT_EQ(CompressUPCA("11234500005"), "");
  EXPECT_EQ(CompressUPCA("01234567890"), "");
  EXPECT_EQ(CompressUPCA("0ABCDE00005"), "");  // digits only
  // Every 7-digit UPC-E code that expands compresses back to itself, and every UPC-A code that
  // compresses expands back: the two tables are inverse.
  int valid = 0;
  for (int n = 0; n < 1000000; ++n) {
    std::string e = std::to_string(n);
    e = "0" + std::string(6 - e.size(), '0') + e;
    const std::string a = ExpandUPCE(e);
    if (a.empty()) continue;
    ++valid;
    ASSERT_EQ(a.size(), 11u);
    ASSERT_EQ(CompressUPCA(a), e) << e;
  }
  EXPECT_GT(valid, 900000);
  for (const char* a : {"01200000345", "01230000045", "01234000005", "01234500005", "04210000526"})
    EXPECT_EQ(ExpandUPCE(CompressUPCA(a)), a);
}

TEST(EncoderRules, TwoWidthCheckCharacters) {
  EXPECT_EQ(Text(cbarCODE39, "ABC", true), "*ABCX*");
  EXPECT_EQ(Text(cbarCODE39, "ABC"), "*ABC*");
  EXPECT_EQ(Text(cbarCODE39, "AbC"), "");
  EXPECT_EQ(Text(cbarCODE39, "A*C"), "");
  // 16 + 1 + 2 + 3 + 16 = 38: check value 10, the hyphen.
  EXPECT_EQ(Text(cbarNW7, "123", true, 'A', 'A'), "A123-A");
  EXPECT_EQ(Text(cbarNW7, "A1B", false, 'C', 'D'), "CA1BD");
  EXPECT_EQ(Text(cbarNW7, "12a"), "");
  EXPECT_EQ(Text(cbarNW7, "1", false, 'E', 'A'), "");
  EXPECT_EQ(Text(cbarITF, "123"), "0123");
  EXPECT_EQ(Text(cbarITF, "123", true), "1236");
  EXPECT_EQ(Text(cbarITF, "1234", true), "012348");
  EXPECT_EQ(Encode(cbarITF, "123", nullptr, true).size(), 4u + 2 * 10 + 3);
  EXPECT_EQ(Text(cbarIATA, "123"), "1236");  // the check digit whatever cd says
  EXPECT_EQ(Text(cbarIATA, "123", true), "1236");
  EXPECT_EQ(Text(cbarCTF, "123"), "123");
  EXPECT_EQ(Text(cbarCTF, "123", true), "1236");
  EXPECT_EQ(Text(cbarMATRIX, "4901", true), "49016");
  EXPECT_EQ(Text(cbarNEC, "9", true), "93");
  for (TBarTypes type : {cbarITF, cbarCTF, cbarIATA, cbarMATRIX, cbarNEC}) {
    EXPECT_EQ(Text(type, "12 3"), "") << type;
    EXPECT_EQ(Text(type, ""), "") << type;
  }
}

TEST(EncoderRules, Code128TokenSyntax) {
  // The names fnc1 and FNC1 are the same value 102: 103 + 33 + 2 * 102 + 3 * 34 = 442, check 30 ">".
  EXPECT_EQ(Encode(cbarCODE128, "A<fnc1>B"), Encode(cbarCODE128, "A<FNC1>B"));
  EXPECT_EQ(Text(cbarCODE128, "A<fnc1>B"), "AA<fnc1>B>>");
  EXPECT_NE(Text(cbarCODE128, "a", false, 'B'), "");
  EXPECT_EQ(Text(cbarCODE128, "a", false, 'A'), "");
  // In set C only pairs in angle brackets are values.
  EXPECT_EQ(Text(cbarCODE128, "1234", false, 'C'), "");
  EXPECT_EQ(Text(cbarCODE128, "<12><34>", false, 'C'), "C<12><34><82>");  // (105 + 12 + 68) % 103
  EXPECT_EQ(Text(cbarCODE128, "<SHIFT>", false, 'C'), "");
  // A lone "<" or ">" at the end, an empty name, an unknown name.
  for (const char* bad : {"AB<", "AB>", "<>", "<NOPE>", "<", ">"})
    EXPECT_EQ(Text(cbarCODE128, bad), "") << bad;
  // ">" takes the next character, "<<" is "<", a name without ">" runs to the end.
  EXPECT_EQ(Encode(cbarCODE128, ">A"), Encode(cbarCODE128, "A"));
  EXPECT_EQ(Encode(cbarCODE128, "><", nullptr, false, 'B'), Encode(cbarCODE128, "<<", nullptr, false, 'B'));
  EXPECT_EQ(Encode(cbarCODE128, "A<CR"), Encode(cbarCODE128, "A<CR>"));
  // The check text: "<" and ">" are doubled, names bracketed.
  // With one token of value v the check is (start + v) % 103.
  EXPECT_EQ(Text(cbarCODE128, "=", false, 'B'), "B=>>");  // check 30, ">"
  EXPECT_EQ(Text(cbarCODE128, ";", false, 'B'), "B;<<");  // check 28, "<"
  EXPECT_EQ(Text(cbarCODE128, "<NUL>"), "A<NUL><NUL>");   // check 64, NUL
}

TEST(EncoderRules, Code128ShiftReadsOneTokenInTheOtherSet) {
  // Set A, SHIFT (98), "a" from set B (65), then "A" again from set A (33):
  // 103 + 98 + 2 * 65 + 3 * 33 = 430, check 18 "2".
  const std::string shifted = Encode(cbarCODE128, "<SHIFT>aA");
  ASSERT_FALSE(shifted.empty());
  EXPECT_EQ(shifted.substr(12, 6), Encode(cbarCODE128, "a", nullptr, false, 'B').substr(6, 6));
  EXPECT_EQ(Text(cbarCODE128, "<SHIFT>aA"), "A<SHIFT>aA2");
  EXPECT_EQ(Text(cbarCODE128, "<SHIFT>ab"), "");  // b is back in set A
  // Set B, SHIFT, NUL from set A.
  EXPECT_NE(Text(cbarCODE128, "x<SHIFT><NUL>y", false, 'B'), "");
  EXPECT_EQ(Text(cbarCODE128, "x<SHIFT><NUL><NUL>", false, 'B'), "");
  // Code set switches stay in force.
  EXPECT_NE(Text(cbarCODE128, "A<CODEB>bc<CODEC><12><CODEA><CR>"), "");
  EXPECT_EQ(Text(cbarCODE128, "A<CODEC>12"), "");
}

TEST(EncoderRules, Code128UnknownStartSetIsA) {
  char start = 'D';
  std::string text;
  EXPECT_FALSE(EncodeCODE128("AB", start, text).empty());
  EXPECT_EQ(start, 'A');
  EXPECT_EQ(text.substr(0, 3), "AAB");
  start = 'D';
  EncodeCODE128("", start, text);  // an empty code is rejected first
  EXPECT_EQ(start, 'D');
}

TEST(EncoderRules, Code93ShiftTokensAndChecks) {
  EXPECT_EQ(Text(cbarCODE93, "TEST93"), "(TEST93+6)");
  EXPECT_NE(Text(cbarCODE93, "<$>"), "");
  for (const char* bad : {"<$", "<A>", "<$$", "A<", "abc", "*", "<>"})
    EXPECT_EQ(Text(cbarCODE93, bad), "") << bad;
  // A check value of 43-46 shows as its shift token: value 43 alone gives C = 43, K = 129 % 47 = 35.
  EXPECT_EQ(Text(cbarCODE93, "<$>"), "(<$><$>Z)");
  // More than 20 characters: the C weights start again at 1 after 20, the K weights after 15.
  // 21 ones: C = (1 + ... + 20 + 1) % 47 = 23 (N); K = (23 + 2 + ... + 15 + 1 + ... + 7) % 47 = 29 (T).
  EXPECT_EQ(Text(cbarCODE93, std::string(21, '1')), "(" + std::string(21, '1') + "NT)");
}

TEST(EncoderRules, CustomerPaddingAndChecks) {
  // The symbols compared with are the encoder's own first data symbol (or check symbol) of short
  // codes: what is checked here is where symbols go, not the symbol table.
  auto symbols = [](const std::string& code, int first, int count) {
    std::string text;
    return EncodeCUSTOMER(code, text).substr(6 * first, 6 * count);
  };
  const std::string cc4 = symbols(" ", 1, 1);
  std::string text;
  // Seven digits and 13 CC4 (sum 210): check 18 (CC8), shown as a space after the 21-character value.
  // "1" and nineteen CC4 (sum 267) has the same check.
  std::string pattern = EncodeCUSTOMER("1234567", text);
  EXPECT_EQ(text, std::string("1234567") + std::string(14, ' ') + " ");
  EXPECT_EQ(pattern.substr(6 * 21, 6), symbols("1", 21, 1));
  // Sum 165: check 6.
  EncodeCUSTOMER("2630023-2-1", text);
  EXPECT_EQ(text.back(), '6');
  EXPECT_EQ(text.size(), 22u);
  // A letter read when 19 symbols are written becomes CC4: 18 digits, then "AB".
  pattern = EncodeCUSTOMER("123456789012345678AB", text);
  EXPECT_EQ(pattern.size(), 6u * 23);
  EXPECT_EQ(pattern.substr(6 * 19, 12), symbols("A", 1, 2));  // A: CC1 and 0
  pattern = EncodeCUSTOMER("1234567890123456789A", text);
  EXPECT_EQ(pattern.substr(6 * 20, 6), cc4);  // CC4 instead of the letter
  // Lower-case letters, other characters and double-byte characters are left out.
  // The second byte of the last character is "A". Of the 20 characters read, 17 give symbols.
  pattern = EncodeCUSTOMER("1a*2\x83\x41", text);
  EXPECT_EQ(pattern.size(), 6u * (1 + 17 + 2));
  EXPECT_EQ(pattern.substr(6, 12), symbols("12", 1, 2));
  EXPECT_EQ(pattern.substr(18, 6), cc4);
  EXPECT_EQ(EncodeCUSTOMER("", text), "");
  EXPECT_EQ(text, "");
  // A long code is read for 20 symbols and shown whole.
  EncodeCUSTOMER(std::string(40, '9'), text);
  EXPECT_EQ(text.size(), 41u);
}

}  // namespace
