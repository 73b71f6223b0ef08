#include "render/RenderGlobal.h"

#include "render/ImageCache.h"
#include "render/ListCanvas.h"
#include "render/MapCanvas.h"
#include "render/MapInvalidate.h"

std::unique_ptr<MMapCanvas> gMapCanvas;
std::unique_ptr<MUnmapCanvas> gUnmapCanvas;
std::unique_ptr<MTrashCanvas> gTrashCanvas;
std::unique_ptr<MMapInvalidate> gMapInvalidate;
std::unique_ptr<MImageCache> gImageCache;
