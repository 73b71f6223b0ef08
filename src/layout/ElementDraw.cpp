// Element drawing. Every element kind draws itself through the canvas it is given, in layout units;
// the canvas converts to pixels. The same code draws the page view, the PNG export and paper: the
// canvas's Mode decides what only the screen shows (marks in mapping mode, the highlight of editable
// texts in text input mode), and clip lets the screen skip what lies outside the area repainted.
//
// This is the one place of the layout module that reaches into render/: the canvases and the image
// cache.
#include "layout/ElementDraw.h"

#include <QImage>
#include <algorithm>
#include <memory>

#include "barcode/BarImage.h"
#include "base/Sjis.h"
#include "base/ValueFormat.h"
#include "layout/Controls.h"
#include "layout/Form.h"
#include "layout/Grid.h"
#include "render/ImageCache.h"
#include "render/MapCanvas.h"

namespace {

MImageCache* gImageCache = nullptr;

// The gray box of an image that does not load, shown in design mode (RGB 208, 208, 208).
constexpr std::uint32_t kMissingImageColor = 0x02D0D0D0;
// The background of editable texts in text input mode (RGB 200, 199, 192).
constexpr std::uint32_t kEditableTextColor = 0x02C0C7C8;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// The barcode symbology and drawing options of barcode elements.
constexpr int kBarHeight = 40;
constexpr int kElementRatio = 25;

// When clip is set: whether the element meets the area being repainted.
bool InClip(const MControl& element, const MMapCanvas& canvas, bool clip) {
  return !clip || element.Intersects(canvas.GetClipRectUnits());
}

bool OutlineOn(const MControl& element) { return element.StrokeWidth > 0 && element.StrokeStyle != ssNone; }

// The element's stroke as the surface's pen: at least one pixel wide, so that a zero width with a
// fill still outlines in its style.
void SetupPen(const MControl& element, MMapCanvas& canvas) {
  canvas.SetPen(
      MPen{std::max(1, canvas.ToPixels(element.StrokeWidth)), element.StrokeColor, element.StrokeStyle});
}

// A plain filled rectangle without an outline.
void FillBounds(const MControl& element, MMapCanvas& canvas, std::uint32_t color) {
  canvas.SetPenStyle(psClear);
  canvas.SetBrush(MBrush{color, bsSolid});
  canvas.Rectangle(element.Bounds);
}

// Box and circle: nothing without outline and fill.
bool SetupShape(const MControl& element, MMapCanvas& canvas, bool clip) {
  if (!element.Visible) return false;
  if (!OutlineOn(element) && element.FillStyle == fsNone) return false;
  if (!InClip(element, canvas, clip)) return false;
  SetupPen(element, canvas);
  canvas.SetBrush(MBrush{element.FillColor, element.FillStyle});
  return true;
}

// The text a non-memo text draws: its value without trailing blanks and control characters, put
// through its format when it has one. A value that does not convert, or a format that does not apply,
// leaves the text unformatted.
std::string DisplayText(const MText& text) {
  std::string s(base::TrimRight(text.GetText()));
  if (text.Format.empty()) return s;
  base::ValueKind kind = base::ValueKind::Text;
  if (text.DataType == dtInteger)
    kind = base::ValueKind::Integer;
  else if (text.DataType == dtFloat)
    kind = base::ValueKind::Float;
  std::string formatted;
  if (base::FormatTextValue(text.Format, kind, s, formatted)) return formatted;
  return s;
}

// The barcode component of an element, painted with the element's value; null when the value cannot
// be encoded. It lives for one draw, so every draw shows the current value.
std::unique_ptr<barcode::TBarImage> CreateBarImage(const MBarcode& element) {
  auto bar = std::make_unique<barcode::TBarImage>();
  bar->SetBarEnabled(false);  // collect the settings, paint once at the end
  bar->SetBarType(barcode::cbarNW7);
  bar->SetBarHeight(kBarHeight);
  bar->SetMatch(true);
  bar->SetSymbolDisp(false);
  bar->SetElementRatio(kElementRatio);
  bar->SetCode(element.Value);
  bar->SetBarEnabled(true);
  if (!bar->BarDisped()) return nullptr;
  return bar;
}

}  // namespace

MImageCache* ElementImageCache() { return gImageCache; }
void SetElementImageCache(MImageCache* cache) { gImageCache = cache; }

const QImage* LoadImage(MImage& image) {
  const QImage* picture = gImageCache != nullptr ? gImageCache->GetImage(image.FileName) : nullptr;
  if (picture != nullptr && picture->isNull()) picture = nullptr;
  image.ImageWidth = picture != nullptr ? picture->width() : 0;
  image.ImageHeight = picture != nullptr ? picture->height() : 0;
  return picture;
}

// ---- shapes

void MLine::Draw(MMapCanvas& canvas, std::uint8_t, bool clip) {
  if (!Visible || !OutlineOn(*this)) return;
  if (!InClip(*this, canvas, clip)) return;
  SetupPen(*this, canvas);
  canvas.MoveTo(X1, Y1);
  canvas.LineTo(X2, Y2);
}

void MBox::Draw(MMapCanvas& canvas, std::uint8_t, bool clip) {
  if (SetupShape(*this, canvas, clip)) canvas.Rectangle(Bounds);
}

void MCircle::Draw(MMapCanvas& canvas, std::uint8_t, bool clip) {
  if (SetupShape(*this, canvas, clip)) canvas.Ellipse(Bounds);
}

void MImage::Draw(MMapCanvas& canvas, std::uint8_t, bool clip) {
  if (!Visible || !InClip(*this, canvas, clip)) return;
  if (const QImage* picture = LoadImage(*this)) {
    canvas.DrawImage(Bounds, *picture, ImageHeight, ImageWidth);
  } else if (canvas.DesignMode()) {
    FillBounds(*this, canvas, kMissingImageColor);
  }
}

void MText::Draw(MMapCanvas& canvas, std::uint8_t, bool clip) {
  if (!Visible || !InClip(*this, canvas, clip)) return;
  canvas.SetFontColor(StrokeColor);
  if (!FontFamily.empty()) canvas.SetFontFace(FontFamily);
  if (FontSize != 0) canvas.SetFontHeight(canvas.ToPixels(FontSize));
  canvas.SetFontStyle((FontStyle & kFontBold) != 0, (FontStyle & kFontItalic) != 0);
  if (Editable && canvas.Mode() == cmTextInput) FillBounds(*this, canvas, kEditableTextColor);
  canvas.SetBrushStyle(bsClear);
  if (DataType == dtMemo) {
    canvas.DrawMemoText(Bounds, Lines);
    return;
  }
  canvas.DrawTextFit(Bounds, DisplayText(*this), Align);
}

void MBarcode::Draw(MMapCanvas& canvas, std::uint8_t, bool clip) {
  if (!Visible || !InClip(*this, canvas, clip)) return;
  if (const std::unique_ptr<barcode::TBarImage> bar = CreateBarImage(*this)) {
    canvas.DrawBarcode(Bounds, *bar);
  } else {
    // A value that has no barcode leaves a white box.
    FillBounds(*this, canvas, kWhite);
  }
}

// ---- containers and the grid

void MContainer::Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) {
  if (!Visible || !InClip(*this, canvas, clip)) return;
  if (OutlineOn(*this) || FillStyle == fsSolid) {
    SetupPen(*this, canvas);
    canvas.SetBrush(MBrush{FillColor, FillStyle});
    canvas.Rectangle(Bounds);
  }
  for (const std::unique_ptr<MControl>& child : Children) child->Draw(canvas, variant, clip);
}

void MForm::Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) {
  MContainer::Draw(canvas, variant, clip);
  // The entries on the grid draw even when the form itself is hidden.
  Grid.Draw(canvas, variant, clip);
}

void MGrid::Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) {
  for (const MGridRow& row : Rows) {
    for (const std::unique_ptr<MGridPoint>& point : row) point->Draw(canvas, variant, clip);
  }
}

void MGridPoint::Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) {
  if (Block != nullptr) {
    Block->Draw(canvas, variant, clip);
    return;
  }
  if (!Visible || canvas.Mode() != cmMapping) return;
  if (!BlockTypes.empty() && BlockTypes.front() == "none") return;
  canvas.DrawGridPointMark(clip, X1, Y1);
}

// ---- special entries: marks in mapping mode only

void MSpace::Draw(MMapCanvas& canvas, std::uint8_t, bool clip) {
  if (canvas.Mode() == cmMapping) canvas.DrawSpaceMark(clip, X1, Y1);
}

void MNewLine::Draw(MMapCanvas& canvas, std::uint8_t, bool clip) {
  if (canvas.Mode() == cmMapping) canvas.DrawNewLineMark(clip, X1, Y1);
}

void MNewPage::Draw(MMapCanvas& canvas, std::uint8_t, bool clip) {
  if (canvas.Mode() == cmMapping) canvas.DrawNewPageMark(clip, X1, Y1);
}

void MEOD::Draw(MMapCanvas& canvas, std::uint8_t, bool clip) {
  if (canvas.Mode() == cmMapping) canvas.DrawEndMark(clip, X1, Y1);
}
