// Placement of entries on grid points and their flow through one page's grid.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "layout/Containers.h"
#include "layout/Controls.h"
#include "layout/Grid.h"
#include "layout/Invalidate.h"
#include "layout/Specials.h"

namespace {

// Rows of points given by their block types; point (r, c) stands at (10c, 20r).
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

std::unique_ptr<MGrid> AllGrid(std::size_t rows, std::size_t columns) {
  return MakeGrid(std::vector<std::vector<std::string>>(rows, std::vector<std::string>(columns, "all")));
}

// "nl", "np", "sp", "eod" are the special entries; any other word a block of that class, 8 by 6.
std::unique_ptr<MControl> Entry(const std::string& word) {
  if (word == "nl") return std::make_unique<MNewLine>();
  if (word == "np") return std::make_unique<MNewPage>();
  if (word == "sp") return std::make_unique<MSpace>();
  if (word == "eod") return std::make_unique<MEOD>();
  auto block = std::make_unique<MBlock>();
  block->Name = word;
  block->SetWidth(8);
  block->SetHeight(6);
  return block;
}

MEntryQueue Queue(const std::vector<std::string>& words) {
  MEntryQueue queue;
  for (const std::string& w : words) queue.push_back(Entry(w));
  return queue;
}

std::string Short(const MControl& entry) {
  const std::string& name = entry.Name;
  return name == "newline" ? "nl" : name == "newpage" ? "np" : name == "space" ? "sp" : name;
}

// The grid as "A B _ / C eod _": rows joined by " / ", empty points "_".
std::string Dump(const MGrid& grid) {
  std::string out;
  for (const MGridRow& row : grid.Rows) {
    if (!out.empty()) out += " / ";
    for (std::size_t c = 0; c < row.size(); ++c)
      out += (c > 0 ? " " : "") + (row[c]->Block ? Short(*row[c]->Block) : "_");
  }
  return out;
}

std::string Dump(const MEntryQueue& queue) {
  std::string out;
  for (const auto& entry : queue) out += (out.empty() ? "" : " ") + Short(*entry);
  return out;
}

// Lays the words onto the grid from row 1, position 1, as onto a fresh page.
bool Fill(MGrid& grid, const std::vector<std::string>& words) {
  MEntryQueue queue = Queue(words);
  int row = 1, position = 1, remaining = 0;
  return grid.FlowPage(row, position, remaining, queue);
}

class RecordingInvalidator : public MBaseInvalidate {
 public:
  RecordingInvalidator() { SetPageInvalidator(this); }
  ~RecordingInvalidator() override { SetPageInvalidator(nullptr); }
  void InvalidateAll() override { calls.push_back("all"); }
  void InvalidateBounds(double x1, double y1, double x2, double y2) override {
    calls.push_back("bounds " + Num(x1) + " " + Num(y1) + " " + Num(x2) + " " + Num(y2));
  }
  void InvalidateMark(double x, double y) override { calls.push_back("mark " + Num(x) + " " + Num(y)); }
  std::vector<std::string> calls;

 private:
  static std::string Num(double v) { return std::to_string(static_cast<int>(v)); }
};

}  // namespace

TEST(GridFlow, WhatAPointAccepts) {
  MGridPoint point;
  struct Case {
    const char* types;
    const char* name;
    bool accepted;
  } cases[] = {
      {"all", "shohin", true},     {"all", "space", true},
      {"none", "shohin", false},   {"none", "space", false},
      {"none", "newline", true},   {"none", "newpage", true},
      {"none", "eod", true},       {"shohin, tokushu", "TOKUSHU", true},
      {"shohin", "kikaku", false}, {"shohin", "space", true},
      {"shohin, all", "x", false}, {"ALL", "x", false},
  };
  for (const Case& c : cases) {
    point.SetBlockTypes(c.types);
    EXPECT_EQ(point.Accepts(c.name), c.accepted) << c.types << " / " << c.name;
  }
}

TEST(GridFlow, PlaceMovesToThePointAndRemoveMovesBack) {
  RecordingInvalidator invalidator;
  MGridPoint point;
  point.SetX(30);
  point.SetY(40);
  point.SetBlockTypes("shohin");

  std::unique_ptr<MControl> refused = Entry("tokushu");
  EXPECT_FALSE(point.Place(refused));
  EXPECT_NE(refused, nullptr) << "still the caller's";

  std::unique_ptr<MControl> block = Entry("shohin");
  const MControl* placed = block.get();
  ASSERT_TRUE(point.Place(block));
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(placed->X1, 30);
  EXPECT_EQ(placed->Bounds.Bottom, 46);
  std::unique_ptr<MControl> second = Entry("shohin");
  EXPECT_FALSE(point.Place(second)) << "an occupied point takes nothing";

  std::unique_ptr<MControl> back = point.Remove();
  EXPECT_EQ(back.get(), placed);
  EXPECT_EQ(back->Bounds.Right, 8) << "back in its own coordinates";
  EXPECT_EQ(point.Remove(), nullptr);

  std::unique_ptr<MControl> mark = Entry("nl");
  ASSERT_TRUE(point.Place(mark));
  point.Remove();
  EXPECT_EQ(invalidator.calls, (std::vector<std::string>{"bounds 30 40 38 46", "bounds 30 40 38 46",
                                                         "mark 30 40", "mark 30 40"}));

  auto empty = std::make_unique<MGrid>();  // one row without points
  EXPECT_FALSE(empty->PlaceEndOfData());
  auto refusing = MakeGrid({{"none"}});
  EXPECT_TRUE(refusing->PlaceEndOfData()) << "the end marker stands on any point";
  EXPECT_TRUE(refusing->RowHasEndOfData(1));
}

TEST(GridFlow, InsertingAtTheStartOfAFullRowPushesTheLastEntryToTheNextPage) {
  auto page1 = AllGrid(1, 3), page2 = AllGrid(1, 3);
  ASSERT_FALSE(Fill(*page1, {"A", "B", "C", "D"}));  // D does not fit
  Fill(*page2, {"E", "eod"});

  MEntryQueue queue = Queue({"X"});
  int row = 1, position = 1, remaining = 1;
  EXPECT_FALSE(page1->FlowPage(row, position, remaining, queue));
  EXPECT_EQ(Dump(*page1), "X A B");
  EXPECT_EQ(Dump(queue), "C");
  EXPECT_EQ(remaining, -2) << "counts every entry placed";
  EXPECT_EQ(position, 1) << "where the inserted entry went, not where the count went on";

  row = 1, position = 1;
  EXPECT_TRUE(page2->FlowPage(row, position, remaining, queue));
  EXPECT_EQ(Dump(*page2), "C E eod");
}

TEST(GridFlow, BreaksAndRefusingPoints) {
  // A row break in position 2 of a four-point row leaves positions 3 and 4 empty.
  auto lines = AllGrid(2, 4);
  EXPECT_TRUE(Fill(*lines, {"A", "nl", "B", "C", "eod"}));
  EXPECT_EQ(Dump(*lines), "A nl _ _ / B C eod _");
  EXPECT_TRUE(lines->RowOccupied(1));

  // A page break flowed into the middle of a page sends everything after it to the next page.
  auto page = AllGrid(2, 3);
  ASSERT_TRUE(Fill(*page, {"A", "B", "C", "D", "eod"}));
  MEntryQueue queue = Queue({"np"});
  int row = 1, position = 2, remaining = 1;
  EXPECT_FALSE(page->FlowPage(row, position, remaining, queue));
  EXPECT_EQ(Dump(*page), "A np _ / _ _ _");
  EXPECT_EQ(Dump(queue), "B C D eod");
  EXPECT_TRUE(page->RowHasNewPage(1));
  EXPECT_FALSE(page->RowOccupied(2));

  // Points that refuse the head of the queue stay empty; later entries never jump the queue.
  auto grid = MakeGrid({{"tokushu", "tokushu"}, {"all", "all", "all"}, {"none", "all", "all"}});
  EXPECT_TRUE(Fill(*grid, {"shohin", "tokushu", "sp", "shohin", "eod"}));
  EXPECT_EQ(Dump(*grid), "_ _ / shohin tokushu sp / _ shohin eod");

  // An entry accepted nowhere on the page is left for the next one, with everything behind it.
  auto none = MakeGrid({{"none", "none"}});
  MEntryQueue waiting = Queue({"A", "eod"});
  row = 1, position = 1, remaining = 2;
  EXPECT_FALSE(none->FlowPage(row, position, remaining, waiting));
  EXPECT_EQ(Dump(waiting), "A eod");
  EXPECT_EQ(remaining, 2);
}

TEST(GridFlow, CursorPositionFromAPoint) {
  // Points at x = 10, 20, 30 and y = 20, 40, 60; entries stand at their point's corner.
  auto grid = AllGrid(3, 3);
  ASSERT_TRUE(Fill(*grid, {"A", "B", "C", "D", "E", "eod"}));
  struct Case {
    double x, y;
    int row, position;
  } cases[] = {
      {25, 45, 2, 2},  // inside row 2, right of its second entry
      {99, 99, 2, 3},  // below everything: row 3 is empty
      {10, 20, 1, 1},  // exactly on the first point
      {27, 5, 1, 3},   // above every row start: the nearest entry
      {0, 41, 2, 1},   // left of every row start: the nearest entry
  };
  for (const Case& c : cases) {
    int row = 0, position = 0;
    grid->FindCursorPosition(c.x, c.y, row, position);
    EXPECT_EQ(row, c.row) << c.x << "," << c.y;
    EXPECT_EQ(position, c.position) << c.x << "," << c.y;
  }
  auto empty = AllGrid(2, 2);
  int row = 7, position = 9;
  empty->FindCursorPosition(15, 25, row, position);
  EXPECT_EQ(row, 7) << "nothing placed: unchanged";
  EXPECT_EQ(position, 9);
}
