// Helpers shared by the barcode tests.
#pragma once

#include <QGuiApplication>
#include <memory>
#include <string>
#include <string_view>

#include "barcode/BarEncoders.h"

namespace barcode_test {

// Text and the clipboard need a QGuiApplication; it is created once and destroyed when the program ends.
inline void EnsureGuiApp() {
  if (QGuiApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "tests_barcode";
  static char* argv[] = {name, nullptr};
  static const std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
}

// Element digits of a pattern as module widths ("303232" -> "212222").
inline std::string Widths(std::string_view pattern) {
  std::string widths;
  for (char d : pattern) widths += static_cast<char>('0' + barcode::ElementModules(d));
  return widths;
}

// Runs an encoder through the common entry point.
inline std::string Encode(barcode::TBarTypes type, std::string_view code, std::string* symbolText = nullptr,
                          bool cd = false, char startChar = 'A', char stopChar = 'A') {
  barcode::EncodeOptions options{cd, startChar, stopChar};
  std::string text;
  std::string pattern = barcode::EncodeBar(type, code, options, text);
  if (symbolText != nullptr) *symbolText = text;
  return pattern;
}

}  // namespace barcode_test
