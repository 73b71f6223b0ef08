#include "base/IniText.h"

#include <cstring>

#include "base/Sjis.h"

namespace base {

namespace {

bool IsSectionHeader(std::string_view line) {
  // The closing bracket must be a character of its own, not the second byte of a Shift-JIS one.
  return line.size() >= 2 && line.front() == '[' && line.back() == ']' &&
         !IsTrailByteAt(line, line.size() - 1);
}

// Removes the blanks just before and after the first "=" of the line at line (size bytes), in place;
// returns the new size. Only blanks that are characters of their own go: a byte 00-20 that a lead
// byte has taken as its second byte (a broken character) stays, or the line's characters would shift
// and a second reading would tighten another "=".
std::size_t TightenEquals(char* line, std::size_t size) {
  if (std::memchr(line, '=', size) == nullptr) return size;
  const std::string_view view(line, size);
  const std::size_t eq = FindBytes(view, "=");
  if (eq == std::string_view::npos) return size;
  std::size_t after = eq + 1;
  while (after < size && static_cast<unsigned char>(line[after]) <= 0x20) ++after;
  std::size_t before = 0;  // the end of the last character before "=" that is not a blank
  for (std::size_t i = 0; i < eq;) {
    const std::size_t n = CharSize(view, i);
    if (n == 2 || static_cast<unsigned char>(line[i]) > 0x20) before = i + n;
    i += n;
  }
  // The line becomes line[0, before) "=" line[after, size).
  line[before] = '=';
  std::memmove(line + before + 1, line + after, size - after);
  return before + 1 + (size - after);
}

// The key of a line: the text before its first "=", or nothing when it holds none.
bool SplitKey(std::string_view line, std::string_view& key, std::string_view& value) {
  const std::size_t eq = FindBytes(line, "=");
  if (eq == std::string_view::npos) return false;
  key = line.substr(0, eq);
  value = line.substr(eq + 1);
  return true;
}

inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

}  // namespace

IniText::IniText(std::string text) : text_(std::move(text)) {
  std::vector<std::string_view>* current = nullptr;  // lines of the open section; null to drop lines
  char* const data = text_.data();
  const std::size_t size = text_.size();
  std::size_t start = 0;
  while (start < size) {
    // The line runs to the first CR or LF.
    const void* lf = std::memchr(data + start, '\n', size - start);
    std::size_t end = lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : size;
    if (const void* cr = std::memchr(data + start, '\r', end - start))
      end = static_cast<std::size_t>(static_cast<const char*>(cr) - data);
    std::size_t next = end;
    if (next < size) next += (data[next] == '\r' && next + 1 < size && data[next + 1] == '\n') ? 2 : 1;

    std::size_t from = start;
    while (from < end && IsBlank(data[from])) ++from;
    std::size_t to = end;
    while (to > from && IsBlank(data[to - 1])) --to;
    start = next;
    if (from == to || data[from] == ';') continue;
    const std::string_view line(data + from, to - from);
    if (IsSectionHeader(line)) {
      const std::string_view name = Trim(line.substr(1, line.size() - 2));
      if (FindSection(name) != nullptr) {
        current = nullptr;  // a repeated section: its lines are not read
      } else {
        sections_.push_back(Section{std::string(name), {}});
        current = &sections_.back().lines;
      }
      continue;
    }
    if (current == nullptr) continue;
    current->emplace_back(data + from, TightenEquals(data + from, to - from));
  }
}

const IniText::Section* IniText::FindSection(std::string_view name) const {
  for (const Section& s : sections_) {
    if (SameText(s.name, name)) return &s;
  }
  return nullptr;
}

const std::vector<std::string_view>& IniText::Lines(std::string_view section) const {
  static const std::vector<std::string_view> kNone;
  const Section* s = FindSection(section);
  return s != nullptr ? s->lines : kNone;
}

std::vector<std::string> IniText::LineTexts(std::string_view section) const {
  const std::vector<std::string_view>& lines = Lines(section);
  return std::vector<std::string>(lines.begin(), lines.end());
}

bool IniText::FindValue(std::string_view section, std::string_view key, std::string& value) const {
  for (const std::string_view line : Lines(section)) {
    std::string_view k, v;
    if (SplitKey(line, k, v) && SameText(k, key)) {
      value.assign(v);
      return true;
    }
  }
  return false;
}

std::string IniText::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
  std::string value;
  if (!FindValue(section, key, value)) value.assign(fallback);
  return value;
}

std::vector<std::string> IniText::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  for (const std::string_view line : Lines(section)) {
    std::string_view k, v;
    if (!SplitKey(line, k, v)) continue;
    bool seen = false;
    for (const std::string& known : keys) seen = seen || SameText(known, k);
    if (!seen) keys.emplace_back(k);
  }
  return keys;
}

}  // namespace base
