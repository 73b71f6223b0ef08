#include "barcode/BarMatrixPicture.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "barcode/BarImage.h"
#include "barcode/BarImageInternal.h"

namespace barcode {

TMatrixPlacement PlaceMatrix(const QRectF& box, const TBarMatrix& matrix, int quietZone) {
  TMatrixPlacement place;
  if (matrix.Empty() || box.width() <= 0 || box.height() <= 0) return place;
  const int across = matrix.Width() + 2 * quietZone;
  const int down = matrix.Height() + 2 * quietZone;
  const double fits = std::min(box.width() / across, box.height() / down);
  place.module = fits >= 1 ? std::floor(fits) : fits;
  double left = box.left() + (box.width() - place.module * across) / 2;
  double top = box.top() + (box.height() - place.module * down) / 2;
  if (fits >= 1) {
    left = std::floor(left);
    top = std::floor(top);
  }
  place.origin = QPointF(left + quietZone * place.module, top + quietZone * place.module);
  return place;
}

void PaintMatrix(QPainter& painter, const TBarMatrix& matrix, const TMatrixPlacement& place,
                 const QColor& color) {
  if (place.module <= 0) return;
  const double m = place.module;
  for (int y = 0; y < matrix.Height(); ++y) {
    int x = 0;
    while (x < matrix.Width()) {
      if (!matrix.Dark(x, y)) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < matrix.Width() && matrix.Dark(x, y)) ++x;
      painter.fillRect(QRectF(place.origin.x() + start * m, place.origin.y() + y * m, (x - start) * m, m),
                       color);
    }
  }
}

namespace {

// The whole picture's side in pixels, or 0 when it is empty or too large to make.
int PictureSide(const TBarMatrix& matrix, int quietZone, int scale, bool across) {
  if (matrix.Empty() || scale < 1) return 0;
  const long long side = (long long)((across ? matrix.Width() : matrix.Height()) + 2 * quietZone) * scale;
  return side > TBarImage::kMaxPictureSide ? 0 : static_cast<int>(side);
}

void Draw(QPainter& painter, const TBarMatrix& matrix, int quietZone, int scale, QSize size) {
  painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  PaintMatrix(painter, matrix, TMatrixPlacement{QPointF(quietZone * scale, quietZone * scale), double(scale)},
              Qt::black);
}

}  // namespace

QImage MatrixImage(const TBarMatrix& matrix, int quietZone, int scale) {
  const QSize size(PictureSide(matrix, quietZone, scale, true), PictureSide(matrix, quietZone, scale, false));
  if (size.isEmpty()) return {};
  QImage image(size, QImage::Format_RGB32);
  if (image.isNull()) return image;
  QPainter painter(&image);
  Draw(painter, matrix, quietZone, scale, size);
  return image;
}

QByteArray MatrixSvg(const TBarMatrix& matrix, int quietZone, int scale) {
  const QSize size(PictureSide(matrix, quietZone, scale, true), PictureSide(matrix, quietZone, scale, false));
  if (size.isEmpty()) return {};
  return detail::RecordSvg(size, [&](QPainter& painter) { Draw(painter, matrix, quietZone, scale, size); });
}

}  // namespace barcode
