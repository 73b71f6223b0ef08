// Helpers that the files of TBarImage share; not part of the component's interface.
#pragma once

#include <QBuffer>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>
#include <functional>

namespace barcode::detail {

// Qt's fonts and clipboard exist only inside a QGuiApplication.
inline bool HaveGuiApp() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

// An SVG picture of size pixels, its view box the same, as draw paints it; resolution (dots per inch)
// when it is given.
inline QByteArray RecordSvg(QSize size, const std::function<void(QPainter&)>& draw, int resolution = 0) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(size);
  generator.setViewBox(QRect(QPoint(0, 0), size));
  if (resolution > 0) generator.setResolution(resolution);
  {
    QPainter painter(&generator);
    draw(painter);
  }
  return buffer.data();
}

}  // namespace barcode::detail
