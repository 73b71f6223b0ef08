#include "render/ImageFit.h"

#include <QPainter>
#include <cstdint>

#include "base/Numbers.h"

namespace {

// Screen pictures kept scaled, by bytes; a page of photos fits many times over.
constexpr qint64 kScaledImageBudget = 64ll * 1024 * 1024;

}  // namespace

QRect FitImageBox(const QRect& box, int imageHeight, int imageWidth) {
  if (imageWidth <= 0 || imageHeight <= 0) return QRect();
  const int w = box.width(), h = box.height();
  if (w <= 0 || h <= 0) return QRect();
  int dw = 0, dh = 0;
  if (static_cast<std::int64_t>(imageWidth) * h < static_cast<std::int64_t>(w) * imageHeight) {
    dw = base::MulDiv(h, imageWidth, imageHeight);
    dh = h;
  } else {
    dh = base::MulDiv(w, imageHeight, imageWidth);
    dw = w;
  }
  if (dw <= 0 || dh <= 0) return QRect();
  return QRect(box.x() + (w - dw) / 2, box.y() + (h - dh) / 2, dw, dh);
}

const QImage& MScaledImages::Scaled(const QImage& image, const QRect& source, QSize size) {
  const qint64 key = image.cacheKey();
  for (auto it = items_.begin(); it != items_.end(); ++it) {
    if (it->key == key && it->source == source && it->size == size) {
      items_.splice(items_.begin(), items_, it);
      return items_.front().image;
    }
  }
  const QImage part = source == image.rect() ? image : image.copy(source);
  QImage scaled = part.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  bytes_ += scaled.sizeInBytes();
  items_.push_front(Item{key, source, size, std::move(scaled)});
  while (bytes_ > kScaledImageBudget && items_.size() > 1) {
    bytes_ -= items_.back().image.sizeInBytes();
    items_.pop_back();
  }
  return items_.front().image;
}

void MScaledImages::Draw(QPainter& painter, const QRect& box, const QImage& image, const QRect& source) {
  if (image.isNull() || box.isEmpty()) return;
  if (static_cast<qint64>(box.width()) * box.height() * 4 > kScaledImageBudget / 2) {
    // Too large to keep: let the painter scale it this once.
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(box, image, source);
    painter.restore();
    return;
  }
  painter.drawImage(box.topLeft(), Scaled(image, source, box.size()));
}
