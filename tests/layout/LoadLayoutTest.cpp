#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/LayoutFiles.h"

namespace {

using layout_test::Loaded;
using layout_test::LoadUtf8;
using layout_test::Sjis;

std::string GeneralError(const Loaded& l, int line, const std::string& tokenText) {
  return "The loading error of \"" + l.path + "\" (" + std::to_string(line) + ") : " + tokenText;
}

std::vector<std::string> FormNames(const MLayout& layout) {
  std::vector<std::string> names;
  for (const auto& f : layout.Forms) names.push_back(f->Name);
  return names;
}

TEST(LoadLayout, EmptyFileGivesEmptyLayout) {
  const Loaded l = LoadUtf8("");
  ASSERT_TRUE(l.ok) << l.error;
  EXPECT_TRUE(l.layout->Forms.empty());
  EXPECT_TRUE(l.layout->Blocks.empty());
  EXPECT_EQ(l.error, "");
}

TEST(LoadLayout, MissingFile) {
  MLayout layout;
  MLoadLayout loader(layout);
  EXPECT_FALSE(loader.Load("/nonexistent/dir/a.lay"));
  EXPECT_EQ(loader.ErrorText, "\"/nonexistent/dir/a.lay\" does not exist.");
}

TEST(LoadLayout, DefaultNamesOfFormsAndBlocks) {
  const Loaded a = LoadUtf8("form {} form {} block {} block {}");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(FormNames(*a.layout), (std::vector<std::string>{"form1", "form2"}));
  EXPECT_EQ(a.layout->Blocks[0]->Name, "block1");
  EXPECT_EQ(a.layout->Blocks[1]->Name, "block2");

  const Loaded b = LoadUtf8("form form2 {} form {} form {}");
  ASSERT_TRUE(b.ok) << b.error;
  EXPECT_EQ(FormNames(*b.layout), (std::vector<std::string>{"form2", "form1", "form3"}));

  // The registry ignores letter case: FORM1 takes form1's place.
  const Loaded c = LoadUtf8("form FORM1 {} form {}");
  ASSERT_TRUE(c.ok) << c.error;
  EXPECT_EQ(FormNames(*c.layout), (std::vector<std::string>{"FORM1", "form2"}));
}

TEST(LoadLayout, DefaultNamesOfElementsAreCountedPerContainer) {
  const Loaded l = LoadUtf8(
      "form f { box Box1 {} box {} line {} grid-point {} grid-point {} text {} }"
      "block b { box {} text {} text {} barcode {} image {} circle {} }");
  ASSERT_TRUE(l.ok) << l.error;
  const MForm& f = *l.layout->Forms[0];
  ASSERT_EQ(f.Children.size(), 4u);
  EXPECT_EQ(f.Children[1]->Name, "box2");
  EXPECT_EQ(f.Children[2]->Name, "line1");
  EXPECT_EQ(f.Children[3]->Name, "text1");
  EXPECT_EQ(f.Grid.PointAt(1, 1)->Name, "point1");
  EXPECT_EQ(f.Grid.PointAt(1, 2)->Name, "point2");
  const MBlock& b = *l.layout->Blocks[0];
  std::vector<std::string> names;
  for (const auto& c : b.Children) names.push_back(c->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"box1", "text1", "text2", "barcode1", "image1", "circle1"}));
}

TEST(LoadLayout, DuplicateNames) {
  const Loaded a = LoadUtf8("form {\n text t1 {}\n text t1 {}\n}");
  EXPECT_FALSE(a.ok);
  EXPECT_EQ(a.error, "A name is duplicated (3)");

  // Letter case does not make names different, also across kinds of element.
  const Loaded b = LoadUtf8("form { text Price {}\n box PRICE {} }");
  EXPECT_FALSE(b.ok);
  EXPECT_EQ(b.error, "A name is duplicated (2)");

  // Grid points share their form's name space.
  EXPECT_FALSE(LoadUtf8("form { box p {} grid-point p {} }").ok);

  // Forms and blocks share one name space.
  const Loaded c = LoadUtf8("form item {}\n\nblock Item {}");
  EXPECT_FALSE(c.ok);
  EXPECT_EQ(c.error, "A name is duplicated (3)");

  // The same element name in two containers is allowed, and a container may share its child's name.
  const Loaded d = LoadUtf8("block a { text name {} } block b { text name {} text b {} }");
  EXPECT_TRUE(d.ok) << d.error;

  // An unnamed element never takes a name that a later element then claims: that one collides.
  const Loaded e = LoadUtf8("form { box {} box box1 {} }");
  EXPECT_FALSE(e.ok);
  EXPECT_EQ(e.error, "A name is duplicated (1)");
}

TEST(LoadLayout, FormSizeComesFromPageSizeAndScale) {
  const Loaded l = LoadUtf8(
      "form a {}"
      "setting { scale: 2; print { width: 100; height: 50.5; x: 3; y: 4; paper-fit: false; } }"
      "form b {}"
      "form c { x: 1; y: 2; width: 10; height: 20; }");
  ASSERT_TRUE(l.ok) << l.error;
  const MForm& a = *l.layout->Forms[0];
  EXPECT_DOUBLE_EQ(a.Width, 297);
  EXPECT_DOUBLE_EQ(a.Height, 210);
  const MForm& b = *l.layout->Forms[1];
  EXPECT_DOUBLE_EQ(b.Width, 200);
  EXPECT_DOUBLE_EQ(b.Height, 101);
  EXPECT_DOUBLE_EQ(b.Bounds.Right, 200);
  EXPECT_DOUBLE_EQ(b.Y2, 101);
  const MForm& c = *l.layout->Forms[2];
  EXPECT_DOUBLE_EQ(c.Bounds.Left, 2);
  EXPECT_DOUBLE_EQ(c.Bounds.Top, 4);
  EXPECT_DOUBLE_EQ(c.Bounds.Right, 22);
  EXPECT_DOUBLE_EQ(c.Bounds.Bottom, 44);
  // The settings themselves are kept as written.
  const MSetting& s = l.layout->Setting;
  EXPECT_DOUBLE_EQ(s.Scale, 2);
  EXPECT_DOUBLE_EQ(s.PageWidth, 100);
  EXPECT_DOUBLE_EQ(s.PageHeight, 50.5);
  EXPECT_DOUBLE_EQ(s.PrintX, 3);
  EXPECT_DOUBLE_EQ(s.PrintY, 4);
  EXPECT_FALSE(s.PaperFit);
}

TEST(LoadLayout, LengthsAreScaledInsideFormsAndBlocks) {
  const Loaded l = LoadUtf8(
      "setting { scale: 10; default { stroke-width: 0.5; font-size: 4; } }"
      "form { box { x: 1; width: 2; y: 3; height: 4; stroke-width: 0.25; }"
      "       line { x1: 5; y1: 1; x2: 1; y2: 3; }"
      "       grid-point { x: 7; y: 8; } }"
      "block { width: 6; height: 7; text { font-size: 2; } text {} }");
  ASSERT_TRUE(l.ok) << l.error;
  const MForm& f = *l.layout->Forms[0];
  const MControl& box = *f.Children[0];
  EXPECT_DOUBLE_EQ(box.Bounds.Left, 10);
  EXPECT_DOUBLE_EQ(box.Bounds.Right, 30);
  EXPECT_DOUBLE_EQ(box.Bounds.Top, 30);
  EXPECT_DOUBLE_EQ(box.Bounds.Bottom, 70);
  EXPECT_DOUBLE_EQ(box.StrokeWidth, 2.5);
  const MControl& line = *f.Children[1];
  EXPECT_DOUBLE_EQ(line.X1, 50);
  EXPECT_DOUBLE_EQ(line.X2, 10);
  EXPECT_DOUBLE_EQ(line.Bounds.Left, 10);
  EXPECT_DOUBLE_EQ(line.Bounds.Right, 50);
  EXPECT_DOUBLE_EQ(line.Width, 40);
  EXPECT_DOUBLE_EQ(line.Height, 20);
  EXPECT_DOUBLE_EQ(line.StrokeWidth, 5);  // the default, scaled
  EXPECT_DOUBLE_EQ(f.Grid.PointAt(1, 1)->X1, 70);
  EXPECT_DOUBLE_EQ(f.Grid.PointAt(1, 1)->Y1, 80);
  const MBlock& b = *l.layout->Blocks[0];
  EXPECT_DOUBLE_EQ(b.Width, 60);
  EXPECT_DOUBLE_EQ(b.Height, 70);
  EXPECT_DOUBLE_EQ(As<MText>(b.Children[0].get())->FontSize, 20);
  EXPECT_DOUBLE_EQ(As<MText>(b.Children[1].get())->FontSize, 40);
  EXPECT_DOUBLE_EQ(l.layout->Setting.FontSize, 4);
}

TEST(LoadLayout, DefaultsReachOnlyLaterElements) {
  const Loaded l = LoadUtf8(
      "block a { text {} box {} }"
      "setting { default { unit: in; font-family: 'Serif'; font-style: italic; font-weight: bold;"
      "                    align: right; } }"
      "block b { text { font-weight: normal; font-style: normal; } box {} }");
  ASSERT_TRUE(l.ok) << l.error;
  const MText& before = *As<MText>(l.layout->Blocks[0]->Children[0].get());
  EXPECT_EQ(before.FontFamily, Sjis("ＭＳ Ｐゴシック"));
  EXPECT_DOUBLE_EQ(before.FontSize, 3.53);
  EXPECT_EQ(before.FontStyle, 0);
  EXPECT_EQ(before.Align, alLeft);
  EXPECT_DOUBLE_EQ(before.StrokeWidth, 0.2);
  const MText& after = *As<MText>(l.layout->Blocks[1]->Children[0].get());
  EXPECT_EQ(after.FontFamily, "Serif");
  // "normal" does not take away what the defaults set.
  EXPECT_EQ(after.FontStyle, kFontBold | kFontItalic);
  EXPECT_EQ(after.Align, alRight);
  EXPECT_EQ(As<MShape>(l.layout->Blocks[1]->Children[1].get())->Align, alRight);
  EXPECT_EQ(l.layout->Setting.Unit, unInch);
}

TEST(LoadLayout, StrokeFillAndFlags) {
  const Loaded l = LoadUtf8(
      "form { stroke-style: dash; fill-style: solid; fill: lightgray; visible: false;"
      "  box { stroke: red; fill: blue; stroke-style: dashdotdot; }"
      "  circle { stroke: green; fill: gray; fill-style: none; stroke-style: none; }"
      "  line { stroke: white; stroke-style: dashdot; }"
      "  image { align: center; stretch: true; visible: false; value: 'images/a.png'; }"
      "  barcode { value: 0123; } barcode { value: '12-34'; } }");
  ASSERT_TRUE(l.ok) << l.error;
  const MForm& f = *l.layout->Forms[0];
  EXPECT_EQ(f.StrokeStyle, ssDash);
  EXPECT_EQ(f.FillStyle, fsSolid);
  EXPECT_EQ(f.FillColor, 0xC0C0C0u);
  EXPECT_FALSE(f.Visible);
  const MControl& box = *f.Children[0];
  EXPECT_EQ(box.StrokeColor, 0x0000FFu);
  EXPECT_EQ(box.FillColor, 0xFF0000u);
  EXPECT_EQ(box.StrokeStyle, ssDashDotDot);
  EXPECT_EQ(box.FillStyle, fsNone);
  const MControl& circle = *f.Children[1];
  EXPECT_EQ(circle.StrokeColor, 0x008000u);
  EXPECT_EQ(circle.FillColor, 0x808080u);
  EXPECT_EQ(circle.StrokeStyle, ssNone);
  EXPECT_EQ(f.Children[2]->StrokeColor, 0xFFFFFFu);
  EXPECT_EQ(f.Children[2]->StrokeStyle, ssDashDot);
  const MImage& image = *As<MImage>(f.Children[3].get());
  EXPECT_EQ(image.Align, alCenter);
  EXPECT_TRUE(image.Stretch);
  EXPECT_FALSE(image.Visible);
  EXPECT_EQ(image.Value, "images/a.png");
  EXPECT_EQ(image.FileName, "images/a.png");
  EXPECT_EQ(As<MBarcode>(f.Children[4].get())->Value, "0123");
  EXPECT_EQ(As<MBarcode>(f.Children[5].get())->Value, "12-34");
  // A block without a stroke style draws no outline.
  const Loaded b = LoadUtf8("block {}");
  EXPECT_EQ(b.layout->Blocks[0]->StrokeStyle, ssNone);
}

TEST(LoadLayout, Texts) {
  const Loaded l = LoadUtf8(
      "form { text title { value: '月刊<br>カタログ'; editable: true; } }"
      "block { text note { data-type: memo; value: '一行目<br>二行目'; }"
      "        text late { value: 'a<br>b'; data-type: memo; }"
      "        text price { data-type: integer; format: '%5d'; value: -120; }"
      "        text d1 { data-type: total-page; } text d2 { data-type: create-date; } }");
  ASSERT_TRUE(l.ok) << l.error;
  const MControl* title = l.layout->Forms[0]->Children[0].get();
  ASSERT_NE(As<MFormText>(title), nullptr);  // a form's texts are form texts
  EXPECT_EQ(As<MText>(title)->Lines, (std::vector<std::string>{Sjis("月刊")}));
  EXPECT_TRUE(As<MText>(title)->Editable);
  const MBlock& b = *l.layout->Blocks[0];
  for (const auto& child : b.Children) EXPECT_EQ(As<MFormText>(child.get()), nullptr);
  const MText& memo = *As<MText>(b.Children[0].get());
  EXPECT_EQ(memo.Lines, (std::vector<std::string>{Sjis("一行目"), Sjis("二行目")}));
  // The data type given after the value comes too late to keep the second line.
  EXPECT_EQ(As<MText>(b.Children[1].get())->Lines, (std::vector<std::string>{"a"}));
  const MText& price = *As<MText>(b.Children[2].get());
  EXPECT_EQ(price.DataType, dtInteger);
  EXPECT_EQ(price.Format, "%5d");
  EXPECT_EQ(price.GetText(), "-120");
  EXPECT_EQ(As<MText>(b.Children[3].get())->DataType, dtTotalPage);
  EXPECT_EQ(As<MText>(b.Children[4].get())->DataType, dtCreateDate);
}

TEST(LoadLayout, BlockRolesAndBlockTypes) {
  const Loaded l = LoadUtf8(
      "block item { face-element: name; thumbnail-element: photo , name,price;"
      "  key-element: code; search-element: name, kana; }"
      "form { grid-point { block-type: item, Other; } grid-point { block-type: all; }"
      "  grid-point { block-type: none; } grid-point {} }");
  ASSERT_TRUE(l.ok) << l.error;
  const MBlock& b = *l.layout->Blocks[0];
  EXPECT_EQ(b.FaceElement, "name");
  EXPECT_EQ(b.ThumbnailElements, (std::vector<std::string>{"photo", "name", "price"}));
  EXPECT_EQ(b.KeyElements, (std::vector<std::string>{"code"}));
  EXPECT_EQ(b.SearchElements, (std::vector<std::string>{"name", "kana"}));
  const MGrid& g = l.layout->Forms[0]->Grid;
  EXPECT_EQ(g.PointAt(1, 1)->BlockTypes, (std::vector<std::string>{"item", "Other"}));
  EXPECT_EQ(g.PointAt(1, 2)->BlockTypes, (std::vector<std::string>{"all"}));
  EXPECT_EQ(g.PointAt(1, 3)->BlockTypes, (std::vector<std::string>{"none"}));
  EXPECT_EQ(g.PointAt(1, 4)->BlockTypes, (std::vector<std::string>{"all"}));
}

TEST(LoadLayout, GridRows) {
  const Loaded l = LoadUtf8(
      "form { new-line; grid-point {} grid-point {} new-line; new-line; grid-point {} new-line; }"
      "form { box {} }");
  ASSERT_TRUE(l.ok) << l.error;
  const MGrid& g = l.layout->Forms[0]->Grid;
  ASSERT_EQ(g.RowCount(), 2);
  EXPECT_EQ(g.PointCount(1), 2);
  EXPECT_EQ(g.PointCount(2), 1);
  EXPECT_EQ(g.PointAt(2, 1)->Name, "point3");
  // A form without points keeps no row at all.
  EXPECT_EQ(l.layout->Forms[1]->Grid.RowCount(), 0);
}

TEST(LoadLayout, SyntaxErrorsNameTheOffendingToken) {
  struct Case {
    const char* text;
    int line;
    const char* token;
  };
  const Case cases[] = {
      {";", 1, ";"},                                         // a stray semicolon at the top level
      {"form {\n box { x: 1\n y: 2; } }", 3, "y"},           // a property without its semicolon
      {"form { box { x 1; } }", 1, "1"},                     // no colon
      {"form { box { x: '1'; } }", 1, "1"},                  // a string where a number belongs
      {"form { box { fill: pink; } }", 1, "pink"},           // not a colour keyword
      {"form {\n box {} ", 0, ""},                           // the closing brace is missing
      {"form { grid-point { block-type: a b; } }", 1, "b"},  // a list without its comma
      {"form { grid-point { block-type: a,; } }", 1, ";"},
      {"block { grid-point {} }", 1, "grid-point"},  // grid points belong to forms
      {"block { new-line; }", 1, "new-line"},
      {"form { face-element: a; }", 1, "face-element"},
      {"form { line { x: 1; } }", 1, "x"},  // a line has end points only
      {"form { box { font-size: 3; } }", 1, "font-size"},
      {"form { text { data-type: money; } }", 1, "money"},
      {"form box {}", 1, "box"},                       // an element name must be an identifier
      {"setting name { }", 1, "name"},                 // a setting section has no name
      {"setting { scale: 2; unit: mm; }", 1, "unit"},  // unit belongs to the default section
      {"form { new-line }", 1, "}"},
      {"Form {}", 1, "Form"},  // keywords are case-sensitive
      {"form { box { x: 1; } } }", 1, "}"},
      {"form { box { x = 1; } }", 1, "ERROR : invalid character. '='"},
  };
  for (const Case& c : cases) {
    const Loaded l = LoadUtf8(c.text);
    EXPECT_FALSE(l.ok) << c.text;
    EXPECT_EQ(l.error, GeneralError(l, c.line, c.token)) << c.text;
  }
}

TEST(LoadLayout, NumbersThatCannotBeConvertedAreReportedWithTheirLine) {
  const std::string huge = "1" + std::string(400, '0');
  const Loaded l = LoadUtf8("form {\n box { x: " + huge + "; }\n}");
  EXPECT_FALSE(l.ok);
  EXPECT_EQ(l.error, "'" + huge + "' is not a valid floating point value (2)");
}

TEST(LoadLayout, WhatWasBuiltBeforeAnErrorStays) {
  const Loaded l = LoadUtf8("block a { text t {} }\nform f { box {} box { x: ; } }");
  EXPECT_FALSE(l.ok);
  ASSERT_EQ(l.layout->Blocks.size(), 1u);
  ASSERT_EQ(l.layout->Forms.size(), 1u);
  EXPECT_EQ(l.layout->Forms[0]->Children.size(), 2u);
}

TEST(LoadLayout, JapaneseNamesInStringsAndComments) {
  const Loaded l = LoadUtf8(
      "/* 商品カタログ */\r\n"
      "setting { default { font-family: 'ＭＳ 明朝'; } }\r\n"
      "block shohin { // 商品\r\n"
      "  text name { value: \"表示\"; }\r\n"
      "}\r\n");
  ASSERT_TRUE(l.ok) << l.error;
  EXPECT_EQ(As<MText>(l.layout->Blocks[0]->Children[0].get())->FontFamily, Sjis("ＭＳ 明朝"));
  EXPECT_EQ(As<MText>(l.layout->Blocks[0]->Children[0].get())->GetText(), Sjis("表示"));
}

TEST(LoadLayout, RegistryHelpers) {
  MLayout layout;
  MLoadLayout loader(layout);
  EXPECT_TRUE(loader.RegisterName("form1", "box2"));
  EXPECT_FALSE(loader.RegisterName("FORM1", "Box2"));
  EXPECT_TRUE(loader.RegisterName("form2", "box2"));
  EXPECT_EQ(loader.MakeDefaultName("form1", "box"), "box1");
  EXPECT_EQ(loader.MakeDefaultName("form1", "box"), "box3");
  EXPECT_EQ(loader.MakeDefaultName("Form1", "box"), "box4");
  EXPECT_TRUE(loader.RegisterName("form1", "box6"));
  EXPECT_EQ(loader.MakeDefaultName("form1", "box"), "box5");
  EXPECT_EQ(loader.MakeDefaultName("form1", "box"), "box7");
  EXPECT_EQ(loader.MakeDefaultName("", "form"), "form1");
}

}  // namespace
