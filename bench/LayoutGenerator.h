// Layout files of any size for benchmarks: one A4 form holding many boxes and many grid points in
// rows, plus a shop catalogue's two block classes ("item" and "notice", whose elements carry the
// field names of MapFileGenerator.h where the language allows: "memo" is a keyword, so the memo
// text is "note"). Shift-JIS text with CR LF line ends, as layout authors write them.
#pragma once

#include <string>

#include "base/Sjis.h"

namespace bench {

struct LayoutShape {
  int boxes = 20000;           // boxes in the form
  int gridPoints = 20000;      // grid points in the form
  int pointsPerRow = 100;      // a "new-line" after every so many points
  bool namedElements = false;  // explicit names, or the loader's automatic ones
};

inline std::string GenerateLayoutText(const LayoutShape& shape) {
  std::string t;
  t.reserve(static_cast<std::size_t>(shape.boxes + shape.gridPoints) * 48 + 4096);
  t += "/* generated catalogue layout */\r\n";
  t += "setting { scale: 1; default { unit: mm; font-size: 3.5; } print { width: 297; height: 210; } }\r\n";
  t += "form page {\r\n";
  t += base::Utf8ToSjis("  text title { x: 10; y: 5; width: 200; height: 10; value: '商品カタログ'; }\r\n");
  for (int i = 0; i < shape.boxes; ++i) {
    t += "  box ";
    if (shape.namedElements) t += "frame_" + std::to_string(i) + ' ';
    t += "{ x: " + std::to_string(i % 277) + "; y: " + std::to_string(20 + i % 170) +
         "; width: 5; height: 5; }\r\n";
  }
  for (int i = 0; i < shape.gridPoints; ++i) {
    if (i > 0 && i % shape.pointsPerRow == 0) t += "  new-line;\r\n";
    t += "  grid-point ";
    if (shape.namedElements) t += "slot_" + std::to_string(i) + ' ';
    t += "{ x: " + std::to_string(10 + (i % shape.pointsPerRow) * 2) +
         "; y: " + std::to_string(20 + (i / shape.pointsPerRow) % 170) + "; }\r\n";
  }
  t += "}\r\n";
  t += base::Utf8ToSjis(
      "block item {\r\n"
      "  width: 60; height: 40;\r\n"
      "  face-element: name; thumbnail-element: photo, name, price;\r\n"
      "  key-element: code; search-element: name, category;\r\n"
      "  image photo { x: 1; y: 1; width: 20; height: 20; value: 'images/none.png'; }\r\n"
      "  text name { x: 22; y: 1; width: 36; height: 6; value: '商品名'; }\r\n"
      "  text code { x: 22; y: 8; width: 36; height: 4; }\r\n"
      "  text price { x: 22; y: 13; width: 36; height: 6; data-type: integer; format: '%d円'; value: 0; }\r\n"
      "  text category { x: 22; y: 20; width: 36; height: 4; }\r\n"
      "  text note { x: 1; y: 26; width: 58; height: 12; data-type: memo; editable: true; }\r\n"
      "}\r\n"
      "block notice {\r\n"
      "  width: 120; height: 20;\r\n"
      "  face-element: title;\r\n"
      "  text title { x: 1; y: 1; width: 118; height: 6; value: 'お知らせ'; }\r\n"
      "  text body { x: 1; y: 8; width: 118; height: 11; data-type: memo; }\r\n"
      "}\r\n");
  return t;
}

}  // namespace bench
