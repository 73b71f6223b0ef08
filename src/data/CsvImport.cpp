#include "data/CsvImport.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <deque>
#include <unordered_map>

#include "base/Error.h"
#include "base/Sjis.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"
#include "data/MapIni.h"
#include "layout/BlockInstance.h"
#include "layout/ComputedText.h"
#include "layout/Containers.h"
#include "layout/Layout.h"
#include "layout/Shapes.h"

namespace {

// A larger file is no table of records but a wrong choice (a disk image, a video): refused unread.
constexpr long long kMaxCsvFileSize = 1LL << 30;
constexpr std::string_view kBreakTag = "<br>";
constexpr std::string_view kVisibleSuffix = ".visible";

bool HoldsValue(const MControl& child) {
  return !child.Name.empty() &&
         (As<MText>(&child) != nullptr || As<MImage>(&child) != nullptr || As<MBarcode>(&child) != nullptr);
}

bool Listed(const std::vector<MCsvField>& fields, std::string_view key) {
  return std::any_of(fields.begin(), fields.end(),
                     [key](const MCsvField& field) { return base::SameText(field.Key, key); });
}

MCsvField FieldOf(const MBlock& blockClass, std::string key) {
  MCsvField field;
  // The marks are the child's: a visible flag is no key, face or search text.
  if (key.find('.') == std::string::npos) {
    field.IsKey = IndexOfName(blockClass.KeyElements, key) >= 0;
    field.IsFace = base::SameText(blockClass.FaceElement, key);
    field.IsThumbnail = IndexOfName(blockClass.ThumbnailElements, key) >= 0;
    field.IsSearch = IndexOfName(blockClass.SearchElements, key) >= 0;
  }
  field.Key = std::move(key);
  return field;
}

// Line breaks inside a field as the data file holds them in a one-line value.
std::string BreaksToTags(std::string_view value) {
  std::string out;
  out.reserve(value.size() + 8);
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\r') {
      if (i + 1 < value.size() && value[i + 1] == '\n') ++i;
      out += kBreakTag;
    } else if (value[i] == '\n') {
      out += kBreakTag;
    } else {
      out += value[i];
    }
  }
  return out;
}

base::Error CsvError(std::string_view message) { return base::Error(base::Utf8ToSjis(message)); }

}  // namespace

std::vector<MCsvField> CsvClassFields(const MBlock& blockClass, const MMapFile::Row* blockFields) {
  std::vector<MCsvField> fields;
  if (blockFields != nullptr) {
    for (std::size_t i = 1; i < blockFields->size(); ++i) {
      if (!(*blockFields)[i].empty() && !Listed(fields, (*blockFields)[i]))
        fields.push_back(FieldOf(blockClass, (*blockFields)[i]));
    }
  }
  for (const auto& child : blockClass.Children) {
    if (HoldsValue(*child) && !Listed(fields, child->Name))
      fields.push_back(FieldOf(blockClass, child->Name));
  }
  for (const auto& child : blockClass.Children) {
    const std::string key = child->Name + std::string(kVisibleSuffix);
    if (!child->Name.empty() && !Listed(fields, key)) fields.push_back(FieldOf(blockClass, key));
  }
  return fields;
}

std::size_t CsvPositionalFieldCount(const MBlock& blockClass, const MMapFile::Row* blockFields) {
  std::vector<std::string> seen;
  std::size_t count = 0;
  const auto add = [&](const std::string& key) {
    for (const std::string& s : seen) {
      if (base::SameText(s, key)) return;
    }
    seen.push_back(key);
    ++count;
  };
  if (blockFields != nullptr) {
    for (std::size_t i = 1; i < blockFields->size(); ++i) {
      if (!(*blockFields)[i].empty()) add((*blockFields)[i]);
    }
  }
  for (const auto& child : blockClass.Children) {
    if (HoldsValue(*child)) add(child->Name);
  }
  return count;
}

std::string ReadCsvFile(std::string_view path) {
  struct stat st {};
  if (::stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > kMaxCsvFileSize) {
    throw base::Error(base::Utf8ToSjis("ファイル \"") + std::string(path) +
                      base::Utf8ToSjis("\" は 1 GB を超えているため読み込めません。"));
  }
  return ReadDocumentFile(path);
}

base::CsvTable ReadCsvTable(std::string_view path, const base::CsvReadOptions& options) {
  const std::string bytes = ReadCsvFile(path);
  try {
    return base::ReadCsv(bytes, options);
  } catch (const base::Error& error) {
    throw base::Error(base::Utf8ToSjis("CSV ファイル \"") + std::string(path) + base::Utf8ToSjis("\": ") +
                      error.what());
  }
}

MCsvImport PlanCsvImport(const MLayout& layout, const MMapFile& mapFile, std::string_view className,
                         base::CsvTable table) {
  const MBlock* blockClass = layout.FindBlock(className);
  if (blockClass == nullptr) {
    throw base::Error(base::Utf8ToSjis("ブロッククラス \"") + std::string(className) +
                      base::Utf8ToSjis("\" はレイアウトにありません。"));
  }
  if (table.Rows.empty()) throw CsvError("CSV ファイルにデータがありません。");
  MCsvImport import;
  import.ClassName = className;
  import.Table = std::move(table);
  const MMapFile::Row* fields = mapFile.FindBlockFields(className);
  import.Fields = CsvClassFields(*blockClass, fields);
  import.PositionalFields = CsvPositionalFieldCount(*blockClass, fields);
  // A first record that names a field is a header; records of values rarely hold field names.
  import.HasHeader = std::any_of(import.Table.Rows.front().begin(), import.Table.Rows.front().end(),
                                 [&import](const std::string& cell) { return Listed(import.Fields, cell);
});
MatchCsvColumns(import);
return import;
}

void MatchCsvColumns(MCsvImport& import) {
  const std::size_t width = import.Table.Width();
  import.Columns.assign(width, -1);
  if (!import.HasHeader) {
    for (std::size_t c = 0; c < width && c < import.PositionalFields; ++c)
      import.Columns[c] = static_cast<int>(c);
    return;
  }
  std::vector<bool> fed(import.Fields.size(), false);
  const std::vector<std::string>& header = import.Table.Rows.front();
  for (std::size_t c = 0; c < width; ++c) {
    const std::string_view name = base::Trim(header[c]);
    for (std::size_t f = 0; f < import.Fields.size(); ++f) {
      if (!fed[f] && base::SameText(import.Fields[f].Key, name)) {
        import.Columns[c] = static_cast<int>(f);
        fed[f] = true;
        break;
      }
    }
  }
}

std::vector<std::unique_ptr<MBlockInstance>> BuildCsvBlocks(const MLayout& layout, const MCsvImport& import) {
  const MBlock* blockClass = layout.FindBlock(import.ClassName);
  if (blockClass == nullptr) {
    throw base::Error(base::Utf8ToSjis("ブロッククラス \"") + import.ClassName +
                      base::Utf8ToSjis("\" はレイアウトにありません。"));
  }
  if (std::none_of(import.Columns.begin(), import.Columns.end(), [](int f) { return f >= 0; }))
    throw CsvError("どの列もブロックの項目に割り当てられていません。");
  std::vector<std::unique_ptr<MBlockInstance>> blocks;
  blocks.reserve(import.RecordCount());
  for (std::size_t r = import.FirstRecord(); r < import.Table.Rows.size(); ++r) {
    const std::vector<std::string>& record = import.Table.Rows[r];
    std::unique_ptr<MBlockInstance> block = blockClass->NewInstance();
    for (std::size_t c = 0; c < record.size() && c < import.Columns.size(); ++c) {
      const int f = import.Columns[c];
      if (f < 0) continue;
      const std::string& value = record[c];
      const std::string& key = import.Fields[static_cast<std::size_t>(f)].Key;
      if (value.find_first_of("\r\n") == std::string::npos)
        block->SetElementValue(key, value);
      else
        block->SetElementValue(key, BreaksToTags(value));
    }
    blocks.push_back(std::move(block));
  }
  return blocks;
}

MMapFile::Row CsvBlockFieldRow(const MCsvImport& import, const MMapFile::Row* current) {
  MMapFile::Row row = current != nullptr ? *current : MMapFile::Row{import.ClassName};
  // In field order, so that a new row reads like the class.
  std::vector<bool> fed(import.Fields.size(), false);
  for (const int f : import.Columns) {
    if (f >= 0) fed[static_cast<std::size_t>(f)] = true;
  }
  for (std::size_t f = 0; f < import.Fields.size(); ++f) {
    if (!fed[f]) continue;
    const std::string& key = import.Fields[f].Key;
    bool present = false;
    for (std::size_t i = 1; i < row.size() && !present; ++i) present = base::SameText(row[i], key);
    if (!present) row.push_back(key);
  }
  return row;
}

namespace {

class CsvExporter {
 public:
  CsvExporter(const MLayout& layout, const MMapFile& mapFile, const base::CsvWriteOptions& options)
      : writer_(options) {
    // The columns: the fields of every class, in layout order, each name once.
    header_ = {"page", "row", "column", "class"};
    struct ClassKeys {
      const MBlock* blockClass;
      std::vector<std::pair<std::string, std::size_t>> keys;  // and their columns
    };
    std::vector<ClassKeys> keysOf;
    for (const auto& blockClass : layout.Blocks) {
      if (classes_.count(blockClass->Name) != 0) continue;
      classes_[blockClass->Name];
      const MMapFile::Row* fields = mapFile.FindBlockFields(blockClass->Name);
      std::vector<MCsvField> all = CsvClassFields(*blockClass, fields);
      const std::size_t count = CsvPositionalFieldCount(*blockClass, fields);
      ClassKeys& placed = keysOf.emplace_back(ClassKeys{blockClass.get(), {}});
      for (std::size_t f = 0; f < count; ++f) {
        std::size_t at = 4;
        while (at < header_.size() && !base::SameText(header_[at], all[f].Key)) ++at;
        if (at == header_.size()) header_.push_back(all[f].Key);
        placed.keys.emplace_back(std::move(all[f].Key), at);
      }
    }
    for (auto& [blockClass, keys] : keysOf) {
      std::vector<MBlock::ValueSlot>& columns = classes_[blockClass->Name];
      columns.resize(header_.size() - 4);
      for (auto& [key, at] : keys)
        columns[at - 4] = blockClass->FindValueSlot(keys_.emplace_back(std::move(key)));
    }
    for (const std::string& name : header_) writer_.Field(name);
    writer_.EndRecord();
  }

  void Write(const MBlockInstance& block, std::string_view page, std::string_view row,
             std::string_view column) {
    writer_.Field(page);
    writer_.Field(row);
    writer_.Field(column);
    writer_.Field(block.Name());
    // Blocks of a class mostly come in runs.
    if (columns_ == nullptr || block.Name() != lastClass_) {
      const auto found = classes_.find(block.Name());
      columns_ = found == classes_.end() ? nullptr : &found->second;
      lastClass_ = block.Name();
    }
    for (std::size_t at = 4; at < header_.size(); ++at)
      writer_.Field(columns_ == nullptr ? std::string_view() : Value(block, (*columns_)[at - 4]));
    writer_.EndRecord();
  }

  std::string Finish() { return writer_.Finish(); }

 private:
  // The value as a cell holds it: the data file's "<br>" and a text's line breaks as "\n".
  std::string_view Value(const MBlockInstance& block, const MBlock::ValueSlot& slot) {
    bool lines = false;
    const std::string_view text = block.ValueAt(slot, owned_, &lines);
    if (std::none_of(text.begin(), text.end(), [](char c) { return c == '\r' || c == '<'; })) return text;
    value_.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (lines && text.substr(i, 2) == "\r\n") {
        value_ += '\n';
        ++i;
      } else if (text.substr(i, kBreakTag.size()) == kBreakTag) {
        value_ += '\n';
        i += kBreakTag.size() - 1;
      } else {
        value_ += text[i];
      }
    }
    return value_;
  }

  base::CsvWriter writer_;
  MMapFile::Row header_;
  std::unordered_map<std::string, std::vector<MBlock::ValueSlot>> classes_;
  std::string lastClass_;
  const std::vector<MBlock::ValueSlot>* columns_ = nullptr;  // of lastClass_
  std::deque<std::string> keys_;                             // the slots' names view these
  std::string owned_;  // a text's value, for as long as the writer needs it
  std::string value_;  // a value with its breaks converted
};

}  // namespace

std::string CsvExportBytes(const MLayout& layout, const MMapFile& mapFile, const MMapDB& pages,
                           const base::CsvWriteOptions& options, const MListDB* unplaced,
                           const MListDB* trash) {
  CsvExporter exporter(layout, mapFile, options);
  char number[3][16];
  const auto text = [&number](int slot, int n) {
    const auto end = std::to_chars(number[slot], number[slot] + sizeof number[slot], n).ptr;
    return std::string_view(number[slot], static_cast<std::size_t>(end - number[slot]));
  };
  for (int p = 1; p <= pages.PageCount(); ++p) {
    const MPage& page = *pages.GetPage(p - 1);
    const MPageScope scope(p);
    for (int r = 1; r <= page.RowCount(); ++r) {
      for (int c = 1; c <= page.PointCount(r); ++c) {
        const MEntry* entry = page.EntryAt(r, c);
        if (const MBlockInstance* block = entry != nullptr ? entry->Block() : nullptr)
          exporter.Write(*block, text(0, p), text(1, r), text(2, c));
      }
    }
  }
  for (const auto& [list, name] : {std::pair{unplaced, "未配置"}, std::pair{trash, "ごみ箱"}}) {
    if (list == nullptr) continue;
    const std::string page = base::Utf8ToSjis(name);
    for (const auto& block : list->Entries()) exporter.Write(*block, page, {}, {});
  }
  return exporter.Finish();
}

void WriteCsvFile(std::string_view path, const std::string& bytes) { ReplaceDocumentFile(path, bytes); }

std::string DocumentCsvBytes(const base::CsvWriteOptions& options, bool lists) {
  return CsvExportBytes(*gLayout, *gMapFile, *gMapDB, options, lists ? gUnmapDB.get() : nullptr,
                        lists ? gTrashDB.get() : nullptr);
}
