// Ini text, as the configuration and the mapping data file are read.
//
//   [section]
//   key = value
//   ; a comment
//   any other line
//
// The text is split into lines at CR LF, CR or LF and each line is trimmed of bytes 00-20. Empty
// lines, lines that begin with ";" and lines before the first section header are dropped. A line that
// begins with "[" and ends with "]" opens the section named by what lies between (trimmed). In any
// other line the blanks just before and after its first "=" are removed; the line is otherwise kept as
// it is, so data lines keep their own syntax. Section and key names compare without regard to case;
// when a section occurs twice, only the lines of its first occurrence count.
//
// The object holds the text once and its lines as views into it (a document of a million rows is a
// million lines): it neither copies nor moves, so that the views stay valid while it lives.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace base {

class IniText {
 public:
  IniText() = default;
  explicit IniText(std::string text);
  explicit IniText(std::string_view text) : IniText(std::string(text)) {}
  explicit IniText(const char* text) : IniText(std::string(text)) {}
  IniText(const IniText&) = delete;
  IniText& operator=(const IniText&) = delete;

  // The kept lines of a section in file order; empty when the section does not exist.
  const std::vector<std::string_view>& Lines(std::string_view section) const;
  // The same lines as strings of their own.
  std::vector<std::string> LineTexts(std::string_view section) const;

  // The value of the first line of the section whose key (the text before its first "=") is key:
  // the text after that "=". Lines without "=" hold no key.
  bool FindValue(std::string_view section, std::string_view key, std::string& value) const;
  std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;

  // The keys of a section in file order, each once (as first written).
  std::vector<std::string> Keys(std::string_view section) const;

 private:
  struct Section {
    std::string name;
    std::vector<std::string_view> lines;
  };
  const Section* FindSection(std::string_view name) const;

  std::string text_;  // the lines view it; tightened lines are rewritten in place
  std::vector<Section> sections_;
};

}  // namespace base
