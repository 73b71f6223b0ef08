#include "base/IniText.h"

#include "base/Sjis.h"

namespace base {

namespace {

// Trims line in place (bytes 00-20 at both ends), without copying when there is nothing to trim.
void TrimInPlace(std::string& line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.size() == line.size()) return;
  const auto from = static_cast<std::size_t>(trimmed.data() - line.data());
  line.erase(from + trimmed.size());
  line.erase(0, from);
}

bool IsSectionHeader(const std::string& line) {
  // The closing bracket must be a character of its own, not the second byte of a Shift-JIS one.
  return line.size() >= 2 && line.front() == '[' && line.back() == ']' &&
         !IsTrailByteAt(line, line.size() - 1);
}

// Removes the blanks just before and after the first "=" of line. Only blanks that are characters of
// their own go: a byte 00-20 that a lead byte has taken as its second byte (a broken character)
// stays, or the line's characters would shift and a second reading would tighten another "=".
void TightenEquals(std::string& line) {
  const std::size_t eq = FindBytes(line, "=");
  if (eq == std::string::npos) return;
  std::size_t after = eq + 1;
  while (after < line.size() && static_cast<unsigned char>(line[after]) <= 0x20) ++after;
  std::size_t before = 0;  // the end of the last character before "=" that is not a blank
  for (std::size_t i = 0; i < eq;) {
    const std::size_t n = CharSize(line, i);
    if (n == 2 || static_cast<unsigned char>(line[i]) > 0x20) before = i + n;
    i += n;
  }
  if (after > eq + 1) line.erase(eq + 1, after - eq - 1);
  if (before < eq) line.erase(before, eq - before);
}

// The key of a line: the text before its first "=", or nothing when it holds none.
bool SplitKey(std::string_view line, std::string_view& key, std::string_view& value) {
  const std::size_t eq = FindBytes(line, "=");
  if (eq == std::string_view::npos) return false;
  key = line.substr(0, eq);
  value = line.substr(eq + 1);
  return true;
}

}  // namespace

IniText::IniText(std::string_view text) {
  std::vector<std::string>* current = nullptr;  // lines of the open section; null to drop lines
  for (std::string& line : SplitLines(text)) {
    TrimInPlace(line);
    if (line.empty() || line.front() == ';') continue;
    if (IsSectionHeader(line)) {
      const std::string_view name = Trim(std::string_view(line).substr(1, line.size() - 2));
      if (FindSection(name) != nullptr) {
        current = nullptr;  // a repeated section: its lines are not read
      } else {
        sections_.push_back(Section{std::string(name), {}});
        current = &sections_.back().lines;
      }
      continue;
    }
    if (current == nullptr) continue;
    TightenEquals(line);
    current->push_back(std::move(line));
  }
}

const IniText::Section* IniText::FindSection(std::string_view name) const {
  for (const Section& s : sections_) {
    if (SameText(s.name, name)) return &s;
  }
  return nullptr;
}

const std::vector<std::string>& IniText::Lines(std::string_view section) const {
  static const std::vector<std::string> kNone;
  const Section* s = FindSection(section);
  return s != nullptr ? s->lines : kNone;
}

bool IniText::FindValue(std::string_view section, std::string_view key, std::string& value) const {
  for (const std::string& line : Lines(section)) {
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
  for (const std::string& line : Lines(section)) {
    std::string_view k, v;
    if (!SplitKey(line, k, v)) continue;
    bool seen = false;
    for (const std::string& known : keys) seen = seen || SameText(known, k);
    if (!seen) keys.emplace_back(k);
  }
  return keys;
}

}  // namespace base
