#include "base/CommaText.h"

#include <algorithm>
#include <cstring>

namespace base {

namespace {

constexpr char kQuote = '"';

inline bool IsBlank(unsigned char c) { return c <= 0x20; }

// True when an item must be written in quotes to read back as it is.
bool NeedsQuotes(std::string_view item, bool first) {
  if (first && !item.empty() && (item[0] == ';' || item[0] == '[')) return true;
  for (const char ch : item) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsBlank(c) || c == kQuote || c == ',') return true;
  }
  return false;
}

void AppendQuoted(std::string_view item, std::string& out) {
  out += kQuote;
  for (const char c : item) {
    switch (c) {
      case kQuote:
        out += "\"\"";
        break;
      case '\r':
        out += "\"r";
        break;
      case '\n':
        out += "\"n";
        break;
      case '\0':
        out += "\"0";
        break;
      default:
        out += c;
    }
  }
  out += kQuote;
}

std::size_t SkipBlanks(std::string_view text, std::size_t i) {
  while (i < text.size() && IsBlank(static_cast<unsigned char>(text[i]))) ++i;
  return i;
}

// Reads the quoted item that starts at text[i] (the opening quote) into item; returns the position
// after its closing quote, or the end of the text when it has none.
std::size_t ReadQuoted(std::string_view text, std::size_t i, std::string& item) {
  ++i;
  while (true) {
    const std::size_t q = text.find(kQuote, i);
    if (q == std::string_view::npos) {
      item.append(text.substr(i));
      return text.size();
    }
    item.append(text.substr(i, q - i));
    const char next = q + 1 < text.size() ? text[q + 1] : '\0';
    switch (next) {
      case kQuote:
        item += kQuote;
        break;
      case 'r':
        item += '\r';
        break;
      case 'n':
        item += '\n';
        break;
      case '0':
        item += '\0';
        break;
      default:
        return q + 1;
    }
    i = q + 2;
  }
}

template <class Row>
void AppendRow(const Row& row, std::string& out) {
  if (row.size() == 1 && row[0].empty()) {
    out += "\"\"";
    return;
  }
  for (std::size_t k = 0; k < row.size(); ++k) {
    if (k > 0) out += ',';
    if (NeedsQuotes(row[k], k == 0)) {
      AppendQuoted(row[k], out);
    } else {
      out += row[k];
    }
  }
}

}  // namespace

void AppendCommaText(const std::vector<std::string>& row, std::string& out) { AppendRow(row, out); }
void AppendCommaText(const std::vector<std::string_view>& row, std::string& out) { AppendRow(row, out); }

std::string EncodeCommaText(const std::vector<std::string>& row) {
  std::string out;
  AppendCommaText(row, out);
  return out;
}

void DecodeCommaText(std::string_view text, std::vector<std::string>& row) {
  if (const void* zero = std::memchr(text.data(), '\0', text.size())) {
    text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(zero) - text.data()));
  }
  // The row's strings are reused: a reader that decodes row after row into one row allocates only
  // for items longer than any before.
  std::size_t count = 0;
  const auto next = [&row, &count]() -> std::string& {
    if (count == row.size()) row.emplace_back();
    std::string& item = row[count++];
    item.clear();
    return item;
  };
  const std::size_t n = text.size();
  std::size_t i = SkipBlanks(text, 0);
  while (i < n) {
    if (text[i] == kQuote) {
      i = ReadQuoted(text, i, next());
    } else {
      std::size_t j = i;
      while (j < n && !IsBlank(static_cast<unsigned char>(text[j])) && text[j] != ',') ++j;
      next().assign(text.substr(i, j - i));
      i = j;
    }
    i = SkipBlanks(text, i);
    if (i < n && text[i] == ',') {
      if (i + 1 == n) next();
      i = SkipBlanks(text, i + 1);
    }
  }
  row.resize(count);
}

std::vector<std::string> DecodeCommaText(std::string_view text) {
  std::vector<std::string> row;
  DecodeCommaText(text, row);
  return row;
}

}  // namespace base
