#include "data/UndoHistory.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <variant>

#include "data/DBEntries.h"
#include "data/DocumentCommands.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "layout/Shapes.h"

namespace {

struct PagesChange {
  bool insert = false;
  int index = 0;
  std::vector<MEntryRef> entries;
  int firstReleasedPage = 0;
  std::vector<std::vector<MPage::TextState>> releasedTexts;
};

struct ListChange {
  MListDB* list = nullptr;
  bool insert = false;
  std::vector<int> indexes;
  std::vector<MBlockInstance*> blocks;
};

struct FormTextChange {
  int startPage = 0;
  std::string name;
  std::string value;
  std::vector<std::pair<int, MPage::TextState>> before;
};

struct TextChange {
  MBlockInstance* block = nullptr;
  std::size_t child = 0;
  std::vector<std::string> before;
  std::vector<std::string> after;
};

struct BlockFieldsChange {
  MMapFile* file = nullptr;
  MMapFile::Rows before;
  MMapFile::Rows after;
};

}  // namespace

struct MUndoHistory::Change {
  std::variant<PagesChange, ListChange, FormTextChange, TextChange, BlockFieldsChange> what;
};

struct MUndoHistory::Step {
  std::vector<Change> changes;
  // The blocks of the step that are out of the document as it stands: those it released after it
  // ran, those it had added after it was undone. Keyed by the object, which is the block's identity;
  // a special entry is its kind alone and is made anew when it comes back.
  std::unordered_map<const MBlockInstance*, std::unique_ptr<MBlockInstance>> outside;
  int cursorBefore = 0;
  int cursorAfter = 0;
  const MBlockInstance* unplacedBefore = nullptr;
  const MBlockInstance* unplacedAfter = nullptr;
  const MBlockInstance* trashBefore = nullptr;
  const MBlockInstance* trashAfter = nullptr;

  std::unique_ptr<MBlockInstance> TakeOutside(const MBlockInstance* block) {
    const auto at = outside.find(block);
    if (at == outside.end()) return nullptr;
    std::unique_ptr<MBlockInstance> taken = std::move(at->second);
    outside.erase(at);
    return taken;
  }
  MEntry TakeOutside(MEntryRef entry) {
    if (entry.IsBlock()) return TakeOutside(entry.Block());
    return MEntry::Special(entry.Kind());
  }
  void PutOutside(MEntry entry) {
    if (std::unique_ptr<MBlockInstance> block = entry.TakeBlock()) {
      const MBlockInstance* key = block.get();
      outside.emplace(key, std::move(block));
    }
  }
};

namespace {

const MBlockInstance* SelectedBlock(const MListDB& list) { return list.Current(); }

}  // namespace

MUndoHistory::MUndoHistory(MMapDB& pages, MListDB& unplaced, MListDB& trash)
    : pages_(pages), unplaced_(unplaced), trash_(trash) {}

MUndoHistory::~MUndoHistory() = default;

void MUndoHistory::Begin() {
  if (open_ != nullptr) return;
  open_ = std::make_unique<Step>();
  open_->cursorBefore = pages_.CursorIndex();
  open_->unplacedBefore = SelectedBlock(unplaced_);
  open_->trashBefore = SelectedBlock(trash_);
}

bool MUndoHistory::End() {
  if (open_ == nullptr) return false;
  std::unique_ptr<Step> step = std::move(open_);
  if (step->changes.empty()) return false;
  step->cursorAfter = pages_.CursorIndex();
  step->unplacedAfter = SelectedBlock(unplaced_);
  step->trashAfter = SelectedBlock(trash_);
  steps_.resize(applied_);
  if (saved_ > static_cast<long>(applied_)) saved_ = -1;  // the saved state was among the undone
  steps_.push_back(std::move(step));
  applied_ = steps_.size();
  return true;
}

void MUndoHistory::Record(Change change) {
  if (open_ != nullptr) open_->changes.push_back(std::move(change));
}

void MUndoHistory::PagesInserted(int index, std::vector<MEntryRef> entries) {
  if (entries.empty()) return;
  Record({PagesChange{true, index, std::move(entries), 0, {}}});
}

void MUndoHistory::PagesRemoved(int index, std::vector<MEntryRef> entries, int firstReleasedPage,
                                std::vector<std::vector<MPage::TextState>> releasedTexts) {
  if (entries.empty()) return;
  Record({PagesChange{false, index, std::move(entries), firstReleasedPage, std::move(releasedTexts)}});
}

void MUndoHistory::ListInserted(const MListDB& list, std::vector<int> indexes,
                                std::vector<MBlockInstance*> blocks) {
  if (blocks.empty()) return;
  Record({ListChange{const_cast<MListDB*>(&list), true, std::move(indexes), std::move(blocks)}});
}

void MUndoHistory::ListRemoved(const MListDB& list, std::vector<int> indexes,
                               std::vector<MBlockInstance*> blocks) {
  if (blocks.empty()) return;
  Record({ListChange{const_cast<MListDB*>(&list), false, std::move(indexes), std::move(blocks)}});
}

void MUndoHistory::FormTextSet(int startPage, std::string name, std::string value,
                               std::vector<std::pair<int, MPage::TextState>> before) {
  Record({FormTextChange{startPage, std::move(name), std::move(value), std::move(before)}});
}

void MUndoHistory::TextSet(MBlockInstance& block, std::size_t child, std::vector<std::string> before) {
  std::vector<std::string> after = block.TextLines(child);
  if (before == after) return;
  Record({TextChange{&block, child, std::move(before), std::move(after)}});
}

void MUndoHistory::BlockFieldsSet(MMapFile& file, MMapFile::Rows before) {
  if (before == file.BlockFields()) return;
  Record({BlockFieldsChange{&file, std::move(before), file.BlockFields()}});
}

void MUndoHistory::Release(MEntry entry) {
  if (open_ != nullptr) open_->PutOutside(std::move(entry));
}

unsigned MUndoHistory::ListBit(const MListDB& list) const { return &list == &trash_ ? dlTrash : dlUnmap; }

void MUndoHistory::Apply(Step& step, Change& change, bool forward) {
  if (auto* pages = std::get_if<PagesChange>(&change.what)) {
    if (pages->insert == forward) {
      MEntryList entries;
      entries.reserve(pages->entries.size());
      for (const MEntryRef entry : pages->entries) entries.push_back(step.TakeOutside(entry));
      pages_.InsertEntries(pages->index, std::move(entries));
      // Pages released with the entries come back with their own form texts, not inherited ones.
      for (std::size_t i = 0; !pages->insert && i < pages->releasedTexts.size(); ++i) {
        if (MPage* page = pages_.GetPage(pages->firstReleasedPage - 1 + static_cast<int>(i)))
          page->RestoreFormTexts(pages->releasedTexts[i]);
      }
    } else {
      MEntryList taken = pages_.TakeEntries(pages->index, static_cast<int>(pages->entries.size()));
      for (MEntry& entry : taken) step.PutOutside(std::move(entry));
    }
  } else if (auto* list = std::get_if<ListChange>(&change.what)) {
    if (list->insert == forward) {
      std::vector<std::unique_ptr<MBlockInstance>> blocks;
      blocks.reserve(list->blocks.size());
      for (const MBlockInstance* block : list->blocks) blocks.push_back(step.TakeOutside(block));
      list->list->InsertAt(list->indexes, std::move(blocks));
    } else {
      for (std::unique_ptr<MBlockInstance>& block : list->list->TakeAt(list->indexes))
        step.PutOutside(std::move(block));
    }
  } else if (auto* form = std::get_if<FormTextChange>(&change.what)) {
    if (forward) {
      pages_.SetFormText(form->startPage, form->name, form->value);
    } else {
      int page = form->startPage;
      for (const auto& [count, state] : form->before) {
        for (int i = 0; i < count; ++i, ++page) {
          if (MPage* target = pages_.GetPage(page - 1)) target->RestoreFormText(form->name, state);
        }
      }
    }
  } else if (auto* text = std::get_if<TextChange>(&change.what)) {
    text->block->SetTextLines(text->child, forward ? text->after : text->before);
  } else if (auto* fields = std::get_if<BlockFieldsChange>(&change.what)) {
    fields->file->EditBlockFields() = forward ? fields->after : fields->before;
  }
}

unsigned MUndoHistory::Replay(Step& step, bool forward) {
  unsigned lists = 0;
  if (forward) {
    for (Change& change : step.changes) Apply(step, change, true);
  } else {
    for (auto at = step.changes.rbegin(); at != step.changes.rend(); ++at) Apply(step, *at, false);
  }
  for (const Change& change : step.changes) {
    if (const auto* list = std::get_if<ListChange>(&change.what)) {
      lists |= ListBit(*list->list);
    } else if (!std::holds_alternative<BlockFieldsChange>(change.what)) {
      lists |= dlPages;
    }
  }
  pages_.CursorToIndex(forward ? step.cursorAfter : step.cursorBefore);
  unplaced_.SelectBlock(forward ? step.unplacedAfter : step.unplacedBefore);
  trash_.SelectBlock(forward ? step.trashAfter : step.trashBefore);
  const bool modified = !AtSavedPoint();
  for (MBaseDB* db : std::initializer_list<MBaseDB*>{&pages_, &unplaced_, &trash_}) db->SetModified(modified);
  InvalidateView();
  return lists;
}

unsigned MUndoHistory::Undo() {
  if (!CanUndo() || Recording()) return 0;
  --applied_;
  return Replay(*steps_[applied_], false);
}

unsigned MUndoHistory::Redo() {
  if (!CanRedo() || Recording()) return 0;
  ++applied_;
  return Replay(*steps_[applied_ - 1], true);
}

void MUndoHistory::ForgetUndone() {
  steps_.resize(applied_);
  if (saved_ > static_cast<long>(applied_)) saved_ = -1;
}

void MUndoHistory::Clear() {
  open_.reset();
  steps_.clear();
  applied_ = 0;
  saved_ = 0;
}

void MUndoHistory::MarkSaved() { saved_ = static_cast<long>(applied_); }
