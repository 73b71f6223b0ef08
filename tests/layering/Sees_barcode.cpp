// What the barcode module sees: itself and what it depends on, nothing above or beside it.
#if !__has_include("barcode/BarImage.h")
#error "barcode must see barcode/BarImage.h"
#endif
#if !__has_include("base/Sjis.h")
#error "barcode must see base/Sjis.h"
#endif
#if __has_include("layout/Controls.h")
#error "barcode must not see layout/Controls.h"
#endif
#if __has_include("data/MapDB.h")
#error "barcode must not see data/MapDB.h"
#endif
#if __has_include("render/MapCanvas.h")
#error "barcode must not see render/MapCanvas.h"
#endif
#if __has_include("app/AppGlobals.h")
#error "barcode must not see app/AppGlobals.h"
#endif
