// Placement of entries on the grid points of a page and their flow through one page.
//
// A page's points, read row by row, are the reading order of the document: the placed-block database
// keeps its entries as one sequence and lays it over the pages with FlowPage, page after page.
#include <cstdint>
#include <limits>

#include "layout/BlockInstance.h"
#include "layout/Grid.h"
#include "layout/Invalidate.h"
#include "layout/Page.h"

namespace {

constexpr std::string_view kAll = "all";
constexpr std::string_view kNone = "none";

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

// ---- MPage: placement

// Asks for the area of an entry on a point to be redrawn: a block's rectangle, a special entry's mark.
void MPage::Invalidate(const MEntry& entry, const MGridPoint& point) const {
  MBaseInvalidate* target = PageInvalidator();
  if (target == nullptr || !target->ShowsPage(number_)) return;
  if (const MBlockInstance* block = entry.Block()) {
    const MRect b = block->Class().Bounds.Moved(point.X1, point.Y1);
    target->InvalidateBounds(b.Left, b.Top, b.Right, b.Bottom);
  } else {
    target->InvalidateMark(point.X1, point.Y1);
  }
}

bool MPage::Place(int row, int position, MEntry& entry) {
  const int index = Index(row, position);
  if (index < 0 || !entry) return false;
  MEntry& slot = entries_[static_cast<std::size_t>(index)];
  const MGridPoint& point =
      *Grid().Rows[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(position - 1)];
  if (slot || !point.Accepts(entry.Name())) return false;
  slot = std::move(entry);
  ++entryCount_;
  Invalidate(slot, point);
  return true;
}

MEntry MPage::Remove(int row, int position) {
  const int index = Index(row, position);
  if (index < 0) return MEntry();
  MEntry& slot = entries_[static_cast<std::size_t>(index)];
  if (!slot) return MEntry();
  Invalidate(slot, *Grid().Rows[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(position - 1)]);
  --entryCount_;
  return std::move(slot);
}

namespace {

bool Holds(const std::vector<MEntry>& entries, int from, int to, MKind kind) {
  for (int i = from; i < to; ++i) {
    const MEntry& entry = entries[static_cast<std::size_t>(i)];
    if (entry && entry.Kind() == kind) return true;
  }
  return false;
}

}  // namespace

bool MPage::RowOccupied(int row) const {
  for (int i = Grid().RowStart(row); i < Grid().RowStart(row + 1); ++i) {
    if (entries_[static_cast<std::size_t>(i)]) return true;
  }
  return false;
}

bool MPage::RowHasNewPage(int row) const {
  return Holds(entries_, Grid().RowStart(row), Grid().RowStart(row + 1), MKind::NewPage);
}

bool MPage::RowHasEndOfData(int row) const {
  return Holds(entries_, Grid().RowStart(row), Grid().RowStart(row + 1), MKind::EndOfData);
}

bool MPage::PlaceEndOfData() {
  if (RowCount() == 0 || PointCount(1) == 0) return false;
  MEntry eod = MEntry::Special(MKind::EndOfData);
  return Place(1, 1, eod);
}

// ---- MPage: flow

bool MPage::FlowPage(int& row, int& position, int& remaining, MEntryQueue& queue) {
  const int firstRow = row;
  const int rowCount = RowCount();
  if (firstRow > rowCount) return false;
  if (queue.empty()) return true;
  // What stands on the points from the start on follows the entries being laid. It is taken off
  // point by point as the flow reaches it: when the queue runs dry, everything further on stands
  // where it stood, and where laying it again would put it, so the flow ends there.
  const auto takeRest = [this, &queue](int r, int from, int lastRow) {
    for (; r <= lastRow; ++r, from = 1) {
      for (int p = from; p <= PointCount(r); ++p) {
        if (MEntry taken = Remove(r, p)) queue.push_back(std::move(taken));
      }
    }
  };
  for (int r = firstRow; r <= rowCount; ++r) {
    const int start = r == firstRow ? position : 1;
    const int end = PointCount(r);
    for (int p = start; p <= end; ++p) {
      if (MEntry taken = Remove(r, p)) queue.push_back(std::move(taken));
      // A point that refuses the head of the queue stays empty; the entry tries the next one.
      if (!Place(r, p, queue.front())) continue;
      queue.pop_front();
      const MKind kind = EntryAt(r, p)->Kind();
      if (--remaining == 0) {
        row = r;
        position = p;
      }
      if (kind == MKind::NewPage) {
        // The rest of the page goes to the next page.
        takeRest(r, p + 1, rowCount);
        return queue.empty();
      }
      if (kind == MKind::NewLine) {
        // The rest of the row goes to the next row.
        takeRest(r, p + 1, r);
        if (queue.empty()) return true;
        break;
      }
      if (queue.empty()) return true;
    }
  }
  return false;
}

void MPage::FindCursorPosition(double x, double y, int& row, int& position) const {
  // The row: the lowest-right row start that lies above and to the left of the point.
  constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
  constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
  // Entries stand at their points' corner (a block at its class's corner moved by the point).
  const auto entryX = [this](int r, int p) {
    const MEntry* entry = EntryAt(r, p);
    const MBlockInstance* block = entry->Block();
    return (block != nullptr ? block->Class().X1 : 0) + PointAt(r, p)->X1;
  };
  const auto entryY = [this](int r, int p) {
    const MEntry* entry = EntryAt(r, p);
    const MBlockInstance* block = entry->Block();
    return (block != nullptr ? block->Class().Y1 : 0) + PointAt(r, p)->Y1;
  };
  int takenRow = 0;
  double bx = kLowest, by = kLowest;
  for (int i = 1; i <= RowCount(); ++i) {
    if (PointCount(i) == 0 || !RowOccupied(i)) continue;
    const MGridPoint& first = *PointAt(i, 1);
    if (!(x >= first.X1 && y >= first.Y1)) continue;
    if (first.X1 > bx || first.Y1 > by) {
      takenRow = i;
      bx = first.X1;
      by = first.Y1;
    }
  }

  if (takenRow > 0) {
    // The position: the entry starting at or left of x nearest to it, else the nearest to its right.
    int found = 0;
    double best = kLowest;
    for (int p = 1; p <= PointCount(takenRow); ++p) {
      if (EntryAt(takenRow, p) == nullptr) continue;
      const double ex = entryX(takenRow, p);
      if (ex <= x && ex > best) {
        best = ex;
        found = p;
      }
    }
    if (found == 0) {
      best = kHighest;
      for (int p = 1; p <= PointCount(takenRow); ++p) {
        if (EntryAt(takenRow, p) == nullptr) continue;
        const double ex = entryX(takenRow, p);
        if (ex > x && ex < best) {
          best = ex;
          found = p;
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
    for (int p = 1; p <= PointCount(i); ++p) {
      if (EntryAt(i, p) == nullptr) continue;
      const double dx = x - entryX(i, p);
      const double dy = y - entryY(i, p);
      const double distance = dx * dx + dy * dy;
      if (distance < bestDistance) {
        bestDistance = distance;
        row = i;
        position = p;
      }
    }
  }
}
