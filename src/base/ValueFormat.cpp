#include "base/ValueFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "base/Numbers.h"
#include "base/Sjis.h"

namespace base {

namespace {

constexpr int kMaxField = 1000;          // widths and precisions above this are refused
constexpr int kMaxDigits = 18;           // significant digits a floating-point value is taken with
constexpr int kDefaultFixed = 2;         // decimals of %f and %n without a precision
constexpr int kDefaultSignificant = 15;  // digits of %e and %g without a precision

struct Directive {
  bool leftAlign = false;
  int width = -1;      // -1: none
  int precision = -1;  // -1: none
  char type = 0;       // lower case
};

// Reads one directive after its "%"; pos is left after the type character. Nothing when the text
// there is not a directive this formatter knows.
std::optional<Directive> ReadDirective(std::string_view p, std::size_t& pos) {
  Directive d;
  auto readNumber = [&](int& out) -> bool {
    int v = 0;
    while (pos < p.size() && p[pos] >= '0' && p[pos] <= '9') {
      v = v * 10 + (p[pos] - '0');
      if (v > kMaxField) return false;
      ++pos;
    }
    out = v;
    return true;
  };
  if (pos < p.size() && p[pos] == '-') {
    d.leftAlign = true;
    ++pos;
  }
  if (pos < p.size() && p[pos] >= '0' && p[pos] <= '9' && !readNumber(d.width)) return std::nullopt;
  if (pos < p.size() && p[pos] == '.') {
    ++pos;
    if (!readNumber(d.precision)) return std::nullopt;  // "%.f" is precision 0
  }
  if (pos >= p.size()) return std::nullopt;
  char t = p[pos++];
  if (t >= 'A' && t <= 'Z') t = static_cast<char>(t - 'A' + 'a');
  switch (t) {
    case 'd':
    case 'x':
    case 'f':
    case 'e':
    case 'g':
    case 'n':
    case 's':
      d.type = t;
      return d;
    default:
      return std::nullopt;
  }
}

// A floating-point value as decimal digits: value = 0.d1 d2 d3 ... x 10^exponent. digits holds no
// trailing zeros; an empty digits string is zero.
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

Decimal ToDecimal(long double v) {
  Decimal d;
  d.negative = std::signbit(v);
  if (v == 0) return d;
  char buf[64];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, kMaxDigits - 1);
  const std::string_view s(buf, static_cast<std::size_t>(res.ptr - buf));
  const std::size_t e = s.find('e');
  for (std::size_t i = 0; i < e; ++i) {
    if (s[i] != '.') d.digits += s[i];
  }
  int exp10 = 0;
  std::from_chars(s.data() + e + (s[e + 1] == '+' ? 2 : 1), s.data() + s.size(), exp10);
  d.exponent = exp10 + 1;
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// Keeps the first keep digits, rounding half up on the first digit dropped; keep may be 0 or less.
void RoundDigits(Decimal& d, int keep) {
  if (keep >= static_cast<int>(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
  d.digits.resize(static_cast<std::size_t>(keep));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') --i;
    if (i < 0) {
      d.digits = "1";
      ++d.exponent;
    } else {
      d.digits.resize(static_cast<std::size_t>(i) + 1);
      ++d.digits[static_cast<std::size_t>(i)];
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

char DigitAt(const Decimal& d, int i) {
  return (i >= 0 && i < static_cast<int>(d.digits.size())) ? d.digits[static_cast<std::size_t>(i)] : '0';
}

std::string ExponentText(int e, bool plus) {
  std::string s = "E";
  if (e < 0)
    s += '-';
  else if (plus)
    s += '+';
  std::string n = std::to_string(e < 0 ? -e : e);
  if (n.size() < 3) n.insert(0, 3 - n.size(), '0');
  return s + n;
}

// "d.ddd...E+ddd" with precision digits in all.
std::string FormatExponent(long double v, int precision) {
  precision = std::clamp(precision, 1, kMaxDigits);
  Decimal d = ToDecimal(v);
  RoundDigits(d, precision);
  std::string s;
  if (d.negative && !d.digits.empty()) s += '-';
  s += DigitAt(d, 0);
  if (precision > 1) {
    s += '.';
    for (int i = 1; i < precision; ++i) s += DigitAt(d, i);
  }
  return s + ExponentText(d.digits.empty() ? 0 : d.exponent - 1, true);
}

// "-ddd.ddd" with decimals digits after the point, groups of three separated by "," when grouped.
std::string FormatFixed(long double v, int decimals, bool grouped) {
  decimals = std::min(decimals, kMaxDigits);
  Decimal d = ToDecimal(v);
  if (d.exponent > kMaxDigits) return FormatExponent(v, kMaxDigits);
  RoundDigits(d, d.exponent + decimals);
  std::string s;
  if (d.negative && !d.digits.empty()) s += '-';
  std::string whole;
  for (int i = 0; i < d.exponent; ++i) whole += DigitAt(d, i);
  if (whole.empty() || d.digits.empty()) whole = "0";
  if (grouped) {
    for (std::size_t i = 0; i < whole.size(); ++i) {
      if (i > 0 && (whole.size() - i) % 3 == 0) s += ',';
      s += whole[i];
    }
  } else {
    s += whole;
  }
  if (decimals > 0) {
    s += '.';
    for (int i = 0; i < decimals; ++i) s += DigitAt(d, d.exponent + i);
  }
  return s;
}

// Fixed point while the integer digits fit the precision and the value is at least 0.00001,
// scientific otherwise; trailing zeros and a bare point are dropped.
std::string FormatGeneral(long double v, int precision) {
  precision = std::clamp(precision, 1, kMaxDigits);
  Decimal d = ToDecimal(v);
  RoundDigits(d, precision);
  if (d.digits.empty()) return "0";
  const int n = static_cast<int>(d.digits.size());
  std::string s = d.negative ? "-" : "";
  if (d.exponent <= precision && d.exponent >= -4) {
    if (d.exponent <= 0) {
      s += "0.";
      s.append(static_cast<std::size_t>(-d.exponent), '0');
      s += d.digits;
    } else {
      for (int i = 0; i < d.exponent; ++i) s += DigitAt(d, i);
      if (n > d.exponent) s += "." + d.digits.substr(static_cast<std::size_t>(d.exponent));
    }
    return s;
  }
  s += d.digits[0];
  if (n > 1) s += "." + d.digits.substr(1);
  return s + ExponentText(d.exponent - 1, false);
}

std::string FormatFloat(long double v, const Directive& d) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
  switch (d.type) {
    case 'f':
      return FormatFixed(v, d.precision < 0 ? kDefaultFixed : d.precision, false);
    case 'n':
      return FormatFixed(v, d.precision < 0 ? kDefaultFixed : d.precision, true);
    case 'e':
      return FormatExponent(v, d.precision < 0 ? kDefaultSignificant : d.precision);
    default:
      return FormatGeneral(v, d.precision < 0 ? kDefaultSignificant : d.precision);
  }
}

std::string FormatInteger(std::int64_t v, const Directive& d) {
  std::string digits;
  bool negative = false;
  if (d.type == 'x') {
    auto u = static_cast<std::uint64_t>(v);
    do {
      digits.insert(digits.begin(), "0123456789ABCDEF"[u % 16]);
      u /= 16;
    } while (u != 0);
  } else {
    negative = v < 0;
    // Through unsigned, so that the smallest value negates without overflow.
    std::uint64_t u = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    do {
      digits.insert(digits.begin(), static_cast<char>('0' + u % 10));
      u /= 10;
    } while (u != 0);
  }
  if (d.precision > static_cast<int>(digits.size()))
    digits.insert(0, static_cast<std::size_t>(d.precision) - digits.size(), '0');
  return negative ? "-" + digits : digits;
}

// Formats the argument by one directive; nothing when the two do not suit each other.
std::optional<std::string> FormatOne(const Directive& d, const FormatArgument& arg) {
  switch (d.type) {
    case 'd':
    case 'x':
      if (const auto* i = std::get_if<std::int64_t>(&arg)) return FormatInteger(*i, d);
      return std::nullopt;
    case 's':
      if (const auto* t = std::get_if<std::string_view>(&arg)) {
        return std::string(d.precision < 0 ? *t : CharPrefix(*t, static_cast<std::size_t>(d.precision)));
      }
      return std::nullopt;
    default:
      if (const auto* f = std::get_if<long double>(&arg)) return FormatFloat(*f, d);
      return std::nullopt;
  }
}

}  // namespace

bool FormatValue(std::string_view pattern, const FormatArgument& arg, std::string& out) {
  std::string result;
  bool used = false;
  std::size_t pos = 0;
  while (pos < pattern.size()) {
    const char c = pattern[pos];
    if (c != '%') {
      // Whole characters, so that a second byte is never read as "%".
      const std::size_t n = CharSize(pattern, pos);
      result.append(pattern.substr(pos, n));
      pos += n;
      continue;
    }
    ++pos;
    if (pos < pattern.size() && pattern[pos] == '%') {
      result += '%';
      ++pos;
      continue;
    }
    const std::optional<Directive> d = ReadDirective(pattern, pos);
    if (!d || used) return false;
    used = true;
    std::optional<std::string> text = FormatOne(*d, arg);
    if (!text) return false;
    if (d->width > static_cast<int>(text->size())) {
      const std::string pad(static_cast<std::size_t>(d->width) - text->size(), ' ');
      *text = d->leftAlign ? *text + pad : pad + *text;
    }
    result += *text;
  }
  out = std::move(result);
  return true;
}

bool FormatTextValue(std::string_view pattern, ValueKind kind, std::string_view text, std::string& out) {
  switch (kind) {
    case ValueKind::Integer: {
      std::int64_t v = 0;
      return ParseInt64AutoBase(text, v) && FormatValue(pattern, FormatArgument(v), out);
    }
    case ValueKind::Float: {
      long double v = 0;
      return ParseLongDouble(text, v) && FormatValue(pattern, FormatArgument(v), out);
    }
    case ValueKind::Text:
      break;
  }
  return FormatValue(pattern, FormatArgument(text), out);
}

}  // namespace base
