// The undo history of a document. Every command that changes the databases is recorded as one step
// while it runs, from what the databases report they did: entries inserted into or taken out of the
// pages' sequence at an index, blocks inserted into or taken out of a list at indexes, texts set. It
// is not a copy of the document: undoing replays a step's changes backwards, redoing forwards, and
// the entries a step takes out of the document stay in the step, so the same objects come back.
//
// The history is linear: when a step is undone, the document is exactly as it was before the step,
// so the indexes and objects a step recorded are valid again. A new step drops the steps undone.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "data/MapFile.h"
#include "layout/Entry.h"
#include "layout/Page.h"

class MBlockInstance;
class MListDB;
class MMapDB;

class MUndoHistory {
 public:
  // The databases of the document; they outlive the history.
  MUndoHistory(MMapDB& pages, MListDB& unplaced, MListDB& trash);
  ~MUndoHistory();
  MUndoHistory(const MUndoHistory&) = delete;
  MUndoHistory& operator=(const MUndoHistory&) = delete;

  // ---- recording, by the document commands
  // Opens a step; the databases report their changes into it until End.
  void Begin();
  // Closes the step: kept when it recorded a change (the steps undone before it are dropped),
  // forgotten otherwise. True when it was kept.
  bool End();
  bool Recording() const { return open_ != nullptr; }

  // ---- what the databases report while a step is open
  // entries now stand in the pages' sequence from index on (reading order, from 0).
  void PagesInserted(int index, std::vector<MEntryRef> entries);
  // entries stood from index on and were taken out; pages from firstReleasedPage (from 1) on were
  // released with them, their form texts as given.
  void PagesRemoved(int index, std::vector<MEntryRef> entries, int firstReleasedPage = 0,
                    std::vector<std::vector<MPage::TextState>> releasedTexts = {});
  // blocks now stand in the list at indexes (ascending, counted after the insertion).
  void ListInserted(const MListDB& list, std::vector<int> indexes, std::vector<MBlockInstance*> blocks);
  // blocks stood in the list at indexes (ascending, counted before the removal) and were taken out.
  void ListRemoved(const MListDB& list, std::vector<int> indexes, std::vector<MBlockInstance*> blocks);
  // A form text was set from startPage on; before holds its states on those pages as runs of equal
  // states (count, state).
  void FormTextSet(int startPage, std::string name, std::string value,
                   std::vector<std::pair<int, MPage::TextState>> before);
  // A text of a block (child: its place in the class) now holds other lines.
  void TextSet(MBlockInstance& block, std::size_t child, std::vector<std::string> before);
  // The block-field rows of the document's file were changed (a class given the columns of an
  // import); before: the rows as they were. Undo brings them back, so that a save writes what it
  // wrote before the step.
  void BlockFieldsSet(MMapFile& file, MMapFile::Rows before);
  // An entry the databases let go (a special entry taken off the pages, a block deleted for good):
  // kept by the open step, which brings it back on undo; released at once without one.
  void Release(MEntry entry);

  // ---- undo and redo
  bool CanUndo() const { return applied_ > 0; }
  bool CanRedo() const { return applied_ < steps_.size(); }
  // Replays the last step backwards or the next one forwards; the cursor and the panes' selections
  // return to where they were before (undo) or after (redo) the step, the modified marks follow the
  // saved point. Return the lists changed (MDocumentList bits); 0 when there was nothing to do.
  unsigned Undo();
  unsigned Redo();

  // Forgets the steps undone: what a cancelled command did is not to be redone.
  void ForgetUndone();
  // Forgets every step (a document opened or reset); the document as it stands counts as saved.
  void Clear();
  // The document as it stands is the one on disk.
  void MarkSaved();
  // No state of the history is the one on disk (a document recovered from a copy).
  void MarkNothingSaved() { saved_ = -1; }
  bool AtSavedPoint() const { return saved_ == static_cast<long>(applied_); }
  std::size_t StepCount() const { return steps_.size(); }

 private:
  struct Step;
  struct Change;
  // Applies one change forwards (as recorded) or backwards.
  void Apply(Step& step, Change& change, bool forward);
  unsigned Replay(Step& step, bool forward);
  void Record(Change change);
  unsigned ListBit(const MListDB& list) const;

  MMapDB& pages_;
  MListDB& unplaced_;
  MListDB& trash_;
  std::vector<std::unique_ptr<Step>> steps_;
  std::size_t applied_ = 0;  // steps_[0, applied_) are done, the rest undone
  long saved_ = 0;           // applied_ when the document was last saved; -1: no longer reachable
  std::unique_ptr<Step> open_;
};
