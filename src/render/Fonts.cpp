#include "render/Fonts.h"

#include <QFont>
#include <QString>
#include <QStringList>

void InstallFontSubstitutions() {
  struct Face {
    const char* windowsName;  // UTF-8
    const char* asciiName;
    const char* substitute;
  };
  static constexpr Face kFaces[] = {
      {"ＭＳ Ｐゴシック", "MS PGothic", "IPAPGothic"},
      {"ＭＳ ゴシック", "MS Gothic", "IPAGothic"},
      {"ＭＳ Ｐ明朝", "MS PMincho", "IPAPMincho"},
      {"ＭＳ 明朝", "MS Mincho", "IPAMincho"},
  };
  for (const Face& f : kFaces) {
    const QStringList substitute{QString::fromLatin1(f.substitute)};
    QFont::insertSubstitutions(QString::fromUtf8(f.windowsName), substitute);
    QFont::insertSubstitutions(QString::fromLatin1(f.asciiName), substitute);
  }
}
