#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "layout/BlockInstance.h"
#include "layout/Containers.h"
#include "layout/Controls.h"
#include "layout/Form.h"
#include "layout/ImagePath.h"
#include "layout/Layout.h"
#include "layout/LayoutFiles.h"
#include "layout/Page.h"
#include "layout/Shapes.h"
#include "layout/Specials.h"

namespace {

using layout_test::Loaded;
using layout_test::LoadUtf8;

template <class T>
T* AddAt(MContainer& owner, const std::string& name, double x, double y, double w, double h) {
  T* e = owner.AddChild(std::make_unique<T>());
  e->Name = name;
  e->SetX(x);
  e->SetY(y);
  e->SetWidth(w);
  e->SetHeight(h);
  return e;
}

TEST(Model, ClassTests) {
  struct Case {
    std::unique_ptr<MControl> element;
    bool shape, text, container, special;
  };
  Case cases[] = {
      {std::make_unique<MLine>(), true, false, false, false},
      {std::make_unique<MBox>(), true, false, false, false},
      {std::make_unique<MCircle>(), true, false, false, false},
      {std::make_unique<MImage>(), true, false, false, false},
      {std::make_unique<MText>(), true, true, false, false},
      {std::make_unique<MFormText>(), true, true, false, false},
      {std::make_unique<MBarcode>(), true, false, false, false},
      {std::make_unique<MGridPoint>(), false, false, false, false},
      {std::make_unique<MForm>(), false, false, true, false},
      {std::make_unique<MBlock>(), false, false, true, false},
      {std::make_unique<MSpace>(), false, false, false, true},
      {std::make_unique<MNewLine>(), false, false, false, true},
      {std::make_unique<MNewPage>(), false, false, false, true},
      {std::make_unique<MEOD>(), false, false, false, true},
  };
  for (const Case& c : cases) {
    const MControl* e = c.element.get();
    SCOPED_TRACE(static_cast<int>(e->Kind()));
    EXPECT_EQ(e->IsShape(), c.shape);
    EXPECT_EQ(As<MShape>(e) != nullptr, c.shape);
    EXPECT_EQ(e->IsText(), c.text);
    EXPECT_EQ(As<MText>(e) != nullptr, c.text);
    EXPECT_EQ(e->IsContainer(), c.container);
    EXPECT_EQ(As<MContainer>(e) != nullptr, c.container);
    EXPECT_EQ(e->IsSpecial(), c.special);
    EXPECT_EQ(As<MSpecial>(e) != nullptr, c.special);
    // A clone is of the same class.
    EXPECT_EQ(e->Clone()->Kind(), e->Kind());
  }
  EXPECT_EQ(As<MText>(static_cast<MControl*>(nullptr)), nullptr);
  EXPECT_EQ(MSpace().Name, "space");
  EXPECT_EQ(MNewLine().Name, "newline");
  EXPECT_EQ(MNewPage().Name, "newpage");
  EXPECT_EQ(MEOD().Name, "eod");
}

TEST(Model, GeometrySettersKeepBoundsAndCornersTogether) {
  MBox b;
  b.SetWidth(10);
  b.SetHeight(4);
  b.SetX(5);
  b.SetY(7);
  EXPECT_DOUBLE_EQ(b.Bounds.Left, 5);
  EXPECT_DOUBLE_EQ(b.Bounds.Right, 15);
  EXPECT_DOUBLE_EQ(b.X2, 15);
  EXPECT_DOUBLE_EQ(b.Bounds.Bottom, 11);
  EXPECT_DOUBLE_EQ(b.Y2, 11);
  b.SetWidth(2);
  EXPECT_DOUBLE_EQ(b.Bounds.Right, 7);
  EXPECT_DOUBLE_EQ(b.X2, 7);

  MLine l;
  l.SetX1(8);
  l.SetX2(3);
  l.SetY2(-2);
  EXPECT_DOUBLE_EQ(l.Bounds.Left, 3);
  EXPECT_DOUBLE_EQ(l.Bounds.Right, 8);
  EXPECT_DOUBLE_EQ(l.Width, 5);
  EXPECT_DOUBLE_EQ(l.Bounds.Top, -2);
  EXPECT_DOUBLE_EQ(l.Bounds.Bottom, 0);
  EXPECT_DOUBLE_EQ(l.Height, 2);
  EXPECT_DOUBLE_EQ(l.X1, 8);  // the end points stay where they were put
  l.SetY1(1);
  EXPECT_DOUBLE_EQ(l.Bounds.Bottom, 1);
  EXPECT_DOUBLE_EQ(l.Height, 3);
}

TEST(Model, IntersectsIncludesTouchingEdges) {
  MBox b;
  b.SetX(10);
  b.SetY(10);
  b.SetWidth(10);
  b.SetHeight(10);
  EXPECT_TRUE(b.Intersects({0, 0, 10, 10}));    // touches at a corner
  EXPECT_TRUE(b.Intersects({20, 15, 30, 16}));  // touches the right edge
  EXPECT_TRUE(b.Intersects({12, 12, 13, 13}));  // inside
  EXPECT_TRUE(b.Intersects({0, 0, 100, 100}));  // around
  EXPECT_FALSE(b.Intersects({0, 0, 9.99, 100}));
  EXPECT_FALSE(b.Intersects({0, 20.01, 100, 30}));
}

TEST(Model, CloneIsADeepCopyOfEveryField) {
  MBlock cls;
  cls.Name = "item";
  cls.FaceElement = "name";
  cls.SetThumbnailElements("photo,name");
  cls.SetKeyElements("code");
  cls.SetSearchElements("name");
  cls.SetWidth(40);
  cls.Visible = false;
  MText* name = AddAt<MText>(cls, "name", 1, 2, 30, 5);
  name->DataType = dtMemo;
  name->SetText("a\r\nb");
  name->FontFamily = "F";
  name->FontSize = 3;
  name->FontStyle = kFontBold;
  name->Format = "%s";
  name->Editable = true;
  name->Stretch = true;
  name->Align = alRight;
  name->StrokeColor = kColorRed;
  MImage* photo = AddAt<MImage>(cls, "photo", 0, 0, 10, 10);
  photo->Value = "v.png";
  photo->FileName = "/x/v.png";
  AddAt<MBarcode>(cls, "code", 0, 0, 10, 10)->Value = "A123B";

  const std::unique_ptr<MBlock> copy = cls.Clone();
  EXPECT_EQ(copy->Name, "item");
  EXPECT_FALSE(copy->Visible);
  EXPECT_DOUBLE_EQ(copy->Width, 40);
  EXPECT_EQ(copy->FaceElement, "name");
  EXPECT_EQ(copy->ThumbnailElements, cls.ThumbnailElements);
  EXPECT_EQ(copy->KeyElements, cls.KeyElements);
  EXPECT_EQ(copy->SearchElements, cls.SearchElements);
  ASSERT_EQ(copy->Children.size(), 3u);
  const MText* t = As<MText>(copy->Children[0].get());
  ASSERT_NE(t, nullptr);
  EXPECT_NE(t, name);
  EXPECT_EQ(t->Lines, name->Lines);
  EXPECT_EQ(t->FontFamily, "F");
  EXPECT_DOUBLE_EQ(t->FontSize, 3);
  EXPECT_EQ(t->FontStyle, kFontBold);
  EXPECT_EQ(t->DataType, dtMemo);
  EXPECT_EQ(t->Format, "%s");
  EXPECT_TRUE(t->Editable);
  EXPECT_TRUE(t->Stretch);
  EXPECT_EQ(t->Align, alRight);
  EXPECT_EQ(t->StrokeColor, kColorRed);
  EXPECT_DOUBLE_EQ(t->Bounds.Right, 31);
  const MImage* i = As<MImage>(copy->Children[1].get());
  ASSERT_NE(i, nullptr);
  EXPECT_EQ(i->Value, "v.png");
  EXPECT_EQ(i->FileName, "/x/v.png");
  EXPECT_EQ(As<MBarcode>(copy->Children[2].get())->Value, "A123B");

  // The copy is independent of its class.
  name->SetText("changed");
  As<MText>(copy->Children[0].get())->Lines.clear();
  EXPECT_EQ(name->GetText(), "changed");

  // Assign replaces the children, it does not add to them.
  copy->Assign(cls);
  EXPECT_EQ(copy->Children.size(), 3u);
  EXPECT_EQ(As<MText>(copy->Children[0].get())->GetText(), "changed");
}

TEST(Model, FormTextCopiesDoNotInheritTheExplicitMark) {
  MForm form;
  MFormText* t = AddAt<MFormText>(form, "title", 0, 0, 10, 5);
  t->SetText("x");
  t->Explicit = true;
  const std::unique_ptr<MForm> page = form.Clone();
  const MFormText* copy = As<MFormText>(page->Children[0].get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetText(), "x");
  EXPECT_FALSE(copy->Explicit);
}

TEST(Model, CopyingAFormCopiesGridPointsButNoEntries) {
  MForm form;
  MGridPoint* p1 = form.Grid.AddPoint(std::make_unique<MGridPoint>());
  p1->Name = "p1";
  p1->SetBlockTypes(" item , other ");
  form.Grid.NewRow();
  form.Grid.AddPoint(std::make_unique<MGridPoint>());
  MBlock item;
  item.Name = "item";
  MPage first(form, 1);
  MEntry space = MEntry::Special(MKind::Space);
  ASSERT_TRUE(first.Place(1, 1, space));
  MEntry block = item.NewInstance();
  ASSERT_TRUE(first.Place(2, 1, block));

  const std::unique_ptr<MForm> copy = form.Clone();
  ASSERT_EQ(copy->Grid.RowCount(), 2);
  const MGridPoint* q1 = copy->Grid.PointAt(1, 1);
  ASSERT_NE(q1, nullptr);
  EXPECT_NE(q1, p1);
  EXPECT_EQ(q1->Name, "p1");
  EXPECT_EQ(q1->BlockTypes, (std::vector<std::string>{"item", "other"}));
  // Entries are a page's: another page of the form holds none of them.
  const MPage second(form, 2);
  EXPECT_EQ(second.EntryAt(1, 1), nullptr);
  EXPECT_EQ(second.EntryAt(2, 1), nullptr);
  EXPECT_NE(first.EntryAt(1, 1), nullptr);  // the first page keeps its entries
}

TEST(Model, MoveByAndBackMoveAContainerWithItsChildren) {
  MBlock b;
  b.SetWidth(20);
  b.SetHeight(10);
  AddAt<MBox>(b, "box", 1, 2, 3, 4);
  MLine* line = b.AddChild(std::make_unique<MLine>());
  line->SetX1(5);
  line->SetY2(6);
  MGridPoint origin;
  origin.SetX(100);
  origin.SetY(50);

  b.MoveBy(origin);
  EXPECT_DOUBLE_EQ(b.Bounds.Left, 100);
  EXPECT_DOUBLE_EQ(b.Bounds.Bottom, 60);
  EXPECT_DOUBLE_EQ(b.X2, 120);
  const MControl& box = *b.Children[0];
  EXPECT_DOUBLE_EQ(box.Bounds.Left, 101);
  EXPECT_DOUBLE_EQ(box.Bounds.Top, 52);
  EXPECT_DOUBLE_EQ(box.X2, 104);
  EXPECT_DOUBLE_EQ(box.Y2, 56);
  EXPECT_DOUBLE_EQ(line->X1, 105);
  EXPECT_DOUBLE_EQ(line->Y2, 56);
  EXPECT_DOUBLE_EQ(box.Width, 3);  // sizes do not change

  b.MoveBack(origin);
  EXPECT_DOUBLE_EQ(b.Bounds.Left, 0);
  EXPECT_DOUBLE_EQ(box.Bounds.Left, 1);
  EXPECT_DOUBLE_EQ(box.Bounds.Bottom, 6);
  EXPECT_DOUBLE_EQ(line->X1, 5);

  // An element moved by itself moves by its own original position.
  MBox self;
  self.SetX(3);
  self.MoveBy(self);
  EXPECT_DOUBLE_EQ(self.X1, 6);
}

TEST(Model, FindEditableTextAndContains) {
  MForm form;
  MFormText* title = AddAt<MFormText>(form, "title", 0, 0, 50, 10);
  title->Editable = true;
  AddAt<MText>(form, "fixed", 0, 20, 50, 10);  // not editable
  MGridPoint* point = form.Grid.AddPoint(std::make_unique<MGridPoint>());
  point->SetX(100);
  point->SetY(100);

  MBlock block;
  block.Name = "note";
  MText* memo = AddAt<MText>(block, "memo", 0, 0, 30, 10);
  memo->Editable = true;
  MBox* frame = AddAt<MBox>(block, "frame", 0, 0, 30, 10);
  MPage page(form, 1);
  MEntry entry = block.NewInstance();
  const MBlockInstance* placed = entry.Block();
  ASSERT_TRUE(page.Place(1, 1, entry));

  EXPECT_EQ(form.FindEditableText(0, 0), title);    // the corner is inside
  EXPECT_EQ(form.FindEditableText(50, 10), title);  // so is the opposite one
  EXPECT_EQ(form.FindEditableText(25, 25), nullptr);
  EXPECT_EQ(form.FindEditableText(130, 110), nullptr) << "the form's own texts only";
  // A page finds its form's texts first, then the texts of the blocks placed on it.
  const MPageText onTitle = page.FindEditableText(50, 10);
  ASSERT_NE(onTitle, nullptr);
  EXPECT_TRUE(onTitle.IsFormText());
  EXPECT_EQ(onTitle->Name, "title");
  const MPageText onMemo = page.FindEditableText(130, 110);  // a placed block's text, edge included
  ASSERT_NE(onMemo, nullptr);
  EXPECT_EQ(onMemo.Block(), placed);
  EXPECT_EQ(onMemo.Child(), 0u);
  EXPECT_DOUBLE_EQ(onMemo->Bounds.Left, 100) << "where the page shows it";
  EXPECT_EQ(page.FindEditableText(130.01, 110), nullptr);
  EXPECT_EQ(page.FindEditableText(25, 25), nullptr);

  EXPECT_TRUE(form.Contains(title));
  EXPECT_FALSE(form.Contains(memo));
  EXPECT_TRUE(block.Contains(memo));
  EXPECT_TRUE(block.Contains(frame));
  MBox stranger;
  EXPECT_FALSE(form.Contains(&stranger));
  EXPECT_FALSE(block.Contains(title));

  EXPECT_EQ(form.EditableNames(), (std::vector<std::string>{"title"}));
}

TEST(Model, SetTextKeepsOneLineUnlessMemo) {
  MText t;
  t.SetText("one\r\ntwo\nthree");
  EXPECT_EQ(t.Lines, (std::vector<std::string>{"one"}));
  EXPECT_EQ(t.GetText(), "one");
  t.DataType = dtMemo;
  t.SetText("one\r\ntwo\rthree\n");
  EXPECT_EQ(t.Lines, (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(t.GetText(), "one\r\ntwo\r\nthree\r\n");
  t.SetText("");
  EXPECT_TRUE(t.Lines.empty());
  EXPECT_EQ(t.GetText(), "");
  t.SetText("\r\n");
  EXPECT_EQ(t.Lines, (std::vector<std::string>{""}));
  EXPECT_EQ(t.GetText(), "");
  // Computed types still give their stored text here.
  t.DataType = dtNowPage;
  t.SetText("7");
  EXPECT_EQ(t.GetText(), "7");
}

TEST(Model, NameListsAreSplitAtCommasAndTrimmed) {
  EXPECT_EQ(SplitNameList(" a ,b,, c "), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(SplitNameList("one"), (std::vector<std::string>{"one"}));
  EXPECT_EQ(SplitNameList(""), (std::vector<std::string>{""}));
  EXPECT_EQ(IndexOfName({"Photo", "name"}, "NAME"), 1);
  EXPECT_EQ(IndexOfName({"Photo", "name"}, "nam"), -1);
  MBlock b;
  b.SetKeyElements("x");
  b.SetKeyElements("y, z");  // replaces
  EXPECT_EQ(b.KeyElements, (std::vector<std::string>{"y", "z"}));
}

TEST(Model, GridLookUps) {
  MGrid grid;
  grid.AddPoint(std::make_unique<MGridPoint>());
  grid.NewRow();
  grid.NewRow();
  grid.AddPoint(std::make_unique<MGridPoint>());
  MGridPoint* p = grid.AddPoint(std::make_unique<MGridPoint>());
  grid.NewRow();
  ASSERT_EQ(grid.RowCount(), 4);
  grid.RemoveEmptyRows();
  ASSERT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.PointCount(1), 1);
  EXPECT_EQ(grid.PointCount(2), 2);
  EXPECT_EQ(grid.PointCount(0), 0);
  EXPECT_EQ(grid.PointCount(3), 0);
  EXPECT_EQ(grid.TotalPointCount(), 3);
  EXPECT_EQ(grid.PointAt(2, 2), p);
  EXPECT_EQ(grid.PointAt(2, 3), nullptr);
  EXPECT_EQ(grid.PointAt(2, 0), nullptr);
  EXPECT_EQ(grid.PointAt(-1, 1), nullptr);
  // The points in reading order: row 2 starts after the one point of row 1.
  EXPECT_EQ(grid.RowStart(1), 0);
  EXPECT_EQ(grid.RowStart(2), 1);
  EXPECT_EQ(grid.RowStart(3), 3);

  MGrid copy;
  copy.Assign(grid);
  EXPECT_EQ(copy.RowCount(), 2);
  EXPECT_EQ(copy.PointCount(2), 2);
  EXPECT_NE(copy.PointAt(2, 2), p);
}

TEST(Model, LayoutOperations) {
  const Loaded l = LoadUtf8(
      "setting { scale: 3; }"
      "form first { grid-point { block-type: Item; } } form second {}"
      "block Item { text a { editable: true; } text b {} text c { editable: true; } }");
  ASSERT_TRUE(l.ok) << l.error;
  MLayout& layout = *l.layout;
  EXPECT_TRUE(layout.HasForms());

  const std::unique_ptr<MForm> page = layout.NewPageForm();
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->Name, "first");
  EXPECT_NE(page.get(), layout.Forms[0].get());
  EXPECT_EQ(page->Grid.PointAt(1, 1)->BlockTypes, (std::vector<std::string>{"Item"}));

  EXPECT_EQ(layout.FindBlock("Item"), layout.Blocks[0].get());
  EXPECT_EQ(layout.FindBlock("item"), nullptr);  // case-sensitive

  std::vector<std::string> row{"Item", "A", "x"};
  layout.AddEditableNames("Item", row);
  EXPECT_EQ(row, (std::vector<std::string>{"Item", "A", "x", "c"}));
  layout.AddEditableNames("Item", row);  // nothing more to add
  EXPECT_EQ(row.size(), 4u);
  std::vector<std::string> unknown{"Other"};
  layout.AddEditableNames("Other", unknown);
  EXPECT_EQ(unknown, (std::vector<std::string>{"Other"}));

  layout.Clear();
  EXPECT_FALSE(layout.HasForms());
  EXPECT_EQ(layout.NewPageForm(), nullptr);
  EXPECT_TRUE(layout.Blocks.empty());
  EXPECT_DOUBLE_EQ(layout.Setting.Scale, 1);
}

TEST(Model, AnEditableTextNamedLikeItsClassIsStillAddedToTheFieldRow) {
  const Loaded l = LoadUtf8("block note { text note { editable: true; } }");
  ASSERT_TRUE(l.ok) << l.error;
  std::vector<std::string> row{"note"};
  l.layout->AddEditableNames("note", row);
  EXPECT_EQ(row, (std::vector<std::string>{"note", "note"}));
}

TEST(Model, ImageValuesGoThroughTheInstalledResolver) {
  MImage image;
  image.SetValue("images/a.png");
  EXPECT_EQ(image.FileName, "images/a.png");
  SetImagePathResolver([](const std::string& v) { return "/pictures/" + v; });
  image.SetValue("b.png");
  SetImagePathResolver(nullptr);
  EXPECT_EQ(image.Value, "b.png");
  EXPECT_EQ(image.FileName, "/pictures/b.png");
  image.SetValue("c.png");
  EXPECT_EQ(image.FileName, "c.png");
}

}  // namespace
