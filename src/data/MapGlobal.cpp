#include "data/MapGlobal.h"

#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapIni.h"
#include "layout/ImagePath.h"
#include "layout/Layout.h"

std::unique_ptr<MIni> gIni;
std::unique_ptr<MMapFile> gMapFile;
std::unique_ptr<MLayout> gLayout;
std::unique_ptr<MMapDB> gMapDB;
std::unique_ptr<MUnmapDB> gUnmapDB;
std::unique_ptr<MTrashDB> gTrashDB;

void CreateGlobals(std::string_view programPath) {
  ReleaseGlobals();
  try {
    gIni = programPath.empty() ? std::make_unique<MIni>() : std::make_unique<MIni>(programPath);
    gMapFile = std::make_unique<MMapFile>();
    gLayout = std::make_unique<MLayout>();
    // The databases build blocks from the layout's classes and the file's block-field rows.
    gMapDB = std::make_unique<MMapDB>(*gLayout, *gMapFile);
    gUnmapDB = std::make_unique<MUnmapDB>(*gLayout, *gMapFile);
    gTrashDB = std::make_unique<MTrashDB>(*gLayout, *gMapFile);
  } catch (...) {
    ReleaseGlobals();
    throw;
  }
  // Image values name their files through the folder aliases of the configuration; a relative name
  // is taken relative to the document's folder, which is current while values are set.
  SetImagePathResolver([](const std::string& value) {
    return value.empty() ? value : gIni->FullPath(gIni->ResolvePath(value));
  });
}

void ReleaseGlobals() {
  SetImagePathResolver(nullptr);
  gIni.reset();
  gMapFile.reset();
  gLayout.reset();
  // Releasing pages and blocks reaches neither the layout nor the file, nor redraws anything.
  gMapDB.reset();
  gUnmapDB.reset();
  gTrashDB.reset();
}
