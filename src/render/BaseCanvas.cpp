#include "render/BaseCanvas.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "base/Sjis.h"
#include "render/CanvasHost.h"
#include "render/QtText.h"

namespace {

// More than this many fonts in the cache means heights are shrinking all over; start afresh.
constexpr std::size_t kMaxCachedFonts = 256;

QPen MakePen(const MPen& pen) {
  const QColor color = ColorFromRef(pen.Color);
  if (pen.Style == psClear) return QPen(Qt::NoPen);
  if (pen.Width > 1) {
    // Wide pens draw solid with round ends and joins, whatever their style.
    return QPen(color, pen.Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  }
  // One-pixel pens leave out the last pixel of a line (flat cap) and dash in fixed pixel patterns.
  QPen p(color, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  switch (pen.Style) {
    case psDash:
      p.setDashPattern({18, 6});
      break;
    case psDot:
      p.setDashPattern({3, 3});
      break;
    case psDashDot:
      p.setDashPattern({9, 6, 3, 6});
      break;
    case psDashDotDot:
      p.setDashPattern({9, 3, 3, 3, 3, 3});
      break;
    default:
      break;
  }
  return p;
}

// Whether the family has a bold face of its own (the IPA faces have none); asked once per family.
bool HasBoldFace(const QString& family) {
  static QHash<QString, bool> known;
  const auto it = known.constFind(family);
  if (it != known.constEnd()) return *it;
  const QStringList styles = QFontDatabase::styles(family);
  const bool bold = std::any_of(styles.begin(), styles.end(), [&](const QString& style) {
    return QFontDatabase::weight(family, style) >= QFont::DemiBold;
  });
  known.insert(family, bold);
  return bold;
}

// A family without a bold face is made bold by drawing the text again this many pixels to the
// right: a twenty-fourth of the height, as FreeType thickens a glyph, and at least one pixel. Qt
// would make it bold on its own too, but differently per device: on screen FreeType thickens the
// outlines, while in a PDF the second drawing is one printer dot off, which no paper shows.
int SyntheticBoldPixels(int height) { return std::max(1, (height + 12) / 24); }

}  // namespace

QColor ColorFromRef(std::uint32_t color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

std::string DefaultFontFace() { return base::Utf8ToSjis("ＭＳ Ｐゴシック"); }

MBaseCanvas::MBaseCanvas() { font_.Face = DefaultFontFace(); }

MBaseCanvas::~MBaseCanvas() = default;

void MBaseCanvas::Invalidate() {
  if (host_ != nullptr) host_->RepaintAll();
}

void MBaseCanvas::SetPen(const MPen& pen) {
  if (pen == pen_) return;
  pen_ = pen;
  qpenValid_ = false;
}

void MBaseCanvas::SetPenWidth(int width) {
  MPen p = pen_;
  p.Width = width;
  SetPen(p);
}

void MBaseCanvas::SetPenColor(std::uint32_t color) {
  MPen p = pen_;
  p.Color = color;
  SetPen(p);
}

void MBaseCanvas::SetPenStyle(std::uint8_t style) {
  MPen p = pen_;
  p.Style = style;
  SetPen(p);
}

void MBaseCanvas::SetBrush(const MBrush& brush) {
  if (brush == brush_) return;
  brush_ = brush;
  qbrushValid_ = false;
}

void MBaseCanvas::SetBrushColor(std::uint32_t color) { SetBrush(MBrush{color, brush_.Style}); }

void MBaseCanvas::SetBrushStyle(std::uint8_t style) { SetBrush(MBrush{brush_.Color, style}); }

void MBaseCanvas::SetFont(const MFont& font) {
  if (font == font_) return;
  const bool sameFace = font.Face == font_.Face && font.Height == font_.Height && font.Bold == font_.Bold &&
                        font.Italic == font_.Italic;
  font_ = font;
  if (!sameFace) currentFont_ = nullptr;
}

void MBaseCanvas::SetFontFace(std::string_view face) {
  if (face == font_.Face) return;
  font_.Face = std::string(face);
  currentFont_ = nullptr;
}

void MBaseCanvas::SetFontHeight(int height) {
  if (height == font_.Height) return;
  font_.Height = height;
  currentFont_ = nullptr;
}

void MBaseCanvas::SetFontStyle(bool bold, bool italic) {
  if (bold == font_.Bold && italic == font_.Italic) return;
  font_.Bold = bold;
  font_.Italic = italic;
  currentFont_ = nullptr;
}

void MBaseCanvas::SetFontColor(std::uint32_t color) { font_.Color = color; }

void MBaseCanvas::BindPainter(QPainter* painter, const QRect& clip) {
  painter_ = painter;
  if (painter == nullptr) {
    clip_ = QRect();
    return;
  }
  if (!clip.isEmpty()) {
    clip_ = clip;
  } else if (painter->hasClipping()) {
    clip_ = painter->clipBoundingRect().toAlignedRect();
  } else if (painter->device() != nullptr) {
    clip_ = QRect(0, 0, painter->device()->width(), painter->device()->height());
  } else {
    clip_ = QRect();
  }
  const int dpi = painter->device() != nullptr ? painter->device()->logicalDpiY() : 0;
  if (dpi != fontDpi_) {
    // Metrics belong to a resolution; a surface of another one measures afresh.
    fonts_.clear();
    currentFont_ = nullptr;
    fontDpi_ = dpi;
  }
}

void MBaseCanvas::ApplyShapeState() {
  if (!qpenValid_) {
    qpen_ = MakePen(pen_);
    qpenValid_ = true;
  }
  if (!qbrushValid_) {
    qbrush_ = brush_.Style == bsClear ? QBrush(Qt::NoBrush) : QBrush(ColorFromRef(brush_.Color));
    qbrushValid_ = true;
  }
  painter_->setPen(qpen_);
  painter_->setBrush(qbrush_);
}

MBaseCanvas::FontEntry& MBaseCanvas::CurrentFont() {
  if (currentFont_ != nullptr) return *currentFont_;
  std::string key = font_.Face;
  key += '\0';
  key += std::to_string(font_.Height);
  key += font_.Bold ? 'B' : '-';
  key += font_.Italic ? 'I' : '-';
  auto it = fonts_.find(key);
  if (it == fonts_.end()) {
    if (fonts_.size() >= kMaxCachedFonts) fonts_.clear();
    QFont f;
    if (!font_.Face.empty()) f.setFamily(FromSjis(font_.Face));
    // The height is the character cell; a zero or negative height still draws, one pixel high.
    f.setPixelSize(std::max(1, std::abs(font_.Height)));
    f.setItalic(font_.Italic);
    // Screen and paper take the same face: the family's own bold face where it has one, otherwise
    // its regular face, made bold by the canvas alike on every surface.
    int syntheticBold = 0;
    if (font_.Bold) {
      f.setBold(true);
      if (!HasBoldFace(QFontInfo(f).family())) {
        f.setBold(false);
        syntheticBold = SyntheticBoldPixels(f.pixelSize());
      }
    }
    QPaintDevice* device = painter_ != nullptr ? painter_->device() : nullptr;
    auto entry = std::make_unique<FontEntry>(
        FontEntry{f, device != nullptr ? QFontMetrics(f, device) : QFontMetrics(f), syntheticBold});
    it = fonts_.emplace(std::move(key), std::move(entry)).first;
  }
  currentFont_ = it->second.get();
  return *currentFont_;
}

const QFontMetrics& MBaseCanvas::FontMetrics() { return CurrentFont().metrics; }

int MBaseCanvas::TextWidth(const QString& text, qsizetype length) {
  const FontEntry& f = CurrentFont();
  const int width = f.metrics.horizontalAdvance(text, static_cast<int>(length));
  // A text made bold reaches that much further to the right.
  return width > 0 ? width + f.syntheticBold : width;
}

MFontChoice MBaseCanvas::FontChoice() {
  const FontEntry& f = CurrentFont();
  if (painter_ == nullptr) {
    const QFontInfo info(f.font);
    return MFontChoice{info.family(), info.weight(), f.syntheticBold};
  }
  painter_->setFont(f.font);
  const QFontInfo info = painter_->fontInfo();
  return MFontChoice{info.family(), info.weight(), f.syntheticBold};
}

void MBaseCanvas::DrawTextAt(int x, int y, const QString& text, int width, const QRect& clip) {
  if (painter_ == nullptr || text.isEmpty()) return;
  FontEntry& f = CurrentFont();
  painter_->setFont(f.font);
  if (textPenColor_ != font_.Color) {
    textPen_ = QPen(ColorFromRef(font_.Color));
    textPenColor_ = font_.Color;
  }
  painter_->setPen(textPen_);
  const int ascent = f.metrics.ascent();
  const QRect cell(x, y, width, ascent + f.metrics.descent());
  const auto draw = [&] {
    painter_->drawText(x, y + ascent, text);
    if (f.syntheticBold == 0) return;
    // Thickened to the right and upwards, as FreeType thickens a glyph.
    const int d = f.syntheticBold;
    painter_->drawText(x + d, y + ascent, text);
    painter_->drawText(x, y + ascent - d, text);
    painter_->drawText(x + d, y + ascent - d, text);
  };
  if (clip.contains(cell)) {
    draw();
    return;
  }
  // Only a text that crosses its box pays for a clip.
  painter_->save();
  painter_->setClipRect(clip, Qt::IntersectClip);
  draw();
  painter_->restore();
}

MPaintScope::MPaintScope(MBaseCanvas& canvas, QPainter& painter, const QRect& clip)
    : canvas_(canvas), painter_(painter), previous_(canvas.painter_), previousClip_(canvas.clip_) {
  painter_.save();
  // The layouts were drawn without smoothing: lines and boxes land on whole pixels.
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  canvas_.BindPainter(&painter_, clip);
}

MPaintScope::~MPaintScope() {
  canvas_.BindPainter(previous_, previousClip_);
  painter_.restore();
}
