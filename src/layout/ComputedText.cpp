#include "layout/ComputedText.h"

#include "layout/Shapes.h"

namespace {
const MComputedTextSource* gSource = nullptr;
int gScopePage = 0;
}  // namespace

MPageScope::MPageScope(int page) : outer_(gScopePage) { gScopePage = page; }
MPageScope::~MPageScope() { gScopePage = outer_; }
int MPageScope::Current() { return gScopePage; }

const MComputedTextSource* ComputedTextSource() { return gSource; }
void SetComputedTextSource(const MComputedTextSource* source) { gSource = source; }

bool ComputedText(const MText& text, std::string& value) {
  if (gSource == nullptr) return false;
  switch (text.DataType) {
    case dtCreateDate:
      value = gSource->CreateDate();
      return true;
    case dtNowDate:
      value = gSource->NowDate();
      return true;
    case dtNowPage:
      value = std::to_string(MPageScope::Current());
      return true;
    case dtTotalPage:
      value = std::to_string(gSource->PageCount());
      return true;
    default:
      return false;
  }
}
