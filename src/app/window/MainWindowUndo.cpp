// Undo and redo: the engine's history steps back and forth; the window refreshes from the report as
// after any command and shows the cursor where the change happened.
#include <QAction>

#include "app/window/MainWindow.h"
#include "data/DocumentCommands.h"

void TfmMain::Undo() { StepHistory(true); }

void TfmMain::Redo() { StepHistory(false); }

void TfmMain::StepHistory(bool back) {
  if (!doc_.Open()) return;
  // A text being typed is committed first: it is the change the user undoes next.
  CommitEdit();
  Run([&] { ApplyReport(back ? UndoChange() : RedoChange()); });
}
