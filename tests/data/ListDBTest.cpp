// The unplaced and trash lists: selection, search, insertion at the selection and look-up by key.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "data/Clipboard.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "support/DocumentTestSupport.h"

namespace {

using doc_test::ListNames;
using doc_test::Sjis;
using doc_test::VisibleNames;
using Names = std::vector<std::string>;

class List : public ::testing::Test {
 protected:
  List() {
    doc_test::LoadLayoutText(layout, doc_test::GridLayoutText({{"all"}}));
    file.EditBlockFields() = {{"item", "name", "code", "kana", "biko"}, {"feature", "name"}};
  }

  // An item block named name, with a code, a reading (a search element) and a memo (not one).
  void Add(const std::string& name, const std::string& code = "", const std::string& kana = "",
           const std::string& memo = "") {
    db.AddFromData("item", {"item", name, code, kana, memo}, false);
  }

  MLayout layout;
  MMapFile file;
  MUnmapDB db{layout, file};
};

}  // namespace

TEST_F(List, SearchMatchesSearchElementsWithoutRegardToCase) {
  Add("Green TEA", "1");
  Add(Sjis("ほうじ茶"), "2", "HOJICHA");
  Add("Coffee", "3", "", "tea inside");  // only the memo holds it: not a search element
  Add(Sjis("ＴＥＡ　ｓｅｔ"), "4");      // full-width letters fold too
  EXPECT_EQ(db.Selection(), 0);

  db.SetSearch("tea");
  EXPECT_EQ(VisibleNames(db), (Names{"Green TEA"}));
  db.SetSearch(Sjis("ｔｅａ"));
  EXPECT_EQ(VisibleNames(db), (Names{"ＴＥＡ　ｓｅｔ"}));
  db.SetSearch("jich");
  EXPECT_EQ(VisibleNames(db), (Names{"ほうじ茶"}));
  EXPECT_EQ(db.Count(), 4) << "the count is of every block";
  db.SetSearch("none of them");
  EXPECT_EQ(db.VisibleCount(), 0);
  EXPECT_EQ(db.Selection(), -1);
  EXPECT_EQ(db.Current(), nullptr);
  EXPECT_EQ(db.Remove(), nullptr);
  EXPECT_TRUE(db.RemoveAll().empty());
  db.SetSearch("");
  EXPECT_EQ(db.VisibleCount(), 4);
  EXPECT_EQ(db.Selection(), 0);

  // The list's search finds exactly the blocks whose own MatchesSearch holds.
  db.AddFromData("item", {"item", "two lines", "5", "", "x<br>y"}, false);
  for (const std::string& text : {std::string("E"), std::string("t"), Sjis("茶"), Sjis("ａ"),
                                  std::string("\x82"), std::string("ea "), std::string("x")}) {
    db.SetSearch(text);
    Names expected;
    for (const auto& block : db.Entries()) {
      if (block->MatchesSearch(text)) expected.push_back(doc_test::ShortName(*block));
    }
    EXPECT_EQ(VisibleNames(db), expected) << text;
  }
}

TEST_F(List, SelectionFollowsSearchAndRemoval) {
  for (const char* n : {"tea 1", "cup", "tea 2", "tea 3"}) Add(n);
  db.SetSearch("tea");
  db.SelectNext();
  db.SelectNext();
  EXPECT_EQ(db.Selection(), 2);
  db.SetSearch("tea");
  EXPECT_EQ(db.Selection(), 2) << "the same text again changes nothing";
  db.SetSearch("TEA");
  EXPECT_EQ(db.Selection(), 0) << "another text starts at the first match";

  db.SelectNext();
  db.SelectNext();
  db.SelectNext();
  EXPECT_EQ(db.Selection(), 2) << "never beyond the last";
  MEntry removed = db.Remove();  // the last visible block
  EXPECT_EQ(doc_test::ShortName(removed), "tea 3");
  EXPECT_EQ(db.Selection(), 1);
  EXPECT_EQ(ListNames(db), (Names{"tea 1", "cup", "tea 2"}));
  db.SetSearch("cup");
  db.Remove();  // the only one
  EXPECT_EQ(db.Selection(), -1);
  db.SelectPrevious();
  db.SelectNext();
  EXPECT_EQ(db.Selection(), -1);
  db.SetSearch("");
  EXPECT_EQ(ListNames(db), (Names{"tea 1", "tea 2"}));
  db.Select(1);
  EXPECT_EQ(doc_test::ShortName(*db.Current()), "tea 2");
  db.Select(5);
  EXPECT_EQ(db.Selection(), 1);
}

TEST_F(List, RemoveAllTakesOnlyTheVisibleBlocks) {
  for (const char* n : {"tea 1", "cup", "tea 2", "pot"}) Add(n);
  db.SetSearch("tea");
  MEntryList taken = db.RemoveAll();
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(doc_test::ShortName(taken[1]), "tea 2");
  EXPECT_EQ(db.VisibleCount(), 0);
  EXPECT_EQ(db.Selection(), -1);
  Add("tea 4");  // the search stays set and sees new blocks
  EXPECT_EQ(VisibleNames(db), (Names{"tea 4"}));
  db.SetSearch("");
  EXPECT_EQ(ListNames(db), (Names{"cup", "pot", "tea 4"}));
  EXPECT_EQ(db.RemoveAll().size(), 3u);
  EXPECT_EQ(db.Count(), 0);
}

TEST_F(List, InsertingAndPastingAtTheSelection) {
  for (const char* n : {"A", "B", "C"}) Add(n);
  db.SelectNext();  // B
  MMemoryClipboard clipboard;
  clipboard.SetData(kMapBlockFormat, "item,X,9");
  db.PasteEntry(clipboard);
  EXPECT_EQ(ListNames(db), (Names{"A", "X", "B", "C"}));
  EXPECT_EQ(doc_test::ShortName(*db.Current()), "B") << "the selection stays on the block selected before";

  // Copying takes the selected block's row; special entries and unknown classes are dropped.
  db.CopyEntry(clipboard);
  std::string bytes;
  ASSERT_TRUE(clipboard.GetData(kMapBlockFormat, bytes));
  EXPECT_EQ(bytes, "item,B,,,");
  for (const char* row : {"newline", "shelf,Y"}) {
    clipboard.SetData(kMapBlockFormat, row);
    db.PasteEntry(clipboard);
  }
  EXPECT_EQ(db.Count(), 4);
}

TEST_F(List, InsertingWhileSearching) {
  for (const char* n : {"tea 1", "cup", "tea 2"}) Add(n);
  db.SetSearch("tea");
  // A hidden block goes before the selected block in the whole list; the selection moves on by one.
  db.AddFromData("item", {"item", "mug"}, true);
  EXPECT_EQ(ListNames(db), (Names{"mug", "tea 1", "cup", "tea 2"}));
  EXPECT_EQ(doc_test::ShortName(*db.Current()), "tea 2");
  // A matching block goes before the selected match and the selection comes back to that match.
  db.AddFromData("item", {"item", "tea 0"}, true);
  EXPECT_EQ(ListNames(db), (Names{"mug", "tea 1", "cup", "tea 0", "tea 2"}));
  EXPECT_EQ(VisibleNames(db), (Names{"tea 1", "tea 0", "tea 2"}));
  EXPECT_EQ(doc_test::ShortName(*db.Current()), "tea 2");

  // Nothing visible: a hidden block is appended and nothing is selected; a matching one is selected.
  db.SetSearch("pot");
  db.AddFromData("item", {"item", "bowl"}, true);
  EXPECT_EQ(db.Selection(), -1);
  db.AddFromData("item", {"item", "pot"}, true);
  EXPECT_EQ(db.Selection(), 0);
  EXPECT_EQ(ListNames(db).back(), "pot");
  EXPECT_TRUE(db.Modified());
}

TEST_F(List, SavingWritesEveryBlockInOrder) {
  Add("tea", "1", "", "two<br>lines");
  Add("cup", "2");
  db.AddFromData("shelf", {"shelf", "x"}, false);  // not a class of the layout: dropped
  db.AddFromData("feature", {"feature", "Spring"}, false);
  db.SetSearch("cup");
  MMapFile::Rows rows;
  db.SaveTo(rows);
  // A memo of two lines is written as each line followed by "<br>".
  EXPECT_EQ(rows, (MMapFile::Rows{{"item", "tea", "1", "", "two<br>lines<br>"},
                                  {"item", "cup", "2", "", ""},
                                  {"feature", "Spring"}}));
  db.Clear();
  EXPECT_EQ(db.Count(), 0);
  EXPECT_EQ(db.SearchText(), "");
  EXPECT_FALSE(db.Modified());
}

TEST_F(List, TakeByKeyTakesTheEarliestMatch) {
  Add("first", "100");
  Add("second", "100");
  Add("other", "200");
  db.AddFromData("feature", {"feature", "100"}, false);
  db.SelectNext();
  db.SelectNext();
  db.SelectNext();
  EXPECT_EQ(db.TakeByKey("item", {"300"}), nullptr);
  EXPECT_EQ(db.TakeByKey("ITEM", {"100"}), nullptr) << "class names compare exactly";
  std::unique_ptr<MBlockInstance> taken = db.TakeByKey("item", {"100"});
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(doc_test::ShortName(*taken), "first");
  EXPECT_EQ(db.Selection(), 2) << "kept within the list";
  EXPECT_EQ(doc_test::ShortName(*db.TakeByKey("item", {"100"})), "second");
  EXPECT_EQ(db.TakeByKey("item", {"100"}), nullptr);
  EXPECT_EQ(db.Selection(), 1);
}

// The indexed look-up of many keys gives exactly what one TakeByKey after another gives, also for
// classes whose key element is no text (never matched) and keys given short.
TEST_F(List, TakeByKeysAgreesWithTakeByKey) {
  MLayout keyed;
  doc_test::LoadLayoutText(keyed, doc_test::GridLayoutText({{"all"}}) +
                                      "block pair { key-element: a, b, missing; text a { } text b { } }\n"
                                      "block pictured { key-element: pic; image pic { } }\n");
  MMapFile fields;
  fields.EditBlockFields() = {{"item", "name", "code"}, {"pair", "a", "b"}, {"pictured", "pic"}};
  MUnmapDB one(keyed, fields), many(keyed, fields);
  std::mt19937 rng(3);
  const std::vector<std::string> values = {"", "1", "2", Sjis("品")};
  auto pick = [&] { return values[rng() % values.size()]; };
  for (int i = 0; i < 400; ++i) {
    MMapFile::Row row;
    switch (rng() % 3) {
      case 0:
        row = {"item", "n" + std::to_string(i), pick()};
        break;
      case 1:
        row = {"pair", pick(), pick()};
        break;
      default:
        row = {"pictured", pick()};
        break;
    }
    one.AddFromData(row[0], row, false);
    many.AddFromData(row[0], row, false);
  }
  std::vector<MKeyQuery> queries;
  for (int i = 0; i < 500; ++i) {
    switch (rng() % 4) {
      case 0:
        queries.push_back({"item", {pick()}});
        break;
      case 1:
        queries.push_back({"pair", {pick(), pick(), pick()}});
        break;
      case 2:
        queries.push_back({"pair", {pick()}});
        break;
      default:
        queries.push_back({rng() % 2 ? "pictured" : "nothing", {pick()}});
        break;
    }
  }
  for (int i = 0; i < 30; ++i) one.SelectNext(), many.SelectNext();

  std::vector<std::unique_ptr<MBlockInstance>> found = many.TakeByKeys(queries);
  ASSERT_EQ(found.size(), queries.size());
  int hits = 0;
  for (std::size_t q = 0; q < queries.size(); ++q) {
    const std::unique_ptr<MBlockInstance> expected = one.TakeByKey(queries[q].ClassName, queries[q].Keys);
    ASSERT_EQ(expected == nullptr, found[q] == nullptr) << "query " << q;
    if (expected == nullptr) continue;
    ++hits;
    MMapFile::Rows a, b;
    a.push_back(one.BlockRow(*expected));
    b.push_back(many.BlockRow(*found[q]));
    EXPECT_EQ(a, b) << "query " << q;
  }
  EXPECT_GT(hits, 100);
  EXPECT_EQ(ListNames(one), ListNames(many));
  EXPECT_EQ(one.Selection(), many.Selection());
}
