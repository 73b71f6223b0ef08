// What the render module sees: itself and what it depends on, nothing above or beside it.
#if !__has_include("render/MapCanvas.h")
#error "render must see render/MapCanvas.h"
#endif
#if !__has_include("data/MapDB.h")
#error "render must see data/MapDB.h"
#endif
#if !__has_include("layout/Controls.h")
#error "render must see layout/Controls.h"
#endif
#if !__has_include("barcode/BarImage.h")
#error "render must see barcode/BarImage.h"
#endif
#if !__has_include("base/Sjis.h")
#error "render must see base/Sjis.h"
#endif
#if __has_include("app/AppGlobals.h")
#error "render must not see app/AppGlobals.h"
#endif
#if __has_include("app/window/MainWindow.h")
#error "render must not see app/window/MainWindow.h"
#endif
