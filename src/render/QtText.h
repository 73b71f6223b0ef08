// Shift-JIS text at the Qt boundary: converted only to draw and to measure.
#pragma once

#include <QString>
#include <QStringView>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

QString FromSjis(std::string_view sjis);
std::string ToSjis(const QString& text);

// A Shift-JIS text converted once, whose prefixes are taken in Shift-JIS characters (a double-byte
// character is one), as line breaking counts them.
class MSjisText {
 public:
  explicit MSjisText(std::string_view sjis);

  const QString& Text() const { return text_; }
  std::size_t CharCount() const { return count_; }
  // The length in UTF-16 units of the first n characters.
  qsizetype PrefixLength(std::size_t n) const;

 private:
  QString text_;
  std::size_t count_ = 0;
  // Where each character ends in text_; empty when every character became one UTF-16 unit, which is
  // the case for all valid Shift-JIS.
  std::vector<qsizetype> ends_;
};

// A day number (days since 1899-12-30, the day 0 of the data file's date stamps) as the system
// locale's short date (Shift-JIS): what the computed date texts show in the programs.
std::string ShortDateText(std::int64_t day);
