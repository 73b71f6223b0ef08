// The grid points of a form and the grid that orders them in rows.
//
// The rows give the reading order of a page: entries flow through the points row by row. Rows and
// positions within a row are numbered from 1. Placement and flow of entries are the pages'
// (layout/Page.h, GridFlow.cpp).
#pragma once

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

  // Copies the block types.
  void Assign(const MControl& source) override;
  // The mark of an empty point; what a page places on the point draws itself (layout/Page.h).
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;

  // From a comma-separated text; entries trimmed, the old ones replaced.
  void SetBlockTypes(std::string_view text);

  // Whether an entry of this type name ("space", "newline", "newpage", "eod" or a block class name)
  // may stand here (GridFlow.cpp).
  bool Accepts(std::string_view name) const;

  // Which entries the point accepts: the first entry "all" takes everything, "none" no block and
  // no blank; otherwise block class names.
  std::vector<std::string> BlockTypes{"all"};

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MGridPoint>(); }
};

using MGridRow = std::vector<std::unique_ptr<MGridPoint>>;

// The grid of a form. Its points hold no entries: every page of the form shares them and keeps the
// entries placed on them itself (layout/Page.h).
class MGrid {
 public:
  // One empty row.
  MGrid();
  MGrid(const MGrid&) = delete;
  MGrid& operator=(const MGrid&) = delete;

  // One row per source row with a clone of each of its points.
  void Assign(const MGrid& source);
  // The marks of the points, as on a page with nothing placed.
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
  int TotalPointCount() const;
  // The points in reading order, counted from 0: the number of the points before row 1..RowCount
  // (TotalPointCount for RowCount + 1). Rows changed other than through NewRow, AddPoint,
  // RemoveEmptyRows and Assign must be followed by one of them.
  int RowStart(int row) const;

  std::vector<MGridRow> Rows;

 private:
  mutable std::vector<int> starts_;  // RowStart of rows 1..RowCount + 1; empty when stale
};
