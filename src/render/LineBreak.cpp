#include "render/LineBreak.h"

#include "base/Sjis.h"

int CharClass(std::string_view character) {
  if (character.size() != 1) return 2;
  const char c = character[0];
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return 0;
  if (c >= '0' && c <= '9') return 1;
  switch (c) {
    case '@':
    case '#':
    case '_':
    case '$':
    case '&':
    case '\'':
    case '^':
    case '\\':
    case '|':
    case '<':
    case '>':
    case '{':
    case ',':
    case '~':
      return 0;
    default:
      return 2;
  }
}

std::size_t BreakLineLength(std::string_view rest, int maxWidth,
                            const std::function<int(std::size_t)>& widthOf) {
  const std::size_t total = base::CharCount(rest);
  if (total <= 1) return total;
  // The longest prefix that fits, at least one character. Widths grow with the prefix, so a binary
  // search finds what shortening one character at a time would.
  std::size_t n = total;
  if (widthOf(total) > maxWidth) {
    std::size_t lo = 1, hi = total - 1;  // the answer lies in [lo, hi]; lo may not fit
    while (lo < hi) {
      const std::size_t mid = lo + (hi - lo + 1) / 2;
      if (widthOf(mid) <= maxWidth)
        lo = mid;
      else
        hi = mid - 1;
    }
    n = lo;
  }
  // Do not split a run of letters or of digits; go back to where the run started.
  std::size_t off = base::CharOffset(rest, n - 1);  // character n, the last one kept
  const std::size_t size = base::CharSize(rest, off);
  const int c = CharClass(rest.substr(off, size));
  const int d = n < total ? CharClass(rest.substr(off + size, base::CharSize(rest, off + size))) : 2;
  if (c == 2 || d != c || n == 1) return n;
  std::size_t k = 0;  // the last of characters 1 .. n - 1 of another class, 0 when there is none
  off = 0;
  for (std::size_t i = 1; i < n; ++i) {
    const std::size_t len = base::CharSize(rest, off);
    if (CharClass(rest.substr(off, len)) != c) k = i;
    off += len;
  }
  return k > 0 ? k : n;
}
