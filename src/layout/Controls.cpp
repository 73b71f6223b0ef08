#include "layout/Controls.h"

#include <algorithm>

#include "base/Sjis.h"
#include "layout/ComputedText.h"
#include "layout/ElementMemory.h"
#include "layout/ImagePath.h"

// ---- MControl

MControl::~MControl() = default;

void* MControl::operator new(std::size_t size) { return element_memory::Allocate(size); }
void MControl::operator delete(void* memory, std::size_t size) noexcept {
  element_memory::Release(memory, size);
}

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

bool MControl::Intersects(const MRect& rect) const { return Bounds.Meets(rect); }

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
