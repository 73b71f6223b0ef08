// The common base of the canvases: the page view, the side panes and the printer.
//
// A canvas draws on a QPainter: on screen the painter of the paint event, headless a painter on a
// QImage, on paper the printer's. MPaintScope binds a painter for the length of one paint. The
// canvas keeps the surface's pen, brush and font itself, with the meaning the layouts were drawn
// for (pen widths in pixels, dash styles of one-pixel pens, font heights in pixels as cell heights,
// colours as 0x00BBGGRR), and puts them on the painter when a primitive draws. They persist from one
// paint to the next, as a window surface's do.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPen>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "layout/ElementCanvas.h"

class MCanvasHost;
class QPainter;

struct MFont {
  std::string Face;  // Shift-JIS family name
  int Height = 12;   // pixels, the height of the character cell
  bool Bold = false;
  bool Italic = false;
  std::uint32_t Color = 0x000000;
  bool operator==(const MFont&) const = default;
};

// The face a text is drawn with on a surface: the family Qt takes for the layout's face (after the
// Windows faces are substituted), the weight of that face, and how many pixels a bold text is drawn
// over again to the right where the family has no bold face of its own.
struct MFontChoice {
  QString Family;
  int Weight = 0;
  int SyntheticBold = 0;
  bool operator==(const MFontChoice&) const = default;
};

// A 0x00BBGGRR colour value; the high byte (the palette-relative mark) is ignored.
QColor ColorFromRef(std::uint32_t color);

// The face a surface starts with: the Windows default user interface face, substituted like every
// Windows face (render/Fonts.h).
std::string DefaultFontFace();

class MBaseCanvas {
 public:
  MBaseCanvas();
  virtual ~MBaseCanvas();
  MBaseCanvas(const MBaseCanvas&) = delete;
  MBaseCanvas& operator=(const MBaseCanvas&) = delete;

  // The surface: the painter of the paint under way, null outside a paint.
  virtual QPainter* GetCanvas() const { return painter_; }
  // Draws everything the canvas shows onto the bound painter.
  virtual void Paint() = 0;
  // Asks for the whole paint box to be repainted.
  void Invalidate();

  // The window controls; null (the default) when the canvas runs without a window.
  MCanvasHost* Host() const { return host_; }
  void SetHost(MCanvasHost* host) { host_ = host; }

  // Set when the program runs in design mode; element drawing reads it.
  bool DesignMode() const { return designMode_; }
  void SetDesignMode(bool on) { designMode_ = on; }

  const MPen& Pen() const { return pen_; }
  void SetPen(const MPen& pen);
  void SetPenWidth(int width);
  void SetPenColor(std::uint32_t color);
  void SetPenStyle(std::uint8_t style);

  const MBrush& Brush() const { return brush_; }
  void SetBrush(const MBrush& brush);
  void SetBrushColor(std::uint32_t color);
  void SetBrushStyle(std::uint8_t style);

  const MFont& Font() const { return font_; }
  void SetFont(const MFont& font);
  void SetFontFace(std::string_view face);
  void SetFontHeight(int height);
  void SetFontStyle(bool bold, bool italic);
  void SetFontColor(std::uint32_t color);

  // The pixels being repainted: the clip of the paint under way (the whole surface when nothing
  // limits it), empty outside a paint. Right and bottom are exclusive, as x + width.
  QRect ClipRect() const { return clip_; }

  // Width in pixels of the first length units of a text (all of it for -1) in the surface font.
  int TextWidth(const QString& text, qsizetype length = -1);
  // The face the surface font draws with on the bound surface (or on none outside a paint).
  MFontChoice FontChoice();

 protected:
  // Binds a painter (null to unbind) and the area it repaints; an empty clip takes the painter's
  // own clip or, without one, the whole device.
  void BindPainter(QPainter* painter, const QRect& clip);
  // Puts the pen and brush on the painter, for shapes.
  void ApplyShapeState();
  const QFontMetrics& FontMetrics();
  // Draws text with the top of its character cell at (x, y), cut at clip where it would cross it.
  // width is the text's measured width.
  void DrawTextAt(int x, int y, const QString& text, int width, const QRect& clip);

 private:
  friend class MPaintScope;
  struct FontEntry {
    QFont font;
    QFontMetrics metrics;
    int syntheticBold = 0;  // pixels a bold text is drawn over again to the right
  };
  FontEntry& CurrentFont();

  MCanvasHost* host_ = nullptr;
  bool designMode_ = false;
  QPainter* painter_ = nullptr;
  QRect clip_;

  MPen pen_;
  MBrush brush_;
  MFont font_;
  QPen qpen_;  // pen_ as Qt draws it, rebuilt when pen_ changes
  QBrush qbrush_;
  QPen textPen_;  // the font colour, for text output
  std::uint32_t textPenColor_ = 0xFFFFFFFF;
  bool qpenValid_ = false;
  bool qbrushValid_ = false;
  // Fonts by face, height and style, so that repaints and shrinking texts do not build them anew.
  std::unordered_map<std::string, std::unique_ptr<FontEntry>> fonts_;
  FontEntry* currentFont_ = nullptr;
  int fontDpi_ = 0;  // resolution the cached metrics were taken for
};

// Binds a painter to a canvas for one paint and restores the painter afterwards. On screen: the
// paint event's painter and its rectangle; headless: a painter on a QImage.
class MPaintScope {
 public:
  MPaintScope(MBaseCanvas& canvas, QPainter& painter, const QRect& clip = QRect());
  ~MPaintScope();
  MPaintScope(const MPaintScope&) = delete;
  MPaintScope& operator=(const MPaintScope&) = delete;

 private:
  MBaseCanvas& canvas_;
  QPainter& painter_;
  QPainter* previous_;
  QRect previousClip_;
};
