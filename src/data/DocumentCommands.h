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
  // The cursor after the command: its row and column on the current page (0 without a document), and
  // whether it stands elsewhere or on another entry than before (the caret follows).
  int CursorRow = 0;
  int CursorColumn = 0;
  bool CursorChanged = false;
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

// Starts a new document on the layout file at layoutPath (relative to the current folder when
// relative): untitled, nothing placed, unplaced or trashed, and one block-field row per block class
// naming every text, image and barcode element of the class in element order, so that the values of
// new blocks are saved. Until its first save the document's folder, against which relative image
// names resolve, is the layout's folder. The new document is not modified: it holds nothing to lose.
// The layout is loaded before anything changes: one that does not load raises MLayoutLoadError with
// the loader's message and line, and a layout without a page form base::Error, leaving the open
// document as it was.
MCommandReport NewDocument(std::string_view layoutPath);
// The document has no file yet: it was started from a layout (or recovered from the copy of such a
// document) and not saved since. Its first save names it; see PrepareSave.
bool DocumentUntitled();
// Where the save dialog starts for the document: its own file; for an untitled document a file
// named after the layout in the layout's folder ("labels.lay" gives "labels.map" beside it).
std::string ProposedDocumentPath();
// The copy of an untitled document (DocumentFileText of it) opened again: untitled, on the layout the
// copy names by full path, modified. Raises as OpenDocument does.
MCommandReport OpenRecoveredUntitled(const std::string& bytes);
// The bytes of the document as the save command would write them to its own file, for a recovery
// copy; an untitled document names its layout by full path. Changes nothing of the document.
std::string DocumentFileText();
// The document's file on disk was changed by another program since it was opened or saved.
bool DocumentChangedOnDisk();

// A save made ready: the bytes of the document as a mapping data file, as they stood when it was
// made, and the file they go to.
struct MPreparedSave {
  std::string Path;        // full, Shift-JIS
  std::string LayoutName;  // the layout as the file names it
  std::string Bytes;
};
// The document as the save command writes it, for path (relative to the current folder when
// relative; empty: the document's own file). Raises base::Error without a document or a file name,
// or when the document cannot be written as a file. Changes nothing of the document.
// An untitled document names its layout relative to the folder of path when the layout lies in that
// folder or below it (with "/" between folders), and by its full path otherwise.
MPreparedSave PrepareSave(std::string_view path = {});
// Writes a prepared save; the previous file is replaced only once the new one is complete (a failure
// raises base::Error and leaves it as it was). Written to the document's own file, the document is
// no longer modified and takes the file's date. The first save of an untitled document, wherever it
// goes, names the document: it takes the file's name, the layout name written and the file's folder.
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

// The cursor and the pages shown. These are no changes of the document: not recorded for undo, not
// marking it modified; their reports say where the cursor went.
enum class MCursorMove { Previous, Next, Up, Down, RowStart, RowEnd, First };
MCommandReport MoveCursor(MCursorMove move);
// Row and column from a point of the current page (page units).
MCommandReport CursorToPoint(double x, double y);
// Shows a page (from 1; numbers out of range change nothing), the cursor near where it stood.
MCommandReport GoToPage(int page);
// Backspace: the entry before the cursor taken off the pages as DeleteAtCursor takes it, in one step;
// nothing at the first point of page 1.
MCommandReport DeleteBeforeCursor();

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
