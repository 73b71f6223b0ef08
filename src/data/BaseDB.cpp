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

void MBaseDB::SaveTo(MMapFile::Rows& rows) const {
  ForEachRow([&rows](const MRowView& row) { rows.emplace_back(row.begin(), row.end()); });
}

void MBaseDB::WriteRows(std::string& out) const {
  ForEachRow([&out](const MRowView& row) {
    base::AppendCommaText(row, out);
    out += "\r\n";
  });
}

MUndoHistory* MBaseDB::Recorder() const {
  return history_ != nullptr && history_->Recording() ? history_ : nullptr;
}

void MBaseDB::Discard(MEntry entry) const {
  if (MUndoHistory* history = Recorder()) history->Release(std::move(entry));
}

const MRowView& MBaseDB::RowMaker::Special(MKind kind) {
  row_.assign(1, SpecialName(kind));
  return row_;
}

const MRowView& MBaseDB::RowMaker::Block(const MBlockInstance& block) {
  const MBlock& blockClass = block.Class();
  if (class_ != &blockClass) {
    // Blocks of a class mostly come in runs: its keys are looked up when the class changes.
    class_ = &blockClass;
    slots_.clear();
    if (const MMapFile::Row* fields = mapFile_.FindBlockFields(blockClass.Name)) {
      for (std::size_t i = 1; i < fields->size(); ++i)
        slots_.push_back(blockClass.FindValueSlot((*fields)[i]));
    }
    // The slots view the keys of the block-field row, which stays as it is while rows are made.
    scratch_.resize(std::max(scratch_.size(), slots_.size()));
  }
  row_.clear();
  row_.push_back(blockClass.Name);
  for (std::size_t i = 0; i < slots_.size(); ++i) row_.push_back(block.SavedValue(slots_[i], scratch_[i]));
  return row_;
}

MMapFile::Row MBaseDB::EntryRow(const MEntry& entry) const {
  if (const MBlockInstance* block = entry.Block()) return BlockRow(*block);
  return {std::string(entry.Name())};
}

MMapFile::Row MBaseDB::BlockRow(const MBlockInstance& block) const {
  RowMaker maker(mapFile_);
  const MRowView& row = maker.Block(block);
  return MMapFile::Row(row.begin(), row.end());
}

std::unique_ptr<MBlockInstance> MBaseDB::NewBlock(std::string_view className,
                                                  const MMapFile::Row& row) const {
  const MBlock* blockClass = layout_.FindBlock(className);
  if (blockClass == nullptr) return nullptr;
  std::unique_ptr<MBlockInstance> block = blockClass->NewInstance();
  block->LoadValues(row, mapFile_.FindBlockFields(className));
  return block;
}

std::unique_ptr<MBlockInstance> MBaseDB::BlockLoaders::Load(std::string_view className,
                                                            const MMapFile::Row& row) {
  if (last_ >= known_.size() || known_[last_].name != className) {
    last_ = 0;
    while (last_ < known_.size() && known_[last_].name != className) ++last_;
    if (last_ == known_.size()) {
      Known& added = known_.emplace_back(Known{std::string(className), nullptr});
      if (const MBlock* blockClass = layout_.FindBlock(className))
        added.loader =
            std::make_unique<MBlockInstance::Loader>(*blockClass, mapFile_.FindBlockFields(className));
    }
  }
  const MBlockInstance::Loader* loader = known_[last_].loader.get();
  return loader != nullptr ? loader->Load(row) : nullptr;
}

void MBaseDB::CopyEntry(MClipboard& clipboard) const {
  MMapFile::Row row;
  if (!CurrentRow(row)) return;
  const std::string text = base::EncodeCommaText(row);
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
