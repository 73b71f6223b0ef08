// Hostile documents in the window: every input of the readers' fuzz corpora and their past findings
// is opened in the real window offscreen (a layout named by a good document, a document naming a good
// layout, and the document as it is), painted at two zooms and closed. Errors may be shown; nothing
// may crash (nor, in the sanitizer build, touch memory it must not).
#include <iostream>
#include <regex>

#include "WindowTestSupport.h"

namespace {

namespace fs = std::filesystem;

class HostileDocuments : public window_test::WindowTest {
 protected:
  // Opens path (UTF-8), paints the window at two zooms and closes the document.
  void OpenPaintClose(TfmMain& w, const fs::path& path) {
    opened_ += w.OpenDocument(base::Utf8ToSjis(path.string())) ? 1 : 0;
    for (const char* zoom : {"30%", "250%"}) {
      TypeZoom(zoom);
      EXPECT_FALSE(w.grab().isNull());
    }
    w.ResetDocument();
    ++tried_;
  }

  int opened_ = 0, tried_ = 0;
};

// A document for a layout text: one block of each class it declares, between special entries.
std::string DocumentFor(const std::string& layout) {
  std::string fields, entries;
  static const std::regex kBlock(R"(\bblock\s+([A-Za-z_][A-Za-z0-9_]*))");
  for (auto it = std::sregex_iterator(layout.begin(), layout.end(), kBlock); it != std::sregex_iterator();
       ++it) {
    const std::string name = (*it)[1];
    fields += name + ",name,code\r\n";
    entries += name + ",a,1\r\nspace\r\n" + name + ",b,2\r\nnewline\r\n";
  }
  return "[basic_info]\r\nlayout=hostile.lay\r\n\r\n[block_field]\r\n" + fields + "\r\n[map_data]\r\n" +
         entries + "newpage\r\n\r\n[unmap_data]\r\n" + entries.substr(0, entries.find("space")) + "\r\n";
}

// The document with the value of its layout line (if any) made good.lay.
std::string NamingGoodLayout(std::string document) {
  const std::size_t key = document.find("layout=");
  if (key == std::string::npos) return document;
  const std::size_t end = document.find_first_of("\r\n", key);
  return document.replace(key + 7, end == std::string::npos ? std::string::npos : end - key - 7, "good.lay");
}

TEST_F(HostileDocuments, EveryCorpusInputOpensPaintsAndCloses) {
  const fs::path source(TESSORA_SOURCE_DIR);
  const struct {
    const char* folder;
    bool layout;
  } kCorpora[] = {{"fuzz/corpus/layout", true},
                  {"tests/layout/fuzz-regressions/layout", true},
                  {"fuzz/corpus/mapfile", false},
                  {"tests/data/fuzz-regressions/mapfile", false}};
  TfmMain& w = Window();
  w.AskSaveForTest = [] { return int(QMessageBox::No); };
  const fs::path dir = folder_ / "hostile";
  fs::create_directories(dir);
  fs::copy_file(folder_ / "shop.lay", dir / "good.lay");
  int inputs = 0;
  for (const auto& corpus : kCorpora) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(source / corpus.folder)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
      SCOPED_TRACE(file.string());
      const std::string bytes = doc_test::ReadBytes(file);
      ++inputs;
      if (corpus.layout) {
        doc_test::WriteBytes(dir / "hostile.lay", bytes);
        doc_test::WriteBytes(dir / "doc.map", DocumentFor(bytes));
        OpenPaintClose(w, dir / "doc.map");
      } else {
        doc_test::WriteBytes(dir / "hostile.map", NamingGoodLayout(bytes));
        OpenPaintClose(w, dir / "hostile.map");
        doc_test::WriteBytes(dir / "asis.map", bytes);
        OpenPaintClose(w, dir / "asis.map");
      }
    }
  }
  std::cout << "hostile documents: " << inputs << " inputs, " << tried_ << " openings, " << opened_
            << " opened, " << messages_.size() << " messages" << std::endl;
  // The corpora were found and some of their inputs are documents the window shows.
  EXPECT_GE(inputs, 10);
  EXPECT_GE(opened_, 4);
  EXPECT_LT(opened_, tried_) << "the broken inputs are refused";
}

}  // namespace
