// The pages reflow only as far as an edit moves entries: on random grids, documents and edits
// (entries inserted and taken out at any index, one or many, moved, all taken off), the pages always
// hold exactly what laying the whole sequence out afresh gives, and no page behind the last one that
// changed is touched.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "data/MapDB.h"
#include "layout/Invalidate.h"
#include "support/DocumentTestSupport.h"

namespace {

using doc_test::DumpPages;
using doc_test::Sequence;
using Rows = std::vector<std::vector<std::string>>;

// The pages a flow places entries on or takes them off, as the invalidation object hears of them.
class TouchedPages : public MBaseInvalidate {
 public:
  TouchedPages() { SetPageInvalidator(this); }
  ~TouchedPages() override { SetPageInvalidator(nullptr); }
  void InvalidateAll() override {}
  void InvalidateBounds(double, double, double, double) override {}
  void InvalidateMark(double, double) override {}
  bool ShowsPage(int page) const override {
    pages.insert(page);
    return false;
  }
  mutable std::set<int> pages;
};

// A grid of one to four rows of one to four points, most taking everything, some choosing.
Rows RandomGrid(std::mt19937& rng) {
  static const char* const kTypes[] = {"all",  "all",     "all",           "all",
                                       "item", "feature", "item, feature", "none"};
  Rows grid(1 + rng() % 4);
  for (auto& row : grid) {
    row.resize(1 + rng() % 4);
    for (auto& types : row) types = kTypes[rng() % std::size(kTypes)];
  }
  grid[0][0] = "all";  // where the end of the data starts
  return grid;
}

// "nl", "np", "sp" the special entries, "f:X" a feature, anything else an item.
std::string RandomWord(std::mt19937& rng, int& serial) {
  switch (rng() % 12) {
    case 0:
      return "nl";
    case 1:
      return "np";
    case 2:
      return "sp";
    case 3:
    case 4:
      return "f:F" + std::to_string(++serial);
    default:
      return "B" + std::to_string(++serial);
  }
}

class Document {
 public:
  explicit Document(const Rows& grid) {
    doc_test::LoadLayoutText(layout, doc_test::GridLayoutText(grid));
    file.EditBlockFields() = {{"item", "name", "code"}, {"feature", "name"}};
    db.CreateFirstPage();
  }
  MEntry Entry(const std::string& word) {
    if (word == "nl") return MEntry::Special(MKind::NewLine);
    if (word == "np") return MEntry::Special(MKind::NewPage);
    if (word == "sp") return MEntry::Special(MKind::Space);
    const bool feature = word.rfind("f:", 0) == 0;
    std::unique_ptr<MBlockInstance> block = layout.FindBlock(feature ? "feature" : "item")->NewInstance();
    block->SetElementValue("name", feature ? word.substr(2) : word);
    return block;
  }
  // Laid out as a fresh document: every entry added in order before the end of the data.
  void Fill(const std::vector<std::string>& words) {
    for (const std::string& w : words) db.Add(Entry(w));
  }
  // The page of the entry before index: where a flow for an edit at index begins at the earliest.
  int PageBefore(int index) {
    if (index == 0) return 1;
    db.CursorToIndex(index - 1);
    return db.CurrentPage();
  }

  MLayout layout;
  MMapFile file;
  MMapDB db{layout, file};
};

std::vector<std::string> PageDumps(const MMapDB& db) {
  std::vector<std::string> pages;
  for (int p = 1; p <= db.PageCount(); ++p) {
    std::string page;
    const MPage& on = *db.GetPage(p - 1);
    for (int r = 1; r <= on.RowCount(); ++r) {
      for (int c = 1; c <= on.PointCount(r); ++c) {
        const MEntry* entry = on.EntryAt(r, c);
        page += (entry != nullptr ? doc_test::ShortName(*entry) : "_") + " ";
      }
    }
    pages.push_back(page);
  }
  return pages;
}

}  // namespace

TEST(Reflow, EditsLeaveThePagesAsAFreshFlowAndTouchNothingBehindTheChange) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const Rows grid = RandomGrid(rng);
    Document doc(grid);
    int serial = 0;
    std::vector<std::string> words(rng() % 80);
    for (auto& w : words) w = RandomWord(rng, serial);
    doc.Fill(words);
    doc.db.TakeRefused();

    for (int step = 0; step < 40; ++step) {
      SCOPED_TRACE("step " + std::to_string(step));
      const std::vector<std::string> before = PageDumps(doc.db);
      const int size = static_cast<int>(Sequence(doc.db).size()) - 1;  // without the end of the data
      const int at = static_cast<int>(rng() % static_cast<unsigned>(size + 1));
      auto touched = std::make_unique<TouchedPages>();
      const unsigned op = rng() % 10;
      int firstPage = 0;  // the page of the edit: nothing before it may change
      if (op < 4) {
        firstPage = doc.PageBefore(at);
        MEntryList entries;
        for (unsigned n = 1 + rng() % (op == 0 ? 12 : 2); n > 0; --n)
          entries.push_back(doc.Entry(RandomWord(rng, serial)));
        doc.db.InsertEntries(at, std::move(entries));
      } else if (op < 8) {
        if (at == size) continue;
        firstPage = doc.PageBefore(at);
        const int count = 1 + static_cast<int>(rng() % (op == 4 ? 15 : 2));
        doc.db.TakeEntries(at, count);
      } else if (op < 9) {
        // An entry of the cursor's page moved to the cursor.
        doc.db.CursorToIndex(at);
        const MPage& page = *doc.db.ActivePage();
        std::vector<std::pair<int, int>> spots;
        for (int r = 1; r <= page.RowCount(); ++r) {
          for (int c = 1; c <= page.PointCount(r); ++c) {
            const MEntry* e = page.EntryAt(r, c);
            if (e != nullptr && !e->IsEndOfData() &&
                !(r == doc.db.CurrentRow() && c == doc.db.CurrentColumn()))
              spots.emplace_back(r, c);
          }
        }
        if (spots.empty()) continue;
        const auto [r, c] = spots[rng() % spots.size()];
        firstPage = 1;
        doc.db.MoveToCursor(r, c);
      } else if (rng() % 4 == 0) {
        doc.db.RemoveAll();
        firstPage = 1;
      } else {
        continue;
      }
      doc.db.TakeRefused();
      const std::set<int> pagesTouched = touched->pages;
      touched.reset();

      // The same pages as laying the sequence out afresh.
      Document fresh(grid);
      std::vector<std::string> seq = Sequence(doc.db);
      seq.pop_back();
      for (std::string& w : seq) {
        if (w.rfind("F", 0) == 0) w = "f:" + w;
      }
      for (const std::string& w : seq) fresh.db.Add(fresh.Entry(w));
      ASSERT_EQ(DumpPages(doc.db, false), DumpPages(fresh.db, false));

      // Nothing behind the last page that changed was touched, nothing before the edit changed.
      const std::vector<std::string> after = PageDumps(doc.db);
      int lastChanged = 0;
      int firstChanged = 0;
      for (std::size_t p = 0; p < std::max(before.size(), after.size()); ++p) {
        const bool same = p < before.size() && p < after.size() && before[p] == after[p];
        if (same) continue;
        if (firstChanged == 0) firstChanged = static_cast<int>(p) + 1;
        lastChanged = static_cast<int>(p) + 1;
      }
      // (A move is two edits, the entry taken out and put in again: each flows as far as it changes,
      // both together further than the result shows.)
      if (op != 8 && !pagesTouched.empty()) {
        EXPECT_LE(*pagesTouched.rbegin(), std::max(lastChanged, firstPage)) << DumpPages(doc.db, false);
      }
      if (firstChanged != 0) {
        EXPECT_GE(firstChanged, std::min(firstPage, doc.db.PageCount()));
      }
    }
  }
}

// Where every page does move (an insertion at the start of pages without breaks), the flow goes
// through all of them; where a row break has room to spare, it ends there.
TEST(Reflow, AnInsertionMovesEntriesOnlyAsFarAsTheFirstBreakWithRoom) {
  const Rows grid = {{"all", "all", "all"}, {"all", "all", "all"}};
  Document dense(grid);
  std::vector<std::string> words;
  for (int i = 0; i < 60; ++i) words.push_back("B" + std::to_string(i));
  dense.Fill(words);
  ASSERT_EQ(dense.db.PageCount(), 11);
  {
    TouchedPages touched;
    dense.db.InsertEntries(0, [&] {
      MEntryList list;
      list.push_back(dense.Entry("X"));
      return list;
    }());
    EXPECT_EQ(touched.pages.size(), 11u) << "every page moves";
  }

  Document broken(grid);
  words.insert(words.begin() + 4, "nl");  // row 2 of page 1 ends after B4 with room to spare
  broken.Fill(words);
  TouchedPages touched;
  MEntryList list;
  list.push_back(broken.Entry("X"));
  broken.db.InsertEntries(0, std::move(list));
  EXPECT_EQ(touched.pages, (std::set<int>{1})) << DumpPages(broken.db, false);
}
