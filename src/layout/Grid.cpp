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
  Block.reset();
}

void MGridPoint::SetBlockTypes(std::string_view text) { BlockTypes = SplitNameList(text); }

// ---- MGrid

MGrid::MGrid() { Rows.emplace_back(); }

void MGrid::Assign(const MGrid& source) {
  if (&source == this) return;
  Rows.clear();
  Rows.reserve(source.Rows.size());
  for (const MGridRow& sourceRow : source.Rows) {
    MGridRow& row = Rows.emplace_back();
    row.reserve(sourceRow.size());
    for (const auto& point : sourceRow) row.push_back(point->Clone());
  }
}

void MGrid::NewRow() { Rows.emplace_back(); }

MGridPoint* MGrid::AddPoint(std::unique_ptr<MGridPoint> point) {
  if (Rows.empty()) Rows.emplace_back();
  MGridPoint* added = point.get();
  Rows.back().push_back(std::move(point));
  return added;
}

void MGrid::RemoveEmptyRows() {
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

MControl* MGrid::BlockAt(int row, int position) const {
  const MGridPoint* point = PointAt(row, position);
  return point != nullptr ? point->Block.get() : nullptr;
}

int MGrid::TotalPointCount() const {
  int count = 0;
  for (const MGridRow& row : Rows) count += static_cast<int>(row.size());
  return count;
}

MText* MGrid::FindEditableText(double x, double y) const {
  for (const MGridRow& row : Rows) {
    for (const auto& point : row) {
      if (MBlock* block = As<MBlock>(point->Block.get())) {
        if (MText* text = block->FindEditableText(x, y)) return text;
      }
    }
  }
  return nullptr;
}

bool MGrid::Contains(const MControl* element) const {
  for (const MGridRow& row : Rows) {
    for (const auto& point : row) {
      const MBlock* block = As<MBlock>(point->Block.get());
      if (block != nullptr && block->Contains(element)) return true;
    }
  }
  return false;
}
