// What --check-layout warns about in a layout that loads: things outside the paper, and content that
// covers only a corner of it (the print size in other units than the elements).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/LayoutCheck.h"
#include "layout/LayoutFiles.h"

namespace {

using layout_test::LoadUtf8;
using Lines = std::vector<std::string>;

struct Case {
  const char* what;
  std::string layout;
  Lines warnings;
};

// An A4 sheet in millimetres with one label class, grid points where given.
std::string Sheet(const std::string& setting, const std::string& form, const std::string& block = "") {
  return "setting { " + setting + " }\nform sheet {\n" + form + "}\n" +
         (block.empty() ? "block label { width: 60; height: 30; text name { width: 60; height: 8; } }\n"
                        : block);
}

}  // namespace

TEST(LayoutCheck, WarnsAboutWhatPrintsOffThePaper) {
  const std::string a4 = "print { width: 210; height: 297; }";
  const Case cases[] = {
      {"everything fits",
       Sheet(a4, "box { x: 0; y: 0; width: 210; height: 297; } grid-point { x: 10; y: 10; }"),
       {}},
      {"an element sticks out on the right",
       Sheet(a4, "box frame { x: 5; y: 5; width: 210; height: 280; } grid-point { x: 10; y: 10; }"),
       {"form sheet: box frame lies outside the page (x 5 to 215, y 5 to 285; the page is 210 x 297 mm)"}},
      {"a line above the page",
       Sheet(a4, "line top { x1: 0; y1: -1; x2: 210; y2: -1; } grid-point { x: 10; y: 10; }"),
       {"form sheet: line top lies outside the page (x 0 to 210, y -1 to -1; the page is 210 x 297 mm)"}},
      {"a grid point outside says it once, not per block",
       Sheet(a4, "box { width: 210; height: 297; } grid-point far { x: 300; y: 10; }"),
       {"form sheet: grid point far lies outside the page (at 300, 10; the page is 210 x 297 mm)"}},
      {"a block too wide for a point that accepts it",
       Sheet(a4, "box { width: 210; height: 297; } grid-point edge { x: 180; y: 10; }"),
       {"form sheet: block label at grid point edge reaches outside the page (x 180 to 240, y 10 to 40; the "
        "page "
        "is 210 x 297 mm)"}},
      {"a point that takes only the small class is fine",
       Sheet(a4, "box { width: 210; height: 297; } grid-point { x: 180; y: 10; block-type: small; }",
             "block label { width: 60; height: 30; } block small { width: 20; height: 20; }"),
       {}},
      {"a point that takes no blocks",
       Sheet(a4, "box { width: 210; height: 297; } grid-point { x: 205; y: 290; block-type: none; }"),
       {}},
      {"a child reaching beyond its block counts",
       Sheet(a4, "box { width: 210; height: 297; } grid-point p { x: 150; y: 10; }",
             "block label { width: 50; height: 30; text wide { x: 0; width: 70; height: 8; } }"),
       {"form sheet: block label at grid point p reaches outside the page (x 150 to 220, y 10 to 40; the "
        "page is "
        "210 x 297 mm)"}},
      // The print size in tenths of a millimetre like the elements: scale does not multiply it.
      {"scale does not multiply the print size",
       Sheet("scale: 0.1; print { width: 2100; height: 2970; }",
             "box { width: 2100; height: 2970; } grid-point { x: 100; y: 100; }",
             "block label { width: 600; height: 300; }"),
       {"form sheet: everything on the page covers 1% of it (x 0 to 210, y 0 to 297; the page is 2100 x 2970 "
        "mm); "
        "print width and height are not multiplied by scale 0.1"}},
      {"content in one corner without a scale",
       Sheet(a4 + " default { unit: cm; }", "box { width: 20; height: 20; } grid-point { x: 0; y: 0; }",
             "block label { width: 5; height: 5; }"),
       {"form sheet: everything on the page covers 0.64% of it (x 0 to 20, y 0 to 20; the page is 210 x 297 "
        "cm)"}},
      {"a drawn form frame counts as content",
       Sheet(a4, "stroke-style: solid; grid-point { x: 0; y: 0; }", "block label { width: 5; height: 5; }"),
       {}},
      {"an empty form says nothing", Sheet(a4, ""), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const layout_test::Loaded l = LoadUtf8(c.layout);
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(LayoutWarnings(*l.layout), c.warnings);
  }
}

TEST(LayoutCheck, EveryFormIsChecked) {
  const layout_test::Loaded l = LoadUtf8(
      "setting { print { width: 100; height: 100; } }\n"
      "form a { box { width: 100; height: 100; } circle c { x: 90; y: 90; width: 20; height: 20; } }\n"
      "form b { box { width: 100; height: 100; } image i { x: -5; width: 10; height: 10; } }\n");
  ASSERT_TRUE(l.ok) << l.error;
  EXPECT_EQ(
      LayoutWarnings(*l.layout),
      (Lines{"form a: circle c lies outside the page (x 90 to 110, y 90 to 110; the page is 100 x 100 mm)",
             "form b: image i lies outside the page (x -5 to 5, y 0 to 10; the page is 100 x 100 mm)"}));
}
