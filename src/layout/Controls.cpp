#include "layout/Controls.h"

#include <algorithm>

#include "base/Sjis.h"
#include "layout/ComputedText.h"
#include "layout/ElementMemory.h"
#include "layout/ImagePath.h"

// ---- MControl

MControl::~MControl() = default;

void* MControl::operator new(std::size_t size) { return element_memory::Allocate(size); }
void MControl::operator delete(void* memory, std::size_t size) noexcept { element_memory::Release(memory, size); }

std::unique_ptr<MControl> MControl::Clone() const {
  std::unique_ptr<MControl> copy = NewSame();
  copy->Assign(*this);
  return copy;
}

void MControl::Assign(const MControl& source) {
  Name = source.Name;
  Bounds = source.Bounds;
  Width = source.Width;
  Height = source.Height;
  X1 = source.X1;
  Y1 = source.Y1;
  X2 = source.X2;
  Y2 = source.Y2;
  StrokeWidth = source.StrokeWidth;
  StrokeStyle = source.StrokeStyle;
  StrokeColor = source.StrokeColor;
  FillStyle = source.FillStyle;
  FillColor = source.FillColor;
  Visible = source.Visible;
}

void MControl::Translate(double dx, double dy) {
  Bounds.Left += dx;
  Bounds.Right += dx;
  X1 += dx;
  X2 += dx;
  Bounds.Top += dy;
  Bounds.Bottom += dy;
  Y1 += dy;
  Y2 += dy;
}

void MControl::MoveBy(const MControl& origin) { Translate(origin.X1, origin.Y1); }
void MControl::MoveBack(const MControl& origin) { Translate(-origin.X1, -origin.Y1); }

void MControl::SetX(double v) {
  Bounds.Left = X1 = v;
  Bounds.Right = X2 = v + Width;
}

void MControl::SetY(double v) {
  Bounds.Top = Y1 = v;
  Bounds.Bottom = Y2 = v + Height;
}

void MControl::SetWidth(double v) {
  Width = v;
  Bounds.Right = Bounds.Left + v;
  X2 = X1 + v;
}

void MControl::SetHeight(double v) {
  Height = v;
  Bounds.Bottom = Bounds.Top + v;
  Y2 = Y1 + v;
}

// After an end point moved: the bounds span the two end points, whichever way round they lie.
void MControl::SpanX() {
  Bounds.Left = std::min(X1, X2);
  Bounds.Right = std::max(X1, X2);
  Width = Bounds.Right - Bounds.Left;
}

void MControl::SpanY() {
  Bounds.Top = std::min(Y1, Y2);
  Bounds.Bottom = std::max(Y1, Y2);
  Height = Bounds.Bottom - Bounds.Top;
}

void MControl::SetX1(double v) {
  X1 = v;
  SpanX();
}

void MControl::SetX2(double v) {
  X2 = v;
  SpanX();
}

void MControl::SetY1(double v) {
  Y1 = v;
  SpanY();
}

void MControl::SetY2(double v) {
  Y2 = v;
  SpanY();
}

bool MControl::Intersects(const MRect& rect) const {
  return rect.Right >= Bounds.Left && Bounds.Right >= rect.Left && rect.Bottom >= Bounds.Top &&
         Bounds.Bottom >= rect.Top;
}

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
  // Dates and page numbers come from the document around the model (layout/ComputedText.h).
  if (std::string computed; ComputedText(*this, computed)) return computed;
  if (Lines.size() == 1) return Lines.front();
  std::string text;
  for (const std::string& line : Lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

void MBarcode::Assign(const MControl& source) {
  MShape::Assign(source);
  if (const MBarcode* barcode = As<MBarcode>(&source)) Value = barcode->Value;
}

// ---- containers

void MContainer::Assign(const MControl& source) {
  MControl::Assign(source);
  if (const MContainer* container = As<MContainer>(&source)) {
    if (container == this) return;
    Children.clear();
    Children.reserve(container->Children.size());
    for (const auto& child : container->Children) Children.push_back(child->Clone());
  }
}

void MContainer::Translate(double dx, double dy) {
  MControl::Translate(dx, dy);
  for (const auto& child : Children) child->Translate(dx, dy);
}

MText* MContainer::FindEditableText(double x, double y) {
  for (const auto& child : Children) {
    MText* text = As<MText>(child.get());
    if (text != nullptr && text->Editable && text->Bounds.Left <= x && x <= text->Bounds.Right &&
        text->Bounds.Top <= y && y <= text->Bounds.Bottom) {
      return text;
    }
  }
  return nullptr;
}

bool MContainer::Contains(const MControl* element) const {
  return std::any_of(Children.begin(), Children.end(),
                     [element](const auto& c) { return c.get() == element; });
}

MControl* MContainer::FindChild(std::string_view name) const {
  for (const auto& child : Children) {
    if (child->Name == name) return child.get();
  }
  return nullptr;
}

std::vector<std::string> MContainer::EditableNames() const {
  std::vector<std::string> names;
  for (const auto& child : Children) {
    const MText* text = As<MText>(child.get());
    if (text != nullptr && text->Editable) names.push_back(text->Name);
  }
  return names;
}

// ---- blocks

void MBlock::Assign(const MControl& source) {
  MContainer::Assign(source);
  if (const MBlock* block = As<MBlock>(&source)) {
    FaceElement = block->FaceElement;
    ThumbnailElements = block->ThumbnailElements;
    KeyElements = block->KeyElements;
    SearchElements = block->SearchElements;
  }
}

void MBlock::SetThumbnailElements(std::string_view names) { ThumbnailElements = SplitNameList(names); }
void MBlock::SetKeyElements(std::string_view names) { KeyElements = SplitNameList(names); }
void MBlock::SetSearchElements(std::string_view names) { SearchElements = SplitNameList(names); }

// ---- name lists

std::vector<std::string> SplitNameList(std::string_view text) {
  std::vector<std::string> list;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    list.emplace_back(
        base::Trim(text.substr(start, comma == std::string_view::npos ? comma : comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return list;
}

int IndexOfName(const std::vector<std::string>& list, std::string_view name) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (base::SameText(list[i], name)) return static_cast<int>(i);
  }
  return -1;
}
