// The placed-block database: the pages of a document (MMapDB). The unplaced list and the trash are in
// data/ListDB.h; blocks move between the three as owned objects.
//
// The pages hold one sequence of entries (blocks, "space", "newline", "newpage" and the final "eod")
// laid over the grid points of page 1, page 2, ... in reading order. Entries are only ever inserted
// before the cursor entry or taken out at the cursor; everything behind the change flows on through
// the grid, creating pages as needed and releasing pages emptied at the end. The flow goes only as
// far as entries move: where an entry lands on the point it stood on, everything behind it stays.
// Every page shows the layout's first form (layout/Page.h).
//
// The databases read block classes from the layout and the column order of block values from the
// block-field rows of the mapping data file they are given; both outlive them.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/BaseDB.h"
#include "layout/Form.h"
#include "layout/Page.h"

class MMapDB : public MBaseDB {
 public:
  MMapDB(const MLayout& layout, const MMapFile& mapFile);
  ~MMapDB() override;

  int Count() const override { return blockCount_; }
  // The entry at the cursor, or null.
  const MEntry* Current() const;
  // Where the cursor entry stands on the current page: its X1, Y1 and what it covers (a block's
  // bounds, a special entry's point). False when there is none.
  bool CurrentArea(double& x, double& y, MRect& bounds) const;
  void Clear() override;
  // A special word gives that entry; a name that is no block class of the layout gives a "space",
  // so that the entries after it keep their places.
  void AddFromData(std::string_view typeName, const MMapFile::Row& row, bool atCursor) override;
  // AddFromData of every row of a data section of file in order (their type names are their first
  // items), laid out in one flow: the same pages as adding them one by one, in one pass. The rows are
  // taken out of the file one at a time, so that a large document never holds all of its rows and
  // all of its blocks.
  void AddRows(MMapFile& file, MMapFile::Data section);
  // Inserts before the cursor entry; the cursor stays on that entry.
  void Add(MEntry entry) override;
  void AddList(MEntryList entries) override;
  // Takes the cursor entry out and closes the gap; none at the end of the data.
  MEntry Remove() override;
  // Every block in reading order; the other entries are released and the document is left with
  // page 1 holding the end of the data.
  MEntryList RemoveAll() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  // Page index + 1; null out of range.
  MPage* GetPage(int index) const;
  MPage* ActivePage() const { return GetPage(currentPage_ - 1); }
  // Appends a page of the layout's first form; it starts with the form texts of the page before it.
  // Nothing without a form.
  void AppendPage();
  // Without pages: page 1 from the layout's first form holding the end of the data, the cursor on it.
  // Stays without pages when the layout has no form or its first row no grid point.
  void CreateFirstPage();

  int CurrentPage() const { return currentPage_; }
  int CurrentRow() const { return currentRow_; }
  int CurrentColumn() const { return currentColumn_; }
  int BlockCount() const { return blockCount_; }

  void CursorPrevious();
  void CursorNext();
  void CursorUp();
  void CursorDown();
  void CursorRowStart();
  void CursorRowEnd();
  void CursorFirst();
  // The cursor on the end-of-data entry, so that additions follow everything placed.
  void CursorToEndOfData();
  // Row and column from the point (page units) on the current page.
  void CursorToPoint(double x, double y);
  void GoToPage(int page);
  void PreviousPage() { GoToPage(currentPage_ - 1); }
  void NextPage() { GoToPage(currentPage_ + 1); }
  // The entries as one sequence: reading order, counted from 0, the end of the data last.
  // The index of the cursor entry.
  int CursorIndex() const;
  // The cursor on the entry at index; on the end of the data when index is beyond it.
  void CursorToIndex(int index);
  // Inserts entries before the entry at index (Add at that cursor); the cursor stays on that entry.
  void InsertEntries(int index, MEntryList entries);
  // Takes up to count entries out from index on (never the end of the data), closing the gap once;
  // the cursor on the entry that follows them.
  MEntryList TakeEntries(int index, int count);

  // Moves the entry at (row, column) of the current page to just before the cursor entry. The
  // position must hold an entry other than the end of the data, and not be the cursor's own.
  void MoveToCursor(int row, int column);

  // The editable text at the point of the current page: the form's own texts first.
  MPageText TextAt(double x, double y) const;

  // Form texts of the pages: the value on startPage (explicit) and every page after it (inherited).
  void SetFormText(int startPage, std::string_view name, std::string_view value);
  // "<page>.<name>=<value>" or "<name>=<value>" (page 1); a line without "=" is ignored. A page that
  // is not a decimal integer of at least 1 raises base::Error.
  void ApplyFormDataLine(std::string_view line);
  // ApplyFormDataLine of every line in order, with the same result, each page's texts set once. A
  // line with a bad page number raises base::Error with the lines before it applied.
  void ApplyFormDataLines(const std::vector<std::string>& lines);
  void WriteFormData(std::vector<std::string>& lines) const;
  // A text of a block (child: its place in the class) gets value as MText::SetText sets it, the
  // database modified.
  void SetBlockText(MBlockInstance& block, std::size_t child, std::string_view value);

  // Whether some grid point of the pages accepts entries of this type name.
  bool Accepted(std::string_view typeName) const;
  // Blocks that came to be added while no grid point accepts their class are kept out of the flow
  // (special entries of such a kind are dropped): a sequence holding them could never be laid out.
  // The command that added them hands them on, so that nothing is lost.
  std::vector<std::unique_ptr<MBlockInstance>> TakeRefused();
  int RefusedCount() const { return static_cast<int>(refused_.size()); }

 private:
  struct Position {
    int page = 0, row = 0, column = 0;
    bool operator==(const Position&) const = default;
  };

  Position Cursor() const { return {currentPage_, currentRow_, currentColumn_}; }
  void SetCursor(const Position& p);
  // Changes the current page; a change redraws the whole view.
  void SetCurrentPage(int page);
  MPage* PageAt(const Position& p) const { return GetPage(p.page - 1); }
  const MEntry* EntryAt(const Position& p) const;
  // The position that follows p when entry stands there (null: an ordinary entry).
  Position Successor(const Position& p, const MEntry* entry) const;
  Position StepForward(const Position& p) const { return Successor(p, EntryAt(p)); }
  // The first position after p in plain point order that holds an entry; false when none does.
  bool NextOccupied(Position p, Position& found) const;
  // Pages released behind the end of the data, recorded for undo.
  struct Released {
    int firstPage = 0;
    std::vector<std::vector<MPage::TextState>> texts;
  };
  // Pulls the entries behind the empty point p back into it and the points after it.
  void CloseGap(Position p, Released* released);
  // Entries before position p in reading order.
  int IndexOf(const Position& p) const;
  // The position of the entry at index; false when the sequence is shorter.
  bool PositionOf(int index, Position& found) const;
  // Takes count entries out from the one at `at` on, stopping before the end of the data.
  MEntryList TakeAt(const Position& at, int count);
  Released ReleasePages(std::size_t keep);
  // Row r of the current page holds an entry in column c, else the nearest to its left, else the
  // nearest to its right: that column, or 0.
  int ColumnNear(int row, int column) const;
  // Reading order, up to the end of the data.
  void ForEachRow(const std::function<void(const MRowView&)>& visit) const override;
  // The entry a saved row stands for.
  MEntry EntryFromData(std::string_view typeName, const MMapFile::Row& row) const;
  bool CurrentRow(MMapFile::Row& row) const override;
  // Entries of this type name may stand on some point of the form: every page is a copy of it.
  struct Acceptance {
    std::string name;
    bool accepted = false;
  };

  std::vector<std::unique_ptr<MPage>> pages_;
  int currentPage_ = 0;
  int currentRow_ = 0;
  int currentColumn_ = 0;
  int blockCount_ = 0;
  std::vector<std::unique_ptr<MBlockInstance>> refused_;
  // The type names asked of Accepted, with the answer: a class name is asked for every block added.
  mutable std::vector<Acceptance> accepted_;
};
