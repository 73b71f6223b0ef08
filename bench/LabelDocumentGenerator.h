// Shelf-label documents of any size: the shape of year-long label runs and national catalogues, where
// a record is short (about 38 bytes a row) and there are very many of them.
//
// An A4 sheet of eight rows of three labels; the block class "item" with three texts (a name, a
// code, a memo of two lines) and, one entry in thirteen, a block of the class "notice". A "newline"
// stands every 97 entries and a "newpage" every 1,009. Rows read "item,品名N,N,上<br>下<br>". The
// unplaced list holds items only. The same shape always gives the same bytes.
#pragma once

#include <cstddef>
#include <fstream>
#include <string>

#include "base/Sjis.h"

namespace bench {

struct LabelShape {
  std::size_t placedRows = 1000000;
  std::size_t unplacedRows = 100000;
};

inline std::string LabelLayoutText() {
  std::string t =
      "/* generated shelf labels */\r\n"
      "setting { default { unit: mm; font-size: 3.5; } print { width: 210; height: 297; } }\r\n"
      "form sheet {\r\n"
      "  text title { x: 10; y: 4; width: 150; height: 7; font-size: 5; editable: true; value: '棚札'; }\r\n"
      "  text page_now { x: 180; y: 4; width: 20; height: 6; data-type: now-page; }\r\n";
  for (int row = 0; row < 8; ++row) {
    if (row > 0) t += "  new-line;\r\n";
    for (int column = 0; column < 3; ++column) {
      t += "  grid-point { x: " + std::to_string(8 + column * 66) + "; y: " + std::to_string(14 + row * 35) +
           "; }\r\n";
    }
  }
  t += "}\r\n"
       "block item {\r\n"
       "  width: 62; height: 33;\r\n"
       "  face-element: name; thumbnail-element: name, code;\r\n"
       "  key-element: code; search-element: name, code;\r\n"
       "  box frame { x: 0; y: 0; width: 62; height: 33; }\r\n"
       "  text name { x: 2; y: 2; width: 58; height: 8; font-size: 5; value: '品名'; }\r\n"
       "  text code { x: 2; y: 11; width: 58; height: 5; }\r\n"
       "  text note { x: 2; y: 17; width: 58; height: 14; data-type: memo; editable: true; }\r\n"
       "}\r\n"
       "block notice {\r\n"
       "  width: 62; height: 33;\r\n"
       "  face-element: title;\r\n"
       "  box frame { x: 0; y: 0; width: 62; height: 33; fill-style: solid; fill: lightgray; }\r\n"
       "  text title { x: 2; y: 2; width: 58; height: 10; font-size: 6; value: 'お知らせ'; }\r\n"
       "}\r\n";
  return base::Utf8ToSjis(t);
}

// The bytes of the mapping data file, naming the layout "labels.lay" beside it.
inline std::string GenerateLabelDocumentText(const LabelShape& shape) {
  const std::string item = "item," + base::Utf8ToSjis("品名");
  const std::string memo = base::Utf8ToSjis("上<br>下<br>");
  const std::string notice = "notice," + base::Utf8ToSjis("お知らせ");
  std::string out;
  out.reserve((shape.placedRows + shape.unplacedRows) * 40 + 1024);
  out += "[basic_info]\r\nlayout=labels.lay\r\n";
  out += "\r\n[block_field]\r\nitem,name,code,note\r\nnotice,title\r\n";
  out += "\r\n[form_data]\r\n1.title=" + base::Utf8ToSjis("棚札 春") + "\r\n";
  out += "\r\n[map_data]\r\n";
  for (std::size_t i = 1; i <= shape.placedRows; ++i) {
    if (i % 1009 == 0) {
      out += "newpage\r\n";
    } else if (i % 97 == 0) {
      out += "newline\r\n";
    } else if (i % 13 == 0) {
      out += notice + std::to_string(i) + "\r\n";
    } else {
      const std::string n = std::to_string(i);
      out += item + n + ',' + n + ',' + memo + "\r\n";
    }
  }
  out += "\r\n[unmap_data]\r\n";
  for (std::size_t i = 1; i <= shape.unplacedRows; ++i) {
    const std::string n = std::to_string(shape.placedRows + i);
    out += item + n + ',' + n + ',' + memo + "\r\n";
  }
  out += "\r\n[trash_data]\r\n";
  return out;
}

// Writes "labels.lay" and the document name into folder (which exists); returns the document's path.
inline std::string WriteLabelDocument(const std::string& folder, const std::string& name,
                                      const LabelShape& shape) {
  std::ofstream(folder + "/labels.lay", std::ios::binary) << LabelLayoutText();
  const std::string path = folder + "/" + name;
  std::ofstream(path, std::ios::binary) << GenerateLabelDocumentText(shape);
  return path;
}

}  // namespace bench
