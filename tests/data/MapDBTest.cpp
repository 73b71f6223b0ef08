// The pages of a document: how the sequence of entries flows over the grid points as entries are
// inserted and removed, the cursor, the form texts of the pages and the clipboard rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "base/CommaText.h"
#include "base/Error.h"
#include "data/Clipboard.h"
#include "data/MapDB.h"
#include "support/DocumentTestSupport.h"

namespace {

using doc_test::DumpPages;
using doc_test::Sequence;
using Rows = std::vector<std::vector<std::string>>;

// A layout with the given grid, the block-field rows of its two classes, and a database on it.
class Pages {
 public:
  explicit Pages(const Rows& grid) {
    doc_test::LoadLayoutText(layout, doc_test::GridLayoutText(grid));
    file.EditBlockFields() = {{"item", "name", "code"}, {"feature", "name"}};
    db.CreateFirstPage();
  }

  // "nl", "np", "sp" are the special entries, "f:X" a feature block named X, anything else an item
  // block of that name (with code "c" + name).
  static MMapFile::Row Row(const std::string& word) {
    if (word == "nl") return {"newline"};
    if (word == "np") return {"newpage"};
    if (word == "sp") return {"space"};
    if (word.rfind("f:", 0) == 0) return {"feature", word.substr(2)};
    return {"item", word, "c" + word};
  }
  void Add(std::initializer_list<std::string> words) {
    for (const std::string& w : words) {
      const MMapFile::Row row = Row(w);
      db.AddFromData(row.front(), row, false);
    }
  }
  // Cursor on the n-th entry (from 0) of the reading order.
  void Go(int n) {
    db.CursorFirst();
    for (int i = 0; i < n; ++i) db.CursorNext();
  }
  std::string Dump() const { return DumpPages(db); }

  MLayout layout;
  MMapFile file;
  MMapDB db{layout, file};
};

const Rows kTwoByThree = {{"all", "all", "all"}, {"all", "all", "all"}};

// The invariants every public operation keeps.
void ExpectSound(const MMapDB& db) {
  const std::vector<std::string> seq = Sequence(db);
  ASSERT_FALSE(seq.empty());
  EXPECT_EQ(seq.back(), "eod");
  EXPECT_EQ(std::count(seq.begin(), seq.end(), "eod"), 1);
  // The last page holds the end of the data.
  const MPage& last = *db.GetPage(db.PageCount() - 1);
  bool found = false;
  for (int r = 1; r <= last.RowCount(); ++r) found = found || last.RowHasEndOfData(r);
  EXPECT_TRUE(found) << DumpPages(db);
  EXPECT_NE(db.Current(), nullptr) << DumpPages(db);
  int blocks = 0;
  for (const std::string& s : seq) blocks += s != "eod" && s != "nl" && s != "np" && s != "sp";
  EXPECT_EQ(db.BlockCount(), blocks);
}

// The index in reading order of the entry at (page, row, column).
int ReadingIndex(const MMapDB& db, int page, int row, int column) {
  int index = 0;
  for (int p = 1; p <= db.PageCount(); ++p) {
    const MPage& on = *db.GetPage(p - 1);
    for (int r = 1; r <= on.RowCount(); ++r) {
      for (int c = 1; c <= on.PointCount(r); ++c) {
        if (p == page && r == row && c == column) return index;
        index += on.EntryAt(r, c) != nullptr;
      }
    }
  }
  return -1;
}

}  // namespace

TEST(MapDB, InsertingBeforeTheCursorReflowsTheRest) {
  // Two rows of three points; A B C D and the end of the data; X added with the cursor on B.
  Pages pages(kTwoByThree);
  pages.Add({"A", "B", "C", "D"});
  pages.db.CursorFirst();
  EXPECT_EQ(pages.Dump(), "A* B C / D eod _");
  pages.db.CursorNext();
  pages.db.Add(
      pages.layout.FindBlock("item")->NewInstance());  // a new block: its face text is the default "?"
  EXPECT_EQ(pages.Dump(), "A ? B* / C D eod") << "the cursor stays on B";
  EXPECT_EQ(pages.db.BlockCount(), 5);
  EXPECT_TRUE(pages.db.Modified());

  // With row 2 full, the end of the data flows onto a new page 2.
  Pages full(kTwoByThree);
  full.Add({"A", "B", "C", "D", "E"});
  full.Go(1);
  full.Add({"X"});
  EXPECT_EQ(full.Dump(), "A X B* / C D E | eod _ _ / _ _ _");
  ExpectSound(full.db);

  // A row break after A leaves point 3 of row 1 empty.
  Pages broken(kTwoByThree);
  broken.Add({"A", "nl", "C", "D"});
  EXPECT_EQ(DumpPages(broken.db, false), "A nl _ / C D eod");
}

TEST(MapDB, RowsOfAFileRebuildThePagesInOrder) {
  Pages pages(kTwoByThree);
  pages.Add({"A", "np", "B", "C", "nl", "D", "sp", "E", "F", "G"});
  pages.db.CursorFirst();
  EXPECT_EQ(pages.Dump(), "A* np _ / _ _ _ | B C nl / D sp E | F G eod / _ _ _");
  EXPECT_EQ(pages.db.BlockCount(), 7);

  MMapFile::Rows rows;
  pages.db.SaveTo(rows);
  MMapFile::Rows expected;
  for (const char* w : {"A", "np", "B", "C", "nl", "D", "sp", "E", "F", "G"})
    expected.push_back(Pages::Row(w));
  EXPECT_EQ(rows, expected);

  // A type that is neither a special word nor a class keeps its place as a blank.
  pages.db.CursorToEndOfData();
  pages.db.AddFromData("shelf", {"shelf", "x"}, false);
  EXPECT_EQ(DumpPages(pages.db, false), "A np _ / _ _ _ | B C nl / D sp E | F G sp / eod _ _");
}

TEST(MapDB, PointsThatRefuseAnEntryStayEmpty) {
  // Row 1 only takes features: items pass it by and the entries behind them keep their order.
  Pages pages({{"feature", "feature"}, {"all", "all", "all"}});
  pages.Add({"A", "f:F", "B", "C", "f:G"});
  pages.db.CursorFirst();
  EXPECT_EQ(pages.Dump(), "_ _ / A* F B | _ _ / C G eod");
  EXPECT_EQ(pages.db.CurrentRow(), 2) << "the first entry is not at the first point";

  // Inserting before the first entry starts the flow at the first point again.
  pages.Add({"f:H"});
  EXPECT_EQ(pages.Dump(), "H _ / A* F B | _ _ / C G eod");
  pages.db.CursorFirst();
  EXPECT_EQ(pages.db.CurrentRow(), 1);
  ExpectSound(pages.db);
}

TEST(MapDB, RemovingTheOnlyBlockOfTheLastPagePullsTheEndBack) {
  // Row 2 takes only features, so the fourth item starts page 2.
  Pages pages({{"all", "all", "all"}, {"feature"}});
  pages.Add({"A", "B", "C", "D"});
  EXPECT_EQ(DumpPages(pages.db, false), "A B C / _ | D eod _ / _");
  pages.Go(3);
  pages.db.Remove();
  EXPECT_EQ(pages.Dump(), "A B C / eod*");
  EXPECT_EQ(pages.db.PageCount(), 1);
  ExpectSound(pages.db);
}

TEST(MapDB, RemovingARowBreakJoinsWhatTheRowAccepts) {
  // The third point of row 1 takes features only: C stays in row 2.
  Pages limited({{"all", "all", "feature"}, {"all", "all", "all"}});
  limited.Add({"A", "nl", "B", "C"});
  limited.Go(1);
  limited.db.Remove();
  EXPECT_EQ(limited.Dump(), "A B* _ / C eod _");
  limited.db.CursorToEndOfData();
  EXPECT_EQ(limited.db.Remove(), nullptr) << "the end of the data is never taken out";
  ExpectSound(limited.db);
}

TEST(MapDB, RemoveAllLeavesOnePageWithTheEnd) {
  Pages pages(kTwoByThree);
  pages.Add({"A", "np", "B", "sp", "C", "nl", "D", "E", "F", "G"});
  pages.db.SetFormText(1, "title", "Spring");
  pages.Go(4);
  const MEntryList blocks = pages.db.RemoveAll();
  std::vector<std::string> names;
  for (const auto& b : blocks) names.push_back(doc_test::ShortName(b));
  EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "C", "D", "E", "F", "G"}));
  EXPECT_EQ(pages.Dump(), "eod* _ _ / _ _ _");
  EXPECT_EQ(pages.db.BlockCount(), 0);
  std::vector<std::string> lines;
  pages.db.WriteFormData(lines);
  EXPECT_EQ(lines, std::vector<std::string>{"1.title=Spring"}) << "page 1 keeps its form texts";

  EXPECT_TRUE(pages.db.RemoveAll().empty()) << "no blocks: none";
  ExpectSound(pages.db);
}

TEST(MapDB, CursorMovements) {
  Pages pages({{"all", "all", "all"}, {"all", "all"}, {"all", "all", "all"}});
  pages.Add({"A", "B", "C", "D", "nl", "E", "F", "G", "H", "I", "J", "K"});
  pages.db.CursorFirst();
  EXPECT_EQ(pages.Dump(), "A* B C / D nl / E F G | H I J / K eod / _ _ _");
  pages.db.CursorPrevious();
  EXPECT_EQ(pages.db.CurrentColumn(), 1) << "the first entry: no move";

  pages.db.CursorRowEnd();
  EXPECT_EQ(pages.db.CurrentColumn(), 3);
  pages.db.CursorDown();  // row 2 has no third point: the nearest to the left
  EXPECT_EQ(pages.Dump(), "A B C / D nl* / E F G | H I J / K eod / _ _ _");
  pages.db.CursorDown();
  pages.db.CursorDown();  // across the page
  EXPECT_EQ(pages.Dump(), "A B C / D nl / E F G | H I* J / K eod / _ _ _");
  pages.db.CursorRowEnd();
  pages.db.CursorDown();
  EXPECT_EQ(pages.Dump(), "A B C / D nl / E F G | H I J / K eod* / _ _ _");
  pages.db.CursorDown();
  EXPECT_EQ(pages.db.CurrentRow(), 2) << "the row of the end: no move";
  pages.db.CursorNext();
  EXPECT_EQ(pages.db.CurrentColumn(), 2) << "the cursor never passes the end";
  pages.db.CursorRowStart();
  pages.db.CursorUp();
  pages.db.CursorUp();
  EXPECT_EQ(pages.Dump(), "A B C / D nl / E* F G | H I J / K eod / _ _ _");
  pages.db.CursorPrevious();
  EXPECT_EQ(pages.Dump(), "A B C / D nl* / E F G | H I J / K eod / _ _ _");
  pages.db.CursorUp();
  pages.db.CursorUp();
  EXPECT_EQ(pages.db.CurrentRow(), 1);
  pages.db.CursorUp();
  EXPECT_EQ(pages.db.CurrentRow(), 1) << "page 1, row 1: no move";

  // Another page keeps the cursor near the same place.
  pages.db.CursorRowEnd();
  pages.db.NextPage();
  EXPECT_EQ(pages.Dump(), "A B C / D nl / E F G | H I J* / K eod / _ _ _");
  pages.db.GoToPage(3);
  EXPECT_EQ(pages.db.CurrentPage(), 2) << "outside the pages: nothing";
  pages.db.CursorToPoint(45, 65);
  EXPECT_EQ(pages.Dump(), "A B C / D nl / E F G | H I J / K eod* / _ _ _");
  pages.db.PreviousPage();
  EXPECT_EQ(pages.Dump(), "A B C / D nl* / E F G | H I J / K eod / _ _ _");
}

TEST(MapDB, FormDataLines) {
  Pages pages({{"all"}});
  pages.Add({"A", "B", "C", "D"});
  ASSERT_EQ(pages.db.PageCount(), 5);
  auto textOf = [&](int page, const char* name = "title") {
    return pages.db.GetPage(page - 1)->FormText(name);
  };
  for (const char* line :
       {" title = Catalogue ", "3.title=Sale", "9.title=Beyond", "no equals sign", "2.note=one<br>two"})
    pages.db.ApplyFormDataLine(line);
  EXPECT_EQ(textOf(2), "Catalogue");
  EXPECT_EQ(textOf(3), "Sale");
  EXPECT_EQ(textOf(5), "Sale");
  EXPECT_EQ(textOf(2, "note"), "one\r\ntwo\r\n") << "a memo form text keeps its line breaks";
  std::vector<std::string> lines;
  pages.db.WriteFormData(lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"1.title=Catalogue", "2.note=one<br>two<br>", "3.title=Sale"}));

  for (const char* bad : {"0.title=x", "-1.title=x", "x.title=y", ".title=y", "0x2.title=y"})
    EXPECT_THROW(pages.db.ApplyFormDataLine(bad), base::Error) << bad;

  // New pages inherit the texts of the page before them.
  pages.db.CursorToEndOfData();
  pages.Add({"E"});
  EXPECT_EQ(textOf(6), "Sale");
}

// Many lines at once, or one after another: the same texts on every page, explicit on the same ones.
TEST(MapDB, FormDataLinesAtOnce) {
  std::mt19937 rng(11);
  for (int round = 0; round < 50; ++round) {
    Pages one({{"all"}}), all({{"all"}});
    one.Add({"A", "B", "C", "D"});
    all.Add({"A", "B", "C", "D"});
    std::vector<std::string> lines;
    for (int i = 0; i < 6; ++i) {
      const std::string name = rng() % 2 ? "title" : "note";
      const unsigned page = rng() % 8;
      std::string line = page == 0 ? name : std::to_string(page) + "." + name;
      lines.push_back(line + "=v" + std::to_string(i) + (rng() % 3 == 0 ? "<br>x" : ""));
      if (rng() % 10 == 0) lines.push_back("no equals");
    }
    const bool bad = round % 5 == 0;
    if (bad) lines.insert(lines.begin() + 3, "z.title=bad");
    bool oneFailed = false, allFailed = false;
    try {
      for (const std::string& line : lines) one.db.ApplyFormDataLine(line);
    } catch (const base::Error&) {
      oneFailed = true;
    }
    try {
      all.db.ApplyFormDataLines(lines);
    } catch (const base::Error&) {
      allFailed = true;
    }
    ASSERT_EQ(oneFailed, bad);
    ASSERT_EQ(allFailed, bad);
    std::vector<std::string> a, b;
    one.db.WriteFormData(a);
    all.db.WriteFormData(b);
    ASSERT_EQ(a, b) << "round " << round;
    for (int p = 0; p < one.db.PageCount(); ++p) {
      for (const char* name : {"title", "note"}) {
        MPage::TextState a, b;
        ASSERT_TRUE(one.db.GetPage(p)->FormTextState(name, a));
        ASSERT_TRUE(all.db.GetPage(p)->FormTextState(name, b));
        ASSERT_EQ(a.Lines, b.Lines) << "round " << round << " page " << p + 1;
      }
    }
  }
}

TEST(MapDB, RowsAtOnceMakeTheSamePages) {
  MMapFile::Rows rows;  // long enough to be laid out in several parts
  for (int i = 0; i < 60; ++i) {
    for (const std::string w :
         {"A", "nl", "f:F", "B", "np", "sp", "C", "D", "f:G", "E", "shelf", "nl", "F", "G", "H"}) {
      if (w == "shelf") {
        rows.push_back({"shelf"});
      } else {
        const bool special = w == "nl" || w == "np" || w == "sp";
        rows.push_back(Pages::Row(special ? w : w + std::to_string(i)));
      }
    }
  }
  const Rows grid = {{"feature", "all"}, {"item", "item", "all"}};
  Pages one(grid), all(grid);
  for (const MMapFile::Row& row : rows) one.db.AddFromData(row.front(), row, false);
  MMapFile source;
  source.MapData() = rows;
  all.db.AddRows(source, MMapFile::Data::Map);
  EXPECT_EQ(source.RowCount(MMapFile::Data::Map), 0u) << "the rows are taken out";
  EXPECT_EQ(DumpPages(all.db), DumpPages(one.db));
  EXPECT_EQ(all.db.BlockCount(), one.db.BlockCount());
}

TEST(MapDB, ClipboardRows) {
  Pages pages(kTwoByThree);
  pages.Add({"A", "nl", "B"});
  MMemoryClipboard clipboard;
  std::string bytes;

  pages.db.CursorToEndOfData();
  pages.db.CopyEntry(clipboard);
  EXPECT_FALSE(clipboard.GetData(kMapBlockFormat, bytes)) << "the end of the data is never copied";

  pages.Go(0);
  pages.db.CopyEntry(clipboard);
  ASSERT_TRUE(clipboard.GetData(kMapBlockFormat, bytes));
  EXPECT_EQ(bytes, "item,A,cA");
  pages.db.PasteEntry(clipboard);
  EXPECT_EQ(pages.Dump(), "A A* nl / B eod _");

  pages.Go(2);
  pages.db.CopyEntry(clipboard);
  ASSERT_TRUE(clipboard.GetData(kMapBlockFormat, bytes));
  EXPECT_EQ(bytes, "newline");
  pages.Go(0);
  pages.db.PasteEntry(clipboard);
  EXPECT_EQ(pages.Dump(), "nl _ _ / A* A nl | B eod _ / _ _ _");

  // A class the layout does not know becomes a blank; a zero byte ends the text.
  clipboard.SetData(kMapBlockFormat, std::string("shelf,x\0item,Z", 14));
  pages.db.PasteEntry(clipboard);
  EXPECT_EQ(pages.Dump(), "nl _ _ / sp A* A | nl _ _ / B eod _");
  // Other formats are not ours.
  MMemoryClipboard other;
  other.Put("text/plain", "item,Q");
  pages.db.PasteEntry(other);
  EXPECT_EQ(pages.db.BlockCount(), 3);
  ExpectSound(pages.db);
}

TEST(MapDB, EntriesNoPointAcceptsStayOffThePages) {
  Pages pages({{"item", "item"}, {"none"}});
  pages.Add({"A", "f:F", "B"});
  EXPECT_EQ(DumpPages(pages.db, false), "A B / eod") << "no endless pages, nothing in between";
  EXPECT_EQ(pages.db.BlockCount(), 2);
  ASSERT_EQ(pages.db.RefusedCount(), 1);
  std::vector<std::unique_ptr<MBlockInstance>> refused = pages.db.TakeRefused();
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_EQ(refused.front()->Name(), "feature");
  EXPECT_EQ(pages.db.RefusedCount(), 0);

  // A blank where every point refuses blanks is dropped; breaks stand anywhere.
  Pages refusing(Rows{{"none", "none"}});
  refusing.Add({"sp", "nl", "f:F"});
  EXPECT_EQ(DumpPages(refusing.db, false), "nl _ | eod _");
  EXPECT_EQ(refusing.db.RefusedCount(), 1);

  // Without pages nothing is placed, and no block is lost either.
  MMapDB empty(pages.layout, pages.file);
  empty.AddFromData("item", {"item", "A"}, false);
  EXPECT_EQ(empty.BlockCount(), 0);
  EXPECT_EQ(empty.RefusedCount(), 1);
}

// Random insertions, removals and moves: the pages always hold the sequence that the same edits make
// of a plain list, keep their invariants, and are laid out exactly as a fresh flow of that list.
static void RandomEdits(const Rows& grid) {
  Pages pages(grid);
  std::vector<std::string> model;  // without the end of the data
  std::mt19937 rng(7);
  int serial = 0;
  for (int step = 0; step < 600; ++step) {
    const int size = static_cast<int>(model.size());
    const int at = static_cast<int>(rng() % static_cast<unsigned>(size + 1));
    pages.Go(at);
    const unsigned op = rng() % 10;
    if (op < 6 || size == 0) {
      const unsigned kind = rng() % 10;
      const std::string word = kind == 0   ? "nl"
                               : kind == 1 ? "np"
                               : kind == 2 ? "sp"
                               : kind == 3 ? "f:F" + std::to_string(++serial)
                                           : "B" + std::to_string(++serial);
      pages.Add({word});
      model.insert(model.begin() + at, word.rfind("f:", 0) == 0 ? word.substr(2) : word);
      ASSERT_EQ(doc_test::ShortName(*pages.db.Current()),
                at + 1 < static_cast<int>(model.size()) ? model[at + 1] : "eod");
    } else if (op < 9) {
      if (at == size) continue;
      MEntry removed = pages.db.Remove();
      ASSERT_NE(removed, nullptr);
      ASSERT_EQ(doc_test::ShortName(removed), model[at]);
      model.erase(model.begin() + at);
      ASSERT_EQ(doc_test::ShortName(*pages.db.Current()),
                at < static_cast<int>(model.size()) ? model[at] : "eod");
    } else {
      // Move an entry of the cursor's page to the cursor.
      const MPage& g = *pages.db.ActivePage();
      std::vector<std::pair<int, int>> spots;
      for (int r = 1; r <= g.RowCount(); ++r) {
        for (int c = 1; c <= g.PointCount(r); ++c) {
          const MEntry* e = g.EntryAt(r, c);
          if (e != nullptr && e->Kind() != MKind::EndOfData &&
              !(r == pages.db.CurrentRow() && c == pages.db.CurrentColumn()))
            spots.emplace_back(r, c);
        }
      }
      if (spots.empty()) continue;
      const auto [r, c] = spots[rng() % spots.size()];
      const int from = ReadingIndex(pages.db, pages.db.CurrentPage(), r, c);
      const std::string cursorEntry = doc_test::ShortName(*pages.db.Current());
      pages.db.MoveToCursor(r, c);
      const std::string moved = model[static_cast<std::size_t>(from)];
      model.erase(model.begin() + from);
      model.insert(model.begin() + (at > from ? at - 1 : at), moved);
      ASSERT_EQ(doc_test::ShortName(*pages.db.Current()), cursorEntry);
    }
    std::vector<std::string> expected = model;
    expected.push_back("eod");
    ASSERT_EQ(Sequence(pages.db), expected) << "step " << step;
    ExpectSound(pages.db);

    Pages fresh(grid);
    for (const std::string& w : model) fresh.Add({w.front() == 'F' ? "f:" + w : w});
    ASSERT_EQ(DumpPages(pages.db, false), DumpPages(fresh.db, false)) << "step " << step;
  }
}

TEST(MapDB, EditsAgreeWithAFreshFlow) {
  RandomEdits({{"all", "all", "all", "all"}, {"all", "all"}, {"all", "all", "all"}});
}

TEST(MapDB, EditsAgreeWithAFreshFlowOnPointsThatChoose) {
  RandomEdits({{"feature", "feature"}, {"item", "all", "none"}, {"item", "item", "item"}});
}
