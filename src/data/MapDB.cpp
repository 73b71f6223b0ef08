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

MPage* MMapDB::GetPage(int index) const {
  if (index < 0 || index >= PageCount()) return nullptr;
  return pages_[static_cast<std::size_t>(index)].get();
}

const MEntry* MMapDB::EntryAt(const Position& p) const {
  const MPage* page = PageAt(p);
  return page != nullptr ? page->EntryAt(p.row, p.column) : nullptr;
}

const MEntry* MMapDB::Current() const { return EntryAt(Cursor()); }

bool MMapDB::CurrentArea(double& x, double& y, MRect& bounds) const {
  const MPage* page = ActivePage();
  return page != nullptr && page->EntryArea(currentRow_, currentColumn_, x, y, bounds);
}

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
  accepted_.clear();
  currentPage_ = currentRow_ = currentColumn_ = 0;
  blockCount_ = 0;
}

void MMapDB::AppendPage() {
  if (!layout_.HasForms()) return;
  auto page = std::make_unique<MPage>(*layout_.Forms.front(), PageCount() + 1);
  if (!pages_.empty()) page->CopyFormTexts(*pages_.back());
  pages_.push_back(std::move(page));
}

void MMapDB::CreateFirstPage() {
  if (!pages_.empty() || !layout_.HasForms()) return;
  auto page = std::make_unique<MPage>(*layout_.Forms.front(), 1);
  if (!page->PlaceEndOfData()) return;
  pages_.push_back(std::move(page));
  SetCursor({1, 1, 1});
}

// ---- MMapDB: adding and removing

bool MMapDB::Accepted(std::string_view typeName) const {
  if (pages_.empty()) return false;
  for (const Acceptance& known : accepted_) {
    if (known.name == typeName) return known.accepted;
  }
  // Every page shows the same form: page 1 speaks for all.
  bool accepted = false;
  for (const MGridRow& row : pages_.front()->Grid().Rows) {
    for (const auto& point : row) accepted = accepted || point->Accepts(typeName);
  }
  accepted_.push_back({std::string(typeName), accepted});
  return accepted;
}

std::vector<std::unique_ptr<MBlockInstance>> MMapDB::TakeRefused() { return std::move(refused_); }

void MMapDB::Add(MEntry entry) {
  MEntryList list;
  list.push_back(std::move(entry));
  AddList(std::move(list));
}

void MMapDB::AddList(MEntryList entries) {
  MEntryQueue queue;
  MUndoHistory* recorder = Recorder();
  std::vector<MEntryRef> inserted;
  for (MEntry& entry : entries) {
    if (!entry) continue;
    // An entry that no point takes would wait at the head of the flow while pages were appended
    // without end; it stays out of the sequence.
    if (entry.IsEndOfData() || !Accepted(entry.Name())) {
      if (entry.IsBlock()) {
        refused_.push_back(entry.TakeBlock());
      } else {
        Discard(std::move(entry));
      }
      continue;
    }
    if (entry.IsBlock()) ++blockCount_;
    if (recorder != nullptr) inserted.push_back(entry.Ref());
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
    if (page > PageCount()) AppendPage();
    const bool done = pages_[static_cast<std::size_t>(page - 1)]->FlowPage(row, column, remaining, queue);
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
    MPage* gap = PageAt(p);
    if (gap == nullptr || gap->PointAt(p.row, p.column) == nullptr ||
        gap->EntryAt(p.row, p.column) != nullptr)
      return;
    Position from;
    if (!NextOccupied(later(p, emptied), from)) return;
    const std::string_view name = EntryAt(from)->Name();
    while (!gap->PointAt(p.row, p.column)->Accepts(name)) {
      p = StepForward(p);
      gap = PageAt(p);
      // Nothing more can be pulled back.
      if (gap == nullptr || gap->PointAt(p.row, p.column) == nullptr ||
          gap->EntryAt(p.row, p.column) != nullptr)
        return;
    }
    MEntry entry = PageAt(from)->Remove(from.row, from.column);
    emptied = from;
    const bool endOfData = entry.IsEndOfData();
    gap->Place(p.row, p.column, entry);
    if (endOfData) {
      // Pages behind the end of the data are empty now.
      Released gone = ReleasePages(static_cast<std::size_t>(p.page));
      if (released != nullptr) *released = std::move(gone);
      return;
    }
    p = StepForward(p);
  }
}

MEntry MMapDB::Remove() {
  const MEntry* current = Current();
  if (current == nullptr || current->IsEndOfData()) return MEntry();
  MEntryList taken = TakeAt(Cursor(), 1);
  return taken.empty() ? MEntry() : std::move(taken.front());
}

MEntryList MMapDB::TakeAt(const Position& at, int count) {
  MEntryList taken;
  if (count <= 0 || EntryAt(at) == nullptr || EntryAt(at)->IsEndOfData()) return taken;
  MUndoHistory* recorder = Recorder();
  const int index = recorder != nullptr ? IndexOf(at) : 0;
  SetCursor(at);
  CursorPrevious();
  const Position start = Cursor() == at ? Position{1, 1, 1} : Successor(Cursor(), Current());
  // The entries go first, then the entries behind them flow back once.
  for (Position p = at; static_cast<int>(taken.size()) < count;) {
    if (EntryAt(p)->IsEndOfData()) break;
    MEntry entry = PageAt(p)->Remove(p.row, p.column);
    if (entry.IsBlock()) --blockCount_;
    taken.push_back(std::move(entry));
    if (!NextOccupied(p, p)) break;
  }
  SetCursor(start);
  Released released;
  CloseGap(Cursor(), &released);
  if (Current() == nullptr) CursorNext();
  modified_ = true;
  if (recorder != nullptr) {
    std::vector<MEntryRef> entries;
    entries.reserve(taken.size());
    for (const MEntry& entry : taken) entries.push_back(entry.Ref());
    recorder->PagesRemoved(index, std::move(entries), released.firstPage, std::move(released.texts));
  }
  return taken;
}

MEntryList MMapDB::RemoveAll() {
  MEntryList blocks;
  if (pages_.empty()) return blocks;
  MUndoHistory* recorder = Recorder();
  std::vector<MEntryRef> removed;
  MEntry endOfData;
  for (const auto& page : pages_) {
    for (int r = 1; r <= page->RowCount(); ++r) {
      for (int c = 1; c <= page->PointCount(r); ++c) {
        MEntry entry = page->Remove(r, c);
        if (!entry) continue;
        if (entry.IsEndOfData()) {
          endOfData = std::move(entry);
          continue;
        }
        if (recorder != nullptr) removed.push_back(entry.Ref());
        if (entry.IsBlock()) {
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
  if (!endOfData) endOfData = MEntry::Special(MKind::EndOfData);
  pages_.front()->Place(1, 1, endOfData);
  SetCursor({1, 1, 1});
  blockCount_ = 0;
  modified_ = true;
  return blocks;
}

void MMapDB::MoveToCursor(int row, int column) {
  if (row > currentRow_ || (row == currentRow_ && column > currentColumn_)) {
    const Position keep = Cursor();
    SetCursor({currentPage_, row, column});
    MEntry entry = Remove();
    SetCursor(keep);
    if (entry) Add(std::move(entry));
    return;
  }
  // The entry moves from before the cursor: the cursor entry is one entry earlier in the sequence
  // once it is taken out.
  const int target = IndexOf(Cursor());
  SetCursor({currentPage_, row, column});
  MEntry entry = Remove();
  CursorToIndex(entry ? target - 1 : target);
  if (entry) Add(std::move(entry));
}
