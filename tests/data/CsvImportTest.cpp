// Records in and out: CSV rows made into unplaced blocks of a class in one undo step, and the
// document's blocks written as CSV rows that import back to the same values.
#include <gtest/gtest.h>

#include "base/CommaText.h"
#include "base/Error.h"
#include "data/CsvImport.h"
#include "data/DocumentCommands.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"
#include "support/DocumentTestSupport.h"

namespace {

using doc_test::ListNames;
using doc_test::Sjis;
using doc_test::SjisCrLf;
using Names = std::vector<std::string>;

class CsvImport : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDataGlobals((folder_ / "tessora").string());
    doc_test::WriteBytes(folder_ / "shop.lay",
                         SjisCrLf(doc_test::GridLayoutText({{"all", "all"}, {"all", "all"}})));
    // "feature" has no block-field row yet.
    doc_test::WriteBytes(
        folder_ / "shop.map",
        SjisCrLf("[basic_info]\nlayout=shop.lay\n\n[block_field]\nitem,name,code\n\n[map_data]\n"
                 "item,茶,c1\nnewline\nitem,湯呑み,c2\n\n[unmap_data]\nitem,急須,c3\n"));
    OpenDocument(folder_.SjisPath("shop.map"));
    ClearModified();
  }
  void TearDown() override { ReleaseDataGlobals(); }

  MCsvImport Plan(const std::string& utf8Csv, const std::string& className = "item") {
    return PlanCsvImport(*gLayout, *gMapFile, className, base::ReadCsv(utf8Csv));
  }
  std::string SavedBytes() { return PrepareSave(folder_.SjisPath("out.map")).Bytes; }
  // Values of a block by keys, in UTF-8.
  static Names Values(const MBlockInstance& block, const Names& keys) {
    Names out;
    for (const std::string& key : keys) out.push_back(base::SjisToUtf8(block.GetElementValue(key)));
    return out;
  }

  doc_test::TempFolder folder_{"csv"};
};

}  // namespace

TEST_F(CsvImport, FieldsOfTheClassAndColumnsMatchedByHeaderOrPosition) {
  const std::vector<MCsvField> fields =
      CsvClassFields(*gLayout->FindBlock("item"), gMapFile->FindBlockFields("item"));
  Names keys;
  for (const MCsvField& f : fields)
    keys.push_back(f.Key + (f.IsKey ? "/key" : "") + (f.IsFace ? "/face" : "") +
                   (f.IsSearch ? "/search" : ""));
  EXPECT_EQ(keys, (Names{"name/face/search", "code/key", "kana/search", "biko", "name.visible",
                         "kana.visible", "code.visible", "biko.visible"}));

  // Header names without regard to case; an unknown column and a second column for a field are left out.
  EXPECT_EQ(Plan("CODE,Name,price,code\n1,a,2,3\n").Columns, (std::vector<int>{1, 0, -1, -1}));
  const MCsvImport positional = Plan("x1,tea,かな\n");
  EXPECT_FALSE(positional.HasHeader);
  EXPECT_EQ(positional.Columns, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(positional.PositionalFields, 4u);
  EXPECT_THROW(Plan("a\n1\n", "nosuch"), base::Error);
}

TEST_F(CsvImport, AnImportIsOneStepThatUndoRemovesWhole) {
  const std::string before = SavedBytes();
  const MCsvImport import =
      Plan("Name,kana,biko,name.visible\n煎茶,せんちゃ,\"一番摘み\n新芽\",0\n玉露,,,\n", "item");
  const MCommandReport report = ImportCsv(import);
  EXPECT_TRUE(report.Changed(dlUnmap));
  ASSERT_EQ(gUnmapDB->Count(), 3);
  const MBlockInstance& sencha = *gUnmapDB->Entries()[1];
  EXPECT_EQ(Values(sencha, {"name", "kana", "biko", "name.visible", "code"}),
            (Names{"煎茶", "せんちゃ", "一番摘み<br>新芽<br>", "0", "0"}))
      << "a line break inside a field is a memo's line; unfed fields keep the class's values";
  EXPECT_EQ(Values(*gUnmapDB->Entries()[2], {"name", "name.visible"}), (Names{"玉露", "1"}));
  EXPECT_EQ(base::SjisToUtf8(base::EncodeCommaText(*gMapFile->FindBlockFields("item"))),
            "item,name,code,biko,kana,name.visible")
      << "saving had added the editable texts; the import adds what it feeds";
  EXPECT_TRUE(IsModified());
  EXPECT_NE(SavedBytes().find(Sjis("item,煎茶,0,一番摘み<br>新芽<br>,せんちゃ,0\r\n")), std::string::npos);

  UndoChange();
  EXPECT_EQ(ListNames(*gUnmapDB), (Names{"急須"}));
  EXPECT_EQ(SavedBytes(), before);
  EXPECT_FALSE(IsModified());
  RedoChange();
  EXPECT_EQ(ListNames(*gUnmapDB), (Names{"急須", "煎茶", "玉露"}));

  // A class without a block-field row gets one; undo takes it away again.
  const std::string beforeFeature = SavedBytes();
  ImportCsv(Plan("name\n特集\n", "feature"));
  EXPECT_NE(gMapFile->FindBlockFields("feature"), nullptr);
  UndoChange();
  EXPECT_EQ(gMapFile->FindBlockFields("feature"), nullptr);
  EXPECT_EQ(SavedBytes(), beforeFeature);

  // An import that no column feeds adds nothing and is no step.
  MCsvImport unfed = Plan("name,code\na,1\n");
  unfed.Columns = {-1, -1};
  EXPECT_THROW(ImportCsv(unfed), base::Error);
  EXPECT_EQ(gUnmapDB->Count(), 3);
  EXPECT_TRUE(CanRedo()) << "no step was made: the one undone can still be redone";
}

TEST_F(CsvImport, ExportedRowsImportBackToTheSameValues) {
  ImportCsv(Plan("name,code,biko\n\"a,b\",\"q\"\"1\",\"two\nlines\"\n"));
  const auto exported = [](base::CsvEncoding encoding, char separator) {
    return CsvExportBytes(*gLayout, *gMapFile, *gMapDB, {encoding, true, separator}, gUnmapDB.get(),
                          gTrashDB.get());
  };
  const MMapFile::Rows rows = base::ReadCsv(exported(base::CsvEncoding::Sjis, ',')).Rows;
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(base::SjisToUtf8(base::EncodeCommaText(rows[0])), "page,row,column,class,name,code,biko,kana");
  EXPECT_EQ(base::SjisToUtf8(base::EncodeCommaText(rows[1])), "1,1,1,item,茶,c1,,");
  EXPECT_EQ(base::SjisToUtf8(base::EncodeCommaText(rows[2])), "1,2,1,item,湯呑み,c2,,");
  EXPECT_EQ(base::SjisToUtf8(rows[3][0]), "未配置");
  EXPECT_EQ(rows[4][6], "two\nlines\n") << "a memo's lines and the file's <br> as line breaks in the cell";

  // Through the bytes of a file in both encodings, into blocks of the class again.
  for (const auto& [encoding, separator] :
       {std::pair{base::CsvEncoding::Utf8, ','}, {base::CsvEncoding::Sjis, '\t'}}) {
    const MCsvImport back =
        PlanCsvImport(*gLayout, *gMapFile, "item", base::ReadCsv(exported(encoding, separator)));
    const std::vector<std::unique_ptr<MBlockInstance>> blocks = BuildCsvBlocks(*gLayout, back);
    ASSERT_EQ(blocks.size(), 4u);
    const Names keys{"name", "code", "kana", "biko"};
    EXPECT_EQ(Values(*blocks[0], keys), Values(*gMapDB->GetPage(0)->EntryAt(1, 1)->Block(), keys));
    EXPECT_EQ(Values(*blocks[3], keys), Values(*gUnmapDB->Entries()[1], keys));
    EXPECT_EQ(Values(*blocks[3], keys), (Names{"a,b", "q\"1", "", "two<br>lines<br>"}));
  }
}
