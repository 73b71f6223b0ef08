// What the layout module sees: itself and what it depends on, nothing above or beside it.
#if !__has_include("layout/Controls.h")
#error "layout must see layout/Controls.h"
#endif
#if !__has_include("layout/ElementCanvas.h")
#error "layout must see layout/ElementCanvas.h"
#endif
#if !__has_include("base/Sjis.h")
#error "layout must see base/Sjis.h"
#endif
#if __has_include("barcode/BarImage.h")
#error "layout must not see barcode/BarImage.h"
#endif
#if __has_include("data/MapDB.h")
#error "layout must not see data/MapDB.h"
#endif
#if __has_include("render/MapCanvas.h")
#error "layout must not see render/MapCanvas.h"
#endif
#if __has_include("app/AppGlobals.h")
#error "layout must not see app/AppGlobals.h"
#endif
