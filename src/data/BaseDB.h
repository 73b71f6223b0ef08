// The common base of the three block databases of a document (data/MapDB.h, data/ListDB.h): a
// modified flag and the operations that the commands call on any of them. Blocks move between the
// databases as owned objects (layout/Entry.h), each its class and its own values
// (layout/BlockInstance.h).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/MapFile.h"
#include "layout/BlockInstance.h"
#include "layout/Containers.h"
#include "layout/Controls.h"
#include "layout/Entry.h"
#include "layout/Shapes.h"

class MClipboard;
class MLayout;
class MUndoHistory;

// The items of a row as views: the values of a block read where they are stored.
using MRowView = std::vector<std::string_view>;

class MBaseDB {
 public:
  MBaseDB(const MLayout& layout, const MMapFile& mapFile);
  virtual ~MBaseDB();
  MBaseDB(const MBaseDB&) = delete;
  MBaseDB& operator=(const MBaseDB&) = delete;

  // Blocks held (special entries not counted).
  virtual int Count() const = 0;
  // Releases everything; Modified becomes false.
  virtual void Clear();
  // Builds an entry from a saved row (item 0 its type name) and adds it; atCursor asks the lists to
  // insert at their selection instead of appending.
  virtual void AddFromData(std::string_view typeName, const MMapFile::Row& row, bool atCursor) = 0;
  // Appends one row per entry, in order.
  void SaveTo(MMapFile::Rows& rows) const;
  // The same rows as lines of the data file: comma text, each followed by CR LF.
  void WriteRows(std::string& out) const;
  virtual void Add(MEntry entry) = 0;
  virtual void AddList(MEntryList entries) = 0;
  // Takes the current entry out; none when there is none to take.
  virtual MEntry Remove() = 0;
  // Takes out every block; empty when there was none.
  virtual MEntryList RemoveAll() = 0;
  // Puts the current entry's row on the clipboard; nothing for no entry or the end of the data.
  virtual void CopyEntry(MClipboard& clipboard) const;
  // Adds the entry whose row is on the clipboard, at the cursor or selection.
  virtual void PasteEntry(const MClipboard& clipboard);

  // The history that records this database's changes while a command runs; null: none.
  void SetHistory(MUndoHistory* history) { history_ = history; }

  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }
  void ResetModified() { modified_ = false; }

  // The row that saving writes for the entry: the special word alone, or the class name followed by
  // the values in the column order of the class's block-field row.
  MMapFile::Row EntryRow(const MEntry& entry) const;
  MMapFile::Row BlockRow(const MBlockInstance& block) const;

 protected:
  // A new block of the class named exactly className holding the values of row; null when the
  // layout has no such class.
  std::unique_ptr<MBlockInstance> NewBlock(std::string_view className, const MMapFile::Row& row) const;

  // Blocks of the layout's classes from the rows of a data section, each class's keys found once.
  class BlockLoaders {
   public:
    BlockLoaders(const MLayout& layout, const MMapFile& mapFile) : layout_(layout), mapFile_(mapFile) {}
    // As NewBlock.
    std::unique_ptr<MBlockInstance> Load(std::string_view className, const MMapFile::Row& row);

   private:
    struct Known {
      std::string name;
      std::unique_ptr<MBlockInstance::Loader> loader;  // null: no such class
    };
    const MLayout& layout_;
    const MMapFile& mapFile_;
    std::vector<Known> known_;
    std::size_t last_ = 0;  // rows of a class mostly come in runs
  };
  // The rows of blocks as the data file holds them, their keys found once per class.
  class RowMaker {
   public:
    explicit RowMaker(const MMapFile& mapFile) : mapFile_(mapFile) {}
    // The row of a special entry or of a block; valid until the next call.
    const MRowView& Special(MKind kind);
    const MRowView& Block(const MBlockInstance& block);

   private:
    const MMapFile& mapFile_;
    const MBlock* class_ = nullptr;  // the class whose keys slots_ holds
    std::vector<MBlock::ValueSlot> slots_;
    MRowView row_;
    std::vector<std::string> scratch_;  // values that are no stored strings
  };
  // Calls visit with the row of each entry, in order; the row is valid during the call only.
  virtual void ForEachRow(const std::function<void(const MRowView&)>& visit) const = 0;
  // The row of the current entry; false when there is none (or it is the end of the data).
  virtual bool CurrentRow(MMapFile::Row& row) const = 0;

  // The history while it records a step; null otherwise.
  MUndoHistory* Recorder() const;
  // Lets go of an entry taken out of the database: the recording step keeps it, else it is released.
  void Discard(MEntry entry) const;

  const MLayout& layout_;
  const MMapFile& mapFile_;
  bool modified_ = false;
  MUndoHistory* history_ = nullptr;
};
