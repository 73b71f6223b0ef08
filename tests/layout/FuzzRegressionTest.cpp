// Inputs on which fuzzing found the layout language or model at fault, kept so that the fixes stay.
// The files of fuzz-regressions/layout/ are the layouts as the fuzzer found them (the fuzz smoke
// replays them too).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "LayoutFiles.h"
#include "layout/BlockInstance.h"
#include "layout/Containers.h"
#include "layout/Controls.h"
#include "layout/Form.h"
#include "layout/Page.h"
#include "layout/Shapes.h"

namespace {

using Lines = std::vector<std::string>;

template <class T>
T& AddMemo(MContainer& owner, const char* name) {
  auto text = std::make_unique<T>();
  text->Name = name;
  text->DataType = dtMemo;
  return *owner.AddChild(std::move(text));
}

// Saves every value of a block class, loads them into a copy and saves again: the two must agree.
void ExpectValuesRoundTrip(const MBlock& blockClass) {
  std::vector<std::string> fields{blockClass.Name};
  for (const auto& child : blockClass.Children) {
    fields.push_back(child->Name);
    fields.push_back(child->Name + ".visible");
  }
  std::vector<std::string> saved, again;
  blockClass.NewInstance()->SaveValues(saved, &fields);
  std::unique_ptr<MBlockInstance> copy = blockClass.NewInstance();
  copy->LoadValues(saved, &fields);
  copy->SaveValues(again, &fields);
  // Blocks loaded in bulk hold the same.
  std::vector<std::string> bulk;
  MBlockInstance::Loader(blockClass, &fields).Load(saved)->SaveValues(bulk, &fields);
  EXPECT_EQ(bulk, saved) << "block " << blockClass.Name;
  EXPECT_EQ(again, saved) << "block " << blockClass.Name;
}

}  // namespace

// A memo line that ends in half a character (a lead byte, as a broken file may hold) hid the line
// break after it from the conversion to "<br>": the form data line then held a line break, and the
// document could not be saved at all. Breaks and tags are found byte by byte now, both ways.
TEST(BlockValuesFuzzRegression, BreaksAfterHalfACharacterBecomeTagsAndBack) {
  MForm form;
  AddMemo<MFormText>(form, "heading");
  MPage page(form, 1);
  page.SetFormText("heading", page.FormTextFromData("heading", "ab\xE4<br>c\x83"), true);
  MPage::TextState heading;
  ASSERT_TRUE(page.FormTextState("heading", heading));
  EXPECT_EQ(heading.Lines, (Lines{"ab\xE4", "c\x83"}));
  Lines data;
  page.WriteFormData(1, data);
  EXPECT_EQ(data, (Lines{"1.heading=ab\xE4<br>c\x83<br>"}));

  MBlock blockClass;
  AddMemo<MText>(blockClass, "note");
  const std::unique_ptr<MBlockInstance> block = blockClass.NewInstance();
  block->SetElementValue("note", "x\x81<br>y");
  EXPECT_EQ(block->TextLines(0), (Lines{"x\x81", "y"}));
  const std::string saved = block->GetElementValue("note");
  EXPECT_EQ(saved, "x\x81<br>y<br>");
  block->SetElementValue("note", saved);
  EXPECT_EQ(block->TextLines(0), (Lines{"x\x81", "y"}));
}

// The loader kept "<br>" after half a character as text, while the values read it as a break: a
// memo's default value then changed on its first save and load. All three find it byte by byte now.
TEST(LoadLayoutFuzzRegression, BreakTagsAfterHalfACharacterAreBreaksInTheLayoutToo) {
  const layout_test::Loaded loaded =
      layout_test::LoadBytes("block b { text m { data-type: memo; value: \"\xF0<br>x\"; } }");
  ASSERT_TRUE(loaded.ok) << loaded.error;
  const MText& memo = static_cast<const MText&>(*loaded.layout->Blocks.at(0)->Children.at(0));
  EXPECT_EQ(memo.Lines, (Lines{"\xF0", "x"}));
}

TEST(LoadLayoutFuzzRegression, BlockValuesOfFoundLayoutsReadBackAsSaved) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(TESSORA_SOURCE_DIR) /
                                                               "tests/layout/fuzz-regressions/layout"))
    files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_FALSE(files.empty());
  for (const std::filesystem::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const layout_test::Loaded loaded = layout_test::LoadBytes(bytes.str());
    if (!loaded.ok) continue;
    for (const auto& block : loaded.layout->Blocks) ExpectValuesRoundTrip(*block);
  }
}
