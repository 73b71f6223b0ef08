// Small helpers of the block databases' files.
#pragma once

#include "layout/Invalidate.h"

// Asks for the whole page view to be repainted.
inline void InvalidateView() {
  if (MBaseInvalidate* target = PageInvalidator()) target->InvalidateAll();
}
