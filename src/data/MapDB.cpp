#include "data/MapDB.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <unordered_map>

#include "base/CommaText.h"
#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Sjis.h"
#include "data/Clipboard.h"
#include "layout/Invalidate.h"
#include "layout/Layout.h"
#include "layout/Shapes.h"
#include "layout/Specials.h"

namespace {

void InvalidateView() {
  if (MBaseInvalidate* target = PageInvalidator()) target->InvalidateAll();
}

std::unique_ptr<MControl> NewSpecial(std::string_view typeName) {
  if (typeName == "space") return std::make_unique<MSpace>();
  if (typeName == "newline") return std::make_unique<MNewLine>();
  if (typeName == "newpage") return std::make_unique<MNewPage>();
  return nullptr;
}

bool IsEndOfData(const MControl* entry) { return entry != nullptr && entry->Kind() == MKind::EndOfData; }

std::unique_ptr<MBlock> AsBlock(std::unique_ptr<MControl> entry) {
  if (entry == nullptr || !entry->IsBlock()) return nullptr;
  return std::unique_ptr<MBlock>(static_cast<MBlock*>(entry.release()));
}

}  // namespace

// ---- MBaseDB

MBaseDB::MBaseDB(const MLayout& layout, const MMapFile& mapFile) : layout_(layout), mapFile_(mapFile) {}

MBaseDB::~MBaseDB() = default;

void MBaseDB::Clear() { modified_ = false; }

MMapFile::Row MBaseDB::EntryRow(const MControl& entry) const {
  MMapFile::Row row;
  if (const MBlock* block = As<MBlock>(&entry)) {
    block->SaveValues(row, mapFile_.FindBlockFields(block->Name));
  } else {
    row.push_back(entry.Name);
  }
  return row;
}

std::unique_ptr<MBlock> MBaseDB::NewBlock(std::string_view className, const MMapFile::Row& row) const {
  const MBlock* blockClass = layout_.FindBlock(className);
  if (blockClass == nullptr) return nullptr;
  std::unique_ptr<MBlock> block = blockClass->Clone();
  block->LoadValues(row, mapFile_.FindBlockFields(className));
  return block;
}

void MBaseDB::CopyEntry(MClipboard& clipboard) const {
  const MControl* entry = Current();
  if (entry == nullptr || IsEndOfData(entry)) return;
  const std::string text = base::EncodeCommaText(EntryRow(*entry));
  if (text.empty()) return;
  clipboard.SetData(kMapBlockFormat, text);
}

void MBaseDB::PasteEntry(const MClipboard& clipboard) {
  std::string bytes;
  if (!clipboard.GetData(kMapBlockFormat, bytes)) return;
  // The data is text: a zero byte ends it.
  const std::size_t zero = bytes.find('\0');
  if (zero != std::string::npos) bytes.resize(zero);
  const MMapFile::Row row = base::DecodeCommaText(bytes);
  if (row.empty()) return;
  AddFromData(row.front(), row, true);
}

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
  for (std::unique_ptr<MControl>& entry : entries) {
    if (entry == nullptr) continue;
    // An entry that no point takes would wait at the head of the flow while pages were appended
    // without end; it stays out of the sequence.
    if (!Accepted(entry->Name) || IsEndOfData(entry.get())) {
      if (std::unique_ptr<MBlock> block = AsBlock(std::move(entry))) refused_.push_back(std::move(block));
      continue;
    }
    if (entry->IsBlock()) ++blockCount_;
    queue.push_back(std::move(entry));
  }
  if (queue.empty()) return;

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
  }
  CursorNext();
  modified_ = true;
}

void MMapDB::CloseGap(Position p) {
  while (true) {
    MGridPoint* gap = PointAt(p);
    if (gap == nullptr || gap->Block != nullptr) return;
    Position from;
    if (!NextOccupied(p, from)) return;
    MGridPoint* source = PointAt(from);
    while (!gap->Accepts(source->Block->Name)) {
      p = StepForward(p);
      gap = PointAt(p);
      if (gap == nullptr || gap->Block != nullptr) return;  // nothing more can be pulled back
    }
    std::unique_ptr<MControl> entry = source->Remove();
    const bool endOfData = IsEndOfData(entry.get());
    gap->Place(entry);
    if (endOfData) {
      // Pages behind the end of the data are empty now.
      pages_.resize(static_cast<std::size_t>(p.page));
      return;
    }
    p = StepForward(p);
  }
}

std::unique_ptr<MControl> MMapDB::Remove() {
  const MControl* current = Current();
  if (current == nullptr || IsEndOfData(current)) return nullptr;
  const Position at = Cursor();
  CursorPrevious();
  SetCursor(Cursor() == at ? Position{1, 1, 1} : Successor(Cursor(), Current()));
  std::unique_ptr<MControl> entry = PointAt(at)->Remove();
  if (entry->IsBlock()) --blockCount_;
  CloseGap(Cursor());
  if (Current() == nullptr) CursorNext();
  modified_ = true;
  return entry;
}

MEntryList MMapDB::RemoveAll() {
  MEntryList blocks;
  if (pages_.empty()) return blocks;
  std::unique_ptr<MControl> endOfData;
  for (const auto& page : pages_) {
    for (MGridRow& row : page->Grid.Rows) {
      for (const auto& point : row) {
        std::unique_ptr<MControl> entry = point->Remove();
        if (entry == nullptr) continue;
        if (entry->IsBlock()) {
          blocks.push_back(std::move(entry));
        } else if (IsEndOfData(entry.get())) {
          endOfData = std::move(entry);
        }
      }
    }
  }
  pages_.resize(1);  // page 1 keeps its form texts
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

// ---- MMapDB: rows

std::unique_ptr<MControl> MMapDB::EntryFromData(std::string_view typeName, const MMapFile::Row& row) const {
  std::unique_ptr<MControl> entry = NewSpecial(typeName);
  if (entry == nullptr) entry = NewBlock(typeName, row);
  // An unknown type keeps its place as a blank, so that the entries after it keep theirs.
  if (entry == nullptr) entry = std::make_unique<MSpace>();
  return entry;
}

void MMapDB::AddFromData(std::string_view typeName, const MMapFile::Row& row, bool /*atCursor*/) {
  Add(EntryFromData(typeName, row));
}

void MMapDB::AddRows(MMapFile::Rows&& rows) {
  // A few hundred entries at a time, each laid out right after it was built: while its blocks are
  // still in the processor's cache. Every part goes before the cursor entry, so the order is kept.
  constexpr std::size_t kPart = 256;
  MEntryList entries;
  entries.reserve(std::min(rows.size(), kPart));
  for (MMapFile::Row& row : rows) {
    entries.push_back(EntryFromData(row.empty() ? std::string_view() : std::string_view(row.front()), row));
    MMapFile::Row().swap(row);
    if (entries.size() == kPart) {
      AddList(std::move(entries));
      entries.clear();
      entries.reserve(kPart);
    }
  }
  MMapFile::Rows().swap(rows);
  AddList(std::move(entries));
}

void MMapDB::SaveTo(MMapFile::Rows& rows) const {
  for (const auto& page : pages_) {
    for (const MGridRow& row : page->Grid.Rows) {
      for (const auto& point : row) {
        const MControl* entry = point->Block.get();
        if (entry == nullptr) continue;
        if (IsEndOfData(entry)) return;
        rows.push_back(EntryRow(*entry));
      }
    }
  }
}

// ---- MMapDB: texts

MText* MMapDB::TextAt(double x, double y) const {
  MForm* page = ActivePage();
  return page != nullptr ? page->FindEditableText(x, y) : nullptr;
}

int MMapDB::PageOfText(const MControl* element) const {
  for (int i = 0; i < PageCount(); ++i) {
    if (pages_[static_cast<std::size_t>(i)]->Contains(element)) return i + 1;
  }
  return 0;
}

void MMapDB::SetFormText(int startPage, std::string_view name, std::string_view value) {
  for (int i = std::max(startPage, 1); i <= PageCount(); ++i)
    pages_[static_cast<std::size_t>(i - 1)]->SetFormText(name, value, i == startPage);
  modified_ = true;
}

namespace {

// One "form_data" line taken apart.
struct FormDataLine {
  int page = 1;
  std::string_view name;
  std::string_view value;
};

// False for a line without "="; raises base::Error for a page that is not a decimal integer >= 1.
bool ParseFormDataLine(std::string_view line, FormDataLine& out) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  const std::string_view key = base::Trim(line.substr(0, equals));
  out.value = base::Trim(line.substr(equals + 1));
  out.page = 1;
  out.name = key;
  const std::size_t dot = key.find('.');
  if (dot != std::string_view::npos) {
    if (!base::ParseInt(key.substr(0, dot), out.page) || out.page < 1) {
      throw base::Error(base::Utf8ToSjis("フォームデータの行のページ番号が正しくありません: ") +
                        std::string(line));
    }
    out.name = key.substr(dot + 1);
  }
  return true;
}

}  // namespace

void MMapDB::ApplyFormDataLine(std::string_view line) {
  FormDataLine parsed;
  if (!ParseFormDataLine(line, parsed)) return;
  const std::string text = pages_.empty() ? std::string(parsed.value)
                                          : pages_.front()->FormTextFromData(parsed.name, parsed.value);
  SetFormText(parsed.page, parsed.name, text);
}

void MMapDB::ApplyFormDataLines(const std::vector<std::string>& lines) {
  // Per name, what the lines so far leave on the pages: from each start page on, a value (explicit on
  // the start page). A line for page s drops every start at or after s, as setting it page by page
  // would overwrite them; the pages are then set once each.
  struct Settings {
    std::string name;
    std::map<int, std::string> fromPage;
  };
  std::vector<Settings> settings;
  const auto apply = [this, &settings] {
    for (const Settings& s : settings) {
      for (auto at = s.fromPage.begin(); at != s.fromPage.end(); ++at) {
        const auto next = std::next(at);
        const int end = next == s.fromPage.end() ? PageCount() : std::min(next->first - 1, PageCount());
        for (int page = at->first; page <= end; ++page)
          pages_[static_cast<std::size_t>(page - 1)]->SetFormText(s.name, at->second, page == at->first);
      }
    }
    modified_ = true;
  };
  for (const std::string& line : lines) {
    FormDataLine parsed;
    try {
      if (!ParseFormDataLine(line, parsed)) continue;
    } catch (...) {
      apply();
      throw;
    }
    auto found = std::find_if(settings.begin(), settings.end(),
                              [&parsed](const Settings& s) { return s.name == parsed.name; });
    if (found == settings.end())
      found = settings.insert(settings.end(), Settings{std::string(parsed.name), {}});
    found->fromPage.erase(found->fromPage.lower_bound(parsed.page), found->fromPage.end());
    found->fromPage[parsed.page] = pages_.empty()
                                       ? std::string(parsed.value)
                                       : pages_.front()->FormTextFromData(parsed.name, parsed.value);
  }
  if (!lines.empty()) apply();
}

void MMapDB::WriteFormData(std::vector<std::string>& lines) const {
  for (int i = 0; i < PageCount(); ++i) pages_[static_cast<std::size_t>(i)]->WriteFormData(i + 1, lines);
}

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

void MListDB::Select(int index) {
  if (index >= 0 && index < VisibleCount()) selection_ = index;
}

void MListDB::SelectPrevious() {
  if (selection_ > 0) --selection_;
}

void MListDB::SelectNext() {
  if (selection_ < VisibleCount() - 1) ++selection_;
}

namespace {

// MBlock::MatchesSearch with the search text folded once for a whole list: the search elements'
// texts, folded, hold the folded search text on a character boundary.
class SearchMatcher {
 public:
  explicit SearchMatcher(std::string_view text) : folded_(base::UpperCase(text)) {}

  bool operator()(const MBlock& block) const {
    for (const auto& child : block.Children) {
      if (IndexOfName(block.SearchElements, child->Name) < 0) continue;
      const MText* text = As<MText>(child.get());
      if (text == nullptr) continue;
      // A one-line text is its line: no copy.
      const bool found = text->Lines.size() == 1 ? Holds(text->Lines.front()) : Holds(text->GetText());
      if (found) return true;
    }
    return false;
  }

 private:
  bool Holds(std::string_view hay) const {
    return base::FindBytes(base::UpperCase(hay), folded_) != std::string_view::npos;
  }

  std::string folded_;
};

}  // namespace

void MListDB::SetSearch(std::string_view text) {
  if (text == searchText_) return;
  searchText_.clear();
  matches_.clear();
  selection_ = -1;
  if (!text.empty()) {
    searchText_ = text;
    const SearchMatcher matches(searchText_);
    for (const auto& entry : entries_) {
      if (matches(*entry)) matches_.push_back(entry.get());
    }
    if (!matches_.empty()) selection_ = 0;
  } else if (!entries_.empty()) {
    selection_ = 0;
  }
}

std::unique_ptr<MBlock> MListDB::TakeByKey(std::string_view className, const std::vector<std::string>& keys) {
  for (auto at = entries_.begin(); at != entries_.end(); ++at) {
    if ((*at)->Name != className || !(*at)->MatchesKeys(keys)) continue;
    std::unique_ptr<MBlock> taken = std::move(*at);
    entries_.erase(at);
    // Meant for lists without a search; with one, the match goes too.
    std::erase(matches_, taken.get());
    ClampSelection();
    modified_ = true;
    return taken;
  }
  return nullptr;
}

namespace {

// What a block's key elements demand of a key: per key position either a fixed text or anything
// (the block has no element of that name). A block whose key element is not a text, or two of whose
// key elements at one position differ, matches no key at all.
struct KeyShape {
  bool matchable = true;
  std::string mask;                // per key position: '1' fixed, '0' anything
  std::vector<std::string> fixed;  // the fixed texts, per position ("" where mask is '0')
};

KeyShape ShapeOf(const MBlock& block) {
  KeyShape shape;
  const std::size_t count = block.KeyElements.size();
  shape.mask.assign(count, '0');
  shape.fixed.resize(count);
  for (const auto& child : block.Children) {
    const int k = IndexOfName(block.KeyElements, child->Name);
    if (k < 0) continue;
    const MText* text = As<MText>(child.get());
    if (text == nullptr) {
      shape.matchable = false;
      return shape;
    }
    const auto i = static_cast<std::size_t>(k);
    std::string value = text->GetText();
    if (shape.mask[i] == '1' && shape.fixed[i] != value) {
      shape.matchable = false;
      return shape;
    }
    shape.mask[i] = '1';
    shape.fixed[i] = std::move(value);
  }
  return shape;
}

// The index key: class name, mask, then the texts at the fixed positions, each with its length so
// that no text can pass for another.
std::string IndexKey(std::string_view className, const std::string& mask,
                     const std::vector<std::string>& texts) {
  std::string key(className);
  key += '\0';
  key += mask;
  for (std::size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] != '1') continue;
    const std::string_view text = i < texts.size() ? std::string_view(texts[i]) : std::string_view();
    key += '\0';
    key += std::to_string(text.size());
    key += ':';
    key += text;
  }
  return key;
}

}  // namespace

std::vector<std::unique_ptr<MBlock>> MListDB::TakeByKeys(const std::vector<MKeyQuery>& queries) {
  std::vector<std::unique_ptr<MBlock>> results(queries.size());
  if (Searching()) {
    for (std::size_t q = 0; q < queries.size(); ++q)
      results[q] = TakeByKey(queries[q].ClassName, queries[q].Keys);
    return results;
  }

  // Blocks by the keys they match, each bucket in list order.
  struct Bucket {
    std::vector<std::size_t> indexes;
    std::size_t head = 0;  // indexes before it are taken
  };
  std::unordered_map<std::string, Bucket> buckets;
  std::unordered_map<std::string, std::vector<std::string>> masksOfClass;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const MBlock& block = *entries_[i];
    const KeyShape shape = ShapeOf(block);
    if (!shape.matchable) continue;
    std::vector<std::string>& masks = masksOfClass[block.Name];
    if (std::find(masks.begin(), masks.end(), shape.mask) == masks.end()) masks.push_back(shape.mask);
    buckets[IndexKey(block.Name, shape.mask, shape.fixed)].indexes.push_back(i);
  }

  bool tookAny = false;
  for (std::size_t q = 0; q < queries.size(); ++q) {
    const auto masks = masksOfClass.find(queries[q].ClassName);
    if (masks == masksOfClass.end()) continue;
    Bucket* best = nullptr;
    for (const std::string& mask : masks->second) {
      const auto hit = buckets.find(IndexKey(queries[q].ClassName, mask, queries[q].Keys));
      if (hit == buckets.end()) continue;
      Bucket& bucket = hit->second;
      if (bucket.head == bucket.indexes.size()) continue;
      if (best == nullptr || bucket.indexes[bucket.head] < best->indexes[best->head]) best = &bucket;
    }
    if (best == nullptr) continue;
    results[q] = std::move(entries_[best->indexes[best->head++]]);
    tookAny = true;
  }
  if (tookAny) {
    std::erase_if(entries_, [](const auto& entry) { return entry == nullptr; });
    ClampSelection();
    modified_ = true;
  }
  return results;
}
