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

MMapDB::Position MMapDB::Successor(const Position& p, const MEntry* entry) const {
  const MPage* page = PageAt(p);
  if (page == nullptr) return {p.page + 1, 1, 1};
  const MKind kind = entry != nullptr ? entry->Kind() : MKind::Block;
  const bool lastRow = p.row >= page->RowCount();
  const bool lastPoint = p.column >= page->PointCount(p.row);
  if (kind == MKind::NewPage || (lastRow && (kind == MKind::NewLine || lastPoint))) return {p.page + 1, 1, 1};
  if (kind == MKind::NewLine || lastPoint) return {p.page, p.row + 1, 1};
  return {p.page, p.row, p.column + 1};
}

bool MMapDB::NextOccupied(Position p, Position& found) const {
  int row = p.row;
  int column = p.column + 1;
  for (int number = p.page; number <= PageCount(); ++number, row = 1, column = 1) {
    const MPage& page = *pages_[static_cast<std::size_t>(number - 1)];
    // An empty page is crossed at once (a wide gap, many entries taken out).
    if (page.EntryCount() == 0) continue;
    for (; row <= page.RowCount(); ++row, column = 1) {
      for (; column <= page.PointCount(row); ++column) {
        if (page.EntryAt(row, column) != nullptr) {
          found = {number, row, column};
          return true;
        }
      }
    }
  }
  return false;
}

void MMapDB::CursorPrevious() {
  Position c = Cursor();
  if (PageAt(c) == nullptr) return;
  while (true) {
    if (c.column <= 1) {
      if (c.page == 1 && c.row <= 1) {
        SetCursor({1, 1, 1});
        if (Current() == nullptr) CursorNext();
        return;
      }
      if (c.row <= 1) {
        --c.page;
        const MPage& page = *pages_[static_cast<std::size_t>(c.page - 1)];
        c.row = page.RowCount();
        c.column = page.PointCount(c.row);
      } else {
        --c.row;
        c.column = pages_[static_cast<std::size_t>(c.page - 1)]->PointCount(c.row);
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
  if (PageAt(c) == nullptr) return;
  while (true) {
    const MEntry* entry = EntryAt(c);
    if (entry != nullptr && entry->IsEndOfData()) break;  // the cursor never passes the end of the data
    const MPage& page = *pages_[static_cast<std::size_t>(c.page - 1)];
    const bool breaks =
        entry != nullptr && (entry->Kind() == MKind::NewLine || entry->Kind() == MKind::NewPage);
    if (breaks || c.column >= page.PointCount(c.row)) {
      c.column = 1;
      if (c.row >= page.RowCount()) {
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
  const MPage* page = ActivePage();
  if (page == nullptr) return 0;
  if (page->EntryAt(row, column) != nullptr) return column;
  for (int c = std::min(column - 1, page->PointCount(row)); c >= 1; --c) {
    if (page->EntryAt(row, c) != nullptr) return c;
  }
  for (int c = column + 1; c <= page->PointCount(row); ++c) {
    if (page->EntryAt(row, c) != nullptr) return c;
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
      row = pages_[static_cast<std::size_t>(page - 1)]->RowCount();
    }
    if (row >= 1 && pages_[static_cast<std::size_t>(page - 1)]->RowOccupied(row)) break;
  }
  const int column = currentColumn_;
  SetCurrentPage(page);
  currentRow_ = row;
  currentColumn_ = ColumnNear(row, column);
}

void MMapDB::CursorDown() {
  const MPage* active = ActivePage();
  if (active == nullptr || active->RowHasEndOfData(currentRow_)) return;
  int page = currentPage_;
  int row = currentRow_;
  while (true) {
    const MPage& on = *pages_[static_cast<std::size_t>(page - 1)];
    if (row >= on.RowCount() || on.RowHasNewPage(row)) {
      if (page >= PageCount()) return;
      ++page;
      row = 1;
    } else {
      ++row;
    }
    if (pages_[static_cast<std::size_t>(page - 1)]->RowOccupied(row)) break;
  }
  const int column = currentColumn_;
  SetCurrentPage(page);
  currentRow_ = row;
  currentColumn_ = ColumnNear(row, column);
}

void MMapDB::CursorRowStart() {
  const MPage* page = ActivePage();
  if (page == nullptr) return;
  for (int c = 1; c <= page->PointCount(currentRow_); ++c) {
    if (page->EntryAt(currentRow_, c) != nullptr) {
      currentColumn_ = c;
      return;
    }
  }
}

void MMapDB::CursorRowEnd() {
  const MPage* page = ActivePage();
  if (page == nullptr) return;
  for (int c = page->PointCount(currentRow_); c >= 1; --c) {
    if (page->EntryAt(currentRow_, c) != nullptr) {
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
  const int number = PageCount();
  const MPage& page = *pages_.back();
  for (int r = 1; r <= page.RowCount(); ++r) {
    for (int c = 1; c <= page.PointCount(r); ++c) {
      const MEntry* entry = page.EntryAt(r, c);
      if (entry != nullptr && entry->IsEndOfData()) {
        SetCursor({number, r, c});
        return;
      }
    }
  }
}

void MMapDB::CursorToPoint(double x, double y) {
  const MPage* page = ActivePage();
  if (page == nullptr) return;
  page->FindCursorPosition(x, y, currentRow_, currentColumn_);
}

void MMapDB::GoToPage(int page) {
  if (page < 1 || page > PageCount()) return;
  double x = 0, y = 0;
  MRect bounds;
  if (!CurrentArea(x, y, bounds)) {
    if (const MPage* active = ActivePage()) {
      if (const MGridPoint* point = active->PointAt(currentRow_, currentColumn_)) {
        x = point->X1;
        y = point->Y1;
      }
    }
  }
  currentPage_ = page;
  CursorToPoint(x, y);
  // A page with nothing placed on it keeps no cursor: go on to the next entry.
  if (Current() == nullptr) {
    if (ActivePage()->PointAt(currentRow_, currentColumn_) == nullptr) currentRow_ = currentColumn_ = 1;
    CursorNext();
  }
  InvalidateView();
}

// ---- MMapDB: the sequence by index

int MMapDB::IndexOf(const Position& p) const {
  int index = 0;
  // Whole pages by their counts, the page of the position point by point.
  const int last = std::min(p.page, PageCount() + 1);
  for (int number = 1; number < last; ++number)
    index += pages_[static_cast<std::size_t>(number - 1)]->EntryCount();
  if (p.page > PageCount()) return index;
  const MPage& page = *pages_[static_cast<std::size_t>(p.page - 1)];
  for (int row = 1; row <= page.RowCount(); ++row) {
    for (int column = 1; column <= page.PointCount(row); ++column) {
      if (row > p.row || (row == p.row && column >= p.column)) return index;
      if (page.EntryAt(row, column) != nullptr) ++index;
    }
  }
  return index;
}

bool MMapDB::PositionOf(int index, Position& found) const {
  int seen = 0;
  for (int number = 1; number <= PageCount(); ++number) {
    const MPage& page = *pages_[static_cast<std::size_t>(number - 1)];
    if (seen + page.EntryCount() <= index) {
      seen += page.EntryCount();
      continue;
    }
    for (int row = 1; row <= page.RowCount(); ++row) {
      for (int column = 1; column <= page.PointCount(row); ++column) {
        if (page.EntryAt(row, column) == nullptr) continue;
        if (seen++ == index) {
          found = {number, row, column};
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
