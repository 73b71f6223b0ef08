// Placement of entries on grid points and their flow through one page's grid.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "layout/Controls.h"
#include "layout/Grid.h"
#include "layout/Invalidate.h"

namespace {

// Rows of points, each point given by its block types; point (r, c) stands at (10c, 20r).
std::unique_ptr<MGrid> MakeGrid(const std::vector<std::vector<std::string>>& rows) {
  auto grid = std::make_unique<MGrid>();
  grid->Rows.clear();
  for (std::size_t r = 0; r < rows.size(); ++r) {
    grid->NewRow();
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      auto point = std::make_unique<MGridPoint>();
      point->SetX(10.0 * static_cast<double>(c + 1));
      point->SetY(20.0 * static_cast<double>(r + 1));
      point->SetBlockTypes(rows[r][c]);
      grid->AddPoint(std::move(point));
    }
  }
  return grid;
}

std::unique_ptr<MGrid> AllGrid(int rows, int columns) {
  return MakeGrid(std::vector<std::vector<std::string>>(
      static_cast<std::size_t>(rows), std::vector<std::string>(static_cast<std::size_t>(columns), "all")));
}

// A block instance of class name: 8 wide, 6 high, at its own origin.
std::unique_ptr<MControl> Block(const std::string& name) {
  auto block = std::make_unique<MBlock>();
  block->Name = name;
  block->SetWidth(8);
  block->SetHeight(6);
  return block;
}

std::unique_ptr<MControl> Special(const std::string& name) {
  if (name == "space") return std::make_unique<MSpace>();
  if (name == "newline") return std::make_unique<MNewLine>();
  if (name == "newpage") return std::make_unique<MNewPage>();
  return std::make_unique<MEOD>();
}

// "A" is a block of class A; "nl", "np", "sp", "eod" are the special entries.
std::unique_ptr<MControl> Entry(const std::string& word) {
  if (word == "nl") return Special("newline");
  if (word == "np") return Special("newpage");
  if (word == "sp") return Special("space");
  if (word == "eod") return Special("eod");
  return Block(word);
}

MEntryQueue Queue(const std::vector<std::string>& words) {
  MEntryQueue queue;
  for (const std::string& w : words) queue.push_back(Entry(w));
  return queue;
}

std::string Short(const MControl& entry) {
  switch (entry.Kind()) {
    case MKind::NewLine:
      return "nl";
    case MKind::NewPage:
      return "np";
    case MKind::Space:
      return "sp";
    case MKind::EndOfData:
      return "eod";
    default:
      return entry.Name;
  }
}

// The grid as "A B _ / C eod _": rows joined by " / ", empty points "_".
std::string Dump(const MGrid& grid) {
  std::string out;
  for (const MGridRow& row : grid.Rows) {
    if (!out.empty()) out += " / ";
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0) out += ' ';
      out += row[c]->Block != nullptr ? Short(*row[c]->Block) : "_";
    }
  }
  return out;
}

std::string Dump(const MEntryQueue& queue) {
  std::string out;
  for (const auto& entry : queue) out += (out.empty() ? "" : " ") + Short(*entry);
  return out;
}

// Fills a grid as a fresh page: the flow of the words from row 1, position 1.
bool Fill(MGrid& grid, const std::vector<std::string>& words) {
  MEntryQueue queue = Queue(words);
  int row = 1, position = 1, remaining = 0;
  return grid.FlowPage(row, position, remaining, queue);
}

class RecordingInvalidator : public MBaseInvalidate {
 public:
  void InvalidateAll() override { calls.push_back("all"); }
  void InvalidateBounds(double x1, double y1, double x2, double y2) override {
    calls.push_back("bounds " + Num(x1) + " " + Num(y1) + " " + Num(x2) + " " + Num(y2));
  }
  void InvalidateMark(double x, double y) override { calls.push_back("mark " + Num(x) + " " + Num(y)); }
  std::vector<std::string> calls;

 private:
  static std::string Num(double v) { return std::to_string(static_cast<int>(v)); }
};

struct InstalledInvalidator {
  RecordingInvalidator recorder;
  InstalledInvalidator() { SetPageInvalidator(&recorder); }
  ~InstalledInvalidator() { SetPageInvalidator(nullptr); }
};

}  // namespace

TEST(GridFlow, WhatAPointAccepts) {
  MGridPoint point;
  struct Case {
    const char* types;
    const char* name;
    bool accepted;
  } cases[] = {
      {"all", "shohin", true},     {"all", "space", true},      {"all, shohin", "other", true},
      {"none", "shohin", false},   {"none", "space", false},    {"none", "newline", true},
      {"none", "newpage", true},   {"none", "eod", true},       {"shohin, tokushu", "TOKUSHU", true},
      {"Shohin", "shohin", true},  {"shohin", "kikaku", false}, {"shohin", "space", true},
      {"shohin, all", "x", false}, {"ALL", "x", false},  // only the first type, written exactly, means all
  };
  for (const Case& c : cases) {
    point.SetBlockTypes(c.types);
    EXPECT_EQ(point.Accepts(c.name), c.accepted) << c.types << " / " << c.name;
  }
}

TEST(GridFlow, PlaceMovesToThePointAndRemoveMovesBack) {
  InstalledInvalidator invalidator;
  MGridPoint point;
  point.SetX(30);
  point.SetY(40);
  point.SetBlockTypes("shohin");

  std::unique_ptr<MControl> refused = Block("tokushu");
  EXPECT_FALSE(point.Place(refused));
  ASSERT_NE(refused, nullptr);  // still the caller's
  EXPECT_FALSE(point.IsOccupied());

  std::unique_ptr<MControl> block = Block("shohin");
  const MControl* placed = block.get();
  ASSERT_TRUE(point.Place(block));
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(point.Block.get(), placed);
  EXPECT_EQ(placed->X1, 30);
  EXPECT_EQ(placed->Bounds.Bottom, 46);

  std::unique_ptr<MControl> second = Block("shohin");
  EXPECT_FALSE(point.Place(second)) << "an occupied point takes nothing";
  EXPECT_NE(second, nullptr);

  std::unique_ptr<MControl> back = point.Remove();
  EXPECT_EQ(back.get(), placed);
  EXPECT_EQ(back->X1, 0);
  EXPECT_EQ(back->Bounds.Right, 8);
  EXPECT_FALSE(point.IsOccupied());
  EXPECT_EQ(point.Remove(), nullptr);

  std::unique_ptr<MControl> mark = Special("newline");
  ASSERT_TRUE(point.Place(mark));
  point.Remove();
  EXPECT_EQ(invalidator.recorder.calls, (std::vector<std::string>{"bounds 30 40 38 46", "bounds 30 40 38 46",
                                                                  "mark 30 40", "mark 30 40"}));
}

TEST(GridFlow, EndOfDataNeedsAFirstPoint) {
  auto gridOwner = AllGrid(2, 2);
  MGrid& grid = *gridOwner;
  EXPECT_TRUE(grid.PlaceEndOfData());
  EXPECT_EQ(Dump(grid), "eod _ / _ _");
  EXPECT_TRUE(grid.RowHasEndOfData(1));
  EXPECT_FALSE(grid.RowHasEndOfData(2));

  MGrid empty;  // one row without points
  EXPECT_FALSE(empty.PlaceEndOfData());
  auto noneOwner = MakeGrid({});
  MGrid& none = *noneOwner;
  EXPECT_FALSE(none.PlaceEndOfData());
  auto onlyRefusingOwner = MakeGrid({{"none"}});
  MGrid& onlyRefusing = *onlyRefusingOwner;
  EXPECT_TRUE(onlyRefusing.PlaceEndOfData()) << "the end marker stands on any point";
}

TEST(GridFlow, RowQueriesAndRemoveAt) {
  auto gridOwner = AllGrid(3, 3);
  MGrid& grid = *gridOwner;
  EXPECT_TRUE(Fill(grid, {"A", "np"}));
  EXPECT_TRUE(grid.RowOccupied(1));
  EXPECT_FALSE(grid.RowOccupied(2));
  EXPECT_TRUE(grid.RowHasNewPage(1));
  EXPECT_FALSE(grid.RowHasNewPage(2));
  EXPECT_EQ(grid.RemoveAt(1, 2)->Kind(), MKind::NewPage);
  EXPECT_EQ(grid.RemoveAt(1, 3), nullptr);
  EXPECT_FALSE(grid.RowHasNewPage(1));
}

TEST(GridFlow, InsertingAtTheStartOfAFullRowPushesTheLastEntryToTheNextPage) {
  auto page1Owner = AllGrid(1, 3);
  MGrid& page1 = *page1Owner;
  auto page2Owner = AllGrid(1, 3);
  MGrid& page2 = *page2Owner;
  ASSERT_FALSE(Fill(page1, {"A", "B", "C", "D"}));  // D would not fit
  Fill(page2, {"E", "eod"});

  MEntryQueue queue = Queue({"X"});
  int row = 1, position = 1, remaining = 1;
  EXPECT_FALSE(page1.FlowPage(row, position, remaining, queue));
  EXPECT_EQ(Dump(page1), "X A B");
  EXPECT_EQ(Dump(queue), "C");
  EXPECT_EQ(remaining, -2) << "counts every entry placed";
  EXPECT_EQ(row, 1);
  EXPECT_EQ(position, 1) << "where the inserted entry went, not where the count went on";

  row = 1, position = 1;
  EXPECT_TRUE(page2.FlowPage(row, position, remaining, queue));
  EXPECT_EQ(Dump(page2), "C E eod");
  EXPECT_TRUE(queue.empty());
  EXPECT_EQ(row, 1) << "counted down already: the position is kept";
  EXPECT_EQ(position, 1);
}

TEST(GridFlow, RowAndPageBreaks) {
  // A row break in position 2 of a four-point row: positions 3 and 4 stay empty.
  auto linesOwner = AllGrid(2, 4);
  MGrid& lines = *linesOwner;
  EXPECT_TRUE(Fill(lines, {"A", "nl", "B", "C", "eod"}));
  EXPECT_EQ(Dump(lines), "A nl _ _ / B C eod _");

  // A page break flowed into the middle of a page sends everything after it to the next page.
  auto pageOwner = AllGrid(2, 3);
  MGrid& page = *pageOwner;
  ASSERT_TRUE(Fill(page, {"A", "B", "C", "D", "eod"}));
  MEntryQueue queue = Queue({"np"});
  int row = 1, position = 2, remaining = 1;
  EXPECT_FALSE(page.FlowPage(row, position, remaining, queue));
  EXPECT_EQ(Dump(page), "A np _ / _ _ _");
  EXPECT_EQ(Dump(queue), "B C D eod");
  EXPECT_EQ(position, 2);

  // A page break that is the last entry of the queue ends the flow.
  auto lastOwner = AllGrid(2, 2);
  MGrid& last = *lastOwner;
  MEntryQueue one = Queue({"np"});
  row = 1, position = 1, remaining = 1;
  EXPECT_TRUE(last.FlowPage(row, position, remaining, one));
}

TEST(GridFlow, RefusingPointsStayEmptyAndOrderIsKept) {
  // Row 1 only takes "tokushu"; "shohin" entries pass it by, a blank does not.
  auto gridOwner = MakeGrid({{"tokushu", "tokushu"}, {"all", "all", "all"}, {"none", "all", "all"}});
  MGrid& grid = *gridOwner;
  EXPECT_TRUE(Fill(grid, {"shohin", "tokushu", "sp", "shohin", "eod"}));
  EXPECT_EQ(Dump(grid), "_ _ / shohin tokushu sp / _ shohin eod") << "later entries never jump the queue";

  // An entry accepted nowhere on the page is left for the next one, with everything behind it.
  auto refusingOwner = MakeGrid({{"none", "none"}});
  MGrid& refusing = *refusingOwner;
  MEntryQueue queue = Queue({"A", "eod"});
  int row = 1, position = 1, remaining = 2;
  EXPECT_FALSE(refusing.FlowPage(row, position, remaining, queue));
  EXPECT_EQ(Dump(refusing), "_ _");
  EXPECT_EQ(Dump(queue), "A eod");
  EXPECT_EQ(remaining, 2);

  // A start beyond the last row places nothing.
  row = 2;
  EXPECT_FALSE(refusing.FlowPage(row, position, remaining, queue));
}

TEST(GridFlow, CursorPositionFromAPoint) {
  // Points at x = 10, 20, 30 and y = 20, 40, 60; blocks are placed at their point's corner.
  auto gridOwner = AllGrid(3, 3);
  MGrid& grid = *gridOwner;
  ASSERT_TRUE(Fill(grid, {"A", "B", "C", "D", "E", "eod"}));
  int row = 0, position = 0;

  grid.FindCursorPosition(25, 45, row, position);  // inside row 2, right of its second entry
  EXPECT_EQ(row, 2);
  EXPECT_EQ(position, 2);
  grid.FindCursorPosition(99, 99, row, position);  // below and right of everything: row 3 is empty
  EXPECT_EQ(row, 2);
  EXPECT_EQ(position, 3);
  grid.FindCursorPosition(10, 20, row, position);  // exactly on the first point
  EXPECT_EQ(row, 1);
  EXPECT_EQ(position, 1);

  // Above and left of every row start: the nearest placed entry.
  grid.FindCursorPosition(27, 5, row, position);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(position, 3);
  grid.FindCursorPosition(0, 41, row, position);
  EXPECT_EQ(row, 2);
  EXPECT_EQ(position, 1);

  // Nothing placed: row and position stay.
  auto emptyOwner = AllGrid(2, 2);
  MGrid& empty = *emptyOwner;
  row = 7, position = 9;
  empty.FindCursorPosition(15, 25, row, position);
  EXPECT_EQ(row, 7);
  EXPECT_EQ(position, 9);
}
