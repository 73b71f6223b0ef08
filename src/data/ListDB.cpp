#include "data/ListDB.h"

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

MBlock* MListDB::VisibleEntry(int index) const {
  if (index < 0 || index >= VisibleCount()) return nullptr;
  const auto i = static_cast<std::size_t>(index);
  return Searching() ? matches_[i] : entries_[i].get();
}

MControl* MListDB::Current() const { return VisibleEntry(selection_); }

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
  std::unique_ptr<MBlock> block = NewBlock(className, row);
  if (block == nullptr) return;
  if (atSelection) {
    InsertAtSelection(std::move(block));
    SelectNext();
  } else {
    Add(std::move(block));
  }
}

void MListDB::ForEachRow(const std::function<void(const MMapFile::Row&)>& visit) const {
  for (const auto& block : entries_) visit(EntryRow(*block));
}

MBlock* MListDB::Append(std::unique_ptr<MBlock> block) {
  MBlock* added = block.get();
  if (Searching() && added->MatchesSearch(searchText_)) matches_.push_back(added);
  entries_.push_back(std::move(block));
  if (selection_ == -1 && VisibleCount() > 0) selection_ = 0;
  modified_ = true;
  return added;
}

void MListDB::Add(std::unique_ptr<MControl> entry) {
  if (entry == nullptr) return;
  if (!entry->IsBlock()) {
    Discard(std::move(entry));
    return;
  }
  MBlock* added = Append(AsBlock(std::move(entry)));
  if (MUndoHistory* recorder = Recorder()) recorder->ListInserted(*this, {Count() - 1}, {added});
}

void MListDB::AddList(MEntryList entries) {
  MUndoHistory* recorder = Recorder();
  std::vector<int> indexes;
  std::vector<MBlock*> added;
  for (std::unique_ptr<MControl>& entry : entries) {
    if (entry == nullptr) continue;
    if (!entry->IsBlock()) {
      Discard(std::move(entry));
      continue;
    }
    MBlock* block = Append(AsBlock(std::move(entry)));
    if (recorder != nullptr) {
      indexes.push_back(Count() - 1);
      added.push_back(block);
    }
  }
  if (recorder != nullptr) recorder->ListInserted(*this, std::move(indexes), std::move(added));
}

int MListDB::IndexOf(const MBlock* block) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].get() == block) return static_cast<int>(i);
  }
  return -1;
}

void MListDB::SelectBlock(const MBlock* block) {
  for (int i = 0; block != nullptr && i < VisibleCount(); ++i) {
    if (VisibleEntry(i) == block) {
      selection_ = i;
      return;
    }
  }
  selection_ = VisibleCount() > 0 ? std::clamp(selection_, 0, VisibleCount() - 1) : -1;
}

void MListDB::InsertAt(const std::vector<int>& indexes, std::vector<std::unique_ptr<MBlock>> blocks) {
  const std::size_t count = std::min(indexes.size(), blocks.size());
  if (count == 0) return;
  // One merge: position k of the result takes the next inserted block when it is the next index.
  std::vector<std::unique_ptr<MBlock>> merged;
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

std::vector<std::unique_ptr<MBlock>> MListDB::TakeAt(const std::vector<int>& indexes) {
  std::vector<std::unique_ptr<MBlock>> taken;
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

void MListDB::InsertAtSelection(std::unique_ptr<MBlock> block) {
  if (block == nullptr) return;
  modified_ = true;
  MBlock* added = block.get();
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
    const MBlock* selected = matches_[static_cast<std::size_t>(selection_)];
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

std::unique_ptr<MControl> MListDB::Remove() {
  if (selection_ == -1) return nullptr;
  modified_ = true;
  std::unique_ptr<MBlock> taken;
  int index = selection_;
  if (Searching()) {
    const MBlock* selected = matches_[static_cast<std::size_t>(selection_)];
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
    std::vector<std::unique_ptr<MBlock>> kept;
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
    std::vector<MBlock*> blocks;
    blocks.reserve(taken.size());
    for (const auto& entry : taken) blocks.push_back(static_cast<MBlock*>(entry.get()));
    recorder->ListRemoved(*this, std::move(indexes), std::move(blocks));
  }
  selection_ = -1;
  modified_ = true;
  return taken;
}
