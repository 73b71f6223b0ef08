#include "data/MapDB.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <tuple>
#include <unordered_map>

#include "base/CommaText.h"
#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Progress.h"
#include "base/Sjis.h"
#include "data/Clipboard.h"
#include "data/DBEntries.h"
#include "data/UndoHistory.h"
#include "layout/Invalidate.h"
#include "layout/Layout.h"
#include "layout/Shapes.h"
#include "layout/Specials.h"

// ---- MMapDB: pages and cursor

MMapDB::MMapDB(const MLayout& layout, const MMapFile& mapFile) : MBaseDB(layout, mapFile) {}

MMapDB::~MMapDB() = default;

MForm* MMapDB::GetPage(int index) const {
  if (index < 0 || index >= PageCount()) return nullptr;
  return pages_[static_cast<std::size_t>(index)].get();
}

MGridPoint* MMapDB::PointAt(const Position& p) const {
  const MForm* page = GetPage(p.page - 1);
  return page != nullptr ? page->Grid.PointAt(p.row, p.column) : nullptr;
}

MControl* MMapDB::EntryAt(const Position& p) const {
  const MGridPoint* point = PointAt(p);
  return point != nullptr ? point->Block.get() : nullptr;
}

MControl* MMapDB::Current() const { return EntryAt(Cursor()); }

void MMapDB::SetCurrentPage(int page) {
  if (page == currentPage_) return;
  currentPage_ = page;
  InvalidateView();
}

void MMapDB::SetCursor(const Position& p) {
  SetCurrentPage(p.page);
  currentRow_ = p.row;
  currentColumn_ = p.column;
}

void MMapDB::Clear() {
  MBaseDB::Clear();
  pages_.clear();
  refused_.clear();
  currentPage_ = currentRow_ = currentColumn_ = 0;
  blockCount_ = 0;
}

void MMapDB::AppendPage(std::unique_ptr<MForm> page) {
  if (page == nullptr) return;
  if (!pages_.empty()) page->CopyFormTexts(*pages_.back());
  pages_.push_back(std::move(page));
}

void MMapDB::CreateFirstPage() {
  if (!pages_.empty()) return;
  std::unique_ptr<MForm> page = layout_.NewPageForm();
  if (page == nullptr || !page->Grid.PlaceEndOfData()) return;
  pages_.push_back(std::move(page));
  SetCursor({1, 1, 1});
}

// ---- MMapDB: adding and removing

bool MMapDB::Accepted(std::string_view typeName) const {
  if (pages_.empty()) return false;
  // Every page is a copy of the same form: page 1 speaks for all.
  for (const MGridRow& row : pages_.front()->Grid.Rows) {
    for (const auto& point : row) {
      if (point->Accepts(typeName)) return true;
    }
  }
  return false;
}

std::vector<std::unique_ptr<MBlock>> MMapDB::TakeRefused() { return std::move(refused_); }

void MMapDB::Add(std::unique_ptr<MControl> entry) {
  MEntryList list;
  list.push_back(std::move(entry));
  AddList(std::move(list));
}

void MMapDB::AddList(MEntryList entries) {
  MEntryQueue queue;
  MUndoHistory* recorder = Recorder();
  std::vector<MControl*> inserted;
  for (std::unique_ptr<MControl>& entry : entries) {
    if (entry == nullptr) continue;
    // An entry that no point takes would wait at the head of the flow while pages were appended
    // without end; it stays out of the sequence.
    if (!Accepted(entry->Name) || IsEndOfData(entry.get())) {
      if (entry->IsBlock()) {
        refused_.push_back(AsBlock(std::move(entry)));
      } else {
        Discard(std::move(entry));
      }
      continue;
    }
    if (entry->IsBlock()) ++blockCount_;
    if (recorder != nullptr) inserted.push_back(entry.get());
    queue.push_back(std::move(entry));
  }
  if (queue.empty()) return;
  if (recorder != nullptr) recorder->PagesInserted(IndexOf(Cursor()), std::move(inserted));

  int remaining = static_cast<int>(queue.size());
  const Position before = Cursor();
  CursorPrevious();
  const Position start = Cursor() == before ? Position{1, 1, 1} : Successor(Cursor(), Current());
  SetCurrentPage(before.page);

  int row = start.row;
  int column = start.column;
  bool placedAll = false;
  for (int page = start.page;; ++page, row = 1, column = 1) {
    if (page > PageCount()) AppendPage(layout_.NewPageForm());
    const bool done =
        pages_[static_cast<std::size_t>(page - 1)]->Grid.FlowPage(row, column, remaining, queue);
    if (!placedAll && remaining <= 0) {
      placedAll = true;
      SetCursor({page, row, column});  // the last entry inserted
    }
    if (done) break;
    // Long flows tell how far they are; the flow itself cannot stop half-way (the window undoes a
    // cancelled command once it is complete).
    if ((page - start.page) % 64 == 63) base::ReportProgress(page, std::max(page, PageCount()));
  }
  CursorNext();
  modified_ = true;
}

MMapDB::Released MMapDB::ReleasePages(std::size_t keep) {
  Released released;
  if (keep >= pages_.size()) return released;
  if (Recorder() != nullptr) {
    released.firstPage = static_cast<int>(keep) + 1;
    for (std::size_t i = keep; i < pages_.size(); ++i) released.texts.push_back(pages_[i]->FormTextStates());
  }
  pages_.resize(keep);
  return released;
}

void MMapDB::CloseGap(Position p, Released* released) {
  // The points after the gap up to `emptied` hold nothing: the search for the next entry to pull
  // back starts behind them, so that a wide gap (many entries taken out at once) is crossed once,
  // not once per entry that flows back.
  Position emptied = p;
  const auto later = [](const Position& a, const Position& b) {
    return std::tie(a.page, a.row, a.column) < std::tie(b.page, b.row, b.column) ? b : a;
  };
  while (true) {
    MGridPoint* gap = PointAt(p);
    if (gap == nullptr || gap->Block != nullptr) return;
    Position from;
    if (!NextOccupied(later(p, emptied), from)) return;
    MGridPoint* source = PointAt(from);
    while (!gap->Accepts(source->Block->Name)) {
      p = StepForward(p);
      gap = PointAt(p);
      if (gap == nullptr || gap->Block != nullptr) return;  // nothing more can be pulled back
    }
    std::unique_ptr<MControl> entry = source->Remove();
    emptied = from;
    const bool endOfData = IsEndOfData(entry.get());
    gap->Place(entry);
    if (endOfData) {
      // Pages behind the end of the data are empty now.
      Released gone = ReleasePages(static_cast<std::size_t>(p.page));
      if (released != nullptr) *released = std::move(gone);
      return;
    }
    p = StepForward(p);
  }
}

std::unique_ptr<MControl> MMapDB::Remove() {
  const MControl* current = Current();
  if (current == nullptr || IsEndOfData(current)) return nullptr;
  MEntryList taken = TakeAt(Cursor(), 1);
  return taken.empty() ? nullptr : std::move(taken.front());
}

MEntryList MMapDB::TakeAt(const Position& at, int count) {
  MEntryList taken;
  if (count <= 0 || EntryAt(at) == nullptr || IsEndOfData(EntryAt(at))) return taken;
  MUndoHistory* recorder = Recorder();
  const int index = recorder != nullptr ? IndexOf(at) : 0;
  SetCursor(at);
  CursorPrevious();
  const Position start = Cursor() == at ? Position{1, 1, 1} : Successor(Cursor(), Current());
  // The entries go first, then the entries behind them flow back once.
  for (Position p = at; static_cast<int>(taken.size()) < count;) {
    if (IsEndOfData(EntryAt(p))) break;
    std::unique_ptr<MControl> entry = PointAt(p)->Remove();
    if (entry->IsBlock()) --blockCount_;
    taken.push_back(std::move(entry));
    if (!NextOccupied(p, p)) break;
  }
  SetCursor(start);
  Released released;
  CloseGap(Cursor(), &released);
  if (Current() == nullptr) CursorNext();
  modified_ = true;
  if (recorder != nullptr) {
    std::vector<MControl*> entries;
    entries.reserve(taken.size());
    for (const auto& entry : taken) entries.push_back(entry.get());
    recorder->PagesRemoved(index, std::move(entries), released.firstPage, std::move(released.texts));
  }
  return taken;
}

MEntryList MMapDB::RemoveAll() {
  MEntryList blocks;
  if (pages_.empty()) return blocks;
  MUndoHistory* recorder = Recorder();
  std::vector<MControl*> removed;
  std::unique_ptr<MControl> endOfData;
  for (const auto& page : pages_) {
    for (MGridRow& row : page->Grid.Rows) {
      for (const auto& point : row) {
        std::unique_ptr<MControl> entry = point->Remove();
        if (entry == nullptr) continue;
        if (IsEndOfData(entry.get())) {
          endOfData = std::move(entry);
          continue;
        }
        if (recorder != nullptr) removed.push_back(entry.get());
        if (entry->IsBlock()) {
          blocks.push_back(std::move(entry));
        } else {
          Discard(std::move(entry));
        }
      }
    }
  }
  Released released = ReleasePages(1);  // page 1 keeps its form texts
  if (recorder != nullptr)
    recorder->PagesRemoved(0, std::move(removed), released.firstPage, std::move(released.texts));
  if (endOfData == nullptr) endOfData = std::make_unique<MEOD>();
  pages_.front()->Grid.PointAt(1, 1)->Place(endOfData);
  SetCursor({1, 1, 1});
  blockCount_ = 0;
  modified_ = true;
  return blocks;
}

void MMapDB::MoveToCursor(int row, int column) {
  if (row > currentRow_ || (row == currentRow_ && column > currentColumn_)) {
    const Position keep = Cursor();
    SetCursor({currentPage_, row, column});
    std::unique_ptr<MControl> entry = Remove();
    SetCursor(keep);
    if (entry != nullptr) Add(std::move(entry));
    return;
  }
  const MControl* target = Current();
  SetCursor({currentPage_, row, column});
  std::unique_ptr<MControl> entry = Remove();
  // The cursor entry may have moved back: look for it again.
  for (int p = 1; p <= PageCount(); ++p) {
    const MGrid& grid = pages_[static_cast<std::size_t>(p - 1)]->Grid;
    for (int r = 1; r <= grid.RowCount(); ++r) {
      for (int c = 1; c <= grid.PointCount(r); ++c) {
        if (grid.BlockAt(r, c) == target) {
          SetCursor({p, r, c});
          if (entry != nullptr) Add(std::move(entry));
          return;
        }
      }
    }
  }
  if (entry != nullptr) Add(std::move(entry));
}
