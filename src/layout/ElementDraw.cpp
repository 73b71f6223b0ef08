// Element drawing. Every element kind draws itself through the canvas it is given, in layout units;
// the canvas converts to pixels. The same code draws the page view, the PNG export and paper: the
// canvas's Mode decides what only the screen shows (marks in mapping mode, the highlight of editable
// texts in text input mode), and clip lets the screen skip what lies outside the area repainted.
// Pictures and barcodes are the canvas's to make (render/): an element only says where they go.
#include <algorithm>
#include <string>

#include "base/Sjis.h"
#include "base/ValueFormat.h"
#include "layout/BlockInstance.h"
#include "layout/ComputedText.h"
#include "layout/Containers.h"
#include "layout/ElementCanvas.h"
#include "layout/Form.h"
#include "layout/Grid.h"
#include "layout/Page.h"
#include "layout/Shapes.h"
#include "layout/Specials.h"

namespace {

// The gray box of an image that does not load, shown in design mode (RGB 208, 208, 208).
constexpr std::uint32_t kMissingImageColor = 0x02D0D0D0;
// The background of editable texts in text input mode (RGB 200, 199, 192).
constexpr std::uint32_t kEditableTextColor = 0x02C0C7C8;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// When clip is set: whether the element meets the area being repainted.
bool InClip(const MControl& element, const MElementCanvas& canvas, bool clip) {
  return !clip || element.Intersects(canvas.GetClipRectUnits());
}

bool OutlineOn(const MControl& element) { return element.StrokeWidth > 0 && element.StrokeStyle != ssNone; }

// The element's stroke as the surface's pen: at least one pixel wide, so that a zero width with a
// fill still outlines in its style.
void SetupPen(const MControl& element, MElementCanvas& canvas) {
  canvas.SetPen(
      MPen{std::max(1, canvas.ToPixels(element.StrokeWidth)), element.StrokeColor, element.StrokeStyle});
}

// A plain filled rectangle without an outline.
void FillBounds(const MControl& element, MElementCanvas& canvas, std::uint32_t color) {
  canvas.SetPenStyle(psClear);
  canvas.SetBrush(MBrush{color, bsSolid});
  canvas.Rectangle(element.Bounds);
}

// Box and circle: nothing without outline and fill.
bool SetupShape(const MControl& element, MElementCanvas& canvas, bool clip) {
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

// A block's tree where the block stands: the geometry of its class, moved by the point.
void StandOn(MBlock& tree, const MBlock& blockClass, const MGridPoint& point) {
  const auto copy = [](MControl& to, const MControl& from) {
    to.Bounds = from.Bounds;
    to.Width = from.Width;
    to.Height = from.Height;
    to.X1 = from.X1;
    to.Y1 = from.Y1;
    to.X2 = from.X2;
    to.Y2 = from.Y2;
  };
  copy(tree, blockClass);
  for (std::size_t i = 0; i < tree.Children.size() && i < blockClass.Children.size(); ++i)
    copy(*tree.Children[i], *blockClass.Children[i]);
  tree.MoveBy(point);
}

}  // namespace

// ---- shapes

void MLine::Draw(MElementCanvas& canvas, std::uint8_t, bool clip) {
  if (!Visible || !OutlineOn(*this)) return;
  if (!InClip(*this, canvas, clip)) return;
  SetupPen(*this, canvas);
  canvas.MoveTo(X1, Y1);
  canvas.LineTo(X2, Y2);
}

void MBox::Draw(MElementCanvas& canvas, std::uint8_t, bool clip) {
  if (SetupShape(*this, canvas, clip)) canvas.Rectangle(Bounds);
}

void MCircle::Draw(MElementCanvas& canvas, std::uint8_t, bool clip) {
  if (SetupShape(*this, canvas, clip)) canvas.Ellipse(Bounds);
}

void MImage::Draw(MElementCanvas& canvas, std::uint8_t, bool clip) {
  if (!Visible || !InClip(*this, canvas, clip)) return;
  if (!canvas.DrawImageElement(*this) && canvas.DesignMode()) FillBounds(*this, canvas, kMissingImageColor);
}

void MText::Draw(MElementCanvas& canvas, std::uint8_t, bool clip) {
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

void MBarcode::Draw(MElementCanvas& canvas, std::uint8_t, bool clip) {
  if (!Visible || !InClip(*this, canvas, clip)) return;
  // A value that has no barcode leaves a white box.
  if (!canvas.DrawBarcodeElement(*this)) FillBounds(*this, canvas, kWhite);
}

// ---- containers and the grid

void MContainer::Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) {
  if (!DrawFrame(canvas, clip)) return;
  for (const std::unique_ptr<MControl>& child : Children) child->Draw(canvas, variant, clip);
}

bool MContainer::DrawFrame(MElementCanvas& canvas, bool clip) const {
  if (!Visible || !InClip(*this, canvas, clip)) return false;
  if (OutlineOn(*this) || FillStyle == fsSolid) {
    SetupPen(*this, canvas);
    canvas.SetBrush(MBrush{FillColor, FillStyle});
    canvas.Rectangle(Bounds);
  }
  return true;
}

void MForm::Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) {
  MContainer::Draw(canvas, variant, clip);
  // The grid draws even when the form itself is hidden.
  Grid.Draw(canvas, variant, clip);
}

void MGrid::Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) {
  for (const MGridRow& row : Rows) {
    for (const std::unique_ptr<MGridPoint>& point : row) point->Draw(canvas, variant, clip);
  }
}

void MGridPoint::Draw(MElementCanvas& canvas, std::uint8_t, bool clip) {
  if (!Visible || canvas.Mode() != cmMapping) return;
  if (!BlockTypes.empty() && BlockTypes.front() == "none") return;
  canvas.DrawGridPointMark(clip, X1, Y1);
}

// ---- special entries: marks in mapping mode only

void MSpace::Draw(MElementCanvas& canvas, std::uint8_t, bool clip) {
  if (canvas.Mode() == cmMapping) canvas.DrawSpaceMark(clip, X1, Y1);
}

void MNewLine::Draw(MElementCanvas& canvas, std::uint8_t, bool clip) {
  if (canvas.Mode() == cmMapping) canvas.DrawNewLineMark(clip, X1, Y1);
}

void MNewPage::Draw(MElementCanvas& canvas, std::uint8_t, bool clip) {
  if (canvas.Mode() == cmMapping) canvas.DrawNewPageMark(clip, X1, Y1);
}

void MEOD::Draw(MElementCanvas& canvas, std::uint8_t, bool clip) {
  if (canvas.Mode() == cmMapping) canvas.DrawEndMark(clip, X1, Y1);
}

void DrawSpecialEntry(MKind kind, double x, double y, MElementCanvas& canvas, std::uint8_t variant,
                      bool clip) {
  const auto draw = [&](MSpecial&& entry) {
    entry.Translate(x, y);
    entry.Draw(canvas, variant, clip);
  };
  switch (kind) {
    case MKind::Space:
      draw(MSpace());
      break;
    case MKind::NewLine:
      draw(MNewLine());
      break;
    case MKind::NewPage:
      draw(MNewPage());
      break;
    case MKind::EndOfData:
      draw(MEOD());
      break;
    default:
      break;
  }
}

// ---- pages

void MPage::Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) const {
  const MPageScope scope(number_);
  // The form's own elements; its texts show this page's values, each drawn as a copy holding them.
  if (form_->DrawFrame(canvas, clip)) {
    const auto& children = form_->Children;
    std::size_t formText = 0;
    for (std::size_t i = 0; i < children.size(); ++i) {
      if (As<MFormText>(children[i].get()) != nullptr) {
        PageTextElement(i, formText++)->Draw(canvas, variant, clip);
      } else {
        children[i]->Draw(canvas, variant, clip);
      }
    }
  }
  // Every point: its entry, or its mark when empty. The entries draw even when the form is hidden.
  // The blocks of a class draw through its one tree: each puts its values into it, and the tree
  // stands where the block does, its class's geometry moved by the point.
  const MRect area = clip ? canvas.GetClipRectUnits() : MRect{};
  std::size_t index = 0;
  for (const MGridRow& row : form_->Grid.Rows) {
    for (const std::unique_ptr<MGridPoint>& point : row) {
      const MEntry& entry = entries_[index++];
      if (!entry) {
        point->Draw(canvas, variant, clip);
      } else if (const MBlockInstance* block = entry.Block()) {
        // A block outside the area repainted, or hidden, draws nothing: no tree is made for it.
        const MBlock& cls = block->Class();
        if (!cls.Visible) continue;
        if (clip && !cls.Bounds.Moved(point->X1, point->Y1).Meets(area)) continue;
        MBlock& tree = cls.DrawTree();
        block->MaterializeInto(tree);
        StandOn(tree, cls, *point);
        tree.Draw(canvas, variant, clip);
      } else {
        DrawSpecialEntry(entry.Kind(), point->X1, point->Y1, canvas, variant, clip);
      }
    }
  }
}
