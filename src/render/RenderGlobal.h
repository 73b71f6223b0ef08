// The global objects of rendering: the page view canvas, the two side pane canvases, the invalidation
// object and the image cache
// (data/MapGlobal.h lists every global object in creation order). The programs' start-up
// (app/AppGlobals.h) creates and wires them; they are empty outside it.
#pragma once

#include <memory>

class MMapCanvas;
class MUnmapCanvas;
class MTrashCanvas;
class MMapInvalidate;
class MImageCache;

extern std::unique_ptr<MMapCanvas> gMapCanvas;
extern std::unique_ptr<MUnmapCanvas> gUnmapCanvas;
extern std::unique_ptr<MTrashCanvas> gTrashCanvas;
extern std::unique_ptr<MMapInvalidate> gMapInvalidate;
extern std::unique_ptr<MImageCache> gImageCache;
