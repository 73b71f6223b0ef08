#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>

#include "base/Sjis.h"
#include "render/Fonts.h"
#include "render/QtText.h"

// The test environment installs the substitutions once, as the programs do.
TEST(Fonts, WindowsJapaneseFacesBecomeTheirIpaEquivalents) {
  const struct {
    const char* face;
    const char* expected;
  } cases[] = {
      {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"ＭＳ ゴシック", "IPAGothic"}, {"ＭＳ 明朝", "IPAMincho"},
      {"ＭＳ Ｐ明朝", "IPAPMincho"},     {"MS PGothic", "IPAPGothic"},   {"MS Gothic", "IPAGothic"},
      {"MS Mincho", "IPAMincho"},        {"MS PMincho", "IPAPMincho"},
  };
  for (const auto& c : cases) {
    // The face comes from a layout as Shift-JIS.
    const QFont font(FromSjis(base::Utf8ToSjis(c.face)));
    EXPECT_EQ(QFontInfo(font).family(), QString::fromLatin1(c.expected)) << c.face;
  }
}
