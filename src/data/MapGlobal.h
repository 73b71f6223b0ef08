// The editor's lasting state: one object of each kind, created in a fixed order before anything else
// runs and released after everything else has finished. A document is not an object of its own: it is
// the content of gMapFile, gLayout and the block databases, cleared and refilled, never replaced.
//
// Creation order (release follows the same order):
//   1 gIni            configuration                       data (here)
//   2 gMapCanvas      page view canvas                    render/RenderGlobal.h
//   3 gUnmapCanvas    unplaced-pane canvas                render/RenderGlobal.h
//   4 gTrashCanvas    trash-pane canvas                   render/RenderGlobal.h
//   5 gMapFile        mapping data file                   data (here)
//   6 gLayout         the loaded layout                   layout/Layout.h
//   7 gMapDB          placed blocks on pages              data (here)
//   8 gUnmapDB        unplaced blocks                     data (here)
//   9 gTrashDB        trashed blocks                      data (here)
//     gUndo           the undo history of the databases   data (here), with them
//  10 gMapInvalidate  repaint requests of the model       render/RenderGlobal.h
//  11 gImageCache     decoded images of the image elements render/RenderGlobal.h
// Each module declares the globals of its own classes; the programs' start-up (app/AppGlobals.h)
// creates all of them in this order and wires them. Headless programs and tests that need no canvas
// use CreateDataGlobals.
#pragma once

#include <memory>
#include <string_view>

#include "data/DocumentTextSource.h"
#include "layout/Layout.h"

class MIni;
class MMapFile;
class MMapDB;
class MUnmapDB;
class MTrashDB;
class MUndoHistory;

extern std::unique_ptr<MIni> gIni;
extern std::unique_ptr<MMapFile> gMapFile;
extern std::unique_ptr<MMapDB> gMapDB;
extern std::unique_ptr<MUnmapDB> gUnmapDB;
extern std::unique_ptr<MTrashDB> gTrashDB;
extern std::unique_ptr<MUndoHistory> gUndo;

// The steps of creation that are data's, for the unit that creates every global object.
// gIni from the ".ini" of programPath (empty: the running program). Raises base::Error when the
// configuration cannot be read.
void CreateIni(std::string_view programPath);
// gMapFile, gLayout and the three databases (5 to 9) with their undo history.
void CreateDocumentObjects();
// Installs what the model asks of the document: image names resolved through the folder aliases of
// gIni, computed texts over gMapFile and gMapDB with dates in shortDate's format.
void WireDocumentObjects(MShortDateFormat shortDate = {});
// Uninstalls it again, so that nothing of the model reaches an object being released.
void UnwireDocumentObjects();
// Releases the undo history, then gMapFile, gLayout and the three databases, in that order.
void ReleaseDocumentObjects();

// The data module's globals alone (gIni, then 5 to 9), wired, for headless use: no page view, no
// repaint requests, no pictures. Raises base::Error when the configuration cannot be read; nothing is
// left half-created then.
void CreateDataGlobals(std::string_view programPath = {});
// Releases them in creation order; each is empty afterwards. Safe when nothing was created.
void ReleaseDataGlobals();
