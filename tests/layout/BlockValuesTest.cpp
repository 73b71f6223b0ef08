#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "layout/BlockInstance.h"
#include "layout/ImagePath.h"
#include "layout/LayoutFiles.h"
#include "layout/Page.h"

namespace {

using layout_test::Loaded;
using layout_test::LoadUtf8;
using layout_test::Sjis;
using Row = std::vector<std::string>;

// A block class with one element of every kind that carries a value.
class BlockValues : public ::testing::Test {
 protected:
  void SetUp() override {
    loaded_ = LoadUtf8(
        "block item {"
        "  face-element: name; key-element: code, name; search-element: name, kana;"
        "  text name { value: '既定'; }"
        "  text kana { }"
        "  text note { data-type: memo; value: '1<br>2'; }"
        "  text code { }"
        "  image photo { value: 'images/none.png'; }"
        "  barcode bar { value: '0000'; }"
        "  box frame { }"
        "}");
    ASSERT_TRUE(loaded_.ok) << loaded_.error;
    block_ = Class().NewInstance();
  }

  MBlock& Class() { return *loaded_.layout->Blocks[0]; }
  // The place of a child among the class's children.
  std::size_t Child(const char* name) {
    for (std::size_t i = 0; i < Class().Children.size(); ++i) {
      if (Class().Children[i]->Name == name) return i;
    }
    ADD_FAILURE() << "no child " << name;
    return 0;
  }
  Row Lines(const char* name) { return block_->TextLines(Child(name)); }
  bool Visible(const char* name) { return block_->ChildVisible(Child(name)); }

  Loaded loaded_;
  std::unique_ptr<MBlockInstance> block_;
};

TEST_F(BlockValues, EachKindOfElement) {
  block_->SetElementValue("photo", "%IMAGES%\\a b.png");
  EXPECT_EQ(block_->GetElementValue("photo"), "%IMAGES%\\a b.png");
  block_->SetElementValue("bar", "A12-3B");
  EXPECT_EQ(block_->GetElementValue("bar"), "A12-3B");
  block_->SetElementValue("name", Sjis("商品名"));
  EXPECT_EQ(block_->GetElementValue("name"), Sjis("商品名"));
  // Elements without a value read as empty and ignore values.
  block_->SetElementValue("frame", "x");
  EXPECT_EQ(block_->GetElementValue("frame"), "");
}

// A slot found once on the class reads what GetElementValue reads, in every block of the class, also
// in blocks of a class whose children do not stand where this class has them.
TEST_F(BlockValues, SlotsFoundOnTheClassReadEveryBlockLikeTheirKeys) {
  const MBlock& blockClass = Class();
  block_->SetElementValue("note", "a<br>b");
  block_->SetElementValue("bar", "A1");
  block_->SetElementValue("name.visible", "0");
  const std::unique_ptr<MBlockInstance> plain = blockClass.NewInstance();
  std::unique_ptr<MBlock> movedClass = blockClass.Clone();
  std::rotate(movedClass->Children.begin(), movedClass->Children.begin() + 2, movedClass->Children.end());
  const std::unique_ptr<MBlockInstance> moved = movedClass->NewInstance();
  moved->SetElementValue("note", "c<br>d<br>");
  moved->SetElementValue("name.visible", "0");
  for (const char* key : {"name", "name.visible", "name.other", "note", "photo", "bar", "frame", "missing"}) {
    const MBlock::ValueSlot slot = blockClass.FindValueSlot(key);
    for (const MBlockInstance* block : {block_.get(), plain.get(), moved.get()}) {
      std::string scratch;
      bool isText = false;
      const std::string value(block->ValueAt(slot, scratch, &isText));
      EXPECT_EQ(isText ? LineBreaksToBreakTags(value) : value, block->GetElementValue(key)) << key;
      std::string saved;
      EXPECT_EQ(block->SavedValue(slot, saved), block->GetElementValue(key)) << key;
    }
  }
}

TEST_F(BlockValues, ImageValueKeepsWhatWasWrittenAndResolvesThePath) {
  SetImagePathResolver([](const std::string& v) { return "/resolved/" + v; });
  block_->SetElementValue("photo", "images/tea.png");
  // The path is the drawn block's: resolved when the block is made an element tree.
  const std::unique_ptr<MBlock> drawn = block_->Materialize();
  SetImagePathResolver(nullptr);
  const MImage& photo = *As<MImage>(drawn->FindChild("photo"));
  EXPECT_EQ(photo.Value, "images/tea.png");
  EXPECT_EQ(photo.FileName, "/resolved/images/tea.png");
  const Row fields{"item", "photo"};
  Row record;
  block_->SaveValues(record, &fields);
  EXPECT_EQ(record, (Row{"item", "images/tea.png"}));
}

TEST_F(BlockValues, MemoLineBreaksTravelAsBrTags) {
  block_->SetElementValue("note", "first<br>second<br>");
  EXPECT_EQ(Lines("note"), (Row{"first", "second"}));
  EXPECT_EQ(block_->GetElementValue("note"), "first<br>second<br>");
  // The saved text reads back as the same lines.
  const std::string saved = block_->GetElementValue("note");
  block_->SetElementValue("note", "");
  block_->SetElementValue("note", saved);
  EXPECT_EQ(Lines("note"), (Row{"first", "second"}));
  // An empty line in the middle survives the trip.
  block_->SetElementValue("note", "a<br><br>b");
  EXPECT_EQ(Lines("note"), (Row{"a", "", "b"}));
  EXPECT_EQ(block_->GetElementValue("note"), "a<br><br>b<br>");

  // Any other text keeps "<br>" as characters; the tag is matched exactly.
  block_->SetElementValue("name", "x<br>y");
  EXPECT_EQ(Lines("name"), (Row{"x<br>y"}));
  EXPECT_EQ(block_->GetElementValue("name"), "x<br>y");
  block_->SetElementValue("note", "x<BR>y");
  EXPECT_EQ(Lines("note"), (Row{"x<BR>y"}));
}

TEST_F(BlockValues, VisibleFlags) {
  block_->SetElementValue("photo.visible", "0");
  EXPECT_FALSE(Visible("photo"));
  EXPECT_EQ(block_->GetElementValue("photo.visible"), "0");
  block_->SetElementValue("photo.visible", "");  // keeps what it was
  EXPECT_EQ(block_->GetElementValue("photo.visible"), "0");
  block_->SetElementValue("photo.visible", "no");
  EXPECT_EQ(block_->GetElementValue("photo.visible"), "1");
  // Every kind has the flag, the value-less kinds too.
  block_->SetElementValue("frame.visible", "0");
  EXPECT_EQ(block_->GetElementValue("frame.visible"), "0");
  // Another property word, or a different spelling, is ignored and reads as empty.
  block_->SetElementValue("name.Visible", "0");
  block_->SetElementValue("name.color", "0");
  EXPECT_TRUE(Visible("name"));
  EXPECT_EQ(block_->GetElementValue("name.color"), "");
  EXPECT_EQ(block_->GetElementValue("name.visible.x"), "");
  // Keys naming no child, or naming one with a different letter case.
  block_->SetElementValue("Name", "changed");
  EXPECT_EQ(block_->GetElementValue("name"), Sjis("既定"));
  EXPECT_EQ(block_->GetElementValue("nothing"), "");
  EXPECT_EQ(block_->GetElementValue("nothing.visible"), "");
  EXPECT_EQ(block_->GetElementValue(""), "");
}

TEST_F(BlockValues, LoadAndSaveFollowTheFieldRow) {
  const Row fields{"item", "name", "bar", "note", "photo.visible", "nosuch"};
  block_->LoadValues({"item", Sjis("緑茶"), "4901234567894", "a<br>b", "0", "ignored", "surplus"}, &fields);
  Row saved;
  block_->SaveValues(saved, &fields);
  EXPECT_EQ(saved, (Row{"item", Sjis("緑茶"), "4901234567894", "a<br>b<br>", "0", ""}));

  // A shorter record leaves the class defaults for the fields it lacks.
  std::unique_ptr<MBlockInstance> other = Class().NewInstance();
  other->LoadValues({"item", "only the name"}, &fields);
  saved.clear();
  other->SaveValues(saved, &fields);
  EXPECT_EQ(saved, (Row{"item", "only the name", "0000", "1<br>2<br>", "1", ""}));

  // Without a field row nothing is loaded and only the class name is saved.
  std::unique_ptr<MBlockInstance> bare = Class().NewInstance();
  bare->LoadValues({"item", "x"}, nullptr);
  EXPECT_EQ(bare->GetElementValue("name"), Sjis("既定"));
  saved.clear();
  bare->SaveValues(saved, nullptr);
  EXPECT_EQ(saved, (Row{"item"}));
  // A field row of the class name alone saves the name alone too.
  const Row nameOnly{"item"};
  saved.clear();
  bare->SaveValues(saved, &nameOnly);
  EXPECT_EQ(saved, (Row{"item"}));
}

// Blocks loaded in bulk hold what blocks loaded one by one hold, for any record: keys repeated,
// naming no child or another property, values with breaks, tags, flags and nothing at all.
TEST_F(BlockValues, ALoaderLoadsWhatLoadValuesLoads) {
  const Row fields{"item",       "note", "name", "photo.visible", "name", "nosuch", "bar",
                   "name.color", "kana", "code", "frame.visible", "note", "photo",  "frame"};
  const std::vector<std::string> values{"",   "0",   "1",  "a<br>b", "x\r\ny", "\r\n", "<br>", Sjis("表<br>"),
                                        "no", "z\r", "\nq"};
  const MBlockInstance::Loader loader(Class(), &fields);
  std::mt19937 rng(5);
  for (int round = 0; round < 300; ++round) {
    Row record{"item"};
    for (std::size_t n = rng() % (fields.size() + 2); n > 0; --n)
      record.push_back(values[rng() % values.size()]);
    const std::unique_ptr<MBlockInstance> bulk = loader.Load(record);
    const std::unique_ptr<MBlockInstance> one = Class().NewInstance();
    one->LoadValues(record, &fields);
    Row a, b;
    bulk->SaveValues(a, &fields);
    one->SaveValues(b, &fields);
    ASSERT_EQ(a, b) << "round " << round;
    for (std::size_t child = 0; child < Class().Children.size(); ++child) {
      ASSERT_EQ(bulk->TextLines(child), one->TextLines(child)) << "round " << round << " child " << child;
      ASSERT_EQ(bulk->ChildVisible(child), one->ChildVisible(child))
          << "round " << round << " child " << child;
    }
  }
}

// A value kept in a block's buffer reads back as the lines MText::SetText makes of it, for a memo
// (the data file's "<br>" a break) and for any other text (its first line).
TEST(BlockValueBuffer, TextValuesAreTheLinesSetTextMakes) {
  const char* const pieces[] = {"a", "\r", "\n", "\r\n", "<br>", "<BR>", "", "\x81", "b c"};
  std::mt19937 rng(9);
  for (int round = 0; round < 2000; ++round) {
    std::string value;
    for (std::size_t n = rng() % 6; n > 0; --n) value += pieces[rng() % std::size(pieces)];
    for (const bool memo : {false, true}) {
      MText text;
      text.DataType = memo ? dtMemo : dtString;
      text.SetText(memo ? BreakTagsToLineBreaks(value) : value);
      std::string stored;
      EncodeTextValue(value, memo, memo, stored);
      Row lines;
      for (std::size_t start = 0, nl = stored.find('\n'); nl != std::string::npos;
           start = nl + 1, nl = stored.find('\n', start))
        lines.push_back(stored.substr(start, nl - start));
      ASSERT_EQ(lines, text.Lines) << "memo " << memo << " value \"" << value << "\"";
    }
  }
}

TEST_F(BlockValues, FaceText) {
  EXPECT_EQ(block_->FaceText(), Sjis("既定"));
  Class().FaceElement = "bar";
  EXPECT_EQ(block_->FaceText(), "0000");
  Class().FaceElement = "photo";  // not a text or a barcode
  EXPECT_EQ(block_->FaceText(), "");
  Class().FaceElement = "NAME";  // exact names only
  EXPECT_EQ(block_->FaceText(), "");

  // A child of another kind with the face's name is passed over.
  MBlock b;
  b.FaceElement = "f";
  b.AddChild(std::make_unique<MBox>())->Name = "f";
  b.AddChild(std::make_unique<MText>())->Name = "f";
  As<MText>(b.Children[1].get())->SetText("face");
  EXPECT_EQ(b.NewInstance()->FaceText(), "face");
}

TEST_F(BlockValues, MatchesKeys) {
  block_->SetElementValue("code", "A-1");
  block_->SetElementValue("name", "Tea");
  // Values are given in the order of the key-element list, not of the children.
  EXPECT_TRUE(block_->MatchesKeys({"A-1", "Tea"}));
  EXPECT_FALSE(block_->MatchesKeys({"Tea", "A-1"}));
  EXPECT_FALSE(block_->MatchesKeys({"A-1", "tea"}));  // byte for byte
  EXPECT_FALSE(block_->MatchesKeys({"A-1"}));         // a missing value is an empty text
  block_->SetElementValue("name", "");
  EXPECT_TRUE(block_->MatchesKeys({"A-1"}));

  // Key lists ignore letter case when they name children.
  Class().SetKeyElements("CODE");
  EXPECT_TRUE(block_->MatchesKeys({"A-1"}));
  // A key element that is not a text never matches.
  Class().SetKeyElements("code, bar");
  EXPECT_FALSE(block_->MatchesKeys({"A-1", "0000"}));
  // No key elements: every block matches.
  Class().SetKeyElements("nothing");
  EXPECT_TRUE(block_->MatchesKeys({}));
}

TEST_F(BlockValues, MatchesSearch) {
  block_->SetElementValue("name", Sjis("ＧＲＥＥＮ Tea 緑茶"));
  block_->SetElementValue("kana", Sjis("りょくちゃ"));
  block_->SetElementValue("code", "hidden");
  EXPECT_TRUE(block_->MatchesSearch("TEA"));
  EXPECT_TRUE(block_->MatchesSearch("tea"));
  EXPECT_TRUE(block_->MatchesSearch(Sjis("ｇｒｅｅｎ")));  // full-width letters fold too
  EXPECT_TRUE(block_->MatchesSearch(Sjis("緑茶")));
  EXPECT_TRUE(block_->MatchesSearch(Sjis("ょく")));  // the second search element
  EXPECT_FALSE(block_->MatchesSearch("hidden"));     // not a search element
  EXPECT_FALSE(block_->MatchesSearch("coffee"));
  // A match must start on a character: "\" is the second byte of 表 (0x95 0x5C) and of ソ.
  block_->SetElementValue("name", Sjis("表ソ"));
  EXPECT_FALSE(block_->MatchesSearch("\\"));
}

// ---- form values of pages

class FormValues : public ::testing::Test {
 protected:
  void SetUp() override {
    loaded_ = LoadUtf8(
        "form page {"
        "  text title { value: '春のカタログ'; }"
        "  text note { data-type: memo; editable: true; }"
        "  box { }"
        "}");
    ASSERT_TRUE(loaded_.ok) << loaded_.error;
    // Three pages, each made as the document makes them: a page of the form taking the texts of
    // the page before it.
    for (int i = 0; i < 3; ++i) pages_.push_back(NewPage());
  }

  std::unique_ptr<MPage> NewPage() {
    auto page = std::make_unique<MPage>(*loaded_.layout->Forms[0], static_cast<int>(pages_.size()) + 1);
    if (!pages_.empty()) page->CopyFormTexts(*pages_.back());
    return page;
  }

  // SetFormText of the document: explicit on the start page, inherited on the later ones.
  void SetFrom(std::size_t start, const std::string& name, const std::string& value) {
    for (std::size_t p = start; p < pages_.size(); ++p) pages_[p]->SetFormText(name, value, p == start);
  }

  Row WriteAll() const {
    Row lines;
    for (std::size_t p = 0; p < pages_.size(); ++p) pages_[p]->WriteFormData(static_cast<int>(p) + 1, lines);
    return lines;
  }

  // What a form text shows and holds on a page.
  struct PageText {
    std::string text;
    Row Lines;
    bool Explicit = false;
    const std::string& GetText() const { return text; }
  };
  PageText Text(std::size_t page, const char* name) const {
    MPage::TextState state;
    EXPECT_TRUE(pages_[page]->FormTextState(name, state)) << name;
    return {pages_[page]->FormText(name), state.Lines, state.Explicit};
  }

  Loaded loaded_;
  std::vector<std::unique_ptr<MPage>> pages_;
};

TEST_F(FormValues, AValueSetOnPageTwoIsInheritedByPageThreeAndWrittenOnce) {
  EXPECT_EQ(WriteAll(), Row{});  // nothing explicit yet
  SetFrom(1, "title", Sjis("夏のカタログ"));
  EXPECT_EQ(Text(0, "title").GetText(), Sjis("春のカタログ"));
  EXPECT_TRUE(Text(1, "title").Explicit);
  EXPECT_EQ(Text(2, "title").GetText(), Sjis("夏のカタログ"));
  EXPECT_FALSE(Text(2, "title").Explicit);
  EXPECT_EQ(WriteAll(), (Row{Sjis("2.title=夏のカタログ")}));

  // A page appended now takes the texts of the page before it, not explicit.
  pages_.push_back(NewPage());
  EXPECT_EQ(Text(3, "title").GetText(), Sjis("夏のカタログ"));
  EXPECT_FALSE(Text(3, "title").Explicit);
}

TEST_F(FormValues, OnlyFormTextsWithTheExactNameChange) {
  pages_[0]->SetFormText("Title", "x", true);
  pages_[0]->SetFormText("box1", "x", true);
  EXPECT_EQ(Text(0, "title").GetText(), Sjis("春のカタログ"));
  EXPECT_EQ(WriteAll(), Row{});
  // A one-line text keeps only the first line of what it is given.
  pages_[0]->SetFormText("title", "a\r\nb", true);
  EXPECT_EQ(Text(0, "title").Lines, Row{"a"});
}

TEST_F(FormValues, MemoFormTextsAreWrittenWithBrTagsAndReadBack) {
  pages_[0]->SetFormText("note", "line 1\r\nline 2", true);
  const Row lines = WriteAll();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "1.note=line 1<br>line 2<br>");
  EXPECT_EQ(lines[0].find('\r'), std::string::npos);

  // Reading the line back: the value is what follows "=", turned back into lines for a memo.
  const std::string value = lines[0].substr(lines[0].find('=') + 1);
  const std::string restored = pages_[1]->FormTextFromData("note", value);
  EXPECT_EQ(restored, "line 1\r\nline 2\r\n");
  pages_[1]->SetFormText("note", restored, true);
  EXPECT_EQ(Text(1, "note").Lines, (Row{"line 1", "line 2"}));

  // Any other text keeps the tag as characters, as block values do; unknown names change nothing.
  EXPECT_EQ(pages_[0]->FormTextFromData("title", "a<br>b"), "a<br>b");
  EXPECT_EQ(pages_[0]->FormTextFromData("nothing", "a<br>b"), "a<br>b");
}

TEST_F(FormValues, CopyFormTextsTakesEveryTextOfTheSource) {
  // The source may be a page of any form whose texts bear the same names, plain texts included.
  MForm form;
  MText* plain = form.AddChild(std::make_unique<MText>());
  plain->Name = "title";
  plain->SetText("from a plain text");
  const MPage source(form, 1);
  pages_[2]->SetFormText("title", "explicit", true);
  pages_[2]->CopyFormTexts(source);
  EXPECT_EQ(Text(2, "title").GetText(), "from a plain text");
  EXPECT_FALSE(Text(2, "title").Explicit);
}

}  // namespace
