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

void MListDB::SaveTo(MMapFile::Rows& rows) const {
  for (const auto& block : entries_) rows.push_back(EntryRow(*block));
}

void MListDB::Add(std::unique_ptr<MControl> entry) {
  std::unique_ptr<MBlock> block = AsBlock(std::move(entry));
  if (block == nullptr) return;
  MBlock* added = block.get();
  entries_.push_back(std::move(block));
  if (Searching() && added->MatchesSearch(searchText_)) matches_.push_back(added);
  if (selection_ == -1 && VisibleCount() > 0) selection_ = 0;
  modified_ = true;
}

void MListDB::AddList(MEntryList entries) {
  for (std::unique_ptr<MControl>& entry : entries) Add(std::move(entry));
}

void MListDB::InsertAtSelection(std::unique_ptr<MBlock> block) {
  if (block == nullptr) return;
  modified_ = true;
  MBlock* added = block.get();
  if (selection_ == -1) {
    selection_ = 0;
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
  if (Searching()) {
    const MBlock* selected = matches_[static_cast<std::size_t>(selection_)];
    const auto at = std::find_if(entries_.begin(), entries_.end(),
                                 [selected](const auto& entry) { return entry.get() == selected; });
    entries_.insert(at, std::move(block));
    if (added->MatchesSearch(searchText_)) matches_.insert(matches_.begin() + selection_, added);
  } else {
    entries_.insert(entries_.begin() + selection_, std::move(block));
  }
}

std::unique_ptr<MControl> MListDB::Remove() {
  if (selection_ == -1) return nullptr;
  modified_ = true;
  std::unique_ptr<MBlock> taken;
  if (Searching()) {
    const MBlock* selected = matches_[static_cast<std::size_t>(selection_)];
    matches_.erase(matches_.begin() + selection_);
    const auto at = std::find_if(entries_.begin(), entries_.end(),
                                 [selected](const auto& entry) { return entry.get() == selected; });
    taken = std::move(*at);
    entries_.erase(at);
  } else {
    taken = std::move(entries_[static_cast<std::size_t>(selection_)]);
    entries_.erase(entries_.begin() + selection_);
  }
  ClampSelection();
  return taken;
}

MEntryList MListDB::RemoveAll() {
  MEntryList taken;
  if (selection_ == -1) return taken;
  if (Searching()) {
    if (matches_.empty()) return taken;
    // The matches are in the list's order: one pass separates them from the rest.
    std::vector<std::unique_ptr<MBlock>> kept;
    kept.reserve(entries_.size() - matches_.size());
    std::size_t next = 0;
    for (auto& entry : entries_) {
      if (next < matches_.size() && entry.get() == matches_[next]) {
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
    for (auto& entry : entries_) taken.push_back(std::move(entry));
    entries_.clear();
  }
  selection_ = -1;
  modified_ = true;
  return taken;
}
