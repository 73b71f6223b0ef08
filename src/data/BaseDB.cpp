#include "data/BaseDB.h"

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

// ---- MBaseDB

MBaseDB::MBaseDB(const MLayout& layout, const MMapFile& mapFile) : layout_(layout), mapFile_(mapFile) {}

MBaseDB::~MBaseDB() = default;

void MBaseDB::Clear() { modified_ = false; }

MUndoHistory* MBaseDB::Recorder() const {
  return history_ != nullptr && history_->Recording() ? history_ : nullptr;
}

void MBaseDB::Discard(std::unique_ptr<MControl> entry) const {
  if (MUndoHistory* history = Recorder()) history->Release(std::move(entry));
}

void MBaseDB::SaveTo(MMapFile::Rows& rows) const {
  ForEachRow([&rows](const MMapFile::Row& row) { rows.push_back(row); });
}

void MBaseDB::WriteRows(std::string& out) const {
  ForEachRow([&out](const MMapFile::Row& row) {
    base::AppendCommaText(row, out);
    out += "\r\n";
  });
}

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
