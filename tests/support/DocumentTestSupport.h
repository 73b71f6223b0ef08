// Shared fixtures of the document tests: temporary folders, Shift-JIS files written from UTF-8 test
// text, small layouts with a grid of choice, and a readable picture of the pages.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/Sjis.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "layout/BlockInstance.h"
#include "layout/Containers.h"
#include "layout/Controls.h"
#include "layout/Layout.h"
#include "layout/LoadLayout.h"
#include "layout/Page.h"

namespace doc_test {

namespace fs = std::filesystem;

inline std::string Sjis(const std::string& utf8) { return base::Utf8ToSjis(utf8); }

// UTF-8 text with LF line ends as Shift-JIS with CR LF, as the files of the editor are.
inline std::string SjisCrLf(const std::string& utf8) {
  std::string out;
  for (const char c : base::Utf8ToSjis(utf8)) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

inline std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteBytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// A folder of its own, removed with the object.
class TempFolder {
 public:
  explicit TempFolder(const std::string& tag = "doc") {
    static int serial = 0;
    path_ = fs::temp_directory_path() /
            ("tessora-" + tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const fs::path& Path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }
  // The path as the program's texts hold it (Shift-JIS).
  std::string SjisPath(const std::string& name) const { return base::Utf8ToSjis((path_ / name).string()); }

 private:
  fs::path path_;
};

// A layout text (UTF-8) of one form whose grid has one row per entry of rows, each point given by its
// block types; point (r, c) stands at x = 20c, y = 30r. The form has an editable form text "title".
// The classes: "item" (face "name", key "code", search "name" and "kana") and "feature" (face and
// key "name").
inline std::string GridLayoutText(const std::vector<std::vector<std::string>>& rows) {
  std::string text =
      "form page {\n"
      "  text title { x: 0; y: 0; width: 100; height: 8; editable: true; value: \"T\"; }\n"
      "  text note { x: 0; y: 10; width: 100; height: 8; data-type: memo; editable: true; }\n";
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (r > 0) text += "  new-line;\n";
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      text += "  grid-point { x: " + std::to_string(20 * (c + 1)) + "; y: " + std::to_string(30 * (r + 1)) +
              "; block-type: " + rows[r][c] + "; }\n";
    }
  }
  text +=
      "}\n"
      "block item {\n"
      "  width: 18; height: 25;\n"
      "  face-element: name; key-element: code; search-element: name, kana;\n"
      "  text name { x: 0; y: 0; width: 18; height: 5; value: \"?\"; }\n"
      "  text kana { x: 0; y: 5; width: 18; height: 5; }\n"
      "  text code { x: 0; y: 10; width: 18; height: 5; value: \"0\"; }\n"
      "  text biko { x: 0; y: 15; width: 18; height: 10; data-type: memo; editable: true; }\n"
      "}\n"
      "block feature {\n"
      "  width: 38; height: 25;\n"
      "  face-element: name; key-element: name;\n"
      "  text name { x: 0; y: 0; width: 38; height: 5; value: \"F\"; }\n"
      "}\n";
  return text;
}

// Loads a layout text (UTF-8) into layout; the test fails when it does not load.
inline void LoadLayoutText(MLayout& layout, const std::string& utf8) {
  static const TempFolder folder("layout");
  static int serial = 0;
  const fs::path path = folder / ("test" + std::to_string(++serial) + ".lay");
  WriteBytes(path, SjisCrLf(utf8));
  MLoadLayout loader(layout);
  ASSERT_TRUE(loader.Load(base::Utf8ToSjis(path.string()))) << base::SjisToUtf8(loader.ErrorText);
}

// An entry in short: a block's face text (its class name when that is empty), "nl", "np", "sp" or
// "eod".
inline std::string ShortName(const MBlockInstance& block) {
  const std::string face = block.FaceText();
  return base::SjisToUtf8(face.empty() ? block.Name() : face);
}
inline std::string ShortName(const MEntry& entry) {
  switch (entry.Kind()) {
    case MKind::NewLine:
      return "nl";
    case MKind::NewPage:
      return "np";
    case MKind::Space:
      return "sp";
    case MKind::EndOfData:
      return "eod";
    default:
      return ShortName(*entry.Block());
  }
}

// The pages as "A B* C / D eod _ | ...": pages joined by " | ", rows by " / ", empty points "_", the
// cursor entry marked with "*".
inline std::string DumpPages(const MMapDB& db, bool showCursor = true) {
  std::string out;
  for (int p = 1; p <= db.PageCount(); ++p) {
    if (p > 1) out += " | ";
    const MPage& page = *db.GetPage(p - 1);
    for (int r = 1; r <= page.RowCount(); ++r) {
      if (r > 1) out += " / ";
      for (int c = 1; c <= page.PointCount(r); ++c) {
        if (c > 1) out += ' ';
        const MEntry* entry = page.EntryAt(r, c);
        out += entry != nullptr ? ShortName(*entry) : "_";
        if (showCursor && p == db.CurrentPage() && r == db.CurrentRow() && c == db.CurrentColumn())
          out += '*';
      }
    }
  }
  return out;
}

// The placed entries in reading order, in short.
inline std::vector<std::string> Sequence(const MMapDB& db) {
  std::vector<std::string> out;
  for (int p = 1; p <= db.PageCount(); ++p) {
    const MPage& page = *db.GetPage(p - 1);
    for (int r = 1; r <= page.RowCount(); ++r) {
      for (int c = 1; c <= page.PointCount(r); ++c) {
        if (const MEntry* entry = page.EntryAt(r, c)) out.push_back(ShortName(*entry));
      }
    }
  }
  return out;
}

// Names of the blocks of a list database, in order (face texts).
inline std::vector<std::string> ListNames(const MListDB& db) {
  std::vector<std::string> out;
  for (const auto& block : db.Entries()) out.push_back(ShortName(*block));
  return out;
}

inline std::vector<std::string> VisibleNames(const MListDB& db) {
  std::vector<std::string> out;
  for (int i = 0; i < db.VisibleCount(); ++i) out.push_back(ShortName(*db.VisibleEntry(i)));
  return out;
}

}  // namespace doc_test
