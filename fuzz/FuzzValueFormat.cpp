// The value formatter with any format pattern and any value.
//
// Input: the pattern, a zero byte, then the value. The value is formatted as each kind of text value
// and, taken as raw bytes, as an integer, a floating-point value and a text argument. The integer
// directives are also checked against the C library's own formatting of the same directive.
#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "base/ValueFormat.h"

namespace {

// Nothing the formatter writes can exceed the pattern, one field of at most 1000 bytes and the
// longest number a long double gives (about 5000 digits with their group separators), or the text.
void CheckResult(bool ok, const std::string& out, std::string_view pattern, std::size_t argumentSize) {
  if (!ok) {
    FUZZ_CHECK(out == "untouched");
    return;
  }
  FUZZ_CHECK(out.size() <= pattern.size() + argumentSize + 8000);
}

void FormatAll(std::string_view pattern, const base::FormatArgument& arg, std::size_t argumentSize) {
  std::string out = "untouched";
  const bool ok = base::FormatValue(pattern, arg, out);
  CheckResult(ok, out, pattern, argumentSize);
  // The same pattern and value give the same text.
  std::string again = "untouched";
  FUZZ_CHECK(base::FormatValue(pattern, arg, again) == ok);
  FUZZ_CHECK(again == out);
}

template <class T>
T Load(std::string_view bytes) {
  T v{};
  if (bytes.empty()) return v;
  std::memcpy(&v, bytes.data(), std::min(sizeof v, bytes.size()));
  return v;
}

// "%-12.5d" and the like, built from the first bytes, against snprintf with the same directive.
void CheckIntegerDirective(std::string_view bytes) {
  if (bytes.size() < 12) return;
  const auto flags = static_cast<unsigned char>(bytes[0]);
  const int width = static_cast<unsigned char>(bytes[1]) * 4 % 1001;
  const int precision = static_cast<unsigned char>(bytes[2]) * 4 % 1001;
  const bool left = flags & 1, withWidth = flags & 2, withPrecision = flags & 4, hex = flags & 8;
  const auto value = Load<std::int64_t>(bytes.substr(3));

  std::string pattern = "[%";
  if (left) pattern += '-';
  if (withWidth) pattern += std::to_string(width);
  if (withPrecision) pattern += "." + std::to_string(precision);
  pattern += hex ? ((flags & 16) ? 'X' : 'x') : ((flags & 16) ? 'D' : 'd');
  pattern += "]%%";

  // printf writes no digit for zero at precision 0; the formatter always writes one.
  const int cPrecision = withPrecision ? std::max(precision, 1) : 1;
  char expected[2100];
  const char* format = hex ? (left ? "[%-*.*" PRIX64 "]%%" : "[%*.*" PRIX64 "]%%")
                           : (left ? "[%-*.*" PRId64 "]%%" : "[%*.*" PRId64 "]%%");
  if (hex) {
    std::snprintf(expected, sizeof expected, format, withWidth ? width : 0, cPrecision,
                  static_cast<std::uint64_t>(value));
  } else {
    std::snprintf(expected, sizeof expected, format, withWidth ? width : 0, cPrecision, value);
  }
  std::string out;
  FUZZ_CHECK(base::FormatValue(pattern, base::FormatArgument(value), out));
  FUZZ_CHECK(out == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz::Bytes(data, size);
  const std::size_t zero = input.find('\0');
  const std::string_view pattern = input.substr(0, zero);
  const std::string_view value = zero == std::string_view::npos ? std::string_view() : input.substr(zero + 1);

  for (const base::ValueKind kind :
       {base::ValueKind::Integer, base::ValueKind::Float, base::ValueKind::Text}) {
    std::string out = "untouched";
    const bool ok = base::FormatTextValue(pattern, kind, value, out);
    CheckResult(ok, out, pattern, value.size());
  }
  FormatAll(pattern, base::FormatArgument(Load<std::int64_t>(value)), 0);
  FormatAll(pattern, base::FormatArgument(Load<long double>(value)), 0);
  FormatAll(pattern, base::FormatArgument(static_cast<long double>(Load<double>(value))), 0);
  FormatAll(pattern, base::FormatArgument(value), value.size());

  CheckIntegerDirective(input);
  return 0;
}
