// The document commands as functions over the global objects: open, save, save as, automatic and
// same-position mapping, inserting a block or a page break. They need no window: the window calls
// them and then refreshes its controls; the batch mode and the tests call them directly.
//
// A document is the content of gMapFile, gLayout and the three databases. Errors end a command with
// base::Error (Shift-JIS message); an open that fails leaves the no-document state.
#pragma once

#include <string>
#include <string_view>

#include "base/Error.h"

class MClipboard;
class MPageText;

// The layout named by a document does not load: the message is the loader's, shown as it is.
class MLayoutLoadError : public base::Error {
 public:
  using base::Error::Error;
};

// The lists of a document that a command can change.
enum MDocumentList : unsigned { dlPages = 1, dlUnmap = 2, dlTrash = 4, dlAll = 7 };
// The side panes' lists, for the commands that take a pane's selected block.
enum class MPane { Unmap, Trash };

// What a command changed, so that the window refreshes exactly that, from one place.
struct MCommandReport {
  // The lists whose content changed (MDocumentList bits): entries added, taken out or moved.
  unsigned Lists = 0;
  // The page count and the current page (from 1; 0 without a document) after the command, and
  // whether the command changed them.
  int PageCount = 0;
  int CurrentPage = 0;
  bool PageCountChanged = false;
  bool CurrentPageChanged = false;
  // Blocks of a class that no grid point accepts, moved to the end of the unplaced list instead of
  // onto the pages.
  int MovedToUnplaced = 0;
  // The command is a step of the undo history now (it changed the document).
  bool Recorded = false;

  bool Changed(MDocumentList list) const { return (Lists & list) != 0; }
};

// The message that tells the user about moved blocks (Shift-JIS); empty when none moved.
std::string MovedToUnplacedMessage(const MCommandReport& report);

// A document is open: the pages exist.
bool HasDocument();
// Any of the three databases has changes that are not saved.
bool IsModified();
void ClearModified();

// Empties the layout and the three databases.
MCommandReport ResetDocument();
// Opens the mapping data file at path (Shift-JIS; relative to the current folder when relative). The
// document's folder becomes the current folder. Raises MLayoutLoadError when its layout does not
// load and base::Error for every other failure, in the no-document state both times. Leaves the
// databases modified; callers that open a document as it is on disk call ClearModified.
MCommandReport OpenDocument(std::string_view path);
// OpenDocument with bytes as the file's content (a recovery copy of it): the document takes the
// file's name and folder and is modified, since the file does not hold what it shows.
MCommandReport OpenRecoveredDocument(std::string_view path, const std::string& bytes);
// The document's file on disk was changed by another program since it was opened or saved.
bool DocumentChangedOnDisk();

// The document as the bytes of a mapping data file: the form data and the block-field rows of
// gMapFile, each block-field row extended by the editable texts of its class that it lacks, and the
// entries of the three databases written straight into the text.
std::string DocumentFileText();

// A save made ready: the bytes of the document as a mapping data file, as they stood when it was
// made, and the file they go to.
struct MPreparedSave {
  std::string Path;  // full, Shift-JIS
  std::string Bytes;
};
// The document as the save command writes it, for path (relative to the current folder when
// relative; empty: the document's own file). Raises base::Error without a document or a file name,
// or when the document cannot be written as a file. Changes nothing of the document.
MPreparedSave PrepareSave(std::string_view path = {});
// Writes a prepared save; the previous file is replaced only once the new one is complete (a failure
// raises base::Error and leaves it as it was). Written to the document's own file, the document is
// no longer modified and takes the file's date.
MCommandReport WriteSave(const MPreparedSave& save);
// Writes the document over gMapFile's FileName: WriteSave(PrepareSave()).
MCommandReport SaveDocument();
// The file name becomes path (relative to the current folder when relative), then SaveDocument.
MCommandReport SaveDocumentAs(std::string_view path);

// Places every visible unplaced block before the cursor entry.
MCommandReport AutoMapping();
// Places the blocks where blocks with the same keys stand in the reference file, unplacing the rest.
// The reference is read and understood before anything changes: one that cannot be read raises
// base::Error and leaves the document untouched.
MCommandReport SameMapping(std::string_view referencePath);
// A new block of the class (exact name) with its default values before the cursor entry; nothing
// when the layout has no such class.
MCommandReport InsertBlock(std::string_view className);
// A new special entry ("space", "newline" or "newpage") before the cursor entry; nothing for any
// other name. After a "newpage" the cursor entry starts the next page.
MCommandReport InsertSpecial(std::string_view typeName);
// InsertSpecial("newpage").
MCommandReport InsertPageBreak();
// Moves the entry at (row, column) of the current page before the cursor entry (a move drag).
MCommandReport MoveEntryToCursor(int row, int column);
// Takes the entry at the cursor off the pages (nothing at the end of the data): a block goes to the
// unplaced list at its selection, a special entry is released.
MCommandReport DeleteAtCursor();
// Takes the selected block of a pane's list and inserts it before the cursor entry (a drop from the
// pane, the insert key); nothing without a selection.
MCommandReport PlaceSelected(MPane pane);
// Moves the selected unplaced block into the trash, at the trash's selection.
MCommandReport TrashSelected();
// Releases the selected block of the trash for good.
MCommandReport DeleteSelectedForGood();
// The entry on the clipboard before the cursor entry (PasteEntry of the pages).
MCommandReport PasteIntoPages(const MClipboard& clipboard);
// The block on the clipboard into the unplaced list at its selection (special entries are dropped).
MCommandReport PasteIntoUnplaced(const MClipboard& clipboard);
// Narrows a pane's list to the blocks whose search texts hold text; nothing when it is the same.
// Not a change of the document: not recorded for undo.
MCommandReport SetPaneSearch(MPane pane, std::string_view text);
// The in-place editor's commit: a text of the page form gets value from the current page on, a text
// of a placed block gets value.
MCommandReport SetTextValue(const MPageText& text, std::string_view value);

// Undo and redo. Every command above that changes the document is one step of the history (the open,
// the reset and the save are not: they begin a history or mark its saved point). Undo brings back the
// document, the cursor and the panes' selections as they were before the last step; redo as they were
// after the next one. A document at its saved point is not modified.
bool CanUndo();
bool CanRedo();
MCommandReport UndoChange();
MCommandReport RedoChange();
// Undoes the last step for good, as if it had never run: a long command that the user cancelled
// (whose report said Recorded).
MCommandReport RevertLastChange();

struct MCsvImport;
// Appends the blocks made from the records of a CSV file (data/CsvImport.h) to the unplaced list, as
// one step; the document's block-field row of the class is extended, or created, by the fields the
// columns feed, so that a save writes the values. Raises base::Error before anything changes when
// there is no document or the import cannot be made.
MCommandReport ImportCsv(const MCsvImport& import);
