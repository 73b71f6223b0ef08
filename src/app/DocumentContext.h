// The document as the window's views and dialogs are given it: the objects that hold it (the
// mapping data file, the layout, the three databases) and the canvases that show it. They are the
// global objects, which outlive every view; a view reaches them through its context, never by name.
#pragma once

#include "data/DocumentCommands.h"

class MLayout;
class MListCanvas;
class MListDB;
class MMapCanvas;
class MMapDB;
class MMapFile;

struct MDocumentContext {
  MMapFile& File;
  MLayout& Layout;
  MMapDB& Pages;
  MListDB& Unplaced;
  MListDB& Trash;
  MMapCanvas& PageCanvas;
  MListCanvas& UnmapCanvas;
  MListCanvas& TrashCanvas;

  // The context over the global objects, which must exist.
  static MDocumentContext FromGlobals();

  MListDB& List(MPane pane) const { return pane == MPane::Unmap ? Unplaced : Trash; }
  MListCanvas& Canvas(MPane pane) const { return pane == MPane::Unmap ? UnmapCanvas : TrashCanvas; }
  // A document is open: the pages exist.
  bool Open() const;
  // The layout of the open document has a form (keys and clicks act on its pages).
  bool HasForms() const;
  // The page view's edit mode is text input.
  bool TextInput() const;
};
