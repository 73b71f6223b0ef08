// The programs' start-up and exit: every global object, made in its fixed order and wired to the
// others (data/MapGlobal.h lists them), and released again.
#pragma once

#include <string_view>

// Creates and wires the global objects. programPath names the program file whose ".ini" is read;
// empty means the running program. Raises base::Error when the configuration cannot be read; nothing
// is left half-created then.
void CreateGlobals(std::string_view programPath = {});

// Releases the global objects in creation order; each global is empty afterwards. Safe to call when
// nothing was created.
void ReleaseGlobals();
