#include "base/Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "base/Sjis.h"

namespace base {

namespace {

// A decimal floating-point text: only digits, one point, a sign and an exponent (from_chars alone
// would also take "inf" and "nan").
template <typename Float>
bool ParseFloating(std::string_view text, Float& out) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);  // from_chars takes no plus sign
  if (text.empty()) return false;
  for (const char c : text) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
  }
  Float v = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::general);
  if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

}  // namespace

bool ParseDouble(std::string_view text, double& out) { return ParseFloating(text, out); }
bool ParseLongDouble(std::string_view text, long double& out) { return ParseFloating(text, out); }

bool ParseInt64(std::string_view text, std::int64_t& out) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  std::int64_t v = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 10);
  if (ec != std::errc() || ptr != text.data() + text.size()) return false;
  out = v;
  return true;
}

bool ParseInt(std::string_view text, int& out) {
  std::int64_t v = 0;
  if (!ParseInt64(text, v) || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
  out = static_cast<int>(v);
  return true;
}

bool ParseInt64AutoBase(std::string_view text, std::int64_t& out) {
  std::string_view t = Trim(text);
  bool negative = false;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  std::size_t prefix = 0;
  if (t.size() >= 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X'))
    prefix = 2;
  else if (!t.empty() && t[0] == '$')
    prefix = 1;
  if (prefix == 0) return ParseInt64(text, out);
  t.remove_prefix(prefix);
  if (t.empty()) return false;
  std::uint64_t u = 0;
  const auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), u, 16);
  if (ec != std::errc() || ptr != t.data() + t.size()) return false;
  // Sixteen hexadecimal digits may spell a negative value in two's complement ("$FFFFFFFFFFFFFFFF" is -1).
  out = negative ? static_cast<std::int64_t>(0 - u) : static_cast<std::int64_t>(u);
  return true;
}

bool ParseIntAutoBase(std::string_view text, int& out) {
  std::int64_t v = 0;
  if (!ParseInt64AutoBase(text, v) || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
    return false;
  out = static_cast<int>(v);
  return true;
}

std::int64_t RoundHalfEven64(double v) {
  if (std::isnan(v)) return 0;
  const double r = std::nearbyint(v);  // the default rounding mode rounds halves to even
  if (r >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
  if (r <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(r);
}

int RoundHalfEven(double v) {
  const std::int64_t r = RoundHalfEven64(v);
  if (r > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (r < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(r);
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const std::int64_t p = static_cast<std::int64_t>(a) * b;
  std::int64_t q = p / c;
  const std::int64_t rem = p % c;
  // Round half away from zero.
  if (rem != 0 && 2 * (rem < 0 ? -rem : rem) >= (c < 0 ? -static_cast<std::int64_t>(c) : c)) q += ((p < 0) != (c < 0)) ? -1 : 1;
  if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
  return static_cast<int>(q);
}

std::string FormatShortest(double v, int maxDecimals) {
  if (!std::isfinite(v)) return "0";
  char buf[400];  // enough for the largest double in fixed notation
  const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, maxDecimals);
  std::string s(buf, res.ptr);
  if (s.find('.') != std::string::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return s;
}

}  // namespace base
