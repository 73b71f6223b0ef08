#include "layout/Specials.h"

std::unique_ptr<MControl> NewSpecialEntry(std::string_view typeName) {
  if (typeName == "space") return std::make_unique<MSpace>();
  if (typeName == "newline") return std::make_unique<MNewLine>();
  if (typeName == "newpage") return std::make_unique<MNewPage>();
  return nullptr;
}
