// The barcode element's own properties: bar-type, bar-check-digit, bar-start, bar-stop, bar-ratio,
// bar-text and bar-ecc, their errors, and the words they use left free as names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/LayoutFiles.h"

namespace {

using layout_test::Loaded;
using layout_test::LoadUtf8;

const MBarcode& FirstBarcode(const Loaded& l) {
  const MContainer& owner =
      l.layout->Blocks.empty() ? static_cast<const MContainer&>(*l.layout->Forms[0]) : *l.layout->Blocks[0];
  for (const auto& child : owner.Children)
    if (const MBarcode* b = As<MBarcode>(child.get())) return *b;
  static const MBarcode none;
  ADD_FAILURE() << "no barcode";
  return none;
}

TEST(BarcodeStyle, WithoutPropertiesABarcodeIsNw7AsBefore) {
  const Loaded l = LoadUtf8("block b { barcode { value: 123; } }");
  ASSERT_TRUE(l.ok) << l.error;
  const MBarcodeStyle& s = FirstBarcode(l).Style;
  EXPECT_EQ(s, MBarcodeStyle{});
  EXPECT_EQ(s.Type, btNW7);
  EXPECT_FALSE(s.CheckDigit);
  EXPECT_EQ(s.Start, 'A');
  EXPECT_EQ(s.Stop, 'A');
  EXPECT_EQ(s.Ratio, 0);  // not given: the drawing's own 2.5
  EXPECT_TRUE(s.ShowsText());
  EXPECT_EQ(s.Ecc, beM);
}

TEST(BarcodeStyle, EveryPropertyInEachOfItsSpellings) {
  struct Case {
    std::string properties;
    MBarcodeStyle expected;
  };
  auto style = [](auto change) {
    MBarcodeStyle s;
    change(s);
    return s;
  };
  const std::vector<Case> cases = {
      {"bar-type: jan;", style([](MBarcodeStyle& s) { s.Type = btJAN; })},
      {"bar-type: \"datamatrix\";", style([](MBarcodeStyle& s) { s.Type = btDataMatrix; })},
      {"bar-type: code128; bar-start: \"C\";",
       style([](MBarcodeStyle& s) { s.Type = btCode128, s.Start = 'C'; })},
      {"bar-start: B; bar-stop: D; bar-check-digit: true;",
       style([](MBarcodeStyle& s) { s.Start = 'B', s.Stop = 'D', s.CheckDigit = true; })},
      {"bar-ratio: 30;", style([](MBarcodeStyle& s) { s.Ratio = 30; })},
      {"bar-ratio: 20;", style([](MBarcodeStyle& s) { s.Ratio = 20; })},
      {"bar-ratio: 22.5;", style([](MBarcodeStyle& s) { s.Ratio = 22; })},  // halves to even
      {"bar-text: false;", style([](MBarcodeStyle& s) { s.Text = btxHide; })},
      {"bar-type: qr; bar-ecc: H; bar-text: true;",
       style([](MBarcodeStyle& s) { s.Type = btQR, s.Ecc = beH, s.Text = btxShow; })},
      {"bar-ecc: \"L\"; bar-type: qr;", style([](MBarcodeStyle& s) { s.Type = btQR, s.Ecc = beL; })},
      {"bar-type: jan; bar-type: upc;", style([](MBarcodeStyle& s) { s.Type = btUPC; })},  // the last wins
  };
  for (const Case& c : cases) {
    const Loaded l = LoadUtf8("block b { barcode code { x: 1; " + c.properties + " value: 1; } }");
    ASSERT_TRUE(l.ok) << c.properties << ": " << l.error;
    EXPECT_EQ(FirstBarcode(l).Style, c.expected) << c.properties;
  }
  for (std::size_t t = 0; t < std::size(kBarTypeNames); ++t) {
    const Loaded l = LoadUtf8("form { barcode { bar-type: " + std::string(kBarTypeNames[t]) + "; } }");
    ASSERT_TRUE(l.ok) << kBarTypeNames[t] << ": " << l.error;
    EXPECT_EQ(FirstBarcode(l).Style.Type, t);
  }
}

// A bad value is reported at its own token, with its line, like every other bad property.
TEST(BarcodeStyle, BadValuesAreLoaderErrors) {
  struct Case {
    std::string property;
    std::string token;
  };
  const std::vector<Case> cases = {
      {"bar-type: ean;", "ean"},    {"bar-type: NW7;", "NW7"},  // names are lower case
      {"bar-type: \"\";", ""},      {"bar-type: 7;", "7"},        {"bar-ratio: 19;", "19"},
      {"bar-ratio: 30.5;", "30.5"}, {"bar-ratio: wide;", "wide"}, {"bar-ratio: -25;", "-25"},
      {"bar-start: AB;", "AB"},     {"bar-stop: \"\";", ""},      {"bar-start: \"CD\";", "CD"},
      {"bar-ecc: X;", "X"},         {"bar-ecc: m;", "m"},         {"bar-text: yes;", "yes"},
      {"bar-check-digit: 1;", "1"}, {"bar-type jan;", "jan"},  // the colon missing
      {"bar-ecc: H", "}"},                                     // the semicolon missing
  };
  for (const Case& c : cases) {
    const Loaded l = LoadUtf8("block b {\n  barcode {\n    value: 1;\n    " + c.property + "\n  }\n}\n");
    EXPECT_FALSE(l.ok) << c.property;
    const int line = c.token == "}" ? 5 : 4;
    EXPECT_EQ(l.error, "The loading error of \"" + l.path + "\" (" + std::to_string(line) + ") : " + c.token)
        << c.property;
  }
}

// The properties' words are names only inside a barcode element; elsewhere they are identifiers like
// any other, so that layouts naming elements with them (or with the symbologies' names) still load.
TEST(BarcodeStyle, ItsWordsStayFreeAsNames) {
  const Loaded l = LoadUtf8(
      "form qr { text bar-type { value: \"x\"; } box datamatrix {} grid-point bar-ecc { x: 1; } }\n"
      "block nw7 {\n"
      "  face-element: bar-text; key-element: jan, bar-ratio;\n"
      "  text bar-text {} text bar-ratio {}\n"
      "  barcode jan { bar-type: jan; }\n"
      "  barcode bar-start { bar-start: C; }\n"
      "}\n");
  ASSERT_TRUE(l.ok) << l.error;
  EXPECT_EQ(l.layout->Forms[0]->Children[0]->Name, "bar-type");
  const MBlock& block = *l.layout->Blocks[0];
  EXPECT_EQ(block.Name, "nw7");
  EXPECT_EQ(block.FaceElement, "bar-text");
  EXPECT_EQ(As<MBarcode>(block.Children[2].get())->Name, "jan");
  EXPECT_EQ(As<MBarcode>(block.Children[2].get())->Style.Type, btJAN);
  EXPECT_EQ(As<MBarcode>(block.Children[3].get())->Style.Start, 'C');

  // Outside a barcode element they are no properties.
  for (const char* layout : {"block { text { bar-type: jan; } }", "form { bar-ecc: M; }",
                             "block { image { bar-text: false; } }"}) {
    const Loaded bad = LoadUtf8(layout);
    EXPECT_FALSE(bad.ok) << layout;
    EXPECT_NE(bad.error.find(") : bar-"), std::string::npos) << bad.error;
  }
}

TEST(BarcodeStyle, CopiesOfABlockCarryIt) {
  const Loaded l = LoadUtf8(
      "block b { barcode c { bar-type: qr; bar-ecc: Q; bar-text: true; bar-ratio: 27; bar-check-digit: true; "
      "bar-start: D; bar-stop: B; value: \"x\"; } }");
  ASSERT_TRUE(l.ok) << l.error;
  const std::unique_ptr<MBlock> copy = l.layout->Blocks[0]->Clone();
  const MBarcode& original = FirstBarcode(l);
  const MBarcode* cloned = As<MBarcode>(copy->Children[0].get());
  ASSERT_NE(cloned, nullptr);
  EXPECT_EQ(cloned->Style, original.Style);
  EXPECT_EQ(cloned->Style.Ratio, 27);
  EXPECT_EQ(cloned->Style.Stop, 'B');
  EXPECT_EQ(cloned->Value, "x");
}

}  // namespace
