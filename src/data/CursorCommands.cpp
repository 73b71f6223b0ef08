// The commands of the mapping cursor: moves by key, by point and by page, and Backspace.
#include "data/CommandScope.h"
#include "data/DocumentCommands.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"

MCommandReport MoveCursor(MCursorMove move) {
  MCommandScope command(MCommandScope::kNotRecorded);
  if (!HasDocument()) return command.None();
  switch (move) {
    case MCursorMove::Previous:
      gMapDB->CursorPrevious();
      break;
    case MCursorMove::Next:
      gMapDB->CursorNext();
      break;
    case MCursorMove::Up:
      gMapDB->CursorUp();
      break;
    case MCursorMove::Down:
      gMapDB->CursorDown();
      break;
    case MCursorMove::RowStart:
      gMapDB->CursorRowStart();
      break;
    case MCursorMove::RowEnd:
      gMapDB->CursorRowEnd();
      break;
    case MCursorMove::First:
      gMapDB->CursorFirst();
      break;
  }
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
