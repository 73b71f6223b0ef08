// Pictures drawn into pixel boxes: the aspect-fit rule every canvas shares, and the screen canvases'
// store of pictures already scaled to the size they are shown at.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <list>

class QPainter;

// The part of box a picture of imageWidth x imageHeight fills when it keeps its proportions and is
// centred: the full height when the box is relatively wider than the picture, else the full width
// (the other side by MulDiv). Empty when the picture or the box has no size.
QRect FitImageBox(const QRect& box, int imageHeight, int imageWidth);

// Pictures scaled smoothly for the screen, kept by source picture and size up to a byte budget, so
// that repaints and scrolling do not scale the same picture again.
class MScaledImages {
 public:
  // Draws the source rectangle of image scaled smoothly into box.
  void Draw(QPainter& painter, const QRect& box, const QImage& image, const QRect& source);

 private:
  struct Item {
    qint64 key;
    QRect source;
    QSize size;
    QImage image;
  };
  const QImage& Scaled(const QImage& image, const QRect& source, QSize size);

  std::list<Item> items_;  // most recently used first
  qint64 bytes_ = 0;
};
