#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "base/Error.h"
#include "base/Sjis.h"
#include "data/MapFile.h"

namespace fs = std::filesystem;
using Row = MMapFile::Row;
using Rows = MMapFile::Rows;

namespace {

std::string Sjis(const char* utf8) { return base::Utf8ToSjis(utf8); }

// The seven parts of a document without rows.
const std::string kEmptyDocument =
    "[basic_info]\r\nlayout=\r\n\r\n[block_field]\r\n\r\n[form_data]\r\n\r\n[map_data]\r\n"
    "\r\n[unmap_data]\r\n\r\n[trash_data]\r\n";

class MapFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tessora-map-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all);
    fs::remove_all(dir_);
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string Get(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  MMapFile ReadText(const std::string& bytes) const {
    Put("in.map", bytes);
    MMapFile file;
    file.ReadFile(Path("in.map"));
    return file;
  }
  // Whatever a failed save may have left in the folder besides the files named.
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    std::erase_if(names, [](const std::string& n) { return n.find(".tmp") == std::string::npos; });
    return names;
  }
  // Expects WriteFile to fail with the system's message naming the file.
  void ExpectWriteFails(MMapFile& file) const {
    try {
      file.WriteFile();
      ADD_FAILURE() << "the write succeeded";
    } catch (const base::Error& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find("\"" + file.FileName() + "\""), std::string::npos) << message;
      EXPECT_NE(message.find(Sjis("を作成できません")), std::string::npos) << message;
    }
  }

  std::string dir_;
};

// A document in the form WriteFile gives it: Japanese texts, quoted and empty items, special words.
std::string NormalDocument() {
  return Sjis(
      "[basic_info]\r\n"
      "layout=<lay>\\商品.lay\r\n"
      "\r\n[block_field]\r\n"
      "item,name,price,photo,memo,photo.visible\r\n"
      "header,title\r\n"
      "\r\n[form_data]\r\n"
      "1.title=春のカタログ\r\n"
      "3.title=夏 の 表\r\n"
      "\r\n[map_data]\r\n"
      "item,緑茶,120,<img>\\tea.png,1行目<br>2行目,1\r\n"
      "item,\"ほうじ 茶\",,\"a,b.png\",\"say \"\"hi\"\"\"\r\n"
      "space\r\n"
      "newline\r\n"
      "header,ソ表\r\n"
      "newpage\r\n"
      "item,\r\n"
      "\"\"\r\n"
      "\r\n[unmap_data]\r\n"
      "item,表示,980\r\n"
      "\r\n[trash_data]\r\n");
}

}  // namespace

TEST_F(MapFileTest, ADocumentWithoutRowsIsTheSevenParts) {
  MMapFile file;
  file.SetFileName(Path("empty.map"));
  file.WriteFile();
  EXPECT_EQ(Get("empty.map"), kEmptyDocument);
}

TEST_F(MapFileTest, ANormalDocumentReadsIntoRowsAndWritesBackByteForByte) {
  MMapFile file = ReadText(NormalDocument());
  EXPECT_EQ(file.FileName(), Path("in.map"));
  EXPECT_EQ(file.LayoutName(), Sjis("<lay>\\商品.lay"));
  EXPECT_EQ(file.BlockFields(),
            (Rows{{"item", "name", "price", "photo", "memo", "photo.visible"}, {"header", "title"}}));
  EXPECT_EQ(file.FormData(),
            (std::vector<std::string>{Sjis("1.title=春のカタログ"), Sjis("3.title=夏 の 表")}));
  ASSERT_EQ(file.MapData().size(), 8u);
  EXPECT_EQ(file.MapData()[1], (Row{"item", Sjis("ほうじ 茶"), "", "a,b.png", "say \"hi\""}));
  EXPECT_EQ(file.MapData()[4], (Row{"header", Sjis("ソ表")}));
  EXPECT_EQ(file.MapData()[6], (Row{"item", ""}));
  EXPECT_EQ(file.MapData()[7], (Row{""}));
  EXPECT_EQ(file.UnmapData(), (Rows{{"item", Sjis("表示"), "980"}}));
  EXPECT_TRUE(file.TrashData().empty());

  file.SetFileName(Path("out.map"));
  file.WriteFile();
  EXPECT_EQ(Get("out.map"), NormalDocument());
}

TEST_F(MapFileTest, RowsWrittenReadBackTheSame) {
  std::mt19937 rng(11);
  const std::string alphabet =
      std::string("\0\t\r\n \",;[]<>\\ab\x81\x95\x5C\x40", 20) + "xyz" + Sjis("表ソ　");
  auto randomRows = [&](std::size_t count) {
    Rows rows(count);
    for (Row& row : rows) {
      row.resize(1 + rng() % 5);
      for (std::string& item : row) {
        for (std::size_t len = rng() % 7; len > 0; --len) item += alphabet[rng() % alphabet.size()];
      }
    }
    return rows;
  };
  MMapFile file;
  file.SetFileName(Path("random.map"));
  file.SetLayoutName("a.lay");
  file.EditBlockFields() = randomRows(50);
  file.MapData() = randomRows(2000);
  file.UnmapData() = randomRows(200);
  file.TrashData() = randomRows(200);
  file.FormData() = {"1.x=a b", "2.y="};
  file.WriteFile();

  MMapFile back;
  back.ReadFile(Path("random.map"));
  EXPECT_EQ(back.LayoutName(), "a.lay");
  EXPECT_EQ(back.BlockFields(), file.BlockFields());
  EXPECT_EQ(back.FormData(), file.FormData());
  EXPECT_EQ(back.MapData(), file.MapData());
  EXPECT_EQ(back.UnmapData(), file.UnmapData());
  EXPECT_EQ(back.TrashData(), file.TrashData());

  // Rows taken one at a time are the same rows, read or decoded before; what is left of a section
  // after some were taken is the rest.
  using Data = MMapFile::Data;
  MMapFile streamed;
  streamed.ReadFile(Path("random.map"));
  ASSERT_EQ(streamed.RowCount(Data::Map), file.MapData().size());
  Row row;
  for (std::size_t i = 0; i < 700; ++i) {
    ASSERT_TRUE(streamed.TakeRow(Data::Map, row));
    ASSERT_EQ(row, file.MapData()[i]) << "row " << i;
  }
  EXPECT_EQ(streamed.RowCount(Data::Map), file.MapData().size() - 700);
  EXPECT_EQ(streamed.MapData(), Rows(file.MapData().begin() + 700, file.MapData().end()));
  for (std::size_t i = 0; i < 3; ++i) {
    ASSERT_TRUE(streamed.TakeRow(Data::Map, row));
    EXPECT_EQ(row, file.MapData()[700 + i]);
  }
  EXPECT_EQ(streamed.RowCount(Data::Map), file.MapData().size() - 703);
  Rows trash;
  while (streamed.TakeRow(Data::Trash, row)) trash.push_back(row);
  EXPECT_EQ(trash, file.TrashData());
  EXPECT_EQ(streamed.RowCount(Data::Trash), 0u);
  EXPECT_FALSE(streamed.TakeRow(Data::Trash, row));
  EXPECT_EQ(streamed.UnmapData(), file.UnmapData()) << "untouched by the others";
}

TEST_F(MapFileTest, ReadingFollowsTheIniRules) {
  const MMapFile file = ReadText(
      "stray,line\n"
      "[BASIC_INFO]\r"
      "LAYOUT = x.lay\n"
      "[Map_Data]\r\n"
      "  a , b  \n"
      "; a comment row\r\n"
      "c,\"d = e\",f=g\r"
      "[unmap_data]\n"
      "u\n"
      "[map_data]\n"
      "ignored\n");
  EXPECT_EQ(file.LayoutName(), "x.lay");
  EXPECT_EQ(file.MapData(), (Rows{{"a", "b"}, {"c", "d=e", "f=g"}}));
  EXPECT_EQ(file.UnmapData(), (Rows{{"u"}}));
}

TEST_F(MapFileTest, BadInputReadsIntoRows) {
  std::string garbage;
  std::mt19937 rng(5);
  for (int i = 0; i < 200000; ++i) garbage += static_cast<char>(rng());
  const std::string longItem(1 << 20, 'x');
  const MMapFile file = ReadText("[map_data]\n" + garbage + "\n[trash_data]\n" +
                                 std::string("a,b\0c,d\n", 8) +  // a zero byte ends the row
                                 longItem +
                                 ",y\n"  // a 1 MB line
                                 "item,\"unclosed, quote\n"
                                 "item,\n"
                                 ",\n"
                                 "\"\"\"\n");
  EXPECT_EQ(file.LayoutName(), "");  // no [basic_info]
  EXPECT_EQ(file.TrashData(),
            (Rows{{"a", "b"}, {longItem, "y"}, {"item", "unclosed, quote"}, {"item", ""}, {"", ""}, {"\""}}));
  for (const Row& row : file.MapData()) EXPECT_FALSE(row.empty());

  MMapFile copy = ReadText(garbage);
  copy.SetFileName(Path("copy.map"));
  EXPECT_NO_THROW(copy.WriteFile());
}

TEST_F(MapFileTest, AMissingFileRaisesAnErrorNamingItAndLeavesNothingToSave) {
  MMapFile file = ReadText(NormalDocument());
  for (const std::string& bad : {Path("missing.map"), dir_}) {
    try {
      file.ReadFile(bad);
      ADD_FAILURE() << bad;
    } catch (const base::Error& e) {
      EXPECT_NE(std::string(e.what()).find("\"" + bad + "\""), std::string::npos) << e.what();
    }
    EXPECT_EQ(file.FileName(), "");
    EXPECT_EQ(file.LayoutName(), "");
    EXPECT_TRUE(file.BlockFields().empty());
    EXPECT_TRUE(file.MapData().empty());
    EXPECT_EQ(file.FileDate(), 0);
  }
}

TEST_F(MapFileTest, ANameInJapaneseIsTheFileSystemsUtf8Name) {
  Put(base::SjisToUtf8(Sjis("データ.map")), NormalDocument());
  MMapFile file;
  file.ReadFile(Path(Sjis("データ.map")));
  EXPECT_EQ(file.UnmapData().size(), 1u);
}

TEST_F(MapFileTest, FileDateIsLocalDaysSince1899) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  Put("dated.map", kEmptyDocument);
  struct timespec times[2] = {{0, 0}, {365 * 86400 + 3, 0}};  // 1971-01-01 00:00:03 UTC
  ASSERT_EQ(::utimensat(AT_FDCWD, Path("dated.map").c_str(), times, 0), 0);
  MMapFile file;
  for (const auto& [zone, expected] : {std::pair{"UTC0", 25569.0 + 365 + 2 / 86400.0},
                                       std::pair{"JST-9", 25569.0 + 365 + (9 * 3600 + 2) / 86400.0}}) {
    ::setenv("TZ", zone, 1);
    ::tzset();
    file.ReadFile(Path("dated.map"));
    EXPECT_DOUBLE_EQ(file.FileDate(), expected) << zone;  // seconds counted in twos
  }
  old ? ::setenv("TZ", saved.c_str(), 1) : ::unsetenv("TZ");
  ::tzset();

  const double now = 25569.0 + static_cast<double>(::time(nullptr)) / 86400.0;
  file.WriteFile();
  EXPECT_NEAR(file.FileDate(), now, 1.1);  // local time: within a day of UTC
  EXPECT_NE(file.FileDate(), 25569.0 + 365);
}

TEST_F(MapFileTest, SavingOverADirectoryOrIntoAMissingFolderFailsCleanly) {
  fs::create_directory(Path("folder.map"));
  Put("folder.map/keep", "kept");
  MMapFile file = ReadText(NormalDocument());
  file.SetFileName(Path("folder.map"));
  ExpectWriteFails(file);
  EXPECT_EQ(Get("folder.map/keep"), "kept");
  file.SetFileName(Path("no/such/folder.map"));
  ExpectWriteFails(file);
  EXPECT_TRUE(Leftovers().empty());
}

TEST_F(MapFileTest, ADiskThatFillsUpHalfWayLeavesTheOldFileWhole) {
  Put("doc.map", NormalDocument());
  MMapFile file = ReadText(NormalDocument());
  file.SetFileName(Path("doc.map"));
  file.MapData().assign(5000, Row{"item", "a long enough value", "to pass the limit"});

  // A file size limit stops the write part-way, even for root; the signal it raises is ignored.
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  struct rlimit small = saved;
  small.rlim_cur = 16384;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const auto oldSignal = ::signal(SIGXFSZ, SIG_IGN);
  ExpectWriteFails(file);
  ::signal(SIGXFSZ, oldSignal);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);

  EXPECT_EQ(Get("doc.map"), NormalDocument());
  EXPECT_TRUE(Leftovers().empty());
  EXPECT_EQ(file.MapData().size(), 5000u);  // the rows are still there for another try
}

TEST_F(MapFileTest, AReadOnlyFolderRefusesTheSave) {
  Put("doc.map", NormalDocument());
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  if (std::ofstream(Path("probe")).good()) {
    GTEST_SKIP() << "this user (root) writes into read-only folders; the disk-full and directory "
                    "cases cover the failure path";
  }
  MMapFile file;
  file.SetFileName(Path("doc.map"));
  ExpectWriteFails(file);
  EXPECT_EQ(Get("doc.map"), NormalDocument());
}

TEST_F(MapFileTest, LineBreaksOutsideRowsAreRefusedRatherThanWritten) {
  Put("doc.map", NormalDocument());
  MMapFile file;
  file.SetFileName(Path("doc.map"));
  file.FormData() = {"1.memo=one\r\n[map_data]"};
  ExpectWriteFails(file);
  file.FormData().clear();
  file.SetLayoutName("a.lay\nb");
  ExpectWriteFails(file);
  EXPECT_EQ(Get("doc.map"), NormalDocument());
}

TEST_F(MapFileTest, SavingKeepsTheFilesLinkAndPermissions) {
  Put("real.map", NormalDocument());
  fs::permissions(Path("real.map"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(Path("real.map"), Path("link.map"));
  MMapFile file;
  file.ReadFile(Path("link.map"));
  file.MapData().clear();
  file.WriteFile();
  EXPECT_TRUE(fs::is_symlink(Path("link.map")));
  EXPECT_EQ(fs::status(Path("real.map")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Get("real.map").find("newpage"), std::string::npos);
}

TEST_F(MapFileTest, BlockFieldsAreFoundByClassNameWithoutRegardToCase) {
  MMapFile file = ReadText("[block_field]\nItem,a\nITEM,b\n" + Sjis("ｔａｇ,c\n"));
  ASSERT_NE(file.FindBlockFields("item"), nullptr);
  EXPECT_EQ(*file.FindBlockFields("iTeM"), (Row{"Item", "a"}));  // the first of equal names
  EXPECT_EQ(*file.FindBlockFields(Sjis("ＴＡＧ")), (Row{Sjis("ｔａｇ"), "c"}));
  EXPECT_EQ(file.FindBlockFields("items"), nullptr);
  file.EditBlockFields().insert(file.EditBlockFields().begin(), Row{"item", "new"});
  EXPECT_EQ(*file.FindBlockFields("ITEM"), (Row{"item", "new"}));
  file.Clear();
  EXPECT_EQ(file.FindBlockFields("item"), nullptr);
}

TEST_F(MapFileTest, ClearDataKeepsTheFileAndItsFields) {
  MMapFile file = ReadText(NormalDocument());
  const double date = file.FileDate();
  file.ClearData();
  EXPECT_EQ(file.FileName(), Path("in.map"));
  EXPECT_EQ(file.FileDate(), date);
  EXPECT_EQ(file.LayoutName(), Sjis("<lay>\\商品.lay"));
  EXPECT_EQ(file.BlockFields().size(), 2u);
  EXPECT_TRUE(file.FormData().empty() && file.MapData().empty() && file.UnmapData().empty());
  file.Clear();
  EXPECT_EQ(file.FileName(), "");
  EXPECT_TRUE(file.BlockFields().empty());
}
