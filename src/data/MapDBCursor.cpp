#include <algorithm>
#include <iterator>
#include <map>
#include <unordered_map>

#include "base/CommaText.h"
#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Sjis.h"
#include "data/Clipboard.h"
#include "data/DBEntries.h"
#include "data/MapDB.h"
#include "layout/Invalidate.h"
#include "layout/Layout.h"
#include "layout/Shapes.h"
#include "layout/Specials.h"

// ---- MMapDB: the cursor

MMapDB::Position MMapDB::Successor(const Position& p, const MControl* entry) const {
  const MForm* page = GetPage(p.page - 1);
  if (page == nullptr) return {p.page + 1, 1, 1};
  const MGrid& grid = page->Grid;
  const MKind kind = entry != nullptr ? entry->Kind() : MKind::Block;
  const bool lastRow = p.row >= grid.RowCount();
  const bool lastPoint = p.column >= grid.PointCount(p.row);
  if (kind == MKind::NewPage || (lastRow && (kind == MKind::NewLine || lastPoint))) return {p.page + 1, 1, 1};
  if (kind == MKind::NewLine || lastPoint) return {p.page, p.row + 1, 1};
  return {p.page, p.row, p.column + 1};
}

bool MMapDB::NextOccupied(Position p, Position& found) const {
  int row = p.row;
  int column = p.column + 1;
  for (int page = p.page; page <= PageCount(); ++page) {
    const MGrid& grid = pages_[static_cast<std::size_t>(page - 1)]->Grid;
    for (; row <= grid.RowCount(); ++row, column = 1) {
      const MGridRow& points = grid.Rows[static_cast<std::size_t>(row - 1)];
      for (; column <= static_cast<int>(points.size()); ++column) {
        if (points[static_cast<std::size_t>(column - 1)]->Block != nullptr) {
          found = {page, row, column};
          return true;
        }
      }
    }
    row = 1;
    column = 1;
  }
  return false;
}

void MMapDB::CursorPrevious() {
  Position c = Cursor();
  if (GetPage(c.page - 1) == nullptr) return;
  while (true) {
    if (c.column <= 1) {
      if (c.page == 1 && c.row <= 1) {
        SetCursor({1, 1, 1});
        if (Current() == nullptr) CursorNext();
        return;
      }
      if (c.row <= 1) {
        --c.page;
        const MGrid& grid = pages_[static_cast<std::size_t>(c.page - 1)]->Grid;
        c.row = grid.RowCount();
        c.column = grid.PointCount(c.row);
      } else {
        --c.row;
        c.column = pages_[static_cast<std::size_t>(c.page - 1)]->Grid.PointCount(c.row);
      }
    } else {
      --c.column;
    }
    if (EntryAt(c) != nullptr) {
      SetCursor(c);
      return;
    }
  }
}

void MMapDB::CursorNext() {
  Position c = Cursor();
  if (GetPage(c.page - 1) == nullptr) return;
  while (true) {
    const MControl* entry = EntryAt(c);
    if (IsEndOfData(entry)) break;  // the cursor never passes the end of the data
    const MGrid& grid = pages_[static_cast<std::size_t>(c.page - 1)]->Grid;
    const bool breaks =
        entry != nullptr && (entry->Kind() == MKind::NewLine || entry->Kind() == MKind::NewPage);
    if (breaks || c.column >= grid.PointCount(c.row)) {
      c.column = 1;
      if (c.row >= grid.RowCount()) {
        ++c.page;
        c.row = 1;
      } else {
        ++c.row;
      }
    } else {
      ++c.column;
    }
    if (c.page > PageCount()) return;  // no end of the data ahead: stay
    if (EntryAt(c) != nullptr) break;
  }
  SetCursor(c);
}

int MMapDB::ColumnNear(int row, int column) const {
  const MForm* page = ActivePage();
  if (page == nullptr) return 0;
  const MGrid& grid = page->Grid;
  if (grid.BlockAt(row, column) != nullptr) return column;
  for (int c = std::min(column - 1, grid.PointCount(row)); c >= 1; --c) {
    if (grid.BlockAt(row, c) != nullptr) return c;
  }
  for (int c = column + 1; c <= grid.PointCount(row); ++c) {
    if (grid.BlockAt(row, c) != nullptr) return c;
  }
  return 0;
}

void MMapDB::CursorUp() {
  if (ActivePage() == nullptr || (currentPage_ == 1 && currentRow_ == 1)) return;
  int page = currentPage_;
  int row = currentRow_;
  while (true) {
    if (row > 1) {
      --row;
    } else {
      if (page == 1) return;  // no entry above: the cursor stays
      --page;
      row = pages_[static_cast<std::size_t>(page - 1)]->Grid.RowCount();
    }
    if (row >= 1 && pages_[static_cast<std::size_t>(page - 1)]->Grid.RowOccupied(row)) break;
  }
  const int column = currentColumn_;
  SetCurrentPage(page);
  currentRow_ = row;
  currentColumn_ = ColumnNear(row, column);
}

void MMapDB::CursorDown() {
  const MForm* active = ActivePage();
  if (active == nullptr || active->Grid.RowHasEndOfData(currentRow_)) return;
  int page = currentPage_;
  int row = currentRow_;
  while (true) {
    const MGrid& grid = pages_[static_cast<std::size_t>(page - 1)]->Grid;
    if (row >= grid.RowCount() || grid.RowHasNewPage(row)) {
      if (page >= PageCount()) return;
      ++page;
      row = 1;
    } else {
      ++row;
    }
    if (pages_[static_cast<std::size_t>(page - 1)]->Grid.RowOccupied(row)) break;
  }
  const int column = currentColumn_;
  SetCurrentPage(page);
  currentRow_ = row;
  currentColumn_ = ColumnNear(row, column);
}

void MMapDB::CursorRowStart() {
  const MForm* page = ActivePage();
  if (page == nullptr) return;
  for (int c = 1; c <= page->Grid.PointCount(currentRow_); ++c) {
    if (page->Grid.BlockAt(currentRow_, c) != nullptr) {
      currentColumn_ = c;
      return;
    }
  }
}

void MMapDB::CursorRowEnd() {
  const MForm* page = ActivePage();
  if (page == nullptr) return;
  for (int c = page->Grid.PointCount(currentRow_); c >= 1; --c) {
    if (page->Grid.BlockAt(currentRow_, c) != nullptr) {
      currentColumn_ = c;
      return;
    }
  }
}

void MMapDB::CursorFirst() {
  if (pages_.empty()) return;
  SetCursor({1, 1, 1});
  CursorPrevious();
}

void MMapDB::CursorToEndOfData() {
  if (pages_.empty()) return;
  // The end of the data is always on the last page.
  const int page = PageCount();
  const MGrid& grid = pages_.back()->Grid;
  for (int r = 1; r <= grid.RowCount(); ++r) {
    for (int c = 1; c <= grid.PointCount(r); ++c) {
      if (IsEndOfData(grid.BlockAt(r, c))) {
        SetCursor({page, r, c});
        return;
      }
    }
  }
}

void MMapDB::CursorToPoint(double x, double y) {
  const MForm* page = ActivePage();
  if (page == nullptr) return;
  page->Grid.FindCursorPosition(x, y, currentRow_, currentColumn_);
}

void MMapDB::GoToPage(int page) {
  if (page < 1 || page > PageCount()) return;
  double x = 0, y = 0;
  if (const MControl* entry = Current()) {
    x = entry->X1;
    y = entry->Y1;
  } else if (const MGridPoint* point = PointAt(Cursor())) {
    x = point->X1;
    y = point->Y1;
  }
  currentPage_ = page;
  CursorToPoint(x, y);
  // A page with nothing placed on it keeps no cursor: go on to the next entry.
  if (Current() == nullptr) {
    if (PointAt(Cursor()) == nullptr) currentRow_ = currentColumn_ = 1;
    CursorNext();
  }
  InvalidateView();
}

// ---- MMapDB: the sequence by index

int MMapDB::IndexOf(const Position& p) const {
  int index = 0;
  for (int page = 1; page <= std::min(p.page, PageCount()); ++page) {
    const MGrid& grid = pages_[static_cast<std::size_t>(page - 1)]->Grid;
    for (int row = 1; row <= grid.RowCount(); ++row) {
      const MGridRow& points = grid.Rows[static_cast<std::size_t>(row - 1)];
      for (int column = 1; column <= static_cast<int>(points.size()); ++column) {
        if (page == p.page && (row > p.row || (row == p.row && column >= p.column))) return index;
        if (points[static_cast<std::size_t>(column - 1)]->Block != nullptr) ++index;
      }
    }
  }
  return index;
}

bool MMapDB::PositionOf(int index, Position& found) const {
  int seen = 0;
  for (int page = 1; page <= PageCount(); ++page) {
    const MGrid& grid = pages_[static_cast<std::size_t>(page - 1)]->Grid;
    for (int row = 1; row <= grid.RowCount(); ++row) {
      const MGridRow& points = grid.Rows[static_cast<std::size_t>(row - 1)];
      for (int column = 1; column <= static_cast<int>(points.size()); ++column) {
        if (points[static_cast<std::size_t>(column - 1)]->Block == nullptr) continue;
        if (seen++ == index) {
          found = {page, row, column};
          return true;
        }
      }
    }
  }
  return false;
}

int MMapDB::CursorIndex() const { return pages_.empty() ? 0 : IndexOf(Cursor()); }

void MMapDB::CursorToIndex(int index) {
  Position at;
  if (index >= 0 && PositionOf(index, at)) {
    SetCursor(at);
  } else {
    CursorToEndOfData();
  }
}

void MMapDB::InsertEntries(int index, MEntryList entries) {
  CursorToIndex(index);
  AddList(std::move(entries));
}

MEntryList MMapDB::TakeEntries(int index, int count) {
  Position at;
  if (index < 0 || !PositionOf(index, at)) return {};
  return TakeAt(at, count);
}
