#include "render/QtText.h"

#include <QDate>
#include <QLocale>

#include "base/Sjis.h"

QString FromSjis(std::string_view sjis) {
  if (sjis.empty()) return {};
  // Plain ASCII needs no table: the common case for codes and numbers.
  bool ascii = true;
  for (const char c : sjis) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) return QString::fromLatin1(sjis.data(), static_cast<qsizetype>(sjis.size()));
  const std::string utf8 = base::SjisToUtf8(sjis);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToSjis(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return base::Utf8ToSjis(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

MSjisText::MSjisText(std::string_view sjis) : text_(FromSjis(sjis)), count_(base::CharCount(sjis)) {
  if (static_cast<std::size_t>(text_.size()) == count_) return;
  // Malformed bytes made the conversion uneven: convert character by character to keep the map.
  text_.clear();
  ends_.reserve(count_);
  for (std::size_t i = 0; i < sjis.size();) {
    const std::size_t n = base::CharSize(sjis, i);
    text_ += FromSjis(sjis.substr(i, n));
    ends_.push_back(text_.size());
    i += n;
  }
}

qsizetype MSjisText::PrefixLength(std::size_t n) const {
  if (n >= count_) return text_.size();
  return ends_.empty() ? static_cast<qsizetype>(n) : (n == 0 ? 0 : ends_[n - 1]);
}

std::string ShortDateText(std::int64_t day) {
  const QDate date = QDate(1899, 12, 30).addDays(day);
  // Without a chosen language (C or POSIX, as on servers) the documents are Japanese: their short
  // date, not the C locale's "7 Dec 2026".
  const QLocale locale = QLocale::system();
  if (locale.language() == QLocale::C) return ToSjis(date.toString(QStringLiteral("yyyy/MM/dd")));
  return ToSjis(locale.toString(date, QLocale::ShortFormat));
}
