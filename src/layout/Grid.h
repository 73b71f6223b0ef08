// The grid points of a form and the grid that orders them in rows.
//
// The rows give the reading order of a page: entries flow through the points row by row. Rows and
// positions within a row are numbered from 1. Placement and flow (Accepts, Place, FlowPage, ...)
// live in GridFlow.cpp.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "layout/Controls.h"

class MGridPoint : public MControl {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::GridPoint; }
  MGridPoint() : MControl(MKind::GridPoint) {}
  std::unique_ptr<MGridPoint> Clone() const { return CloneAs(*this); }

  // Copies the block types; the placed entry is never copied (this point's own entry is freed).
  void Assign(const MControl& source) override;
  void Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) override;

  // From a comma-separated text; entries trimmed, the old ones replaced.
  void SetBlockTypes(std::string_view text);

  // Which entries the point accepts: the first entry "all" takes everything, "none" no block and
  // no blank; otherwise block class names.
  std::vector<std::string> BlockTypes{"all"};
  // The entry placed on the point (a block instance or a special entry), or null.
  std::unique_ptr<MControl> Block;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MGridPoint>(); }
};

using MGridRow = std::vector<std::unique_ptr<MGridPoint>>;

class MGrid {
 public:
  // One empty row.
  MGrid();
  MGrid(const MGrid&) = delete;
  MGrid& operator=(const MGrid&) = delete;

  // One row per source row with a clone of each of its points; no entries are copied.
  void Assign(const MGrid& source);
  void Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip);

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

  // The first editable text, in reading order, of the blocks placed on the grid, or null.
  MText* FindEditableText(double x, double y) const;
  // Whether the element is a child of a block placed on the grid.
  bool Contains(const MControl* element) const;

  std::vector<MGridRow> Rows;
};
