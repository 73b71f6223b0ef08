#include "base/Csv.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "base/Error.h"
#include "base/Sjis.h"

namespace base {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kReplacement =
    "\xEF\xBF\xBD";  // U+FFFD: what the conversion gives for a non-character
// Characters that Shift-JIS cannot hold are listed up to this many in one message.
constexpr int kListedLosses = 5;

bool StartsWithBom(std::string_view bytes) { return bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom; }

// Offset of the first byte that does not belong to a valid UTF-8 sequence; npos when all do.
std::size_t FirstInvalidUtf8(std::string_view s) {
  const auto byte = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = byte(i);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (c >= 0xC2 && c <= 0xDF) {
      n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 3;
      if (c == 0xE0) low = 0xA0;   // no overlong forms
      if (c == 0xED) high = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 4;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
      return i;
    }
    if (i + n > s.size()) return i;
    if (byte(i + 1) < low || byte(i + 1) > high) return i;
    for (std::size_t k = 2; k < n; ++k) {
      if ((byte(i + k) & 0xC0) != 0x80) return i;
    }
    i += n;
  }
  return std::string_view::npos;
}

// Code page 932 to UTF-8 by table, giving the bytes of SjisToUtf8: each entry is that function's
// conversion of one character, made once. An export converts megabytes, and a call into the converter
// per character, or over the whole text, costs several times the rest of the export.
class SjisToUtf8Table {
 public:
  SjisToUtf8Table() {
    for (int b = 0; b < 256; ++b) Set(single_[b], SjisToUtf8(std::string(1, static_cast<char>(b))));
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0; trail < 256; ++trail) {
        const std::string utf8 = SjisToUtf8(std::string{static_cast<char>(lead), static_cast<char>(trail)});
        // A pair that is no character converts as its lead byte alone, then the next byte.
        if (utf8.rfind(kReplacement, 0) != 0) Set(pair_[(lead << 8) | trail], utf8);
      }
    }
    for (int b = 0; b < 256; ++b) {
      same_[b] = !IsLeadByte(static_cast<unsigned char>(b)) && single_[b].size == 1 &&
                 static_cast<unsigned char>(single_[b].bytes[0]) == b;
    }
  }

  // Offset of the first byte that starts no character the conversion knows; npos when all do.
  std::size_t FirstInvalid(std::string_view sjis) const {
    for (std::size_t i = 0; i < sjis.size();) {
      const auto c = static_cast<unsigned char>(sjis[i]);
      if (IsLeadByte(c) && i + 1 < sjis.size() &&
          pair_[(c << 8) | static_cast<unsigned char>(sjis[i + 1])].size > 0) {
        i += 2;
      } else if (c < 0x80 || std::string_view(single_[c].bytes, single_[c].size) != kReplacement) {
        ++i;
      } else {
        return i;
      }
    }
    return std::string_view::npos;
  }

  void Append(std::string_view sjis, std::string& out) const {
    if (out.capacity() - out.size() < sjis.size() * 3 / 2)
      out.reserve(std::max(out.size() * 2, out.size() + sjis.size() * 3 / 2 + 16));
    for (std::size_t i = 0; i < sjis.size();) {
      // Runs of bytes that stand for themselves (most of any file) are copied whole.
      std::size_t end = i;
      while (end < sjis.size() && same_[static_cast<unsigned char>(sjis[end])]) ++end;
      out.append(sjis.data() + i, end - i);
      if ((i = end) == sjis.size()) break;
      const auto c = static_cast<unsigned char>(sjis[i]);
      if (IsLeadByte(c) && i + 1 < sjis.size()) {
        const Entry& e = pair_[(c << 8) | static_cast<unsigned char>(sjis[i + 1])];
        if (e.size > 0) {
          out.append(e.bytes, e.size);
          i += 2;
          continue;
        }
      }
      out.append(single_[c].bytes, single_[c].size);
      ++i;
    }
  }

 private:
  struct Entry {
    char bytes[7] = {};
    unsigned char size = 0;
  };
  static void Set(Entry& entry, const std::string& utf8) {
    entry.size = static_cast<unsigned char>(std::min(utf8.size(), sizeof entry.bytes));
    utf8.copy(entry.bytes, entry.size);
  }

  Entry single_[256];
  bool same_[256] = {};  // converts to itself
  std::vector<Entry> pair_ = std::vector<Entry>(65536);
};

const SjisToUtf8Table& SjisTable() {
  static const SjisToUtf8Table table;
  return table;
}

// Offset of the first byte that is no character of code page 932 (as the program converts it: a
// double-byte code that no character has is refused too); npos when all are.
std::size_t FirstInvalidSjis(std::string_view s) { return SjisTable().FirstInvalid(s); }

// Line (from 1) of the byte at offset: CR LF, CR and LF each end a line.
int LineAt(std::string_view s, std::size_t offset) {
  int line = 1;
  for (std::size_t i = 0; i < offset && i < s.size(); ++i) {
    if (s[i] == '\n' || (s[i] == '\r' && (i + 1 >= s.size() || s[i + 1] != '\n'))) ++line;
  }
  return line;
}

Error LineError(int line, std::string_view what) {
  return Error(std::to_string(line) + Utf8ToSjis(" 行目: ") + Utf8ToSjis(what));
}

bool IsSeparatorChoice(char c) { return c == ',' || c == '\t' || c == ';'; }

std::string CodePoints(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    unsigned value = n == 1 ? c : c & (0x7F >> n);
    for (std::size_t k = 1; k < n && i + k < utf8.size(); ++k)
      value = (value << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%sU+%04X", out.empty() ? "" : " ", value);
    out += buffer;
    i += n;
  }
  return out;
}

// The characters of a UTF-8 field that Shift-JIS cannot hold, as code points.
std::string LostCharacters(std::string_view utf8) {
  std::string lost, converted;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    const std::string_view one = utf8.substr(i, n);
    if (!Utf8ToSjisExact(one, converted)) lost += (lost.empty() ? "" : " ") + CodePoints(one);
    i += n;
  }
  return lost;
}

bool IsAscii(std::string_view s) {
  for (const char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

class Reader {
 public:
  Reader(std::string_view text, CsvTable& table) : s_(text), table_(table) {}

  void Run() {
    while (pos_ < s_.size()) {
      const int recordLine = line_;
      if (AtLineEnd()) {  // a blank line
        SkipLineEnd();
        continue;
      }
      std::vector<std::string>& row = table_.Rows.emplace_back();
      table_.Lines.push_back(recordLine);
      while (true) {
        ReadField(row);
        if (pos_ < s_.size() && s_[pos_] == table_.Separator) {
          ++pos_;
          continue;
        }
        SkipLineEnd();
        break;
      }
      CheckWidth(row, recordLine);
    }
    if (!losses_.empty()) ThrowLosses();
  }

 private:
  bool AtLineEnd() const { return s_[pos_] == '\r' || s_[pos_] == '\n'; }

  void SkipLineEnd() {
    if (pos_ >= s_.size()) return;
    if (s_[pos_] == '\r' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    ++line_;
  }

  void ReadField(std::vector<std::string>& row) {
    const int fieldLine = line_;
    std::string& field = row.emplace_back();
    if (pos_ < s_.size() && s_[pos_] == '"') {
      ++pos_;
      while (true) {
        const std::size_t quote = s_.find('"', pos_);
        if (quote == std::string_view::npos) throw LineError(fieldLine, "引用符 (\") が閉じられていません。");
        const std::string_view part = s_.substr(pos_, quote - pos_);
        for (std::size_t i = 0; i < part.size(); ++i) {
          if (part[i] == '\n' || (part[i] == '\r' && (i + 1 >= part.size() || part[i + 1] != '\n'))) ++line_;
        }
        field.append(part);
        pos_ = quote + 1;
        if (pos_ < s_.size() && s_[pos_] == '"') {
          field += '"';
          ++pos_;
          continue;
        }
        break;
      }
      // Blanks after the closing quote are tolerated; anything else makes the field ambiguous.
      while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t') && s_[pos_] != table_.Separator)
        ++pos_;
      if (pos_ < s_.size() && s_[pos_] != table_.Separator && !AtLineEnd())
        throw LineError(line_, "引用符で囲んだ項目のあとに余分な文字があります。");
    } else {
      const std::size_t start = pos_;
      while (pos_ < s_.size() && s_[pos_] != table_.Separator && !AtLineEnd()) ++pos_;
      field.assign(s_.substr(start, pos_ - start));
    }
    if (table_.Encoding == CsvEncoding::Utf8 && !IsAscii(field)) {
      if (!Utf8ToSjisExact(field, converted_)) {
        if (static_cast<int>(losses_.size()) < kListedLosses) {
          losses_.push_back(std::to_string(fieldLine) + Utf8ToSjis(" 行目 ") + std::to_string(row.size()) +
                            Utf8ToSjis(" 列目 (") + LostCharacters(field) + ")");
        }
        ++lossCount_;
      }
      field.swap(converted_);
    }
  }

  // A record wider than the first is refused, unless what it has more is empty (a trailing separator).
  void CheckWidth(std::vector<std::string>& row, int recordLine) {
    const std::size_t width = table_.Rows.front().size();
    while (row.size() > width && row.back().empty()) row.pop_back();
    if (row.size() > width) {
      throw LineError(recordLine, "項目が " + std::to_string(row.size()) + " 個あり、見出し (最初の行) の " +
                                      std::to_string(width) + " 個より多くなっています。");
    }
  }

  [[noreturn]] void ThrowLosses() const {
    std::string message = Utf8ToSjis("Shift-JIS で表せない文字があります: ");
    for (std::size_t i = 0; i < losses_.size(); ++i) message += (i > 0 ? Utf8ToSjis("、") : "") + losses_[i];
    if (lossCount_ > static_cast<int>(losses_.size()))
      message += Utf8ToSjis(" ほか ") + std::to_string(lossCount_ - static_cast<int>(losses_.size())) +
                 Utf8ToSjis(" 箇所");
    throw Error(message + Utf8ToSjis("。"));
  }

  std::string_view s_;
  CsvTable& table_;
  std::size_t pos_ = 0;
  int line_ = 1;
  std::string converted_;
  std::vector<std::string> losses_;
  int lossCount_ = 0;
};

}  // namespace

CsvEncoding DetectCsvEncoding(std::string_view bytes) {
  if (StartsWithBom(bytes)) return CsvEncoding::Utf8;
  return FirstInvalidUtf8(bytes) == std::string_view::npos ? CsvEncoding::Utf8 : CsvEncoding::Sjis;
}

char DetectCsvSeparator(std::string_view bytes) {
  if (StartsWithBom(bytes)) bytes.remove_prefix(kUtf8Bom.size());
  std::array<int, 3> counts{};  // comma, tab, semicolon
  bool quoted = false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '"') {
      quoted = !quoted;  // a doubled quote toggles twice
    } else if (!quoted) {
      if (c == '\r' || c == '\n') {
        if (counts[0] + counts[1] + counts[2] > 0) break;
        continue;  // blank lines before the first record
      }
      if (c == ',') ++counts[0];
      if (c == '\t') ++counts[1];
      if (c == ';') ++counts[2];
    }
  }
  if (counts[1] > counts[0] && counts[1] >= counts[2]) return '\t';
  if (counts[2] > counts[0] && counts[2] > counts[1]) return ';';
  return ',';
}

CsvTable ReadCsv(std::string_view bytes, const CsvReadOptions& options) {
  CsvTable table;
  table.Encoding = options.Encoding == CsvEncoding::Detect ? DetectCsvEncoding(bytes) : options.Encoding;
  table.Separator = IsSeparatorChoice(options.Separator) ? options.Separator : DetectCsvSeparator(bytes);
  std::string_view text = bytes;
  if (table.Encoding == CsvEncoding::Utf8 && StartsWithBom(text)) text.remove_prefix(kUtf8Bom.size());
  const std::size_t bad =
      table.Encoding == CsvEncoding::Utf8 ? FirstInvalidUtf8(text) : FirstInvalidSjis(text);
  if (bad != std::string_view::npos) {
    throw LineError(LineAt(text, bad), table.Encoding == CsvEncoding::Utf8
                                           ? "UTF-8 として正しくないバイトがあります。"
                                           : "Shift-JIS として正しくないバイトがあります。");
  }
  Reader(text, table).Run();
  return table;
}

CsvWriter::CsvWriter(const CsvWriteOptions& options) : options_(options) {
  if (!IsSeparatorChoice(options_.Separator)) options_.Separator = ',';
  for (const char c : {options_.Separator, '"', '\r', '\n'}) special_[static_cast<unsigned char>(c)] = true;
  if (options_.Encoding != CsvEncoding::Sjis && options_.ByteOrderMark) out_ = kUtf8Bom;
}

// Pieces never split a character: they are cut at quotes, and no byte below 0x40 is a second byte.
void CsvWriter::Put(std::string_view sjis) {
  if (options_.Encoding == CsvEncoding::Sjis) {
    out_.append(sjis);
  } else {
    SjisTable().Append(sjis, out_);
  }
}

void CsvWriter::Field(std::string_view field) {
  if (fields_++ > 0) out_ += options_.Separator;
  lastEmpty_ = field.empty();
  if (std::none_of(field.begin(), field.end(),
                   [this](char c) { return special_[static_cast<unsigned char>(c)]; })) {
    Put(field);
    return;
  }
  out_ += '"';
  for (std::size_t quote; (quote = field.find('"')) != std::string_view::npos;
       field.remove_prefix(quote + 1)) {
    Put(field.substr(0, quote + 1));
    out_ += '"';
  }
  Put(field);
  out_ += '"';
}

void CsvWriter::EndRecord() {
  // A record of one empty field would read back as a blank line, which readers skip.
  if (fields_ == 1 && lastEmpty_) out_ += "\"\"";
  out_ += "\r\n";
  fields_ = 0;
}

std::string CsvWriter::Finish() {
  std::string out = std::move(out_);
  out_.clear();
  fields_ = 0;
  return out;
}

std::string WriteCsv(const std::vector<std::vector<std::string>>& rows, const CsvWriteOptions& options) {
  CsvWriter writer(options);
  for (const std::vector<std::string>& row : rows) {
    for (const std::string& field : row) writer.Field(field);
    writer.EndRecord();
  }
  return writer.Finish();
}

std::string_view CsvSeparatorName(char separator) {
  if (separator == '\t') return "tab";
  if (separator == ';') return ";";
  return ",";
}

}  // namespace base
