// Inputs on which fuzzing found the layout model at fault, kept so that the fixes stay.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "layout/Controls.h"
#include "layout/Form.h"

namespace {

using Lines = std::vector<std::string>;

template <class T>
T& AddMemo(MContainer& owner, const char* name) {
  auto text = std::make_unique<T>();
  text->Name = name;
  text->DataType = dtMemo;
  return *owner.AddChild(std::move(text));
}

}  // namespace

// A memo line that ends in half a character (a lead byte, as a broken file may hold) hid the line
// break after it from the conversion to "<br>": the form data line then held a line break, and the
// document could not be saved at all. Breaks and tags are found byte by byte now, both ways.
TEST(BlockValuesFuzzRegression, BreaksAfterHalfACharacterBecomeTagsAndBack) {
  MForm form;
  MFormText& heading = AddMemo<MFormText>(form, "heading");
  form.SetFormText("heading", form.FormTextFromData("heading", "ab\xE4<br>c\x83"), true);
  EXPECT_EQ(heading.Lines, (Lines{"ab\xE4", "c\x83"}));
  Lines data;
  form.WriteFormData(1, data);
  EXPECT_EQ(data, (Lines{"1.heading=ab\xE4<br>c\x83<br>"}));

  MBlock block;
  MText& note = AddMemo<MText>(block, "note");
  block.SetElementValue("note", "x\x81<br>y");
  EXPECT_EQ(note.Lines, (Lines{"x\x81", "y"}));
  const std::string saved = block.GetElementValue("note");
  EXPECT_EQ(saved, "x\x81<br>y<br>");
  block.SetElementValue("note", saved);
  EXPECT_EQ(note.Lines, (Lines{"x\x81", "y"}));
}
