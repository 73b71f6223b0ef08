// The scope of one document command, shared by the files that hold the commands: what stood before
// it (page count, cursor), the undo step it opens, and the report it ends with.
#pragma once

#include "data/DocumentCommands.h"

class MCommandScope {
 public:
  enum Recording { kRecorded, kNotRecorded };
  // A recorded command is one step of the undo history, from here to Done (or to an error).
  explicit MCommandScope(Recording recording = kRecorded);
  ~MCommandScope() { EndStep(); }
  MCommandScope(const MCommandScope&) = delete;
  MCommandScope& operator=(const MCommandScope&) = delete;

  // The report of what changed: the lists given, and the page count and cursor as they are now.
  // Every command that adds to the pages ends here, so that blocks the pages refused reach the
  // unplaced list.
  MCommandReport Done(unsigned lists);
  // Nothing of the lists changed (the cursor may have moved).
  MCommandReport None() { return Done(0); }

 private:
  void EndStep();

  bool recording_ = false;
  int pagesBefore_;
  int pageBefore_;
  int rowBefore_;
  int columnBefore_;
  MCommandReport report_;
};
