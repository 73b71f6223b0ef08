#include "layout/Shapes.h"

#include "base/Sjis.h"
#include "layout/ComputedText.h"
#include "layout/ImagePath.h"

// ---- shapes

void MShape::Assign(const MControl& source) {
  MControl::Assign(source);
  if (const MShape* shape = As<MShape>(&source)) {
    Align = shape->Align;
    Stretch = shape->Stretch;
    Editable = shape->Editable;
  }
}

void MImage::Assign(const MControl& source) {
  MShape::Assign(source);
  if (const MImage* image = As<MImage>(&source)) {
    Value = image->Value;
    FileName = image->FileName;
  }
}

void MImage::SetValue(const std::string& text) {
  Value = text;
  FileName = ResolveImagePath(text);
}

void MText::Assign(const MControl& source) {
  MShape::Assign(source);
  if (const MText* text = As<MText>(&source)) {
    Lines = text->Lines;
    FontFamily = text->FontFamily;
    FontSize = text->FontSize;
    FontStyle = text->FontStyle;
    DataType = text->DataType;
    Format = text->Format;
  }
}

void MText::SetText(std::string_view value) {
  Lines = base::SplitLines(value);
  if (DataType != dtMemo && Lines.size() > 1) Lines.resize(1);
}

// The stored text for every data type. Texts of the computed types (create-date, now-date, now-page,
// total-page) show a value that depends on the document and the page; element drawing computes it.
std::string MText::GetText() const {
  std::string scratch;
  const std::string_view text = TextView(scratch);
  return text.data() == scratch.data() ? std::move(scratch) : std::string(text);
}

std::string_view MText::TextView(std::string& scratch) const {
  // Dates and page numbers come from the document around the model (layout/ComputedText.h).
  if (ComputedText(*this, scratch)) return scratch;
  if (Lines.size() == 1) return Lines.front();
  scratch.clear();
  for (const std::string& line : Lines) {
    scratch += line;
    scratch += "\r\n";
  }
  return scratch;
}

void MBarcode::Assign(const MControl& source) {
  MShape::Assign(source);
  if (const MBarcode* barcode = As<MBarcode>(&source)) {
    Value = barcode->Value;
    Style = barcode->Style;
  }
}
