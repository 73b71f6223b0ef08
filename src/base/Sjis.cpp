#include "base/Sjis.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace base {

namespace {

// Folds one character (given by its first byte and, for a double-byte character, its second byte)
// in place. Only the second byte of a full-width letter changes; lead bytes never do.
inline unsigned char FoldSingle(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 0x20) : c;
}
inline unsigned char FoldSecond(unsigned char lead, unsigned char c) {
  // Full-width ａ-ｚ are 82 81 - 82 9A; Ａ-Ｚ are 82 60 - 82 79.
  return (lead == 0x82 && c >= 0x81 && c <= 0x9A) ? static_cast<unsigned char>(c - 0x21) : c;
}

}  // namespace

std::size_t CharCount(std::string_view s) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size(); i += CharSize(s, i)) ++n;
  return n;
}

std::size_t CharOffset(std::string_view s, std::size_t n) {
  std::size_t i = 0;
  while (n > 0 && i < s.size()) {
    i += CharSize(s, i);
    --n;
  }
  return i < s.size() ? i : s.size();
}

std::string_view CharPrefix(std::string_view s, std::size_t n) { return s.substr(0, CharOffset(s, n)); }

bool IsTrailByteAt(std::string_view s, std::size_t pos) {
  std::size_t i = 0;
  while (i < s.size() && i < pos) i += CharSize(s, i);
  return i > pos;
}

std::string UpperCase(std::string_view s) {
  std::string out;
  UpperCaseInto(s, out);
  return out;
}

void UpperCaseInto(std::string_view s, std::string& out) {
  out.assign(s);
  for (std::size_t i = 0; i < out.size();) {
    auto c = static_cast<unsigned char>(out[i]);
    if (CharSize(out, i) == 2) {
      out[i + 1] = static_cast<char>(FoldSecond(c, static_cast<unsigned char>(out[i + 1])));
      i += 2;
    } else {
      out[i] = static_cast<char>(FoldSingle(c));
      ++i;
    }
  }
}

int CompareText(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  // Both strings are walked together; the fold of a byte depends on whether it is a second byte,
  // which is the same in both while the prefixes are equal.
  bool second = false;
  unsigned char lead = 0;
  for (; i < n; ++i) {
    auto ca = static_cast<unsigned char>(a[i]);
    auto cb = static_cast<unsigned char>(b[i]);
    unsigned char fa, fb;
    if (second) {
      fa = FoldSecond(lead, ca);
      fb = FoldSecond(lead, cb);
      second = false;
    } else {
      fa = FoldSingle(ca);
      fb = FoldSingle(cb);
      if (fa == fb && IsLeadByte(ca)) {
        second = true;
        lead = ca;
      }
    }
    if (fa != fb) return fa < fb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

std::size_t FindBytes(std::string_view hay, std::string_view needle, std::size_t from) {
  std::size_t i = 0;
  while (i < from && i < hay.size()) i += CharSize(hay, i);
  if (i > hay.size()) return std::string_view::npos;
  while (true) {
    const std::size_t cand = hay.find(needle, i);
    if (cand == std::string_view::npos) return cand;
    while (i < cand) i += CharSize(hay, i);
    if (i == cand) return cand;
    // The match began on a second byte; look again from the next character boundary.
  }
}

std::size_t FindText(std::string_view hay, std::string_view needle, std::size_t from) {
  return FindBytes(UpperCase(hay), UpperCase(needle), from);
}

namespace {
std::string ReplaceFolded(std::string_view s, std::string_view searchIn, std::string_view token,
                          std::string_view replacement) {
  if (token.empty()) return std::string(s);
  std::string out;
  std::size_t at = 0;
  while (true) {
    const std::size_t hit = FindBytes(searchIn, token, at);
    if (hit == std::string_view::npos) break;
    out.append(s.substr(at, hit - at));
    out.append(replacement);
    at = hit + token.size();
  }
  out.append(s.substr(at));
  return out;
}
}  // namespace

std::string ReplaceText(std::string_view s, std::string_view token, std::string_view replacement) {
  const std::string folded = UpperCase(s);
  return ReplaceFolded(s, folded, UpperCase(token), replacement);
}

std::string ReplaceBytes(std::string_view s, std::string_view token, std::string_view replacement) {
  return ReplaceFolded(s, s, token, replacement);
}

std::string_view TrimLeft(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) <= 0x20) ++i;
  return s.substr(i);
}

std::string_view TrimRight(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= 0x20) --n;
  return s.substr(0, n);
}

std::string_view Trim(std::string_view s) { return TrimRight(TrimLeft(s)); }

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

namespace {

// One iconv descriptor per direction and thread, opened on first use.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts in; on a byte sequence that cannot be converted, appends substitute and lets skip say
  // how many input bytes to pass over.
  template <typename Skip>
  std::string Run(std::string_view in, std::string_view substitute, Skip skip) {
    std::string out;
    out.reserve(in.size() * 2 + 4);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buf[1024];
    while (srcLeft > 0) {
      char* dst = buf;
      std::size_t dstLeft = sizeof buf;
      const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buf, static_cast<std::size_t>(dst - buf));
      if (r == static_cast<std::size_t>(-1)) {
        if (errno == E2BIG) continue;
        out.append(substitute);
        const std::size_t n = std::min(srcLeft, skip(std::string_view(src, srcLeft)));
        src += n;
        srcLeft -= n;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    return out;
  }

 private:
  iconv_t cd_;
};

std::size_t Utf8SequenceLength(std::string_view s) {
  const auto c = static_cast<unsigned char>(s[0]);
  std::size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  // Only skip the continuation bytes that are really there.
  std::size_t k = 1;
  while (k < n && k < s.size() && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80) ++k;
  return k;
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
  thread_local Converter conv("UTF-8", "CP932");
  return conv.Run(sjis, "\xEF\xBF\xBD", [](std::string_view) { return std::size_t{1}; });
}

std::string Utf8ToSjis(std::string_view utf8) {
  thread_local Converter conv("CP932", "UTF-8");
  return conv.Run(utf8, "?", Utf8SequenceLength);
}

bool Utf8ToSjisExact(std::string_view utf8, std::string& out) {
  thread_local Converter conv("CP932", "UTF-8");
  bool exact = true;
  out = conv.Run(utf8, "?", [&exact](std::string_view s) {
    exact = false;
    return Utf8SequenceLength(s);
  });
  return exact;
}

}  // namespace base
