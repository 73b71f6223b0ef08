#include "app/AppGlobals.h"

#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"
#include "data/MapIni.h"
#include "layout/Invalidate.h"
#include "render/ImageCache.h"
#include "render/ListCanvas.h"
#include "render/MapCanvas.h"
#include "render/MapInvalidate.h"
#include "render/QtText.h"
#include "render/RenderGlobal.h"

void CreateGlobals(std::string_view programPath) {
  ReleaseGlobals();
  try {
    CreateIni(programPath);
    gMapCanvas = std::make_unique<MMapCanvas>();
    gUnmapCanvas = std::make_unique<MUnmapCanvas>();
    gTrashCanvas = std::make_unique<MTrashCanvas>();
    CreateDocumentObjects();
    gMapInvalidate = std::make_unique<MMapInvalidate>();
    gImageCache = std::make_unique<MImageCache>();
  } catch (...) {
    ReleaseGlobals();
    throw;
  }
  // The page view shows the active page; the model's repaint requests go to the page view.
  gMapCanvas->SetPageSource([] { return gMapDB != nullptr ? gMapDB->ActivePage() : nullptr; });
  // Each side pane shows its list.
  gUnmapCanvas->SetListDB(gUnmapDB.get());
  gTrashCanvas->SetListDB(gTrashDB.get());
  gMapInvalidate->SetCanvas(gMapCanvas.get());
  SetPageInvalidator(gMapInvalidate.get());
  gImageCache->SetCapacity(gIni->ImageCacheSize());
  SetElementImageCache(gImageCache.get());
  // Dates on the pages in the desktop's short format.
  WireDocumentObjects(ShortDateText);
}

void ReleaseGlobals() {
  // Nothing of the model may reach an object once it is released: the hooks go first, and the
  // invalidation object forgets the canvas before the canvas goes.
  SetPageInvalidator(nullptr);
  SetElementImageCache(nullptr);
  UnwireDocumentObjects();
  gIni.reset();
  if (gMapInvalidate != nullptr) gMapInvalidate->SetCanvas(nullptr);
  gMapCanvas.reset();
  gUnmapCanvas.reset();
  gTrashCanvas.reset();
  ReleaseDocumentObjects();
  gMapInvalidate.reset();
  gImageCache.reset();
}
