#include "data/MapGlobal.h"

#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapIni.h"
#include "data/UndoHistory.h"
#include "layout/ComputedText.h"
#include "layout/ImagePath.h"

std::unique_ptr<MIni> gIni;
std::unique_ptr<MMapFile> gMapFile;
std::unique_ptr<MMapDB> gMapDB;
std::unique_ptr<MUnmapDB> gUnmapDB;
std::unique_ptr<MTrashDB> gTrashDB;
std::unique_ptr<MUndoHistory> gUndo;

namespace {
// What the computed texts (dates, page numbers) read of the document; lives with the databases.
std::unique_ptr<MDocumentTextSource> gTextSource;
}  // namespace

void CreateIni(std::string_view programPath) {
  gIni = programPath.empty() ? std::make_unique<MIni>() : std::make_unique<MIni>(programPath);
}

void CreateDocumentObjects() {
  gMapFile = std::make_unique<MMapFile>();
  gLayout = std::make_unique<MLayout>();
  // The databases build blocks from the layout's classes and the file's block-field rows.
  gMapDB = std::make_unique<MMapDB>(*gLayout, *gMapFile);
  gUnmapDB = std::make_unique<MUnmapDB>(*gLayout, *gMapFile);
  gTrashDB = std::make_unique<MTrashDB>(*gLayout, *gMapFile);
  gUndo = std::make_unique<MUndoHistory>(*gMapDB, *gUnmapDB, *gTrashDB);
  for (MBaseDB* db : std::initializer_list<MBaseDB*>{gMapDB.get(), gUnmapDB.get(), gTrashDB.get()})
    db->SetHistory(gUndo.get());
}

void WireDocumentObjects(MShortDateFormat shortDate) {
  gTextSource = std::make_unique<MDocumentTextSource>(*gMapFile, *gMapDB, std::move(shortDate));
  SetComputedTextSource(gTextSource.get());
  // Image values name their files through the folder aliases of the configuration; a relative name
  // is taken relative to the document's folder, which is current while values are set.
  SetImagePathResolver([](const std::string& value) {
    return value.empty() ? value : gIni->FullPath(gIni->ResolvePath(value));
  });
}

void UnwireDocumentObjects() {
  SetComputedTextSource(nullptr);
  SetImagePathResolver(nullptr);
  gTextSource.reset();
}

void ReleaseDocumentObjects() {
  for (MBaseDB* db : std::initializer_list<MBaseDB*>{gMapDB.get(), gUnmapDB.get(), gTrashDB.get()}) {
    if (db != nullptr) db->SetHistory(nullptr);
  }
  gUndo.reset();
  gMapFile.reset();
  gLayout.reset();
  // Releasing pages and blocks reaches neither the layout nor the file, nor redraws anything.
  gMapDB.reset();
  gUnmapDB.reset();
  gTrashDB.reset();
}

void CreateDataGlobals(std::string_view programPath) {
  ReleaseDataGlobals();
  try {
    CreateIni(programPath);
    CreateDocumentObjects();
  } catch (...) {
    ReleaseDataGlobals();
    throw;
  }
  WireDocumentObjects();
}

void ReleaseDataGlobals() {
  UnwireDocumentObjects();
  gIni.reset();
  ReleaseDocumentObjects();
}
