// Placement of entries on the grid points of a page and their flow through one page.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "layout/BlockInstance.h"
#include "layout/Containers.h"
#include "layout/Controls.h"
#include "layout/Entry.h"
#include "layout/Form.h"
#include "layout/Grid.h"
#include "layout/Invalidate.h"
#include "layout/Page.h"

namespace {

// A form whose rows of points are given by their block types; point (r, c) stands at (10c, 20r).
std::unique_ptr<MForm> MakeForm(const std::vector<std::vector<std::string>>& rows) {
  auto form = std::make_unique<MForm>();
  MGrid& grid = form->Grid;
  grid.Rows.clear();
  for (std::size_t r = 0; r < rows.size(); ++r) {
    grid.NewRow();
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      auto point = std::make_unique<MGridPoint>();
      point->SetX(10.0 * static_cast<double>(c + 1));
      point->SetY(20.0 * static_cast<double>(r + 1));
      point->SetBlockTypes(rows[r][c]);
      grid.AddPoint(std::move(point));
    }
  }
  return form;
}

std::unique_ptr<MForm> AllForm(std::size_t rows, std::size_t columns) {
  return MakeForm(std::vector<std::vector<std::string>>(rows, std::vector<std::string>(columns, "all")));
}

// The block classes the entries are made of: each word a class, 8 by 6.
class Classes {
 public:
  const MBlock& Of(const std::string& name) {
    for (const auto& c : classes_) {
      if (c->Name == name) return *c;
    }
    auto made = std::make_unique<MBlock>();
    made->Name = name;
    made->SetWidth(8);
    made->SetHeight(6);
    classes_.push_back(std::move(made));
    return *classes_.back();
  }

 private:
  std::vector<std::unique_ptr<MBlock>> classes_;
};

Classes& TheClasses() {
  static Classes classes;
  return classes;
}

// "nl", "np", "sp", "eod" are the special entries; any other word a block of that class.
MEntry Entry(const std::string& word) {
  if (word == "nl") return MEntry::Special(MKind::NewLine);
  if (word == "np") return MEntry::Special(MKind::NewPage);
  if (word == "sp") return MEntry::Special(MKind::Space);
  if (word == "eod") return MEntry::Special(MKind::EndOfData);
  return TheClasses().Of(word).NewInstance();
}

MEntryQueue Queue(const std::vector<std::string>& words) {
  MEntryQueue queue;
  for (const std::string& w : words) queue.push_back(Entry(w));
  return queue;
}

std::string Short(const MEntry& entry) {
  const std::string name(entry.Name());
  return name == "newline" ? "nl" : name == "newpage" ? "np" : name == "space" ? "sp" : name;
}

// The page as "A B _ / C eod _": rows joined by " / ", empty points "_".
std::string Dump(const MPage& page) {
  std::string out;
  for (int r = 1; r <= page.RowCount(); ++r) {
    if (r > 1) out += " / ";
    for (int c = 1; c <= page.PointCount(r); ++c) {
      const MEntry* entry = page.EntryAt(r, c);
      out += (c > 1 ? " " : "") + (entry != nullptr ? Short(*entry) : "_");
    }
  }
  return out;
}

std::string Dump(const MEntryQueue& queue) {
  std::string out;
  for (const auto& entry : queue) out += (out.empty() ? "" : " ") + Short(entry);
  return out;
}

// Lays the words onto the page from row 1, position 1, as onto a fresh page.
bool Fill(MPage& page, const std::vector<std::string>& words) {
  MEntryQueue queue = Queue(words);
  int row = 1, position = 1, remaining = 0;
  return page.FlowPage(row, position, remaining, queue);
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

TEST(GridFlow, PlaceStandsAnEntryOnThePointAndRemoveHandsItBack) {
  RecordingInvalidator invalidator;
  const auto form = MakeForm({{"shohin"}});
  form->Grid.PointAt(1, 1)->SetX(30);
  form->Grid.PointAt(1, 1)->SetY(40);
  MPage page(*form, 1);

  MEntry refused = Entry("tokushu");
  EXPECT_FALSE(page.Place(1, 1, refused));
  EXPECT_TRUE(refused) << "still the caller's";

  MEntry block = Entry("shohin");
  const MBlockInstance* placed = block.Block();
  ASSERT_TRUE(page.Place(1, 1, block));
  EXPECT_FALSE(block);
  double x = 0, y = 0;
  MRect bounds;
  ASSERT_TRUE(page.EntryArea(1, 1, x, y, bounds));
  EXPECT_EQ(x, 30);
  EXPECT_EQ(bounds.Bottom, 46);
  MEntry second = Entry("shohin");
  EXPECT_FALSE(page.Place(1, 1, second)) << "an occupied point takes nothing";
  EXPECT_FALSE(page.Place(1, 2, second)) << "nor does a point that is not there";

  MEntry back = page.Remove(1, 1);
  EXPECT_EQ(back.Block(), placed);
  EXPECT_EQ(back.Block()->Class().Bounds.Right, 8) << "its class keeps its own coordinates";
  EXPECT_FALSE(page.Remove(1, 1));
  EXPECT_EQ(page.EntryCount(), 0);

  MEntry mark = Entry("nl");
  ASSERT_TRUE(page.Place(1, 1, mark));
  page.Remove(1, 1);
  EXPECT_EQ(invalidator.calls, (std::vector<std::string>{"bounds 30 40 38 46", "bounds 30 40 38 46",
                                                         "mark 30 40", "mark 30 40"}));

  const auto empty = std::make_unique<MForm>();  // one row without points
  MPage emptyPage(*empty, 1);
  EXPECT_FALSE(emptyPage.PlaceEndOfData());
  const auto refusing = MakeForm({{"none"}});
  MPage refusingPage(*refusing, 1);
  EXPECT_TRUE(refusingPage.PlaceEndOfData()) << "the end marker stands on any point";
  EXPECT_TRUE(refusingPage.RowHasEndOfData(1));
}

TEST(GridFlow, InsertingAtTheStartOfAFullRowPushesTheLastEntryToTheNextPage) {
  const auto form = AllForm(1, 3);
  MPage page1(*form, 1), page2(*form, 2);
  ASSERT_FALSE(Fill(page1, {"A", "B", "C", "D"}));  // D does not fit
  Fill(page2, {"E", "eod"});

  MEntryQueue queue = Queue({"X"});
  int row = 1, position = 1, remaining = 1;
  EXPECT_FALSE(page1.FlowPage(row, position, remaining, queue));
  EXPECT_EQ(Dump(page1), "X A B");
  EXPECT_EQ(Dump(queue), "C");
  EXPECT_EQ(remaining, -2) << "counts every entry placed";
  EXPECT_EQ(position, 1) << "where the inserted entry went, not where the count went on";

  row = 1, position = 1;
  EXPECT_TRUE(page2.FlowPage(row, position, remaining, queue));
  EXPECT_EQ(Dump(page2), "C E eod");
}

TEST(GridFlow, BreaksAndRefusingPoints) {
  // A row break in position 2 of a four-point row leaves positions 3 and 4 empty.
  const auto linesForm = AllForm(2, 4);
  MPage lines(*linesForm, 1);
  EXPECT_TRUE(Fill(lines, {"A", "nl", "B", "C", "eod"}));
  EXPECT_EQ(Dump(lines), "A nl _ _ / B C eod _");
  EXPECT_TRUE(lines.RowOccupied(1));

  // A page break flowed into the middle of a page sends everything after it to the next page.
  const auto pageForm = AllForm(2, 3);
  MPage page(*pageForm, 1);
  ASSERT_TRUE(Fill(page, {"A", "B", "C", "D", "eod"}));
  MEntryQueue queue = Queue({"np"});
  int row = 1, position = 2, remaining = 1;
  EXPECT_FALSE(page.FlowPage(row, position, remaining, queue));
  EXPECT_EQ(Dump(page), "A np _ / _ _ _");
  EXPECT_EQ(Dump(queue), "B C D eod");
  EXPECT_TRUE(page.RowHasNewPage(1));
  EXPECT_FALSE(page.RowOccupied(2));

  // Points that refuse the head of the queue stay empty; later entries never jump the queue.
  const auto gridForm = MakeForm({{"tokushu", "tokushu"}, {"all", "all", "all"}, {"none", "all", "all"}});
  MPage grid(*gridForm, 1);
  EXPECT_TRUE(Fill(grid, {"shohin", "tokushu", "sp", "shohin", "eod"}));
  EXPECT_EQ(Dump(grid), "_ _ / shohin tokushu sp / _ shohin eod");

  // An entry accepted nowhere on the page is left for the next one, with everything behind it.
  const auto noneForm = MakeForm({{"none", "none"}});
  MPage none(*noneForm, 1);
  MEntryQueue waiting = Queue({"A", "eod"});
  row = 1, position = 1, remaining = 2;
  EXPECT_FALSE(none.FlowPage(row, position, remaining, waiting));
  EXPECT_EQ(Dump(waiting), "A eod");
  EXPECT_EQ(remaining, 2);
}

TEST(GridFlow, CursorPositionFromAPoint) {
  // Points at x = 10, 20, 30 and y = 20, 40, 60; entries stand at their point's corner.
  const auto form = AllForm(3, 3);
  MPage grid(*form, 1);
  ASSERT_TRUE(Fill(grid, {"A", "B", "C", "D", "E", "eod"}));
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
    grid.FindCursorPosition(c.x, c.y, row, position);
    EXPECT_EQ(row, c.row) << c.x << "," << c.y;
    EXPECT_EQ(position, c.position) << c.x << "," << c.y;
  }
  const auto emptyForm = AllForm(2, 2);
  const MPage empty(*emptyForm, 1);
  int row = 7, position = 9;
  empty.FindCursorPosition(15, 25, row, position);
  EXPECT_EQ(row, 7) << "nothing placed: unchanged";
  EXPECT_EQ(position, 9);
}
