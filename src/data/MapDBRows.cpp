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
#include "data/MapDB.h"
#include "data/UndoHistory.h"
#include "layout/ComputedText.h"
#include "layout/Invalidate.h"
#include "layout/Layout.h"
#include "layout/Shapes.h"
#include "layout/Specials.h"

// ---- MMapDB: rows

MEntry MMapDB::EntryFromData(std::string_view typeName, const MMapFile::Row& row) const {
  MEntry entry = NewSpecialEntry(typeName);
  if (!entry) entry = NewBlock(typeName, row);
  // An unknown type keeps its place as a blank, so that the entries after it keep theirs.
  if (!entry) entry = MEntry::Special(MKind::Space);
  return entry;
}

void MMapDB::AddFromData(std::string_view typeName, const MMapFile::Row& row, bool /*atCursor*/) {
  Add(EntryFromData(typeName, row));
}

void MMapDB::AddRows(MMapFile& file, MMapFile::Data section) {
  // A few hundred entries at a time, each laid out right after it was built: while its blocks are
  // still in the processor's cache. Every part goes before the cursor entry, so the order is kept.
  // Each part is also where the work tells how far it is, and where a cancel ends it (raising
  // base::Cancelled with the entries so far in place: the caller drops the document).
  constexpr std::size_t kPart = 256;
  const auto total = static_cast<std::int64_t>(file.RowCount(section));
  std::int64_t done = 0;
  MEntryList entries;
  entries.reserve(std::min(file.RowCount(section), kPart));
  BlockLoaders loaders(layout_, mapFile_);
  MMapFile::Row row;
  while (file.TakeRow(section, row)) {
    const std::string_view typeName = row.empty() ? std::string_view() : std::string_view(row.front());
    MEntry entry = NewSpecialEntry(typeName);
    if (!entry) entry = loaders.Load(typeName, row);
    if (!entry) entry = MEntry::Special(MKind::Space);
    entries.push_back(std::move(entry));
    if (entries.size() == kPart) {
      AddList(std::move(entries));
      entries.clear();
      entries.reserve(kPart);
      base::ReportProgressOrCancel(done += kPart, total);
    }
  }
  AddList(std::move(entries));
  base::ReportProgressOrCancel(total, total);
}

void MMapDB::ForEachRow(const std::function<void(const MRowView&)>& visit) const {
  RowMaker rows(mapFile_);
  for (const auto& page : pages_) {
    // A now-page text is saved as the number of the page its block stands on.
    const MPageScope scope(page->Number());
    for (int r = 1; r <= page->RowCount(); ++r) {
      for (int c = 1; c <= page->PointCount(r); ++c) {
        const MEntry* entry = page->EntryAt(r, c);
        if (entry == nullptr) continue;
        if (entry->IsEndOfData()) return;
        const MBlockInstance* block = entry->Block();
        visit(block != nullptr ? rows.Block(*block) : rows.Special(entry->Kind()));
      }
    }
  }
}

bool MMapDB::CurrentRow(MMapFile::Row& row) const {
  const MEntry* entry = Current();
  if (entry == nullptr || entry->IsEndOfData()) return false;
  const MPageScope scope(currentPage_);
  row = EntryRow(*entry);
  return true;
}

// ---- MMapDB: texts

MPageText MMapDB::TextAt(double x, double y) const {
  MPage* page = ActivePage();
  return page != nullptr ? page->FindEditableText(x, y) : MPageText();
}

void MMapDB::SetFormText(int startPage, std::string_view name, std::string_view value) {
  if (MUndoHistory* recorder = Recorder()) {
    // What the pages held, as runs: a value set on page 1 of a long document is one run.
    std::vector<std::pair<int, MPage::TextState>> before;
    for (int i = std::max(startPage, 1); i <= PageCount(); ++i) {
      MPage::TextState state;
      pages_[static_cast<std::size_t>(i - 1)]->FormTextState(name, state);
      if (!before.empty() && before.back().second == state) {
        ++before.back().first;
      } else {
        before.emplace_back(1, std::move(state));
      }
    }
    recorder->FormTextSet(std::max(startPage, 1), std::string(name), std::string(value), std::move(before));
  }
  for (int i = std::max(startPage, 1); i <= PageCount(); ++i)
    pages_[static_cast<std::size_t>(i - 1)]->SetFormText(name, value, i == startPage);
  modified_ = true;
}

void MMapDB::SetBlockText(MBlockInstance& block, std::size_t child, std::string_view value) {
  std::vector<std::string> before = block.TextLines(child);
  block.SetText(child, value);
  if (MUndoHistory* recorder = Recorder()) recorder->TextSet(block, child, std::move(before));
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
