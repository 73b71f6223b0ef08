#include "data/MapGlobal.h"

#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapIni.h"
#include "layout/ComputedText.h"
#include "layout/ElementDraw.h"
#include "layout/ImagePath.h"
#include "layout/Invalidate.h"
#include "layout/Layout.h"
#include "render/DocumentTexts.h"
#include "render/ImageCache.h"
#include "render/MapCanvas.h"
#include "render/MapInvalidate.h"

std::unique_ptr<MIni> gIni;
std::unique_ptr<MMapCanvas> gMapCanvas;
std::unique_ptr<MMapFile> gMapFile;
std::unique_ptr<MLayout> gLayout;
std::unique_ptr<MMapDB> gMapDB;
std::unique_ptr<MUnmapDB> gUnmapDB;
std::unique_ptr<MTrashDB> gTrashDB;
std::unique_ptr<MMapInvalidate> gMapInvalidate;
std::unique_ptr<MImageCache> gImageCache;

namespace {
// What the computed texts (dates, page numbers) read of the document; lives with the globals.
std::unique_ptr<MDocumentTexts> gDocumentTexts;
}  // namespace

void CreateGlobals(std::string_view programPath) {
  ReleaseGlobals();
  try {
    gIni = programPath.empty() ? std::make_unique<MIni>() : std::make_unique<MIni>(programPath);
    gMapCanvas = std::make_unique<MMapCanvas>();
    gMapFile = std::make_unique<MMapFile>();
    gLayout = std::make_unique<MLayout>();
    // The databases build blocks from the layout's classes and the file's block-field rows.
    gMapDB = std::make_unique<MMapDB>(*gLayout, *gMapFile);
    gUnmapDB = std::make_unique<MUnmapDB>(*gLayout, *gMapFile);
    gTrashDB = std::make_unique<MTrashDB>(*gLayout, *gMapFile);
    gMapInvalidate = std::make_unique<MMapInvalidate>();
    gImageCache = std::make_unique<MImageCache>();
    gDocumentTexts = std::make_unique<MDocumentTexts>(*gMapFile, *gMapDB);
  } catch (...) {
    ReleaseGlobals();
    throw;
  }
  // The page view shows the active page; the model's repaint requests go to the page view.
  gMapCanvas->SetMapDB(gMapDB.get());
  gMapInvalidate->SetCanvas(gMapCanvas.get());
  SetPageInvalidator(gMapInvalidate.get());
  gImageCache->SetCapacity(gIni->ImageCacheSize());
  SetElementImageCache(gImageCache.get());
  SetTextDocument(gDocumentTexts.get());
  // Image values name their files through the folder aliases of the configuration; a relative name
  // is taken relative to the document's folder, which is current while values are set.
  SetImagePathResolver([](const std::string& value) {
    return value.empty() ? value : gIni->FullPath(gIni->ResolvePath(value));
  });
}

void ReleaseGlobals() {
  // Nothing of the model may reach an object once it is released: the hooks go first, and the
  // invalidation object forgets the canvas before the canvas goes.
  SetPageInvalidator(nullptr);
  SetTextDocument(nullptr);
  SetElementImageCache(nullptr);
  SetImagePathResolver(nullptr);
  gDocumentTexts.reset();
  gIni.reset();
  if (gMapInvalidate != nullptr) gMapInvalidate->SetCanvas(nullptr);
  gMapCanvas.reset();
  gMapFile.reset();
  gLayout.reset();
  // Releasing pages and blocks reaches neither the layout nor the file, nor redraws anything.
  gMapDB.reset();
  gUnmapDB.reset();
  gTrashDB.reset();
  gMapInvalidate.reset();
  gImageCache.reset();
}
