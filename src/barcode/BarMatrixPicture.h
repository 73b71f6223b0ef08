// Pictures of two-dimensional symbols: square modules, dark ones filled as rectangles, never a
// scaled bitmap, so that a symbol stays sharp on screen at any zoom, on paper and in a PDF. The page
// canvases and tessora-barcode draw them alike.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRectF>

#include "barcode/BarMatrix.h"

class QPainter;

namespace barcode {

// Where a symbol goes in a box: its top left corner and the side of one module, in the box's units
// (device pixels). The symbol with its quiet zone is as large as fits, centred. Where a module of one
// whole pixel or more fits, modules are whole pixels on whole-pixel positions, so that every module
// is sharp and as large as every other; a smaller box gets fractions of a pixel.
struct TMatrixPlacement {
  QPointF origin;     // the top left corner of the first module (inside the quiet zone)
  double module = 0;  // 0 when nothing fits
};
TMatrixPlacement PlaceMatrix(const QRectF& box, const TBarMatrix& matrix, int quietZone);

// Fills the dark modules with color; each row's runs of dark modules are one rectangle each.
void PaintMatrix(QPainter& painter, const TBarMatrix& matrix, const TMatrixPlacement& place,
                 const QColor& color);

// The symbol with its quiet zone, scale pixels per module, black on white: as a bitmap (null when
// the matrix is empty or the picture too large), and as an SVG document of rectangles.
QImage MatrixImage(const TBarMatrix& matrix, int quietZone, int scale);
QByteArray MatrixSvg(const TBarMatrix& matrix, int quietZone, int scale);

}  // namespace barcode
