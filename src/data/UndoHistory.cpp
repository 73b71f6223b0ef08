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
  std::vector<MControl*> entries;
  int firstReleasedPage = 0;
  std::vector<std::vector<MForm::TextState>> releasedTexts;
};

struct ListChange {
  MListDB* list = nullptr;
  bool insert = false;
  std::vector<int> indexes;
  std::vector<MBlock*> blocks;
};

struct FormTextChange {
  int startPage = 0;
  std::string name;
  std::string value;
  std::vector<std::pair<int, MForm::TextState>> before;
};

struct TextChange {
  MText* text = nullptr;
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
  // The entries of the step that are out of the document as it stands: those it released after it
  // ran, those it had added after it was undone. Keyed by the object, which is the entry's identity.
  std::unordered_map<const MControl*, std::unique_ptr<MControl>> outside;
  int cursorBefore = 0;
  int cursorAfter = 0;
  const MBlock* unplacedBefore = nullptr;
  const MBlock* unplacedAfter = nullptr;
  const MBlock* trashBefore = nullptr;
  const MBlock* trashAfter = nullptr;

  std::unique_ptr<MControl> TakeOutside(const MControl* entry) {
    const auto at = outside.find(entry);
    if (at == outside.end()) return nullptr;
    std::unique_ptr<MControl> taken = std::move(at->second);
    outside.erase(at);
    return taken;
  }
  void PutOutside(std::unique_ptr<MControl> entry) {
    if (entry == nullptr) return;
    const MControl* key = entry.get();
    outside.emplace(key, std::move(entry));
  }
};

namespace {

const MBlock* SelectedBlock(const MListDB& list) { return As<MBlock>(list.Current()); }

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

void MUndoHistory::PagesInserted(int index, std::vector<MControl*> entries) {
  if (entries.empty()) return;
  Record({PagesChange{true, index, std::move(entries), 0, {}}});
}

void MUndoHistory::PagesRemoved(int index, std::vector<MControl*> entries, int firstReleasedPage,
                                std::vector<std::vector<MForm::TextState>> releasedTexts) {
  if (entries.empty()) return;
  Record({PagesChange{false, index, std::move(entries), firstReleasedPage, std::move(releasedTexts)}});
}

void MUndoHistory::ListInserted(const MListDB& list, std::vector<int> indexes, std::vector<MBlock*> blocks) {
  if (blocks.empty()) return;
  Record({ListChange{const_cast<MListDB*>(&list), true, std::move(indexes), std::move(blocks)}});
}

void MUndoHistory::ListRemoved(const MListDB& list, std::vector<int> indexes, std::vector<MBlock*> blocks) {
  if (blocks.empty()) return;
  Record({ListChange{const_cast<MListDB*>(&list), false, std::move(indexes), std::move(blocks)}});
}

void MUndoHistory::FormTextSet(int startPage, std::string name, std::string value,
                               std::vector<std::pair<int, MForm::TextState>> before) {
  Record({FormTextChange{startPage, std::move(name), std::move(value), std::move(before)}});
}

void MUndoHistory::TextSet(MText& text, std::vector<std::string> before) {
  if (before == text.Lines) return;
  Record({TextChange{&text, std::move(before), text.Lines}});
}

void MUndoHistory::BlockFieldsSet(MMapFile& file, MMapFile::Rows before) {
  if (before == file.BlockFields()) return;
  Record({BlockFieldsChange{&file, std::move(before), file.BlockFields()}});
}

void MUndoHistory::Release(std::unique_ptr<MControl> entry) {
  if (open_ != nullptr) open_->PutOutside(std::move(entry));
}

unsigned MUndoHistory::ListBit(const MListDB& list) const { return &list == &trash_ ? dlTrash : dlUnmap; }

void MUndoHistory::Apply(Step& step, Change& change, bool forward) {
  if (auto* pages = std::get_if<PagesChange>(&change.what)) {
    if (pages->insert == forward) {
      MEntryList entries;
      entries.reserve(pages->entries.size());
      for (const MControl* entry : pages->entries) entries.push_back(step.TakeOutside(entry));
      pages_.InsertEntries(pages->index, std::move(entries));
      // Pages released with the entries come back with their own form texts, not inherited ones.
      for (std::size_t i = 0; !pages->insert && i < pages->releasedTexts.size(); ++i) {
        if (MForm* page = pages_.GetPage(pages->firstReleasedPage - 1 + static_cast<int>(i)))
          page->RestoreFormTexts(pages->releasedTexts[i]);
      }
    } else {
      MEntryList taken = pages_.TakeEntries(pages->index, static_cast<int>(pages->entries.size()));
      for (std::unique_ptr<MControl>& entry : taken) step.PutOutside(std::move(entry));
    }
  } else if (auto* list = std::get_if<ListChange>(&change.what)) {
    if (list->insert == forward) {
      std::vector<std::unique_ptr<MBlock>> blocks;
      blocks.reserve(list->blocks.size());
      for (const MBlock* block : list->blocks) blocks.push_back(AsBlock(step.TakeOutside(block)));
      list->list->InsertAt(list->indexes, std::move(blocks));
    } else {
      for (std::unique_ptr<MBlock>& block : list->list->TakeAt(list->indexes))
        step.PutOutside(std::move(block));
    }
  } else if (auto* form = std::get_if<FormTextChange>(&change.what)) {
    if (forward) {
      pages_.SetFormText(form->startPage, form->name, form->value);
    } else {
      int page = form->startPage;
      for (const auto& [count, state] : form->before) {
        for (int i = 0; i < count; ++i, ++page) {
          if (MForm* target = pages_.GetPage(page - 1)) target->RestoreFormText(form->name, state);
        }
      }
    }
  } else if (auto* text = std::get_if<TextChange>(&change.what)) {
    text->text->Lines = forward ? text->after : text->before;
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
