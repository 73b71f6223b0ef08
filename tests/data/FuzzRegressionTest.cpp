// Mapping data files on which fuzzing found the document commands at fault, kept so that the fixes
// stay. Each file of fuzz-regressions/mapfile/ is opened as the fuzz target opens it, on the layout
// fuzz/document.lay, and must save, open again and save to the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Error.h"
#include "base/Sjis.h"
#include "data/DocumentCommands.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"
#include "support/DocumentTestSupport.h"

namespace {

namespace fs = std::filesystem;

class DocumentFuzzRegression : public ::testing::Test {
 protected:
  void SetUp() override {
    doc_test::WriteBytes(folder_ / "tessora.ini", "[folder_alias]\r\nimg=.\r\n");
    fs::copy_file(fs::path(TESSORA_SOURCE_DIR) / "fuzz/document.lay", folder_ / "fixed.lay");
    CreateDataGlobals((folder_ / "tessora").string());
  }
  void TearDown() override { ReleaseDataGlobals(); }

  // The input's rows as a document of the fixed layout, as the fuzz target writes it.
  std::string AsDocument(const fs::path& input) {
    MMapFile file;
    file.ReadFile(base::Utf8ToSjis(input.string()));
    file.SetLayoutName("fixed.lay");
    file.SetFileName(folder_.SjisPath("document.map"));
    file.WriteFile();
    return file.FileName();
  }

  doc_test::TempFolder folder_{"fuzz-regression"};
};

std::vector<fs::path> Inputs() {
  std::vector<fs::path> files;
  for (const auto& entry :
       fs::directory_iterator(fs::path(TESSORA_SOURCE_DIR) / "tests/data/fuzz-regressions/mapfile"))
    files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

TEST_F(DocumentFuzzRegression, OpenedDocumentsSaveAndOpenToTheSameBytes) {
  const std::vector<fs::path> inputs = Inputs();
  ASSERT_FALSE(inputs.empty());
  for (const fs::path& input : inputs) {
    SCOPED_TRACE(input.filename().string());
    OpenDocument(AsDocument(input));
    const int blocks = gMapDB->Count() + gUnmapDB->Count() + gTrashDB->Count();
    ASSERT_NO_THROW(SaveDocumentAs(folder_.SjisPath("saved-1.map")));
    OpenDocument(folder_.SjisPath("saved-1.map"));
    EXPECT_EQ(gMapDB->Count() + gUnmapDB->Count() + gTrashDB->Count(), blocks);
    ASSERT_NO_THROW(SaveDocumentAs(folder_.SjisPath("saved-2.map")));
    EXPECT_EQ(doc_test::ReadBytes(folder_ / "saved-1.map"), doc_test::ReadBytes(folder_ / "saved-2.map"));
  }
}
