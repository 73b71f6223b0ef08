// The editor's lasting state: one object of each kind, created in a fixed order before anything else
// runs and released after everything else has finished. A document is not an object of its own: it is
// the content of gMapFile, gLayout and the block databases, cleared and refilled, never replaced.
//
// Creation order (release follows the same order):
//   1 gIni            configuration
//   2 gMapCanvas      page view canvas
//   5 gMapFile        mapping data file
//   6 gLayout         the loaded layout
//   7 gMapDB          placed blocks on pages
//   8 gUnmapDB        unplaced blocks
//   9 gTrashDB        trashed blocks
//  10 gMapInvalidate  repaint requests of the model, to the page view
//  11 gImageCache     decoded images of the image elements
// The places left free belong to the side pane canvases (3, 4) as they come into being.
#pragma once

#include <memory>
#include <string_view>

class MIni;
class MMapCanvas;
class MMapFile;
class MLayout;
class MMapDB;
class MUnmapDB;
class MTrashDB;
class MMapInvalidate;
class MImageCache;

extern std::unique_ptr<MIni> gIni;
extern std::unique_ptr<MMapCanvas> gMapCanvas;
extern std::unique_ptr<MMapFile> gMapFile;
extern std::unique_ptr<MLayout> gLayout;
extern std::unique_ptr<MMapDB> gMapDB;
extern std::unique_ptr<MUnmapDB> gUnmapDB;
extern std::unique_ptr<MTrashDB> gTrashDB;
extern std::unique_ptr<MMapInvalidate> gMapInvalidate;
extern std::unique_ptr<MImageCache> gImageCache;

// Creates and wires the global objects. programPath names the program file whose ".ini" is read;
// empty means the running program. Raises base::Error when the configuration cannot be read; nothing
// is left half-created then.
void CreateGlobals(std::string_view programPath = {});

// Releases the global objects in creation order; each global is empty afterwards. Safe to call when
// nothing was created.
void ReleaseGlobals();
