// The page view canvas: turns page coordinates of the layout into device pixels and offers the
// drawing primitives that every element, grid point and special entry draws itself with.
//
// Coordinates are in the layout's unit (millimetres, centimetres, inches or device pixels); a point
// becomes round((origin + x) * scale * zoom) pixels, rounding halves to even. Pixel rectangles are
// QRects whose right and bottom edges are exclusive (x + width), so a rectangle from (x1, y1) to
// (x2, y2) covers the pixels x1 .. x2 - 1, as the surfaces the layouts were drawn for do.
#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "layout/Controls.h"
#include "layout/ElementCanvas.h"
#include "layout/Shapes.h"
#include "render/BaseCanvas.h"
#include "render/ImageFit.h"

class MPage;
namespace barcode {
class TBarImage;
class TBarMatrix;
}  // namespace barcode

// Length units of the page coordinates: the layout's unit codes, and device pixels.
enum MCanvasUnit : std::uint8_t { cuMillimetre, cuCentimetre, cuInch, cuPixel };

class MMapCanvas : public MBaseCanvas, public MElementCanvas {
 public:
  MMapCanvas();
  ~MMapCanvas() override;

  // Scales and the view.
  std::uint8_t Unit() const { return unit_; }
  // Stores the unit and computes the scales from the resolution; any other code than 0-3 is stored
  // and leaves the scales as they are.
  void SetUnit(std::uint8_t unit);
  int DpiX() const { return dpiX_; }
  int DpiY() const { return dpiY_; }
  // Sets the resolution (an offscreen export, the printer) and recomputes the scales for the unit.
  void SetDpi(int dpiX, int dpiY);
  double ScaleX() const { return scaleX_; }
  double ScaleY() const { return scaleY_; }
  double UnitPerPixelX() const { return unitPerPixelX_; }
  double UnitPerPixelY() const { return unitPerPixelY_; }
  double Zoom() const { return zoom_; }
  // Clamps to 0.25 .. 4.0; a new value resizes the panel and repaints.
  void SetZoom(double zoom);
  // The zoom a request asks for: 1 zoom in, 2 zoom out, 3 real size, 4 whole page, 5 page width.
  // Not clamped. Without a window, or when the page has no size, the current zoom.
  double ZoomFor(int request) const;
  double OriginX() const { return originX_; }
  double OriginY() const { return originY_; }
  void SetOrigin(double x, double y);
  double PageWidth() const { return pageWidth_; }
  double PageHeight() const { return pageHeight_; }
  void SetPageWidth(double width);
  void SetPageHeight(double height);
  std::uint8_t Mode() const override { return mode_; }
  void SetMode(std::uint8_t mode);
  bool DesignMode() const override { return MBaseCanvas::DesignMode(); }
  // Where the page shown comes from: the page view asks for the active page of the placed blocks at
  // each paint. Null (the default) or a source that answers null shows nothing.
  using PageSource = std::function<MPage*()>;
  void SetPageSource(PageSource source) { pageSource_ = std::move(source); }
  // The page the source gives now, or null.
  MPage* Page() const { return pageSource_ ? pageSource_() : nullptr; }
  // Draws the page of the source with the clip test on; nothing when there is none.
  void Paint() override;
  // The size of one page at the current zoom, which the panel takes.
  QSize PanelSize() const;

  // Conversions.
  int ToPixels(double length) const override;
  QPoint PointToPixels(double x, double y) const;
  QRect RectToPixels(double x1, double y1, double x2, double y2) const;
  QRect RectToPixels(const MRect& r) const { return RectToPixels(r.Left, r.Top, r.Right, r.Bottom); }
  QPointF PixelsToPoint(int px, int py) const;
  // The area being repainted in units, widened by 2 pixels on every side (origin not subtracted).
  MRect GetClipRectUnits() const override;

  // The surface's pen, brush and font, as element drawing sets them.
  void SetPen(const MPen& pen) override { MBaseCanvas::SetPen(pen); }
  void SetPenStyle(std::uint8_t style) override { MBaseCanvas::SetPenStyle(style); }
  void SetBrush(const MBrush& brush) override { MBaseCanvas::SetBrush(brush); }
  void SetBrushStyle(std::uint8_t style) override { MBaseCanvas::SetBrushStyle(style); }
  void SetFontColor(std::uint32_t color) override { MBaseCanvas::SetFontColor(color); }
  void SetFontFace(std::string_view face) override { MBaseCanvas::SetFontFace(face); }
  void SetFontHeight(int height) override { MBaseCanvas::SetFontHeight(height); }
  void SetFontStyle(bool bold, bool italic) override { MBaseCanvas::SetFontStyle(bold, italic); }

  // Primitives, in units, with the surface's pen, brush and font.
  void MoveTo(double x, double y) override;
  void LineTo(double x, double y) override;
  void Rectangle(double x1, double y1, double x2, double y2);
  void Rectangle(const MRect& r) override { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void Ellipse(double x1, double y1, double x2, double y2);
  void Ellipse(const MRect& r) override { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  // One line of text; the font height is lowered pixel by pixel (not below 1) until the text fits
  // the width, and stays lowered.
  void DrawTextFit(const MRect& rect, std::string_view text, int align) override;
  // Lines of text, each broken to the width; what does not fit in height is not drawn.
  void DrawMemoText(const MRect& rect, const std::vector<std::string>& lines) override;
  // Takes one display line off the front of rest, measured with the surface font.
  std::string BreakLine(std::string& rest, int maxWidth);
  // A decoded image fitted into the rectangle with its proportions, centred.
  virtual void DrawImage(const MRect& rect, const QImage& image, int imageHeight, int imageWidth);
  // A barcode component's bars stretched into the top 9/12 of the rectangle and its code text fitted
  // into the bottom 2/12 with the surface font, its height set to that band.
  virtual void DrawBarcode(const MRect& rect, const barcode::TBarImage& barcode);
  // A two-dimensional symbol and its quiet zone fitted into the rectangle: square modules as large as
  // fit (whole pixels where a pixel fits), centred, the dark ones filled as rectangles, so that the
  // symbol is sharp at every zoom and on paper.
  void DrawMatrix(const MRect& rect, const barcode::TBarMatrix& matrix, int quietZone);
  // The picture from the image cache of element drawing (render/ImageCache.h) through DrawImage.
  bool DrawImageElement(MImage& image) override;
  // The element's value in its symbology: a linear code as the component's bars (bars 40 high, the
  // element's ratio) with the code text band below unless the element turns it off, a 2D code
  // through DrawMatrix over the whole box unless the element asks for the text band.
  bool DrawBarcodeElement(const MBarcode& barcode) override;

  // Entry marks; (x, y) is the top-left point of the grid point or entry. With clip set a mark
  // outside the area being repainted is skipped.
  void DrawGridPointMark(bool clip, double x, double y) override;
  void DrawSpaceMark(bool clip, double x, double y) override;
  void DrawNewLineMark(bool clip, double x, double y) override;
  void DrawNewPageMark(bool clip, double x, double y) override;
  void DrawEndMark(bool clip, double x, double y) override;

 protected:
  // The pixel box an image is drawn into: aspect-fit and centred in rect; empty when nothing draws.
  QRect ImageBox(const MRect& rect, int imageHeight, int imageWidth) const;
  // A platform rectangle between two pixel corners: the outline covers x1 .. x2 - 1 with the pen,
  // the inside is filled with the brush (without a pen, x1 .. x2 - 2, as such surfaces do).
  void PixelRectangle(QPoint a, QPoint b);
  void ScalesChanged();

 private:
  // Which of the four entry glyphs; the inner square's figure differs.
  enum class Glyph { Space, NewLine, NewPage, End };
  void DrawEntryMark(Glyph glyph, bool clip, double x, double y);
  // The parts of a barcode's drawing: a picture of bars stretched into the rectangle without
  // smoothing, and the code text in the bottom 2/12 of the element's rectangle.
  void DrawBarsPicture(const MRect& rect, const QImage& bars);
  void DrawCodeText(const MRect& element, std::string_view text);
  void ComputeScales();
  void UpdatePanel();

  std::uint8_t unit_ = cuPixel;
  int dpiX_ = 96, dpiY_ = 96;
  double scaleX_ = 1.0, scaleY_ = 1.0;
  double unitPerPixelX_ = 1.0, unitPerPixelY_ = 1.0;
  double zoom_ = 1.0;
  double originX_ = 0, originY_ = 0;
  double pageWidth_ = 1.0, pageHeight_ = 1.0;
  std::uint8_t mode_ = cmMapping;
  PageSource pageSource_;
  QPoint penPos_;
  MScaledImages scaled_;  // images scaled for the screen, so that repaints do not scale them again
};
