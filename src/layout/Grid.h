// The grid points of a form and the grid that orders them in rows.
//
// The rows give the reading order of a page: entries flow through the points row by row. Rows and
// positions within a row are numbered from 1. Placement and flow (Accepts, Place, FlowPage, ...)
// live in GridFlow.cpp.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "layout/Controls.h"
#include "layout/Shapes.h"

class MGridPoint : public MControl {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::GridPoint; }
  MGridPoint() : MControl(MKind::GridPoint) {}
  std::unique_ptr<MGridPoint> Clone() const { return CloneAs(*this); }

  // Copies the block types; the placed entry is never copied (this point's own entry is freed).
  void Assign(const MControl& source) override;
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;

  // From a comma-separated text; entries trimmed, the old ones replaced.
  void SetBlockTypes(std::string_view text);

  // Placement (GridFlow.cpp). Whether an entry of this type name ("space", "newline", "newpage",
  // "eod" or a block class name) may stand here.
  bool Accepts(std::string_view name) const;
  // Takes the entry (entry becomes null) and moves it to the point; false, leaving entry with the
  // caller, when the point is occupied or does not accept it.
  bool Place(std::unique_ptr<MControl>& entry);
  // Hands the entry back, moved back to its own coordinates; null when the point is empty.
  std::unique_ptr<MControl> Remove();
  bool IsOccupied() const { return Block != nullptr; }

  // Which entries the point accepts: the first entry "all" takes everything, "none" no block and
  // no blank; otherwise block class names.
  std::vector<std::string> BlockTypes{"all"};
  // The entry placed on the point (a block instance or a special entry), or null.
  std::unique_ptr<MControl> Block;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MGridPoint>(); }
};

using MGridRow = std::vector<std::unique_ptr<MGridPoint>>;
// The entries waiting to be laid onto the points of a page, in sequence order.
using MEntryQueue = std::deque<std::unique_ptr<MControl>>;

class MGrid {
 public:
  // One empty row.
  MGrid();
  MGrid(const MGrid&) = delete;
  MGrid& operator=(const MGrid&) = delete;

  // One row per source row with a clone of each of its points; no entries are copied.
  void Assign(const MGrid& source);
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip);

  void NewRow();
  // Appends the point to the last row.
  MGridPoint* AddPoint(std::unique_ptr<MGridPoint> point);
  void RemoveEmptyRows();

  int RowCount() const { return static_cast<int>(Rows.size()); }
  // 0 for a row outside 1..RowCount.
  int PointCount(int row) const;
  // Null when either number is out of range.
  MGridPoint* PointAt(int row, int position) const;
  MControl* BlockAt(int row, int position) const;
  int TotalPointCount() const;

  // Placement and flow (GridFlow.cpp). The row queries and RemoveAt take valid numbers.
  bool RowOccupied(int row) const;
  bool RowHasNewPage(int row) const;
  bool RowHasEndOfData(int row) const;
  std::unique_ptr<MControl> RemoveAt(int row, int position);
  // A new end-of-data entry on the first point of the first row; false when there is no such point.
  bool PlaceEndOfData();
  // Lays the queue onto the points from (row, position) on, taking the entries that stood there into
  // the queue behind it. remaining counts down for each entry placed; where it reaches 0, row and
  // position are set to that point. True when the queue is empty, false when entries are left for
  // the next page.
  bool FlowPage(int& row, int& position, int& remaining, MEntryQueue& queue);
  // The row and position of the placed entry that the point (x, y) designates; unchanged when
  // nothing is placed.
  void FindCursorPosition(double x, double y, int& row, int& position) const;

  // The first editable text, in reading order, of the blocks placed on the grid, or null.
  MText* FindEditableText(double x, double y) const;
  // Whether the element is a child of a block placed on the grid.
  bool Contains(const MControl* element) const;

  std::vector<MGridRow> Rows;
};
