#include "layout/Grid.h"

#include <algorithm>

#include "layout/Containers.h"
#include "layout/Shapes.h"

// ---- MGridPoint

void MGridPoint::Assign(const MControl& source) {
  MControl::Assign(source);
  if (const MGridPoint* point = As<MGridPoint>(&source)) {
    if (point != this) BlockTypes = point->BlockTypes;
  }
}

void MGridPoint::SetBlockTypes(std::string_view text) { BlockTypes = SplitNameList(text); }

// ---- MGrid

MGrid::MGrid() { Rows.emplace_back(); }

void MGrid::Assign(const MGrid& source) {
  if (&source == this) return;
  starts_.clear();
  Rows.clear();
  Rows.reserve(source.Rows.size());
  for (const MGridRow& sourceRow : source.Rows) {
    MGridRow& row = Rows.emplace_back();
    row.reserve(sourceRow.size());
    for (const auto& point : sourceRow) row.push_back(point->Clone());
  }
}

void MGrid::NewRow() {
  starts_.clear();
  Rows.emplace_back();
}

MGridPoint* MGrid::AddPoint(std::unique_ptr<MGridPoint> point) {
  starts_.clear();
  if (Rows.empty()) Rows.emplace_back();
  MGridPoint* added = point.get();
  Rows.back().push_back(std::move(point));
  return added;
}

void MGrid::RemoveEmptyRows() {
  starts_.clear();
  std::erase_if(Rows, [](const MGridRow& row) { return row.empty(); });
}

int MGrid::PointCount(int row) const {
  if (row < 1 || row > RowCount()) return 0;
  return static_cast<int>(Rows[row - 1].size());
}

MGridPoint* MGrid::PointAt(int row, int position) const {
  if (position < 1 || position > PointCount(row)) return nullptr;
  return Rows[row - 1][position - 1].get();
}

int MGrid::TotalPointCount() const { return RowStart(RowCount() + 1); }

int MGrid::RowStart(int row) const {
  if (starts_.size() != Rows.size() + 1) {
    starts_.assign(1, 0);
    for (const MGridRow& r : Rows) starts_.push_back(starts_.back() + static_cast<int>(r.size()));
  }
  return starts_[static_cast<std::size_t>(std::clamp(row, 1, RowCount() + 1) - 1)];
}
