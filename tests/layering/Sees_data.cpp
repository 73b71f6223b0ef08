// What the data module sees: itself and what it depends on, nothing above or beside it.
#if !__has_include("data/MapDB.h")
#error "data must see data/MapDB.h"
#endif
#if !__has_include("layout/Controls.h")
#error "data must see layout/Controls.h"
#endif
#if !__has_include("base/Sjis.h")
#error "data must see base/Sjis.h"
#endif
#if __has_include("barcode/BarImage.h")
#error "data must not see barcode/BarImage.h"
#endif
#if __has_include("render/MapCanvas.h")
#error "data must not see render/MapCanvas.h"
#endif
#if __has_include("app/AppGlobals.h")
#error "data must not see app/AppGlobals.h"
#endif
