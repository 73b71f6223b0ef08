// TBarImage's drawing: the bitmap and the SVG picture, both drawn by one pass over the bar pattern.
#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>

#include "barcode/BarImage.h"
#include "barcode/BarImageInternal.h"
#include "base/Sjis.h"

namespace barcode {

using detail::HaveGuiApp;

namespace {

QColor ToQColor(std::uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QString ToQString(const std::string& sjis) { return QString::fromStdString(base::SjisToUtf8(sjis)); }

// Text is measured against one device, so that the bitmap and the vector picture agree.
const QImage& ReferenceDevice() {
  static const QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
  return device;
}

QSize TextSize(const QFont& font, const std::string& text) {
  if (text.empty() || !HaveGuiApp()) return {0, 0};
  const QFontMetrics metrics(font, &ReferenceDevice());
  return {metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}

int CommentOffset(TLocation loc, int room, int width) {
  int offset = 0;
  if (loc == locCenter) offset = (room - width) / 2;
  if (loc == locRight) offset = room - width;
  return std::max(offset, 0);
}

}  // namespace

// What a paint measured and computed before drawing.
struct TBarImage::Geometry {
  int total = 0;         // width of the bars
  int tw = 0, th = 0;    // human-readable line
  int cuw = 0, cuh = 0;  // CommentUp
  int cdw = 0, cdh = 0;  // CommentDown
  int barLength = 0;
  int width = 0, height = 0;  // the whole drawing from (0, 0)
};

// The control's auto-size and stretch flags are off while a paint changes the picture; every way out
// of the paint restores them.
class TBarImage::FlagsGuard {
 public:
  explicit FlagsGuard(TBarImage& bar) : bar_(bar), autoSize_(bar.autoSize_), stretch_(bar.stretch_) {
    bar_.autoSize_ = false;
    bar_.stretch_ = false;
  }
  ~FlagsGuard() {
    bar_.stretch_ = stretch_;
    bar_.SetAutoSize(autoSize_);
  }
  FlagsGuard(const FlagsGuard&) = delete;
  FlagsGuard& operator=(const FlagsGuard&) = delete;

 private:
  TBarImage& bar_;
  bool autoSize_;
  bool stretch_;
};

QImage TBarImage::PictureImage() const {
  if (!metafile_) return bitmap_;
  QImage image(svgSize_, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return image;
  image.fill(Qt::transparent);
  QSvgRenderer renderer(svg_);
  QPainter painter(&image);
  renderer.render(&painter);
  return image;
}

bool TBarImage::Encode() {
  EncodeOptions options{cd_, startChar_, stopChar_};
  barPattern_ = EncodeBar(barType_, code_, options, symbolText_);
  startChar_ = options.startChar;
  return !barPattern_.empty();
}

int TBarImage::ElementWidth(char digit) const {
  int w = ElementModules(digit) * scale_;
  if (IsTwoWidth(barType_) && w > scale_) w = w * elementRatio_ / 20;
  return w;
}

int TBarImage::CustomerWidth(const std::string& pattern) const {
  const std::size_t first = pattern.find_first_not_of("0");
  if (first == std::string::npos) return 0;
  const std::size_t last = pattern.find_last_not_of("0");
  return static_cast<int>(last - first + 2) * scale_;
}

bool TBarImage::Measure(Geometry& g) {
  if (symbolDisp_) {
    const QSize text = TextSize(barFont_, symbolText_);
    g.tw = text.width();
    g.th = text.height();
  }
  const QSize up = TextSize(barFont_, commentUp_);
  g.cuw = up.width();
  g.cuh = up.height();
  const QSize down = TextSize(barFont_, commentDown_);
  g.cdw = down.width();
  g.cdh = down.height();

  std::int64_t total = 0;
  if (barType_ == cbarCUSTOMER) {
    total = CustomerWidth(barPattern_);  // at most 23 symbols: never large
    g.barLength = 6 * scale_;
  } else {
    for (char digit : barPattern_) {
      total += ElementWidth(digit);
      if (total > kMaxPictureSide) break;
    }
    if (barHeight_ < g.th + 6) barHeight_ = g.th + 6;
    g.barLength = barHeight_ - g.th;
  }
  if (total == 0) return false;
  if (total > kMaxPictureSide) return false;
  g.total = static_cast<int>(total);

  barWidth_ = g.total > g.tw ? g.total : g.tw;
  if (barType_ == cbarCUSTOMER) barHeight_ = g.barLength + g.th;

  const std::int64_t width =
      std::int64_t{barLeft_} + barSpaceLeft_ + std::int64_t{barWidth_} + barSpaceRight_;
  const std::int64_t height = std::int64_t{barTop_} + barSpaceUp_ + std::int64_t{barHeight_} + barSpaceDown_;
  if (width > kMaxPictureSide || height > kMaxPictureSide) return false;
  if (std::max<std::int64_t>(width, 0) * std::max<std::int64_t>(height, 0) > kMaxPictureArea) return false;
  g.width = static_cast<int>(width);
  g.height = static_cast<int>(height);
  return true;
}

void TBarImage::PaintBitmap() {
  barDisped_ = false;
  if (code_.empty()) return;
  FlagsGuard guard(*this);
  if (!Encode()) return;
  if (barDebug_) {
    barDisped_ = true;
    return;
  }
  Geometry g;
  if (!Measure(g)) return;
  if (match_) {
    SetWidth(g.width);
    SetHeight(g.height);
    if (bitmap_.size() != QSize(width_, height_)) bitmap_ = NewBitmap(width_, height_);
  }
  if (!bitmap_.isNull()) {
    QPainter canvas(&bitmap_);
    if (!transparent_) {
      const int left = match_ ? 0 : barLeft_;
      const int top = match_ ? 0 : barTop_;
      canvas.fillRect(QRect(left, top, g.width - left, g.height - top), ToQColor(backColor_));
    }
    DrawContent(canvas, g);
  }
  barDisped_ = true;
}

void TBarImage::PaintMetafile() {
  barDisped_ = false;
  if (code_.empty()) return;
  FlagsGuard guard(*this);
  if (!Encode()) return;
  if (barDebug_) {
    barDisped_ = true;
    return;
  }
  Geometry g;
  if (!Measure(g)) return;
  SetWidth(g.width);
  SetHeight(g.height);

  // The recorded picture is one pixel wider and higher than the drawing.
  const QSize size(width_ + 1, height_ + 1);
  QByteArray svg = detail::RecordSvg(
      size,
      [&](QPainter& canvas) {
        canvas.fillRect(QRect(0, 0, width_, height_), ToQColor(backColor_));
        DrawContent(canvas, g);
      },
      ReferenceDevice().logicalDpiX());
  bitmap_ = QImage();
  svg_ = std::move(svg);
  svgSize_ = size;
  metafile_ = true;
  barDisped_ = true;
}

void TBarImage::DrawContent(QPainter& canvas, const Geometry& g) {
  const QColor barColor = ToQColor(barColor_);
  int tx = 0;
  int x = 0;
  if (g.total > g.tw)
    tx = (g.total - g.tw) / 2;
  else
    x = (g.tw - g.total) / 2;

  const int x0 = barLeft_ + barSpaceLeft_;
  const int y0 = barTop_ + barSpaceUp_;
  if (barType_ == cbarCUSTOMER) {
    for (std::size_t p = 0; p < barPattern_.size(); ++p)
      PaintCustomerBar(canvas, x0 + x, static_cast<int>(p), barPattern_[p], scale_);
  } else {
    // A bar of w pixels is w one-pixel lines side by side: one filled rectangle.
    for (char digit : barPattern_) {
      const int w = ElementWidth(digit);
      if ((digit - '0') % 2 == 1) canvas.fillRect(QRect(x0 + x, y0, w, g.barLength), barColor);
      x += w;
    }
  }

  if (symbolDisp_ && !symbolText_.empty()) DrawText(canvas, x0 + tx, y0 + g.barLength, symbolText_);

  if (barFrame_ > 0) {
    const int right = barLeft_ + barSpaceLeft_ + barWidth_ + barSpaceRight_;
    if (barType_ == cbarITF)
      PaintFrame(canvas, barLeft_, y0, right, y0 + g.barLength);
    else
      PaintFrame(canvas, barLeft_, barTop_ + g.cuh, right,
                 barTop_ + barSpaceUp_ + barHeight_ + barSpaceDown_ - g.cdh);
  }

  const int room = barSpaceLeft_ + barWidth_ + barSpaceRight_;
  if (!commentUp_.empty())
    DrawText(canvas, barLeft_ + CommentOffset(commentUpLoc_, room, g.cuw), barTop_, commentUp_);
  if (!commentDown_.empty())
    DrawText(canvas, barLeft_ + CommentOffset(commentDownLoc_, room, g.cdw),
             barTop_ + barSpaceUp_ + barHeight_ + barSpaceDown_ - g.cdh, commentDown_);
}

// (x, y) is the top left corner of the text.
void TBarImage::DrawText(QPainter& canvas, int x, int y, const std::string& text) {
  if (!HaveGuiApp()) return;
  const QFontMetrics metrics(barFont_, &ReferenceDevice());
  canvas.setFont(barFont_);
  canvas.setPen(ToQColor(barFontColor_));
  canvas.drawText(QPoint(x, y + metrics.ascent()), ToQString(text));
}

void TBarImage::PaintCustomerBar(QPainter& canvas, int x, int p, char v, int s) {
  const int flags = v - '0';
  if (flags <= 0 || flags > 7) return;
  const int left = x + s * p - s;
  // The set flags as runs of thirds from the top: upper (4), middle (2), lower (1).
  int row = 0;
  while (row < 3) {
    if ((flags & (4 >> row)) == 0) {
      ++row;
      continue;
    }
    int end = row;
    while (end < 3 && (flags & (4 >> end)) != 0) ++end;
    canvas.fillRect(QRect(left, barTop_ + barSpaceUp_ + 2 * s * row, s, 2 * s * (end - row)),
                    ToQColor(barColor_));
    row = end;
  }
}

void TBarImage::PaintFrame(QPainter& canvas, int left, int top, int right, int bottom) {
  int limit = std::min((right - left) / 2, (bottom - top) / 2);
  if (limit > 0) --limit;
  if (limit < 1) {
    barFrame_ = 0;
    return;
  }
  if (limit < barFrame_) barFrame_ = limit;
  const int f = barFrame_;
  const QColor color = ToQColor(barColor_);
  canvas.fillRect(QRect(left, top, right - left, f), color);                   // top band
  canvas.fillRect(QRect(left, bottom - f, right - left, f), color);            // bottom band
  canvas.fillRect(QRect(left, top + f, f, bottom - top - 2 * f), color);       // left band
  canvas.fillRect(QRect(right - f, top + f, f, bottom - top - 2 * f), color);  // right band
}

QImage TBarImage::NewBitmap(int width, int height) const {
  if (width <= 0 || height <= 0) return {};
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return image;
  // A transparent component leaves its background unpainted: start from nothing rather than white.
  image.fill(transparent_ ? QColor(Qt::transparent) : QColor(Qt::white));
  return image;
}

}  // namespace barcode
