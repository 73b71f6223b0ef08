// The loader of the layout language: reads one layout file into a layout.
//
// A recursive-descent parser with one token of look-ahead. Every syntax error ends the load; the
// loader turns it into one message (ErrorText) that the caller shows as it is. Errors of the file
// itself (it cannot be opened or read) are base::Error exceptions for the caller's error handling.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "layout/Layout.h"
#include "layout/Scanner.h"

class MLoadLayout {
 public:
  // Loads into layout; the caller clears it first and discards what a failed load left in it.
  explicit MLoadLayout(MLayout& layout);

  // Parses the whole file (a Shift-JIS path) into the layout: true on success; false with ErrorText
  // set when the file does not exist or a statement is wrong. Throws base::Error when an existing
  // file cannot be read.
  bool Load(const std::string& fileName);

  MToken Token;  // the current token
  MScanner Scanner;
  // Every qualified name given out during this load ("form1.box2", ".form1"), folded to upper case:
  // names that differ only in letter case collide. Never cleared, so one loader serves one load.
  std::unordered_set<std::string> Names;
  MToken Value;  // the value token of the last property read; for a list the values joined by ","
  std::string ErrorText;

  // Registers container + "." + name; false when the name is taken (without regard to case).
  bool RegisterName(std::string_view container, std::string_view name);
  // The first of base1, base2, ... that is free in the container; registered before it is returned.
  std::string MakeDefaultName(std::string_view container, std::string_view base);

 private:
  using KindSet = std::initializer_list<std::uint8_t>;

  void Next();
  [[noreturn]] void SyntaxError();
  void Expect(std::uint8_t kind);
  double NumberValue() const;
  double LengthValue() const;

  bool ReadProperty(std::uint8_t kind, KindSet allowed);
  bool ReadListProperty(std::uint8_t kind, KindSet allowed);
  bool ReadColorProperty(std::uint8_t kind, std::uint32_t& color);
  bool ReadNumberProperty(std::uint8_t kind, double& out);
  bool ReadFlagProperty(std::uint8_t kind, bool& out);

  void ParseStatement();
  bool ParseSetting();
  bool ParseDefault();
  bool ParsePrint();
  bool ParseForm();
  bool ParseBlock();
  bool ParseLine(MContainer& owner);
  bool ParseBox(MContainer& owner);
  bool ParseCircle(MContainer& owner);
  bool ParseImage(MContainer& owner);
  bool ParseText(MContainer& owner);
  bool ParseBarcode(MContainer& owner);
  bool ParseGridPoint(MForm& form);
  bool ParseNewLine(MForm& form);
  bool ParseChildElement(MContainer& owner);

  bool ParsePosition(MControl& element);
  bool ParseEndpoints(MControl& element);
  bool ParseSize(MControl& element);
  bool ParseStroke(MControl& element);
  bool ParseFont(MText& text);
  bool ParseAlign(MShape& shape);
  bool ParseVisible(MControl& element);
  bool ParseStretch(MShape& shape);
  bool ParseEditable(MShape& shape);
  bool ParseBarcodeStyle(MBarcodeStyle& style);

  // The value token of a property named by an identifier, after its colon: its kind must be one of
  // allowed. The caller checks the value, consumes it and the semicolon (EndNamedProperty).
  void BeginNamedProperty(KindSet allowed);
  void EndNamedProperty();

  // Names the element just created (the identifier after its keyword, or a default name made from
  // base) and consumes the opening brace.
  void BeginElement(MControl& element, std::string_view owner, std::string_view base);

  // What the registry keeps per container (forms and blocks have the empty one): its folded name
  // with the "." that starts every key of it, and per base word the first number that may still be
  // free. Names are never given back, so that number only grows and default naming stays linear.
  struct ContainerNames {
    std::string keyPrefix;
    std::unordered_map<std::string, unsigned long long> nextNumber;
  };
  ContainerNames& Container(std::string_view container);

  MLayout& layout_;
  std::unordered_map<std::string, ContainerNames> containers_;  // by folded container name
  std::string lastContainer_;  // the container of the last look-up, as given, and its entry
  ContainerNames* lastNames_ = nullptr;
};
