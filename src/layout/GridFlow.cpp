// Placement of entries on grid points and their flow through the grid of one page.
//
// A page's points, read row by row, are the reading order of the document: the placed-block database
// keeps its entries as one sequence and lays it over the pages with FlowPage, page after page.
#include <cstdint>
#include <limits>

#include "layout/Grid.h"
#include "layout/Invalidate.h"
#include "layout/Specials.h"

namespace {

constexpr std::string_view kAll = "all";
constexpr std::string_view kNone = "none";

// Asks for the area of a placed entry to be redrawn: a block's rectangle, a special entry's mark.
void InvalidateEntry(const MControl& entry) {
  MBaseInvalidate* target = PageInvalidator();
  if (target == nullptr) return;
  if (entry.IsSpecial()) {
    target->InvalidateMark(entry.X1, entry.Y1);
  } else {
    target->InvalidateBounds(entry.Bounds.Left, entry.Bounds.Top, entry.Bounds.Right, entry.Bounds.Bottom);
  }
}

// Any point of the row holding an entry of that kind.
bool RowHolds(const MGridRow& row, MKind kind) {
  for (const auto& point : row) {
    if (point->Block != nullptr && point->Block->Kind() == kind) return true;
  }
  return false;
}

}  // namespace

// ---- MGridPoint

bool MGridPoint::Accepts(std::string_view name) const {
  const std::string_view first =
      BlockTypes.empty() ? std::string_view() : std::string_view(BlockTypes.front());
  if (first == kAll) return true;
  // Breaks and the end marker stand anywhere, so that no layout can stop the sequence from ending.
  if (name == "newline" || name == "newpage" || name == "eod") return true;
  if (name == "space") return first != kNone;
  return IndexOfName(BlockTypes, name) >= 0;
}

bool MGridPoint::Place(std::unique_ptr<MControl>& entry) {
  if (entry == nullptr || Block != nullptr || !Accepts(entry->Name)) return false;
  Block = std::move(entry);
  Block->MoveBy(*this);
  InvalidateEntry(*Block);
  return true;
}

std::unique_ptr<MControl> MGridPoint::Remove() {
  if (Block == nullptr) return nullptr;
  InvalidateEntry(*Block);
  Block->MoveBack(*this);
  return std::move(Block);
}

// ---- MGrid

bool MGrid::RowOccupied(int row) const {
  for (const auto& point : Rows[row - 1]) {
    if (point->Block != nullptr) return true;
  }
  return false;
}

bool MGrid::RowHasNewPage(int row) const { return RowHolds(Rows[row - 1], MKind::NewPage); }
bool MGrid::RowHasEndOfData(int row) const { return RowHolds(Rows[row - 1], MKind::EndOfData); }

std::unique_ptr<MControl> MGrid::RemoveAt(int row, int position) {
  return Rows[row - 1][position - 1]->Remove();
}

bool MGrid::PlaceEndOfData() {
  if (Rows.empty() || Rows.front().empty()) return false;
  std::unique_ptr<MControl> eod = std::make_unique<MEOD>();
  return Rows.front().front()->Place(eod);
}

bool MGrid::FlowPage(int& row, int& position, int& remaining, MEntryQueue& queue) {
  const int firstRow = row;
  const int rowCount = RowCount();
  if (firstRow > rowCount) return false;
  if (queue.empty()) return true;
  for (int r = firstRow; r <= rowCount; ++r) {
    MGridRow& points = Rows[r - 1];
    const int start = r == firstRow ? position : 1;
    const int end = static_cast<int>(points.size());
    // What stood here from the start on follows the entries being laid.
    for (int p = start; p <= end; ++p) {
      if (std::unique_ptr<MControl> taken = points[p - 1]->Remove()) queue.push_back(std::move(taken));
    }
    for (int p = start; p <= end; ++p) {
      MGridPoint& point = *points[p - 1];
      // A point that refuses the head of the queue stays empty; the entry tries the next one.
      if (!point.Place(queue.front())) continue;
      queue.pop_front();
      const MKind kind = point.Block->Kind();
      if (--remaining == 0) {
        row = r;
        position = p;
      }
      if (kind == MKind::NewPage) {
        // The rest of the page goes to the next page.
        for (int later = r + 1; later <= rowCount; ++later) {
          for (const auto& rest : Rows[later - 1]) {
            if (std::unique_ptr<MControl> taken = rest->Remove()) queue.push_back(std::move(taken));
          }
        }
        return queue.empty();
      }
      if (queue.empty()) return true;
      if (kind == MKind::NewLine) break;
    }
  }
  return false;
}

void MGrid::FindCursorPosition(double x, double y, int& row, int& position) const {
  // The row: the lowest-right row start that lies above and to the left of the point.
  constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
  constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
  int takenRow = 0;
  double bx = kLowest, by = kLowest;
  for (int i = 1; i <= RowCount(); ++i) {
    if (Rows[i - 1].empty() || !RowOccupied(i)) continue;
    const MGridPoint& first = *Rows[i - 1].front();
    if (!(x >= first.X1 && y >= first.Y1)) continue;
    if (first.X1 > bx || first.Y1 > by) {
      takenRow = i;
      bx = first.X1;
      by = first.Y1;
    }
  }

  if (takenRow > 0) {
    // The position: the entry starting at or left of x nearest to it, else the nearest to its right.
    const MGridRow& points = Rows[takenRow - 1];
    int found = 0;
    double best = kLowest;
    for (std::size_t p = 0; p < points.size(); ++p) {
      const MControl* entry = points[p]->Block.get();
      if (entry != nullptr && entry->X1 <= x && entry->X1 > best) {
        best = entry->X1;
        found = static_cast<int>(p) + 1;
      }
    }
    if (found == 0) {
      best = kHighest;
      for (std::size_t p = 0; p < points.size(); ++p) {
        const MControl* entry = points[p]->Block.get();
        if (entry != nullptr && entry->X1 > x && entry->X1 < best) {
          best = entry->X1;
          found = static_cast<int>(p) + 1;
        }
      }
    }
    if (found != 0) {
      row = takenRow;
      position = found;
      return;
    }
  }

  // Above or left of every row start: the nearest placed entry.
  double bestDistance = 1.7e308;
  for (int i = 1; i <= RowCount(); ++i) {
    const MGridRow& points = Rows[i - 1];
    for (std::size_t p = 0; p < points.size(); ++p) {
      const MControl* entry = points[p]->Block.get();
      if (entry == nullptr) continue;
      const double dx = x - entry->X1;
      const double dy = y - entry->Y1;
      const double distance = dx * dx + dy * dy;
      if (distance < bestDistance) {
        bestDistance = distance;
        row = i;
        position = static_cast<int>(p) + 1;
      }
    }
  }
}
