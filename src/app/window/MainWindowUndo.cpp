// Undo and redo: the engine's history steps back and forth; the window refreshes from the report as
// after any command and shows the cursor where the change happened.
#include <QAction>

#include "app/window/MainWindow.h"
#include "data/DocumentCommands.h"

void TfmMain::Undo() { StepHistory(true); }

void TfmMain::Redo() { StepHistory(false); }

void TfmMain::StepHistory(bool back) {
  if (!HasDocument()) return;
  // A text being typed is committed first: it is the change the user undoes next.
  CommitBeforeLeavingThePage();
  Run([&] { AfterCommand(back ? UndoChange() : RedoChange()); });
  UpdateCaret();
}

void TfmMain::UpdateUndoCommands() {
  miUndo->setEnabled(HasDocument() && CanUndo());
  miRedo->setEnabled(HasDocument() && CanRedo());
}
