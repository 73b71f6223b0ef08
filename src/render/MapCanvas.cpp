#include "render/MapCanvas.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <iterator>

#include "barcode/BarEncoders.h"
#include "barcode/BarImage.h"
#include "barcode/BarMatrix.h"
#include "barcode/BarMatrixPicture.h"
#include "base/Numbers.h"
#include "base/Sjis.h"
#include "layout/Page.h"
#include "layout/Shapes.h"
#include "render/CanvasHost.h"
#include "render/ImageCache.h"
#include "render/ImageFit.h"
#include "render/LineBreak.h"
#include "render/QtText.h"

namespace {

constexpr double kMinZoom = 0.25;
constexpr double kMaxZoom = 4.0;

// Colours of the marks (0x00BBGGRR).
constexpr std::uint32_t kGridPointPen = 0x6A6AE7;    // RGB 231, 106, 106
constexpr std::uint32_t kGridPointBrush = 0x3D3DF4;  // RGB 244, 61, 61
constexpr std::uint32_t kEntryMarkPen = 0xA4A0A0;    // RGB 160, 160, 164

// The linear barcodes of barcode elements: bars 40 high, the wide elements of the two-width codes
// 2.5 times the narrow unless the layout gives a ratio. The component draws a module one pixel wide
// and rounds wide elements down to whole pixels, so that 2.5 comes out as 2: an element without a
// ratio draws so as it always has, and one with a ratio is drawn ten pixels a module, where every
// ratio comes out exactly.
constexpr int kBarHeight = 40;
constexpr int kDefaultRatio = 25;
constexpr int kExactRatioScale = 10;

// The component's symbology of each linear bar-type of the layout.
constexpr barcode::TBarTypes kLinearTypes[] = {
    barcode::cbarNW7, barcode::cbarJAN,      barcode::cbarUPC,     barcode::cbarCODE39,
    barcode::cbarITF, barcode::cbarCTF,      barcode::cbarIATA,    barcode::cbarMATRIX,
    barcode::cbarNEC, barcode::cbarCUSTOMER, barcode::cbarCODE128, barcode::cbarCODE93};
static_assert(std::size(kLinearTypes) == btQR);

// The code the component gets for a value. Product data carries a JAN with its check digit, which
// the component computes itself: a 13- or 8-digit value whose last digit is the right check digit
// is drawn from the digits before it.
std::string_view LinearCode(const MBarcodeStyle& style, std::string_view value) {
  if (style.Type == btJAN && (value.size() == 13 || value.size() == 8) && barcode::AllDigits(value) &&
      barcode::Modulus10CheckDigit(value.substr(0, value.size() - 1)) == value.back())
    return value.substr(0, value.size() - 1);
  return value;
}

// The top nine twelfths of the element, where the bars go when the code text is shown below them.
MRect BarsPart(const MRect& r) { return MRect{r.Left, r.Top, r.Right, r.Top + (r.Bottom - r.Top) * 9 / 12}; }

// The screen's resolution when there is a screen, else the common 96 pixels per inch.
void ScreenDpi(int& x, int& y) {
  x = y = 96;
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    x = base::RoundHalfEven(screen->logicalDotsPerInchX());
    y = base::RoundHalfEven(screen->logicalDotsPerInchY());
    if (x <= 0) x = 96;
    if (y <= 0) y = 96;
  }
}

}  // namespace

MMapCanvas::MMapCanvas() { ScreenDpi(dpiX_, dpiY_); }

MMapCanvas::~MMapCanvas() = default;

void MMapCanvas::ComputeScales() {
  switch (unit_) {
    case cuMillimetre:
      scaleX_ = dpiX_ / 25.4;
      scaleY_ = dpiY_ / 25.4;
      unitPerPixelX_ = 25.4 / dpiX_;
      unitPerPixelY_ = 25.4 / dpiY_;
      break;
    case cuCentimetre:
      scaleX_ = dpiX_ / 2.54;
      scaleY_ = dpiY_ / 2.54;
      unitPerPixelX_ = 2.54 / dpiX_;
      unitPerPixelY_ = 2.54 / dpiY_;
      break;
    case cuInch:
      scaleX_ = dpiX_;
      scaleY_ = dpiY_;
      unitPerPixelX_ = 1.0 / dpiX_;
      unitPerPixelY_ = 1.0 / dpiY_;
      break;
    case cuPixel:
      scaleX_ = scaleY_ = unitPerPixelX_ = unitPerPixelY_ = 1.0;
      break;
    default:
      break;  // an unknown unit keeps the scales
  }
}

void MMapCanvas::ScalesChanged() {
  // The panel follows the scale, so that a page of the same size in another unit does not keep the
  // panel of the old one when the zoom happens to stay the same.
  UpdatePanel();
  Invalidate();
}

void MMapCanvas::SetUnit(std::uint8_t unit) {
  const double oldX = scaleX_, oldY = scaleY_;
  unit_ = unit;
  ComputeScales();
  if (scaleX_ != oldX || scaleY_ != oldY) ScalesChanged();
}

void MMapCanvas::SetDpi(int dpiX, int dpiY) {
  if (dpiX <= 0 || dpiY <= 0) return;
  const double oldX = scaleX_, oldY = scaleY_;
  dpiX_ = dpiX;
  dpiY_ = dpiY;
  ComputeScales();
  if (scaleX_ != oldX || scaleY_ != oldY) ScalesChanged();
}

void MMapCanvas::SetZoom(double zoom) {
  if (std::isnan(zoom)) return;
  zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
  if (zoom == zoom_) return;
  zoom_ = zoom;
  UpdatePanel();
  Invalidate();
}

double MMapCanvas::ZoomFor(int request) const {
  double z = zoom_;
  switch (request) {
    case 1:
      return zoom_ * 1.5;
    case 2:
      return zoom_ * 0.66;
    case 3:
      return 1.0;
    case 4:
    case 5: {
      if (Host() == nullptr) return zoom_;
      const QSize box = Host()->ScrollBoxSize();
      const double w = pageWidth_ * scaleX_;
      const double h = pageHeight_ * scaleY_;
      if (request == 4) {
        if (!(w > 0) || !(h > 0)) return zoom_;
        z = std::min(box.width() / w, box.height() / h);
      } else {
        if (!(w > 0)) return zoom_;
        z = (box.width() - 20) / w;
      }
      break;
    }
    default:
      return zoom_;
  }
  return std::isfinite(z) ? z : zoom_;
}

void MMapCanvas::SetOrigin(double x, double y) {
  originX_ = x;
  originY_ = y;
}

void MMapCanvas::SetPageWidth(double width) {
  if (width == pageWidth_) return;
  pageWidth_ = width;
  UpdatePanel();
  Invalidate();
}

void MMapCanvas::SetPageHeight(double height) {
  if (height == pageHeight_) return;
  pageHeight_ = height;
  UpdatePanel();
  Invalidate();
}

void MMapCanvas::SetMode(std::uint8_t mode) {
  if (mode == mode_) return;
  mode_ = mode;
  Invalidate();
}

void MMapCanvas::Paint() {
  if (GetCanvas() == nullptr) return;
  if (const MPage* page = Page()) page->Draw(*this, 0, true);
}

bool MMapCanvas::DrawImageElement(MImage& image) {
  const QImage* picture = LoadImage(image);
  if (picture == nullptr) return false;
  DrawImage(image.Bounds, *picture, image.ImageHeight, image.ImageWidth);
  return true;
}

bool MMapCanvas::DrawBarcodeElement(const MBarcode& element) {
  const MBarcodeStyle& style = element.Style;
  const MRect symbolRect = style.ShowsText() ? BarsPart(element.Bounds) : element.Bounds;
  if (style.IsTwoDimensional()) {
    const barcode::TMatrixTypes type = style.Type == btQR ? barcode::cmatQR : barcode::cmatDataMatrix;
    const barcode::TBarMatrix matrix =
        barcode::EncodeMatrix(type, element.Value, static_cast<barcode::TQRLevel>(style.Ecc));
    if (matrix.Empty()) return false;
    DrawMatrix(symbolRect, matrix, barcode::MatrixQuietZone(type));
    if (style.ShowsText()) DrawCodeText(element.Bounds, element.Value);
    return true;
  }
  // The component lives for one draw, so every draw shows the current value.
  barcode::TBarImage bar;
  bar.SetBarEnabled(false);  // collect the settings, paint once at the end
  bar.SetBarType(kLinearTypes[style.Type]);
  bar.SetBarHeight(kBarHeight);
  bar.SetMatch(true);
  bar.SetSymbolDisp(false);
  bar.SetElementRatio(style.Ratio != 0 ? style.Ratio : kDefaultRatio);
  if (style.Ratio != 0 && barcode::IsTwoWidth(kLinearTypes[style.Type])) {
    bar.SetScale(kExactRatioScale);
    // The quiet zones stay ten modules wide.
    bar.SetBarSpaceLeft(bar.BarSpaceLeft() * kExactRatioScale);
    bar.SetBarSpaceRight(bar.BarSpaceRight() * kExactRatioScale);
  }
  bar.SetCD(style.CheckDigit);
  bar.SetStartChar(style.Start);
  bar.SetStopChar(style.Stop);
  bar.SetCode(std::string(LinearCode(style, element.Value)));
  bar.SetBarEnabled(true);
  if (!bar.BarDisped()) return false;
  DrawBarsPicture(symbolRect, bar.PictureImage());
  if (style.ShowsText()) {
    // NW-7 shows the value as it always has; the others what the encoder made of it (a JAN with its
    // check digit), without the customer code's padding.
    DrawCodeText(element.Bounds, style.Type == btNW7 ? std::string_view(bar.PictureText())
                                                     : base::TrimRight(bar.SymbolText()));
  }
  return true;
}

QSize MMapCanvas::PanelSize() const {
  return QSize(base::RoundHalfEven(zoom_ * pageWidth_ * scaleX_),
               base::RoundHalfEven(pageHeight_ * scaleY_ * zoom_));
}

void MMapCanvas::UpdatePanel() {
  if (Host() == nullptr) return;
  const QSize size = PanelSize();
  Host()->SetPanelSize(size.width(), size.height());
}

int MMapCanvas::ToPixels(double length) const { return base::RoundHalfEven(length * scaleX_ * zoom_); }

QPoint MMapCanvas::PointToPixels(double x, double y) const {
  return QPoint(base::RoundHalfEven((originX_ + x) * scaleX_ * zoom_),
                base::RoundHalfEven((originY_ + y) * scaleY_ * zoom_));
}

QRect MMapCanvas::RectToPixels(double x1, double y1, double x2, double y2) const {
  const QPoint a = PointToPixels(x1, y1);
  const QPoint b = PointToPixels(x2, y2);
  return QRect(a.x(), a.y(), b.x() - a.x(), b.y() - a.y());
}

QPointF MMapCanvas::PixelsToPoint(int px, int py) const {
  return QPointF(px * unitPerPixelX_ / zoom_ - originX_, py * unitPerPixelY_ / zoom_ - originY_);
}

MRect MMapCanvas::GetClipRectUnits() const {
  const QRect c = ClipRect();
  MRect r;
  r.Left = (c.x() - 2) * unitPerPixelX_ / zoom_;
  r.Right = (c.x() + c.width() + 2) * unitPerPixelX_ / zoom_;
  r.Top = (c.y() - 2) * unitPerPixelY_ / zoom_;
  r.Bottom = (c.y() + c.height() + 2) * unitPerPixelY_ / zoom_;
  return r;
}

void MMapCanvas::MoveTo(double x, double y) { penPos_ = PointToPixels(x, y); }

void MMapCanvas::LineTo(double x, double y) {
  const QPoint to = PointToPixels(x, y);
  QPainter* p = GetCanvas();
  if (p == nullptr) {
    penPos_ = to;
    return;
  }
  const MPen pen = Pen();
  const bool vertical = to.x() == penPos_.x();
  const bool horizontal = to.y() == penPos_.y();
  if (pen.Width > 1 && pen.Style != psSolid && (vertical || horizontal)) {
    // A wide pen would lose its pattern: draw it as one-pixel patterned lines side by side.
    const int w = pen.Width;
    SetPenWidth(1);
    ApplyShapeState();
    for (int i = 0; i < w; ++i) {
      const int d = i - w / 2;
      if (vertical)
        p->drawLine(penPos_.x() + d, penPos_.y(), to.x() + d, to.y());
      else
        p->drawLine(penPos_.x(), penPos_.y() + d, to.x(), to.y() + d);
    }
    SetPenWidth(w);
  } else {
    ApplyShapeState();
    p->drawLine(penPos_, to);
  }
  penPos_ = to;
}

void MMapCanvas::PixelRectangle(QPoint a, QPoint b) {
  QPainter* p = GetCanvas();
  if (p == nullptr) return;
  const int left = std::min(a.x(), b.x()), right = std::max(a.x(), b.x());
  const int top = std::min(a.y(), b.y()), bottom = std::max(a.y(), b.y());
  if (right - left < 1 || bottom - top < 1) return;
  ApplyShapeState();
  // A stroked QRect covers one pixel more than its size, so this outline runs over left .. right - 1;
  // without a pen the fill covers left .. right - 2.
  p->drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

void MMapCanvas::Rectangle(double x1, double y1, double x2, double y2) {
  if (GetCanvas() == nullptr) return;
  const MPen pen = Pen();
  if (pen.Width != 1 && pen.Style != psSolid) {
    // Fill first without an outline, then draw the outline as lines so that it keeps its pattern.
    SetPenStyle(psClear);
    PixelRectangle(PointToPixels(x1, y1), PointToPixels(x2, y2));
    SetPenStyle(pen.Style);
    MoveTo(x1, y1);
    LineTo(x2, y1);
    LineTo(x2, y2);
    LineTo(x1, y2);
    LineTo(x1, y1);
    return;
  }
  PixelRectangle(PointToPixels(x1, y1), PointToPixels(x2, y2));
}

void MMapCanvas::Ellipse(double x1, double y1, double x2, double y2) {
  QPainter* p = GetCanvas();
  if (p == nullptr) return;
  const QPoint a = PointToPixels(x1, y1), b = PointToPixels(x2, y2);
  const int left = std::min(a.x(), b.x()), right = std::max(a.x(), b.x());
  const int top = std::min(a.y(), b.y()), bottom = std::max(a.y(), b.y());
  if (right - left < 1 || bottom - top < 1) return;
  ApplyShapeState();
  p->drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

void MMapCanvas::DrawTextFit(const MRect& rect, std::string_view text, int align) {
  if (GetCanvas() == nullptr) return;
  const QRect r = RectToPixels(rect);
  const int available = r.width();
  const QString s = FromSjis(text);
  int w = TextWidth(s);
  while (available < w && Font().Height > 1) {
    SetFontHeight(Font().Height - 1);
    w = TextWidth(s);
  }
  const int y = r.y() + (r.height() - Font().Height) / 2;
  int x = r.x();
  if (align == taCenter)
    x = r.x() + (available - w) / 2;
  else if (align == taRight)
    x = r.x() + r.width() - w;
  DrawTextAt(x, y, s, w, r);
}

std::string MMapCanvas::BreakLine(std::string& rest, int maxWidth) {
  const MSjisText t(rest);
  const std::size_t n =
      BreakLineLength(rest, maxWidth, [&](std::size_t k) { return TextWidth(t.Text(), t.PrefixLength(k)); });
  const std::size_t bytes = base::CharOffset(rest, n);
  std::string piece = rest.substr(0, bytes);
  rest.erase(0, bytes);
  return piece;
}

void MMapCanvas::DrawMemoText(const MRect& rect, const std::vector<std::string>& lines) {
  if (GetCanvas() == nullptr) return;
  const QRect r = RectToPixels(rect);
  const int bottom = r.y() + r.height();
  const int h = Font().Height;
  int y = r.y();
  for (const std::string& line : lines) {
    // Once a line no longer fits, nothing below it is drawn either.
    if (h > 0 && bottom < y + h) return;
    std::string rest = line;
    do {
      if (!rest.empty()) {
        const std::string piece = BreakLine(rest, r.width());
        if (bottom >= y + h) {
          const QString s = FromSjis(piece);
          DrawTextAt(r.x(), y, s, TextWidth(s), r);
        }
      }
      y += h;
    } while (!rest.empty() && (h <= 0 || bottom >= y + h));
  }
}

QRect MMapCanvas::ImageBox(const MRect& rect, int imageHeight, int imageWidth) const {
  const QPoint a = PointToPixels(rect.Left, rect.Top);
  const QPoint b = PointToPixels(rect.Right, rect.Bottom);
  return FitImageBox(QRect(a.x(), a.y(), b.x() - a.x(), b.y() - a.y()), imageHeight, imageWidth);
}

void MMapCanvas::DrawImage(const MRect& rect, const QImage& image, int imageHeight, int imageWidth) {
  QPainter* p = GetCanvas();
  if (p == nullptr || image.isNull()) return;
  const QRect box = ImageBox(rect, imageHeight, imageWidth);
  if (box.isEmpty()) return;
  scaled_.Draw(*p, box, image, QRect(0, 0, imageWidth, imageHeight));
}

void MMapCanvas::DrawBarcode(const MRect& rect, const barcode::TBarImage& barcode) {
  if (GetCanvas() == nullptr) return;
  DrawBarsPicture(BarsPart(rect), barcode.PictureImage());
  DrawCodeText(rect, barcode.PictureText());
}

void MMapCanvas::DrawBarsPicture(const MRect& rect, const QImage& bars) {
  QPainter* p = GetCanvas();
  if (p == nullptr) return;
  const QRect box = RectToPixels(rect);
  if (bars.isNull() || box.width() <= 0 || box.height() <= 0) return;
  // Stretched without smoothing, so that the bars keep sharp edges.
  p->save();
  p->setRenderHint(QPainter::SmoothPixmapTransform, false);
  p->drawImage(box, bars);
  p->restore();
}

void MMapCanvas::DrawCodeText(const MRect& element, std::string_view text) {
  if (GetCanvas() == nullptr) return;
  const double g = (element.Bottom - element.Top) * 2 / 12;
  SetFontHeight(ToPixels(g));
  DrawTextFit(MRect{element.Left, element.Bottom - g, element.Right, element.Bottom}, text, taCenter);
}

void MMapCanvas::DrawMatrix(const MRect& rect, const barcode::TBarMatrix& matrix, int quietZone) {
  QPainter* p = GetCanvas();
  if (p == nullptr) return;
  const barcode::TMatrixPlacement place = barcode::PlaceMatrix(QRectF(RectToPixels(rect)), matrix, quietZone);
  p->save();
  p->setRenderHint(QPainter::Antialiasing, false);
  barcode::PaintMatrix(*p, matrix, place, Qt::black);
  p->restore();
}

void MMapCanvas::DrawGridPointMark(bool clip, double x, double y) {
  if (GetCanvas() == nullptr) return;
  const QPoint p = PointToPixels(x, y);
  const int s = base::RoundHalfEven(zoom_ * 10);
  const QRect square(p.x() + 1, p.y() + 1, s, s);
  if (clip && !square.intersects(ClipRect())) return;
  SetPen(MPen{1, kGridPointPen, psSolid});
  SetBrush(MBrush{kGridPointBrush, bsSolid});
  PixelRectangle(square.topLeft(), QPoint(p.x() + 1 + s, p.y() + 1 + s));
}

void MMapCanvas::DrawEntryMark(Glyph glyph, bool clip, double x, double y) {
  QPainter* painter = GetCanvas();
  if (painter == nullptr) return;
  const QPoint p = PointToPixels(x, y);
  const int s = base::RoundHalfEven(zoom_ * 20);
  if (clip && !QRect(p.x() + 1, p.y() + 1, s, s).intersects(ClipRect())) return;
  const int e = s / 10;
  const int l = p.x() + 1 + e, t = p.y() + 1 + e;
  const int r = p.x() + 1 + s - e, b = p.y() + 1 + s - e;
  SetPen(MPen{1, kEntryMarkPen, psSolid});
  ApplyShapeState();
  if (glyph == Glyph::NewLine) {
    const QPoint bend[] = {{r, t}, {r, b}, {l, b}, {l + (r - l) / 2, b + (t - b) / 2}};
    painter->drawPolyline(bend, 4);
    return;
  }
  const QPoint outline[] = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
  painter->drawPolyline(outline, 5);
  if (glyph == Glyph::NewPage || glyph == Glyph::End) painter->drawLine(r, t, l, b);
  if (glyph == Glyph::End) painter->drawLine(l, t, r, b);
}

void MMapCanvas::DrawSpaceMark(bool clip, double x, double y) { DrawEntryMark(Glyph::Space, clip, x, y); }
void MMapCanvas::DrawNewLineMark(bool clip, double x, double y) { DrawEntryMark(Glyph::NewLine, clip, x, y); }
void MMapCanvas::DrawNewPageMark(bool clip, double x, double y) { DrawEntryMark(Glyph::NewPage, clip, x, y); }
void MMapCanvas::DrawEndMark(bool clip, double x, double y) { DrawEntryMark(Glyph::End, clip, x, y); }
