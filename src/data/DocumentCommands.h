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

// The layout named by a document does not load: the message is the loader's, shown as it is.
class MLayoutLoadError : public base::Error {
 public:
  using base::Error::Error;
};

// What a command did beside its main effect.
struct MCommandReport {
  // Blocks of a class that no grid point accepts, moved to the end of the unplaced list instead of
  // onto the pages.
  int MovedToUnplaced = 0;
};

// The message that tells the user about moved blocks (Shift-JIS); empty when none moved.
std::string MovedToUnplacedMessage(const MCommandReport& report);

// A document is open: the pages exist.
bool HasDocument();
// Any of the three databases has changes that are not saved.
bool IsModified();
void ClearModified();

// Empties the layout and the three databases.
void ResetDocument();
// Opens the mapping data file at path (Shift-JIS; relative to the current folder when relative). The
// document's folder becomes the current folder. Raises MLayoutLoadError when its layout does not
// load and base::Error for every other failure, in the no-document state both times. Leaves the
// databases modified; callers that open a document as it is on disk call ClearModified.
MCommandReport OpenDocument(std::string_view path);

// Fills the rows of gMapFile from the document, extending each block-field row by the editable texts
// of its class that it lacks. SaveDocument does this before it writes.
void FillDocumentRows();
// Writes the document over gMapFile's FileName. Raises base::Error without a document or a file
// name, or when the file cannot be written (the old file then stays as it was).
void SaveDocument();
// The file name becomes path (relative to the current folder when relative), then SaveDocument.
void SaveDocumentAs(std::string_view path);

// Places every visible unplaced block before the cursor entry.
MCommandReport AutoMapping();
// Places the blocks where blocks with the same keys stand in the reference file, unplacing the rest.
// The reference is read and understood before anything changes: one that cannot be read raises
// base::Error and leaves the document untouched.
MCommandReport SameMapping(std::string_view referencePath);
// A new block of the class (exact name) with its default values before the cursor entry; nothing
// when the layout has no such class.
MCommandReport InsertBlock(std::string_view className);
// A "newpage" entry before the cursor entry: the cursor entry starts the next page.
void InsertPageBreak();
// The entry on the clipboard before the cursor entry (PasteEntry of the pages).
MCommandReport PasteIntoPages(const MClipboard& clipboard);

// Moves the blocks that the pages refused to the end of the unplaced list; returns their number.
// Every command above does this itself; anything else that adds to gMapDB must call it afterwards.
int MoveRefusedToUnplaced();
