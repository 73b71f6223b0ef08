#include "layout/Invalidate.h"

namespace {
MBaseInvalidate* gTarget = nullptr;
}

MBaseInvalidate* PageInvalidator() { return gTarget; }
void SetPageInvalidator(MBaseInvalidate* target) { gTarget = target; }
