#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "data/MapFile.h"
#include "data/MapGlobal.h"
#include "data/MapIni.h"
#include "layout/ImagePath.h"
#include "layout/Layout.h"
#include "layout/Shapes.h"

namespace fs = std::filesystem;

namespace {
// A program folder of its own with an ini that names one folder alias.
class GlobalsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tessora-globals-" + std::to_string(::getpid()));
    fs::create_directories(dir_ / "pics");
    std::ofstream(dir_ / "tessora.ini") << "[folder_alias]\r\nimg=pics\r\n";
  }
  void TearDown() override {
    ReleaseDataGlobals();
    fs::remove_all(dir_);
  }
  fs::path dir_;
};
}  // namespace

TEST_F(GlobalsTest, CreatesEveryObjectAndReleasesThemAll) {
  CreateDataGlobals((dir_ / "tessora").string());
  ASSERT_TRUE(gIni && gMapFile && gLayout);
  EXPECT_EQ(gIni->ProgramFolder(), dir_.string());
  EXPECT_TRUE(gMapFile->FileName().empty());
  EXPECT_FALSE(gLayout->HasForms());

  // Image values resolve their folder aliases through the configuration.
  MImage image;
  image.SetValue("<IMG>\\shoe.png");
  EXPECT_EQ(image.Value, "<IMG>\\shoe.png");
  EXPECT_EQ(image.FileName, (dir_ / "pics" / "shoe.png").string());
  image.SetValue("");
  EXPECT_EQ(image.FileName, "");

  ReleaseDataGlobals();
  EXPECT_FALSE(gIni || gMapFile || gLayout);
  image.SetValue("<img>\\shoe.png");  // no configuration: the value is the path
  EXPECT_EQ(image.FileName, "<img>\\shoe.png");
  ReleaseDataGlobals();  // a second release is harmless
}

TEST_F(GlobalsTest, CreatingAgainStartsFresh) {
  CreateDataGlobals((dir_ / "tessora").string());
  gMapFile->SetLayoutName("old.lay");
  CreateDataGlobals((dir_ / "tessora").string());
  EXPECT_TRUE(gMapFile->LayoutName().empty());
}
