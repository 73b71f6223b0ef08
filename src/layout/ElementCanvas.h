// What elements draw through.
//
// Every element draws itself in layout units onto a canvas that it knows only by this interface:
// the page view, a page picture and paper implement it (render/MapCanvas.h, render/PrinterCanvas.h),
// the way a model draws on a painter without knowing the view. It holds exactly the operations that
// element drawing uses; the canvas turns units into pixels and keeps the surface's pen, brush and font
// from one call to the next.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "layout/Controls.h"

class MImage;
class MBarcode;

// Pen styles, in the order of the layout's stroke styles.
enum MPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
// Brush styles, in the order of the layout's fill styles.
enum MBrushStyle : std::uint8_t { bsSolid, bsClear };
// Drawing modes: what the page shows besides the elements.
enum MCanvasMode : std::uint8_t { cmMapping, cmTextInput, cmPrinting };
// Alignments of DrawTextFit, as the layout's text alignments.
enum MTextAlign : int { taLeft = 0, taCenter = 1, taRight = 2 };

struct MPen {
  int Width = 1;  // pixels; a pen wider than one pixel draws solid whatever its style
  std::uint32_t Color = 0x000000;
  std::uint8_t Style = psSolid;
  bool operator==(const MPen&) const = default;
};

struct MBrush {
  std::uint32_t Color = 0xFFFFFF;
  std::uint8_t Style = bsSolid;
  bool operator==(const MBrush&) const = default;
};

class MElementCanvas {
 public:
  virtual ~MElementCanvas() = default;

  // What is drawn for: the marks show in mapping mode, editable texts are highlighted in text input
  // mode; design mode shows images that do not load as gray boxes.
  virtual std::uint8_t Mode() const = 0;
  virtual bool DesignMode() const = 0;
  // The area being repainted in units, for the clip test of Draw.
  virtual MRect GetClipRectUnits() const = 0;
  // A length in units as device pixels.
  virtual int ToPixels(double length) const = 0;

  // The surface's pen, brush and font.
  virtual void SetPen(const MPen& pen) = 0;
  virtual void SetPenStyle(std::uint8_t style) = 0;
  virtual void SetBrush(const MBrush& brush) = 0;
  virtual void SetBrushStyle(std::uint8_t style) = 0;
  virtual void SetFontColor(std::uint32_t color) = 0;
  virtual void SetFontFace(std::string_view face) = 0;
  virtual void SetFontHeight(int height) = 0;
  virtual void SetFontStyle(bool bold, bool italic) = 0;

  // Primitives, in units, with the surface's pen, brush and font.
  virtual void MoveTo(double x, double y) = 0;
  virtual void LineTo(double x, double y) = 0;
  virtual void Rectangle(const MRect& r) = 0;
  virtual void Ellipse(const MRect& r) = 0;
  // One line of text; the font height is lowered pixel by pixel until the text fits the width.
  virtual void DrawTextFit(const MRect& rect, std::string_view text, int align) = 0;
  // Lines of text, each broken to the width; what does not fit in height is not drawn.
  virtual void DrawMemoText(const MRect& rect, const std::vector<std::string>& lines) = 0;
  // The decoded picture of the image's file fitted into its bounds; records the picture's pixel size
  // in the image (0 when there is none). False when there is no picture to draw.
  virtual bool DrawImageElement(MImage& image) = 0;
  // The barcode of the element's value in its bounds. False when the value has no barcode.
  virtual bool DrawBarcodeElement(const MBarcode& barcode) = 0;

  // Entry marks; (x, y) is the top-left point of the grid point or entry. With clip set a mark
  // outside the area being repainted is skipped.
  virtual void DrawGridPointMark(bool clip, double x, double y) = 0;
  virtual void DrawSpaceMark(bool clip, double x, double y) = 0;
  virtual void DrawNewLineMark(bool clip, double x, double y) = 0;
  virtual void DrawNewPageMark(bool clip, double x, double y) = 0;
  virtual void DrawEndMark(bool clip, double x, double y) = 0;
};
