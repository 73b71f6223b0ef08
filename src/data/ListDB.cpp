#include "data/ListDB.h"

#include <algorithm>
#include <iterator>
#include <map>
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

// ---- MListDB

MListDB::MListDB(const MLayout& layout, const MMapFile& mapFile) : MBaseDB(layout, mapFile) {}

MListDB::~MListDB() = default;

int MListDB::VisibleCount() const {
  return static_cast<int>(Searching() ? matches_.size() : entries_.size());
}

MBlockInstance* MListDB::VisibleEntry(int index) const {
  if (index < 0 || index >= VisibleCount()) return nullptr;
  const auto i = static_cast<std::size_t>(index);
  return Searching() ? matches_[i] : entries_[i].get();
}

MBlockInstance* MListDB::Current() const { return VisibleEntry(selection_); }

void MListDB::Clear() {
  MBaseDB::Clear();
  entries_.clear();
  selection_ = -1;
  searchText_.clear();
  matches_.clear();
}

void MListDB::ClampSelection() {
  if (selection_ >= VisibleCount()) selection_ = VisibleCount() - 1;
}

void MListDB::AddFromData(std::string_view className, const MMapFile::Row& row, bool atSelection) {
  std::unique_ptr<MBlockInstance> block = NewBlock(className, row);
  if (block == nullptr) return;
  if (atSelection) {
    InsertAtSelection(std::move(block));
    SelectNext();
  } else {
    Add(std::move(block));
  }
}

void MListDB::AddRows(MMapFile& file, MMapFile::Data section) {
  const auto total = static_cast<std::int64_t>(file.RowCount(section));
  std::int64_t done = 0;
  BlockLoaders loaders(layout_, mapFile_);
  MMapFile::Row row;
  entries_.reserve(entries_.size() + file.RowCount(section));
  while (file.TakeRow(section, row)) {
    // A name that is no block class of the layout is dropped.
    if (std::unique_ptr<MBlockInstance> block =
            loaders.Load(row.empty() ? std::string_view() : row.front(), row))
      Append(std::move(block));
    if (++done % 256 == 0) base::ReportProgressOrCancel(done, total);
  }
  base::ReportProgressOrCancel(total, total);
}

void MListDB::ForEachRow(const std::function<void(const MRowView&)>& visit) const {
  RowMaker rows(mapFile_);
  for (const auto& block : entries_) visit(rows.Block(*block));
}

bool MListDB::CurrentRow(MMapFile::Row& row) const {
  const MBlockInstance* block = Current();
  if (block == nullptr) return false;
  row = BlockRow(*block);
  return true;
}

MBlockInstance* MListDB::Append(std::unique_ptr<MBlockInstance> block) {
  MBlockInstance* added = block.get();
  if (Searching() && added->MatchesSearch(searchText_)) matches_.push_back(added);
  entries_.push_back(std::move(block));
  if (selection_ == -1 && VisibleCount() > 0) selection_ = 0;
  modified_ = true;
  return added;
}

void MListDB::Add(MEntry entry) {
  if (!entry) return;
  if (!entry.IsBlock()) {
    Discard(std::move(entry));
    return;
  }
  MBlockInstance* added = Append(entry.TakeBlock());
  if (MUndoHistory* recorder = Recorder()) recorder->ListInserted(*this, {Count() - 1}, {added});
}

void MListDB::AddList(MEntryList entries) {
  MUndoHistory* recorder = Recorder();
  std::vector<int> indexes;
  std::vector<MBlockInstance*> added;
  for (MEntry& entry : entries) {
    if (!entry) continue;
    if (!entry.IsBlock()) {
      Discard(std::move(entry));
      continue;
    }
    MBlockInstance* block = Append(entry.TakeBlock());
    if (recorder != nullptr) {
      indexes.push_back(Count() - 1);
      added.push_back(block);
    }
  }
  if (recorder != nullptr) recorder->ListInserted(*this, std::move(indexes), std::move(added));
}

int MListDB::IndexOf(const MBlockInstance* block) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].get() == block) return static_cast<int>(i);
  }
  return -1;
}

void MListDB::SelectBlock(const MBlockInstance* block) {
  for (int i = 0; block != nullptr && i < VisibleCount(); ++i) {
    if (VisibleEntry(i) == block) {
      selection_ = i;
      return;
    }
  }
  selection_ = VisibleCount() > 0 ? std::clamp(selection_, 0, VisibleCount() - 1) : -1;
}

void MListDB::InsertAt(const std::vector<int>& indexes, std::vector<std::unique_ptr<MBlockInstance>> blocks) {
  const std::size_t count = std::min(indexes.size(), blocks.size());
  if (count == 0) return;
  // One merge: position k of the result takes the next inserted block when it is the next index.
  std::vector<std::unique_ptr<MBlockInstance>> merged;
  merged.reserve(entries_.size() + count);
  std::size_t next = 0, old = 0;
  while (next < count || old < entries_.size()) {
    if (next < count &&
        (static_cast<std::size_t>(indexes[next]) <= merged.size() || old == entries_.size())) {
      merged.push_back(std::move(blocks[next++]));
    } else {
      merged.push_back(std::move(entries_[old++]));
    }
  }
  std::erase_if(merged, [](const auto& block) { return block == nullptr; });
  entries_ = std::move(merged);
  RebuildMatches();
  modified_ = true;
}

std::vector<std::unique_ptr<MBlockInstance>> MListDB::TakeAt(const std::vector<int>& indexes) {
  std::vector<std::unique_ptr<MBlockInstance>> taken;
  for (const int index : indexes) {
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size() || entries_[index] == nullptr)
      continue;
    taken.push_back(std::move(entries_[static_cast<std::size_t>(index)]));
  }
  if (taken.empty()) return taken;
  std::erase_if(entries_, [](const auto& block) { return block == nullptr; });
  RebuildMatches();
  modified_ = true;
  return taken;
}

void MListDB::InsertAtSelection(std::unique_ptr<MBlockInstance> block) {
  if (block == nullptr) return;
  modified_ = true;
  MBlockInstance* added = block.get();
  if (selection_ == -1) {
    selection_ = 0;
    if (MUndoHistory* recorder = Recorder())
      recorder->ListInserted(*this, {static_cast<int>(entries_.size())}, {added});
    entries_.push_back(std::move(block));
    if (Searching()) {
      if (added->MatchesSearch(searchText_)) {
        matches_.push_back(added);
      } else {
        selection_ = -1;
      }
    }
    return;
  }
  int index = selection_;
  if (Searching()) {
    const MBlockInstance* selected = matches_[static_cast<std::size_t>(selection_)];
    const auto at = std::find_if(entries_.begin(), entries_.end(),
                                 [selected](const auto& entry) { return entry.get() == selected; });
    index = static_cast<int>(at - entries_.begin());
    entries_.insert(at, std::move(block));
    if (added->MatchesSearch(searchText_)) matches_.insert(matches_.begin() + selection_, added);
  } else {
    entries_.insert(entries_.begin() + selection_, std::move(block));
  }
  if (MUndoHistory* recorder = Recorder()) recorder->ListInserted(*this, {index}, {added});
}

MEntry MListDB::Remove() {
  if (selection_ == -1) return MEntry();
  modified_ = true;
  std::unique_ptr<MBlockInstance> taken;
  int index = selection_;
  if (Searching()) {
    const MBlockInstance* selected = matches_[static_cast<std::size_t>(selection_)];
    matches_.erase(matches_.begin() + selection_);
    const auto at = std::find_if(entries_.begin(), entries_.end(),
                                 [selected](const auto& entry) { return entry.get() == selected; });
    index = static_cast<int>(at - entries_.begin());
    taken = std::move(*at);
    entries_.erase(at);
  } else {
    taken = std::move(entries_[static_cast<std::size_t>(selection_)]);
    entries_.erase(entries_.begin() + selection_);
  }
  if (MUndoHistory* recorder = Recorder()) recorder->ListRemoved(*this, {index}, {taken.get()});
  ClampSelection();
  return taken;
}

MEntryList MListDB::RemoveAll() {
  MEntryList taken;
  if (selection_ == -1) return taken;
  MUndoHistory* recorder = Recorder();
  std::vector<int> indexes;
  if (Searching()) {
    if (matches_.empty()) return taken;
    // The matches are in the list's order: one pass separates them from the rest.
    std::vector<std::unique_ptr<MBlockInstance>> kept;
    kept.reserve(entries_.size() - matches_.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      auto& entry = entries_[i];
      if (next < matches_.size() && entry.get() == matches_[next]) {
        if (recorder != nullptr) indexes.push_back(static_cast<int>(i));
        taken.push_back(std::move(entry));
        ++next;
      } else {
        kept.push_back(std::move(entry));
      }
    }
    entries_ = std::move(kept);
    matches_.clear();
  } else {
    taken.reserve(entries_.size());
    for (auto& entry : entries_) {
      if (recorder != nullptr) indexes.push_back(static_cast<int>(taken.size()));
      taken.push_back(std::move(entry));
    }
    entries_.clear();
  }
  if (recorder != nullptr) {
    std::vector<MBlockInstance*> blocks;
    blocks.reserve(taken.size());
    for (const auto& entry : taken) blocks.push_back(entry.Block());
    recorder->ListRemoved(*this, std::move(indexes), std::move(blocks));
  }
  selection_ = -1;
  modified_ = true;
  return taken;
}
