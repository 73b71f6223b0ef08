// Whole documents for benchmarks: the mapping data files of MapFileGenerator.h together with a layout
// that opens them, an A4 catalogue page of five rows of four places and the block classes "item" and
// "notice" with elements named after the generated fields. Written into a folder that also serves as
// the program folder, so that the layout name "<lay>\catalogue.lay" of the generated files resolves
// there.
#pragma once

#include <fstream>
#include <string>

#include "MapFileGenerator.h"
#include "base/Sjis.h"

namespace bench {

inline std::string DocumentLayoutText() {
  std::string t =
      "/* generated catalogue page */\r\n"
      "setting { default { unit: mm; font-size: 3.5; } print { width: 297; height: 210; } }\r\n"
      "form page {\r\n"
      "  text title { x: 10; y: 5; width: 200; height: 10; font-size: 7; editable: true; value: "
      "'商品カタログ'; }\r\n"
      "  line { x1: 10; y1: 17; x2: 287; y2: 17; }\r\n"
      "  text page_now { x: 260; y: 200; width: 10; height: 5; data-type: now-page; }\r\n";
  for (int row = 0; row < 5; ++row) {
    if (row > 0) t += "  new-line;\r\n";
    for (int column = 0; column < 4; ++column) {
      t += "  grid-point { x: " + std::to_string(10 + column * 70) + "; y: " + std::to_string(20 + row * 36) +
           "; }\r\n";
    }
  }
  t +=
      "}\r\n"
      "block item {\r\n"
      "  width: 66; height: 34;\r\n"
      "  face-element: name; thumbnail-element: photo, name, price;\r\n"
      "  key-element: code; search-element: name, category;\r\n"
      "  box frame { x: 0; y: 0; width: 66; height: 34; }\r\n"
      "  image photo { x: 1; y: 1; width: 20; height: 20; value: 'images/none.png'; }\r\n"
      "  text name { x: 22; y: 1; width: 42; height: 6; value: '商品名'; }\r\n"
      "  text code { x: 22; y: 8; width: 42; height: 4; }\r\n"
      "  text price { x: 22; y: 13; width: 42; height: 6; data-type: integer; format: '%d円'; value: 0; }\r\n"
      "  text category { x: 22; y: 20; width: 42; height: 4; }\r\n"
      "  text note { x: 1; y: 22; width: 64; height: 11; data-type: memo; editable: true; }\r\n"
      "}\r\n"
      "block notice {\r\n"
      "  width: 136; height: 34;\r\n"
      "  face-element: title;\r\n"
      "  text title { x: 1; y: 1; width: 134; height: 6; value: 'お知らせ'; }\r\n"
      "  text body { x: 1; y: 8; width: 134; height: 25; data-type: memo; }\r\n"
      "}\r\n";
  return base::Utf8ToSjis(t);
}

// Replaces every whole line equal to from by to.
inline void ReplaceLines(std::string& text, const std::string& from, const std::string& to) {
  const std::string line = "\r\n" + from + "\r\n";
  for (std::size_t at = 0; (at = text.find(line, at)) != std::string::npos; at += to.size() + 2)
    text.replace(at + 2, from.size(), to);
}

// The generated document text with the memo field named as the layout's element ("memo" is a word
// of the layout language, so the element is "note"), and every editable text among the fields, as
// the editor saves them. Without breaks, the row and page breaks are blanks: every row and page is
// then full, and an insertion at the start moves every entry of the document.
inline std::string GenerateDocumentText(const MapFileShape& shape, bool breaks = true) {
  std::string text = GenerateMapFileText(shape);
  if (!breaks) {
    ReplaceLines(text, "newline", "space");
    ReplaceLines(text, "newpage", "space");
  }
  const std::string from = "item,name,code,price,photo,photo.visible,memo,category\r\n";
  const std::size_t at = text.find(from);
  if (at != std::string::npos)
    text.replace(at, from.size(), "item,name,code,price,photo,photo.visible,note,category\r\n");
  return text;
}

// Writes the layout "catalogue.lay" and the document name into folder (which exists); returns the
// document's path.
inline std::string WriteGeneratedDocument(const std::string& folder, const std::string& name,
                                          const MapFileShape& shape, bool breaks = true) {
  std::ofstream(folder + "/catalogue.lay", std::ios::binary) << DocumentLayoutText();
  const std::string path = folder + "/" + name;
  std::ofstream(path, std::ios::binary) << GenerateDocumentText(shape, breaks);
  return path;
}

}  // namespace bench
