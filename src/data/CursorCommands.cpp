// The commands of the mapping cursor: moves by key, by point and by page, and Backspace.
#include "data/CommandScope.h"
#include "data/DocumentCommands.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"

MCommandReport MoveCursor(MCursorMove move) {
  // The database's step for each move, in the order of MCursorMove.
  static constexpr void (MMapDB::*kSteps[])() = {
      &MMapDB::CursorPrevious, &MMapDB::CursorNext,   &MMapDB::CursorUp,   &MMapDB::CursorDown,
      &MMapDB::CursorRowStart, &MMapDB::CursorRowEnd, &MMapDB::CursorFirst};
  MCommandScope command(MCommandScope::kNotRecorded);
  if (HasDocument()) (gMapDB.get()->*kSteps[static_cast<int>(move)])();
  return command.None();
}

MCommandReport CursorToPoint(double x, double y) {
  MCommandScope command(MCommandScope::kNotRecorded);
  if (HasDocument()) gMapDB->CursorToPoint(x, y);
  return command.None();
}

MCommandReport GoToPage(int page) {
  MCommandScope command(MCommandScope::kNotRecorded);
  if (HasDocument()) gMapDB->GoToPage(page);
  return command.None();
}

MCommandReport DeleteBeforeCursor() {
  MCommandScope command;
  if (!HasDocument()) return command.None();
  if (gMapDB->CurrentPage() == 1 && gMapDB->CurrentRow() == 1 && gMapDB->CurrentColumn() == 1)
    return command.None();
  // The step is the move and the deletion: undo brings the cursor back where Backspace was pressed.
  gMapDB->CursorPrevious();
  return command.Done(DeleteAtCursor().Lists);
}
