#include "app/DocumentContext.h"

#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"
#include "layout/Layout.h"
#include "render/ListCanvas.h"
#include "render/MapCanvas.h"
#include "render/RenderGlobal.h"

MDocumentContext MDocumentContext::FromGlobals() {
  return MDocumentContext{*gMapFile, *gLayout,    *gMapDB,       *gUnmapDB,
                          *gTrashDB, *gMapCanvas, *gUnmapCanvas, *gTrashCanvas};
}

bool MDocumentContext::Open() const { return Pages.PageCount() > 0; }

bool MDocumentContext::HasForms() const { return Open() && Layout.HasForms(); }

bool MDocumentContext::TextInput() const { return PageCanvas.Mode() == cmTextInput; }
