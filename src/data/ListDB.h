// The unplaced list (MUnmapDB) and the trash (MTrashDB): blocks in order, one of them selected, and
// a search that narrows what the side pane shows.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/BaseDB.h"

// One look-up of the same-position mapping: a class name and one key text per key element.
struct MKeyQuery {
  std::string ClassName;
  std::vector<std::string> Keys;
};

class MListDB : public MBaseDB {
 public:
  MListDB(const MLayout& layout, const MMapFile& mapFile);
  ~MListDB() override;

  int Count() const override { return static_cast<int>(entries_.size()); }
  // The selected block, or null.
  MBlockInstance* Current() const;
  void Clear() override;
  // A name that is no block class of the layout is dropped.
  void AddFromData(std::string_view className, const MMapFile::Row& row, bool atSelection) override;
  // AddFromData of every row of a data section of file, appended in order; the rows are taken out
  // of the file one at a time.
  void AddRows(MMapFile& file, MMapFile::Data section);
  // Appends a block; anything else is released (the lists hold blocks only).
  void Add(MEntry entry) override;
  void AddList(MEntryList entries) override;
  // The selected block.
  MEntry Remove() override;
  // Every visible block.
  MEntryList RemoveAll() override;

  // The visible list: the matches of the search when one is set, else every block.
  int VisibleCount() const;
  MBlockInstance* VisibleEntry(int index) const;
  int Selection() const { return selection_; }
  // Selects an item of the visible list; other indexes change nothing.
  void Select(int index);
  void SelectPrevious();
  void SelectNext();
  // Inserts before the selected block; the new block becomes the selected one when it is visible.
  void InsertAtSelection(std::unique_ptr<MBlockInstance> block);

  const std::string& SearchText() const { return searchText_; }
  // Narrows the visible list to the blocks whose search texts contain text (without regard to case);
  // an empty text shows every block.
  void SetSearch(std::string_view text);

  // Takes out the first block of the class (exact name) whose key texts equal keys; null for none.
  std::unique_ptr<MBlockInstance> TakeByKey(std::string_view className, const std::vector<std::string>& keys);
  // TakeByKey for each query in order, through a key index: result i is what the i-th call would
  // have taken, or null.
  std::vector<std::unique_ptr<MBlockInstance>> TakeByKeys(const std::vector<MKeyQuery>& queries);

  const std::vector<std::unique_ptr<MBlockInstance>>& Entries() const { return entries_; }
  // The block's index in the whole list; -1 when it is not there.
  int IndexOf(const MBlockInstance* block) const;
  // Selects the block when the visible list shows it; otherwise the selection stays within the list.
  void SelectBlock(const MBlockInstance* block);
  // Inserts blocks so that they stand at indexes of the whole list (ascending, counted after the
  // insertion), in one pass.
  void InsertAt(const std::vector<int>& indexes, std::vector<std::unique_ptr<MBlockInstance>> blocks);
  // Takes out the blocks at indexes of the whole list (ascending), in one pass.
  std::vector<std::unique_ptr<MBlockInstance>> TakeAt(const std::vector<int>& indexes);

 private:
  // Every block, also those hidden by a search.
  void ForEachRow(const std::function<void(const MRowView&)>& visit) const override;
  bool CurrentRow(MMapFile::Row& row) const override;
  // Appends a block, keeping the search's matches and the selection; returns it.
  MBlockInstance* Append(std::unique_ptr<MBlockInstance> block);
  // The search's matches again after blocks came or went other than one at a time.
  void RebuildMatches();
  bool Searching() const { return !searchText_.empty(); }
  // After blocks were taken out: the selection kept within the visible list.
  void ClampSelection();

  std::vector<std::unique_ptr<MBlockInstance>> entries_;
  int selection_ = -1;
  std::string searchText_;
  std::vector<MBlockInstance*> matches_;  // in entries_ order; used only while a search is set
};

class MUnmapDB : public MListDB {
 public:
  using MListDB::MListDB;
};

class MTrashDB : public MListDB {
 public:
  using MListDB::MListDB;
};
