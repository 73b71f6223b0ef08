// Whatever bytes a layout file holds, loading ends in a layout or in one of the loader's messages.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/Error.h"
#include "layout/LayoutFiles.h"
#include "layout/TextFile.h"

namespace {

using layout_test::LoadBytes;
using layout_test::Loaded;

bool IsLoaderMessage(const std::string& text) {
  return text.rfind("The loading error of \"", 0) == 0 || text.rfind("A name is duplicated (", 0) == 0 ||
         text.find("is not a valid floating point value (") != std::string::npos;
}

std::string GeneralError(const Loaded& l, int line, const std::string& tokenText) {
  return "The loading error of \"" + l.path + "\" (" + std::to_string(line) + ") : " + tokenText;
}

TEST(BadInput, ControlBytesAndBrokenCharacters) {
  const Loaded nul = LoadBytes(std::string("form {\0}", 8));
  EXPECT_FALSE(nul.ok);
  EXPECT_EQ(nul.error, GeneralError(nul, 1, std::string("ERROR : invalid character. '") + '\0' + "'"));

  // Half of a double-byte character outside a string.
  const Loaded half = LoadBytes("form {}\r\n\x82");
  EXPECT_FALSE(half.ok);
  EXPECT_EQ(half.error, GeneralError(half, 2, "ERROR : invalid character. '\x82'"));
  // Inside a string it is kept as the byte it is.
  const Loaded inString = LoadBytes("block { text t { value: 'ab\x82'; } }");
  ASSERT_TRUE(inString.ok) << inString.error;
  EXPECT_EQ(As<MText>(inString.layout->Blocks[0]->Children[0].get())->GetText(), "ab\x82");

  // A byte-order mark is not part of the language.
  const Loaded bom = LoadBytes(
      "\xEF\xBB\xBF"
      "form {}");
  EXPECT_EQ(bom.error, GeneralError(bom, 1, "ERROR : invalid character. '\xEF'"));
  EXPECT_FALSE(LoadBytes("\x1A").ok);
}

TEST(BadInput, UnterminatedConstructs) {
  const Loaded comment = LoadBytes("form { box {} /* the rest is a comment\r\n}\r\n");
  EXPECT_FALSE(comment.ok);
  EXPECT_EQ(comment.error, GeneralError(comment, 0, ""));
  const Loaded trailing = LoadBytes("form {}\r\n/* never closed");
  EXPECT_TRUE(trailing.ok) << trailing.error;

  // A string without its closing quote ends at the line's end; the property then lacks its ";".
  const Loaded string = LoadBytes("block { text { value: 'abc; }\r\n}");
  EXPECT_FALSE(string.ok);
  EXPECT_EQ(string.error, GeneralError(string, 2, "}"));

  for (const char* text : {"form", "form {", "form { box", "form { box {", "form { box { x",
                           "form { box { x:", "form { box { x: 1", "form { box { x: 1;",
                           "setting { default {", "block { key-element: a,"}) {
    const Loaded l = LoadBytes(text);
    EXPECT_EQ(l.error, GeneralError(l, 0, "")) << text;
  }
}

TEST(BadInput, OneMegabyteLines) {
  const std::string mb(1 << 20, 'a');
  // A string value of 1 MB.
  const Loaded value = LoadBytes("block { text { value: '" + mb + "'; } }");
  ASSERT_TRUE(value.ok) << value.error.substr(0, 200);
  EXPECT_EQ(As<MText>(value.layout->Blocks[0]->Children[0].get())->GetText().size(), mb.size());
  // An element name of 1 MB.
  const Loaded name = LoadBytes("form " + mb + " {}");
  ASSERT_TRUE(name.ok);
  EXPECT_EQ(name.layout->Forms[0]->Name.size(), mb.size());
  // A line of 1 MB holding 100,000 elements.
  std::string boxes = "form {";
  while (boxes.size() < (1u << 20)) boxes += "box{}circle{}";
  const Loaded many = LoadBytes(boxes + "}");
  ASSERT_TRUE(many.ok) << many.error;
  EXPECT_GT(many.layout->Forms[0]->Children.size(), 100000u);
  // A line of 1 MB of characters that start no token: the first one ends the load.
  const Loaded garbage = LoadBytes(std::string(1 << 20, '#'));
  EXPECT_EQ(garbage.error, GeneralError(garbage, 1, "ERROR : invalid character. '#'"));
  // A block-type list of 1 MB.
  std::string list = "form { grid-point { block-type: a";
  for (int i = 0; i < 100000; ++i) list += ",b" + std::to_string(i);
  const Loaded types = LoadBytes(list + "; } }");
  ASSERT_TRUE(types.ok);
  EXPECT_EQ(types.layout->Forms[0]->Grid.PointAt(1, 1)->BlockTypes.size(), 100001u);
}

TEST(BadInput, TwentyThousandElements) {
  std::string text = "form {\r\n";
  for (int i = 0; i < 20000; ++i)
    text += "  box { x: " + std::to_string(i % 100) + "; width: 1; height: 1; }\r\n";
  for (int r = 0; r < 200; ++r) {
    text += "  new-line;\r\n";
    for (int c = 0; c < 100; ++c) text += "  grid-point { x: " + std::to_string(c) + "; }\r\n";
  }
  text += "}\r\nblock {\r\n";
  for (int i = 0; i < 20000; ++i) text += "  text { value: 'v'; }\r\n";
  text += "}\r\n";
  const Loaded l = LoadBytes(text);
  ASSERT_TRUE(l.ok) << l.error;
  const MForm& form = *l.layout->Forms[0];
  ASSERT_EQ(form.Children.size(), 20000u);
  EXPECT_EQ(form.Children.back()->Name, "box20000");
  EXPECT_EQ(form.Grid.RowCount(), 200);
  EXPECT_EQ(form.Grid.TotalPointCount(), 20000);
  EXPECT_EQ(form.Grid.PointAt(200, 100)->Name, "point20000");
  EXPECT_EQ(l.layout->Blocks[0]->Children.back()->Name, "text20000");
  // A page made of it is a full copy.
  EXPECT_EQ(l.layout->NewPageForm()->Grid.TotalPointCount(), 20000);
}

TEST(BadInput, RandomBytesAndMutatedLayouts) {
  const std::string valid =
      "setting { scale: 1.5; default { unit: cm; font-size: 4; } print { width: 210; height: 297; } }\r\n"
      "form f { box { x: 1; y: 2; width: 3; height: 4; fill: red; fill-style: solid; }\r\n"
      "  text t { value: 'a<br>b'; data-type: memo; } grid-point { block-type: b, all; } new-line; }\r\n"
      "block b { text n { editable: true; } key-element: n; barcode { value: 123; } } // end\r\n";
  const std::string alphabet = "{}:;,'\"/*-.0123456789 \r\n\tabxyz_\x82\x9f\xe0\0";
  std::mt19937 random(20240607);
  int loaded = 0, failed = 0;
  for (int round = 0; round < 1200; ++round) {
    std::string bytes;
    if (round % 2 == 0) {
      // Random bytes, mostly from the characters the language gives meaning to.
      const std::size_t size = random() % 120;
      for (std::size_t i = 0; i < size; ++i) {
        bytes +=
            (random() % 4 == 0) ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
      }
    } else {
      // A valid layout with a few bytes changed, removed or doubled.
      bytes = valid;
      for (int edits = 1 + static_cast<int>(random() % 4); edits > 0; --edits) {
        const std::size_t at = random() % bytes.size();
        switch (random() % 3) {
          case 0:
            bytes[at] = alphabet[random() % alphabet.size()];
            break;
          case 1:
            bytes.erase(at, 1 + random() % 8);
            break;
          default:
            bytes.insert(at, bytes.substr(at, 1 + random() % 16));
            break;
        }
        if (bytes.empty()) bytes = "x";
      }
    }
    const Loaded l = LoadBytes(bytes, "fuzz.lay");
    if (l.ok) {
      ++loaded;
      EXPECT_EQ(l.error, "");
    } else {
      ++failed;
      EXPECT_TRUE(IsLoaderMessage(l.error)) << l.error;
    }
  }
  // Both outcomes occur, so the rounds exercise more than the first token.
  EXPECT_GT(loaded, 10);
  EXPECT_GT(failed, 100);
}

TEST(BadInput, FilesThatCannotBeReadThrowWithTheirName) {
  const layout_test::TempFolder folder;
  MLayout layout;
  MLoadLayout loader(layout);
  try {
    loader.Load(folder.Path().string());
    FAIL() << "a folder loaded as a layout";
  } catch (const base::Error& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find(folder.Path().string()), std::string::npos) << message;
    EXPECT_NE(message.find("Is a directory"), std::string::npos) << message;
  }
  EXPECT_THROW(loader.Load("/dev/null"), base::Error);  // not a regular file
}

TEST(BadInput, OversizedFiles) {
  const layout_test::TempFolder folder;
  MLayout layout;
  MLoadLayout loader(layout);
  // One byte over the limit: refused before anything is parsed.
  const std::string big = folder.Write("big.lay", std::string(kMaxLayoutFileSize + 1, ' '));
  try {
    loader.Load(big);
    FAIL() << "an oversized file loaded";
  } catch (const base::Error& e) {
    EXPECT_NE(std::string(e.what()).find(big), std::string::npos);
  }
  // At the limit it is read (and is an empty layout).
  const std::string edge = folder.Write("edge.lay", std::string(kMaxLayoutFileSize, ' '));
  MLayout layout2;
  MLoadLayout loader2(layout2);
  EXPECT_TRUE(loader2.Load(edge)) << loader2.ErrorText;
}

TEST(BadInput, FilesWithoutReadPermission) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser";
  const layout_test::TempFolder folder;
  const std::string locked = folder.Write("locked.lay", "form {}");
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  MLayout layout;
  MLoadLayout loader(layout);
  EXPECT_THROW(loader.Load(locked), base::Error);
}

}  // namespace
