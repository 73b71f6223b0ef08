#include "layout/ComputedText.h"

#include "layout/Controls.h"

namespace {
const MTextDocument* gDocument = nullptr;
}

const MTextDocument* TextDocument() { return gDocument; }
void SetTextDocument(const MTextDocument* document) { gDocument = document; }

bool ComputedText(const MText& text, std::string& value) {
  if (gDocument == nullptr) return false;
  switch (text.DataType) {
    case dtCreateDate:
      value = gDocument->CreateDate();
      return true;
    case dtNowDate:
      value = gDocument->NowDate();
      return true;
    case dtNowPage:
      value = std::to_string(gDocument->PageOfText(text));
      return true;
    case dtTotalPage:
      value = std::to_string(gDocument->PageCount());
      return true;
    default:
      return false;
  }
}
