#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/Error.h"
#include "base/Sjis.h"
#include "data/MapIni.h"

namespace fs = std::filesystem;

namespace {

// A program folder of its own for each test, holding the program's ini file.
class MapIniTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tessora-ini-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  void WriteIni(const std::string& sjis, const std::string& file = "tessora.ini") {
    std::ofstream(dir_ + "/" + file, std::ios::binary) << sjis;
  }
  std::string Folder(const std::string& name) {
    fs::create_directories(dir_ + "/" + name);
    return dir_ + "/" + name;
  }
  MIni Read(const std::string& program = "tessora") { return MIni(dir_ + "/" + program); }

  std::string dir_;
};

std::string Sjis(const char* utf8) { return base::Utf8ToSjis(utf8); }

}  // namespace

TEST_F(MapIniTest, WithoutAFileEveryKeyTakesItsDefault) {
  const MIni ini = Read();
  EXPECT_EQ(ini.ProgramFolder(), dir_);
  EXPECT_EQ(ini.CurrentFolder(), dir_);
  EXPECT_EQ(ini.TempFolder(), dir_);  // .\temp and .\data do not exist
  EXPECT_EQ(ini.MapFolder(), dir_);
  EXPECT_EQ(ini.ImageCacheSize(), 300);
  EXPECT_TRUE(ini.FolderAliases().Tokens.empty());

  const std::string temp = Folder("temp"), data = Folder("data");
  EXPECT_EQ(Read().TempFolder(), temp);
  EXPECT_EQ(Read().MapFolder(), data);
}

TEST_F(MapIniTest, TheIniFileIsTheProgramPathWithItsExtensionReplaced) {
  WriteIni("[config]\r\nimage_cache_size=7\r\n", "tool.ini");
  EXPECT_EQ(Read("tool").ImageCacheSize(), 7);
  EXPECT_EQ(Read("tool.exe").ImageCacheSize(), 7);
  EXPECT_EQ(Read("tessora").ImageCacheSize(), 300);
}

TEST_F(MapIniTest, RelativeFoldersAreTakenFromTheProgramFolderNotTheWorkingDirectory) {
  const std::string temp = Folder("work/tmp"), maps = Folder("maps");
  const std::string cwd = fs::current_path().string();
  ASSERT_NE(cwd, dir_);
  WriteIni("; settings\r\n[CONFIG]\r\nTemp_Folder = .\\work\\tmp\\\r\nmap_folder=" + maps + "/../maps\r\n");
  const MIni ini = Read();
  EXPECT_EQ(ini.TempFolder(), temp);
  EXPECT_EQ(ini.MapFolder(), maps);
  EXPECT_EQ(fs::current_path().string(), cwd);  // the working directory is left alone
}

TEST_F(MapIniTest, MissingOrEmptyFoldersGiveTheProgramFolder) {
  WriteIni("[config]\ntemp_folder=\nmap_folder=.\\nowhere\n");
  const MIni ini = Read();
  EXPECT_EQ(ini.TempFolder(), dir_);
  EXPECT_EQ(ini.MapFolder(), dir_);
}

TEST_F(MapIniTest, ImageCacheSizeIsDecimalOrHexadecimal) {
  const std::pair<const char*, int> cases[] = {{"0x20", 32}, {"0X1f", 31}, {"64", 64},   {"-5", -5},
                                               {"abc", 300}, {"", 300},    {"12x", 300}, {"0x", 300}};
  for (const auto& [value, expected] : cases) {
    WriteIni(std::string("[config]\nimage_cache_size=") + value + "\n");
    EXPECT_EQ(Read().ImageCacheSize(), expected) << value;
  }
}

TEST_F(MapIniTest, FolderAliasesInFileOrder) {
  const std::string images = Folder("images");
  Folder(base::SjisToUtf8(Sjis("写真")));  // the file system names it in UTF-8
  WriteIni("[folder_alias]\nIMG=.\\images\nnone=.\\missing\nphoto=" + Sjis("写真") + "\nhere=\n");
  const MIni ini = Read();
  EXPECT_EQ(ini.FolderAliases().Tokens, (std::vector<std::string>{"<IMG>", "<none>", "<photo>", "<here>"}));
  EXPECT_EQ(ini.FolderAliases().Folders,
            (std::vector<std::string>{images, dir_, dir_ + "/" + Sjis("写真"), dir_}));
}

TEST_F(MapIniTest, ResolvePathReplacesTheFirstTokenOnly) {
  const std::string images = Folder("images");
  WriteIni("[folder_alias]\nIMG=images\nlay=" + Folder("layouts") + "\n");
  const MIni ini = Read();
  EXPECT_EQ(ini.ResolvePath("<img>\\photo.png"), images + "\\photo.png");
  EXPECT_EQ(ini.ResolvePath("<nothing>\\a.lay"), dir_ + "\\a.lay");
  EXPECT_EQ(ini.ResolvePath("<Img>\\a;<IMG>\\b"), images + "\\a;" + images + "\\b");
  EXPECT_EQ(ini.ResolvePath("<img>\\a;<lay>\\b"), images + "\\a;<lay>\\b");
  for (const char* unchanged : {"plain\\name.png", "<img\\a.png", "img>\\a<b", ""}) {
    EXPECT_EQ(ini.ResolvePath(unchanged), unchanged);
  }
}

TEST_F(MapIniTest, FullPathTakesRelativeNamesFromTheCurrentFolder) {
  const std::string docs = Folder("docs");
  MIni ini = Read();
  EXPECT_EQ(ini.FullPath("a.lay"), dir_ + "/a.lay");
  ini.SetCurrentFolder(docs + "\\shop.map");
  EXPECT_EQ(ini.CurrentFolder(), docs);
  EXPECT_EQ(ini.FullPath("shop.lay"), docs + "/shop.lay");
  EXPECT_EQ(ini.FullPath(".\\img\\..\\pic.png"), docs + "/pic.png");
  EXPECT_EQ(ini.FullPath("/abs/x.png"), "/abs/x.png");
  EXPECT_EQ(ini.FullPath("//abs//./y/../x.png"), "/abs/x.png");
  EXPECT_EQ(ini.FullPath("/../../x.png"), "/x.png");  // never above the root
  EXPECT_EQ(ini.FullPath("/abs/.."), "/");
  EXPECT_EQ(ini.FullPath("/abs/sub/"), "/abs/sub");
  EXPECT_EQ(ini.FullPath("..\\.."), std::filesystem::path(docs).parent_path().parent_path().string());
  EXPECT_EQ(ini.FullPath("..x\\.y"), docs + "/..x/.y");  // names that only start with dots
  EXPECT_EQ(ini.FullPath(ini.ResolvePath("<x>\\b.png")), dir_ + "/b.png");
  // A backslash that is the second byte of a Shift-JIS character stays: "表" is 95 5C.
  const std::string hyo = Sjis("表");
  EXPECT_EQ(ini.FullPath(hyo + "\\" + hyo + ".png"), docs + "/" + hyo + "/" + hyo + ".png");

  ini.SetCurrentFolder("sub/../y.map");  // relative to the current folder
  EXPECT_EQ(ini.CurrentFolder(), docs);
  EXPECT_THROW(ini.SetCurrentFolder(dir_ + "/gone/z.map"), base::Error);
  EXPECT_EQ(ini.CurrentFolder(), docs);
}

TEST_F(MapIniTest, AProgramFolderThatDoesNotExistFailsStartUp) {
  EXPECT_THROW(MIni(dir_ + "/no/such/tessora"), base::Error);
}

TEST_F(MapIniTest, AnyBytesAsIniFileGiveDefaults) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919) % 256);
  WriteIni(junk + "\n[config]\nimage_cache_size=9\n" + std::string(1 << 20, 'x') + "\0=\0\n");
  EXPECT_EQ(Read().ImageCacheSize(), 9);
}

// A copy installed in a system folder keeps the user's configuration and files in the user's own
// folders: the ini from $XDG_CONFIG_HOME/tessora, the temporary and document folders (made on the
// first start) and unknown aliases in $XDG_DATA_HOME/tessora.
TEST_F(MapIniTest, AnInstalledCopyUsesTheUsersFolders) {
  const std::string config = Folder("config"), data = Folder("data");
  fs::create_directories(config + "/tessora");
  std::ofstream(config + "/tessora/tessora.ini", std::ios::binary)
      << "[config]\r\nimage_cache_size=42\r\n[folder_alias]\r\nimg=pics\r\n";
  fs::create_directories(data + "/tessora/pics");
  struct Env {
    const char* name;
    std::string saved;
    bool had;
  } env[] = {{"XDG_CONFIG_HOME", "", false}, {"XDG_DATA_HOME", "", false}};
  for (Env& e : env) {
    if (const char* v = std::getenv(e.name)) e.saved = v, e.had = true;
  }
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  ::setenv("XDG_DATA_HOME", data.c_str(), 1);
  const MIni ini("/usr/bin/tessora-installed-copy");
  for (const Env& e : env) {
    if (e.had)
      ::setenv(e.name, e.saved.c_str(), 1);
    else
      ::unsetenv(e.name);
  }
  EXPECT_EQ(ini.ProgramFolder(), "/usr/bin");
  EXPECT_EQ(ini.HomeFolder(), data + "/tessora");
  EXPECT_EQ(ini.ImageCacheSize(), 42);
  EXPECT_EQ(ini.TempFolder(), data + "/tessora/temp");
  EXPECT_EQ(ini.MapFolder(), data + "/tessora/data");
  EXPECT_TRUE(fs::is_directory(data + "/tessora/temp"));
  EXPECT_EQ(ini.ResolvePath("<img>\\a.png"), data + "/tessora/pics\\a.png");
  EXPECT_EQ(ini.ResolvePath("<none>\\a.png"), data + "/tessora\\a.png");
  // A copy in a folder of its own keeps the ini beside the program.
  WriteIni("[config]\r\nimage_cache_size=7\r\n");
  EXPECT_EQ(Read().ImageCacheSize(), 7);
  EXPECT_EQ(Read().HomeFolder(), dir_);
}
