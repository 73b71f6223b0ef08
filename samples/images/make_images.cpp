// Draws the pictures of the sample catalogue (samples/catalog.lay, samples/catalog.map) with QPainter,
// so that the bundled document shows real images without carrying photographs of unknown origin.
//
// Not part of the build. To remake the pictures, from this folder:
//   g++ -std=c++20 -O1 make_images.cpp $(pkg-config --cflags --libs Qt6Gui) -fPIC -o /tmp/make_images
//   QT_QPA_PLATFORM=offscreen /tmp/make_images .
// The output is the same on every run: no randomness, no text, no system fonts.
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

using Painter = std::function<void(QPainter&, int w, int h)>;

bool Write(const QString& dir, const char* name, int w, int h, const Painter& paint) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  paint(p, w, h);
  p.end();
  const QString path = dir + "/" + name;
  if (!image.save(path, "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s %dx%d\n", qPrintable(path), w, h);
  return true;
}

// A soft background from top to bottom.
void Backdrop(QPainter& p, int w, int h, QColor top, QColor bottom) {
  QLinearGradient g(0, 0, 0, h);
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.fillRect(0, 0, w, h, g);
}

// A tea leaf: two arcs meeting at the tips, with a middle vein.
void Leaf(QPainter& p, QPointF base, QPointF tip, double width, QColor color) {
  const QPointF axis = tip - base;
  const QPointF normal(-axis.y(), axis.x());
  const double len = std::hypot(axis.x(), axis.y());
  const QPointF n = normal / len * width;
  QPainterPath path(base);
  path.cubicTo(base + axis * 0.25 + n, base + axis * 0.75 + n, tip);
  path.cubicTo(base + axis * 0.75 - n, base + axis * 0.25 - n, base);
  p.setPen(QPen(color.darker(140), std::max(1.0, width / 8)));
  p.setBrush(color);
  p.drawPath(path);
  p.setPen(QPen(color.lighter(150), std::max(1.0, width / 10)));
  p.drawLine(base + axis * 0.08, tip - axis * 0.08);
}

// A bowl of tea seen from the side, filled with the tea's colour.
void Bowl(QPainter& p, QRectF r, QColor glaze, QColor tea) {
  QPainterPath body;
  body.moveTo(r.left(), r.top() + r.height() * 0.2);
  body.cubicTo(r.left(), r.bottom(), r.right(), r.bottom(), r.right(), r.top() + r.height() * 0.2);
  body.closeSubpath();
  QLinearGradient g(r.left(), 0, r.right(), 0);
  g.setColorAt(0, glaze.darker(130));
  g.setColorAt(0.4, glaze.lighter(115));
  g.setColorAt(1, glaze.darker(150));
  p.setPen(QPen(glaze.darker(180), 2));
  p.setBrush(g);
  p.drawPath(body);
  p.setBrush(tea);
  p.drawEllipse(QRectF(r.left(), r.top() + r.height() * 0.1, r.width(), r.height() * 0.2));
}

// A heap of loose tea on a saucer.
void LooseTea(QPainter& p, int w, int h, QColor leaf) {
  p.setPen(QPen(QColor(150, 150, 150), 2));
  p.setBrush(QColor(245, 245, 240));
  p.drawEllipse(QRectF(w * 0.1, h * 0.55, w * 0.8, h * 0.3));
  for (int i = 0; i < 28; ++i) {
    const double a = i * 2.39996;  // the golden angle spreads the leaves evenly
    const double r = std::sqrt(i / 28.0) * w * 0.3;
    const QPointF c(w * 0.5 + std::cos(a) * r, h * 0.62 + std::sin(a) * r * 0.35 - (28 - i) * h * 0.004);
    const QPointF d(std::cos(a * 3) * w * 0.05, std::sin(a * 3) * h * 0.03);
    Leaf(p, c - d, c + d, w * 0.015, leaf.darker(100 + (i % 5) * 8));
  }
}

void Sencha(QPainter& p, int w, int h) {
  Backdrop(p, w, h, QColor(236, 244, 226), QColor(196, 218, 176));
  LooseTea(p, w, h, QColor(60, 120, 50));
  Bowl(p, QRectF(w * 0.55, h * 0.12, w * 0.38, h * 0.34), QColor(230, 230, 220), QColor(190, 200, 90));
}

void Matcha(QPainter& p, int w, int h) {
  Backdrop(p, w, h, QColor(250, 246, 232), QColor(220, 208, 180));
  Bowl(p, QRectF(w * 0.12, h * 0.3, w * 0.76, h * 0.55), QColor(70, 60, 55), QColor(110, 170, 60));
  // Froth on the surface.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(160, 205, 110));
  for (int i = 0; i < 9; ++i)
    p.drawEllipse(QPointF(w * (0.3 + 0.05 * i), h * (0.41 + 0.015 * (i % 3))), w * 0.03, h * 0.012);
}

void Hojicha(QPainter& p, int w, int h) {
  Backdrop(p, w, h, QColor(248, 236, 220), QColor(214, 186, 150));
  LooseTea(p, w, h, QColor(130, 80, 40));
  Bowl(p, QRectF(w * 0.55, h * 0.12, w * 0.38, h * 0.34), QColor(225, 220, 205), QColor(150, 80, 30));
}

void Genmaicha(QPainter& p, int w, int h) {
  Backdrop(p, w, h, QColor(244, 242, 226), QColor(210, 204, 170));
  LooseTea(p, w, h, QColor(80, 130, 60));
  // Roasted rice grains among the leaves.
  p.setPen(QPen(QColor(170, 120, 60), 1));
  p.setBrush(QColor(230, 190, 120));
  for (int i = 0; i < 14; ++i) {
    const double a = i * 2.1;
    p.drawEllipse(QPointF(w * 0.5 + std::cos(a) * w * 0.22, h * 0.64 + std::sin(a) * h * 0.07), w * 0.022,
                  h * 0.014);
  }
}

void Gyokuro(QPainter& p, int w, int h) {
  Backdrop(p, w, h, QColor(226, 240, 232), QColor(170, 206, 186));
  LooseTea(p, w, h, QColor(30, 100, 60));
  Bowl(p, QRectF(w * 0.08, h * 0.12, w * 0.3, h * 0.28), QColor(245, 245, 245), QColor(200, 210, 100));
}

// A side-handled teapot (kyusu).
void Teapot(QPainter& p, QRectF r, QColor clay) {
  QRadialGradient g(r.center() - QPointF(r.width() * 0.15, r.height() * 0.15), r.width() * 0.6);
  g.setColorAt(0, clay.lighter(140));
  g.setColorAt(1, clay.darker(130));
  p.setPen(QPen(clay.darker(200), 2));
  p.setBrush(g);
  // Spout, handle, body, lid.
  QPainterPath spout;
  spout.moveTo(r.right() - r.width() * 0.1, r.center().y());
  spout.lineTo(r.right() + r.width() * 0.22, r.top() + r.height() * 0.15);
  spout.lineTo(r.right() + r.width() * 0.26, r.top() + r.height() * 0.22);
  spout.lineTo(r.right() - r.width() * 0.05, r.center().y() + r.height() * 0.2);
  spout.closeSubpath();
  p.drawPath(spout);
  p.drawRoundedRect(QRectF(r.left() - r.width() * 0.32, r.center().y() - r.height() * 0.08, r.width() * 0.36,
                           r.height() * 0.16),
                    r.height() * 0.08, r.height() * 0.08);
  p.drawEllipse(r);
  p.drawEllipse(
      QRectF(r.left() + r.width() * 0.28, r.top() - r.height() * 0.06, r.width() * 0.44, r.height() * 0.16));
  p.setBrush(clay.darker(160));
  p.drawEllipse(QPointF(r.center().x(), r.top() - r.height() * 0.06), r.width() * 0.05, r.height() * 0.05);
}

void Kyusu(QPainter& p, int w, int h) {
  Backdrop(p, w, h, QColor(246, 240, 232), QColor(206, 196, 184));
  Teapot(p, QRectF(w * 0.3, h * 0.35, w * 0.45, h * 0.42), QColor(170, 80, 45));
}

void Yunomi(QPainter& p, int w, int h) {
  Backdrop(p, w, h, QColor(232, 238, 246), QColor(186, 198, 214));
  const QRectF cup(w * 0.28, h * 0.2, w * 0.44, h * 0.62);
  QLinearGradient g(cup.left(), 0, cup.right(), 0);
  g.setColorAt(0, QColor(60, 90, 140));
  g.setColorAt(0.45, QColor(120, 150, 200));
  g.setColorAt(1, QColor(40, 60, 100));
  p.setPen(QPen(QColor(30, 40, 70), 2));
  p.setBrush(g);
  p.drawRoundedRect(cup, w * 0.04, w * 0.04);
  p.setBrush(QColor(180, 190, 80));
  p.drawEllipse(QRectF(cup.left(), cup.top() - h * 0.04, cup.width(), h * 0.08));
  // Glaze drips.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(220, 230, 245));
  for (int i = 0; i < 5; ++i)
    p.drawRoundedRect(QRectF(cup.left() + cup.width() * (0.1 + 0.18 * i), cup.top() + h * 0.04, w * 0.03,
                             h * (0.08 + 0.04 * (i % 3))),
                      w * 0.015, w * 0.015);
}

void Chasen(QPainter& p, int w, int h) {
  Backdrop(p, w, h, QColor(250, 248, 238), QColor(224, 218, 196));
  const QColor bamboo(214, 190, 130);
  p.setPen(QPen(bamboo.darker(140), 2));
  p.setBrush(bamboo);
  p.drawRoundedRect(QRectF(w * 0.42, h * 0.55, w * 0.16, h * 0.32), w * 0.03, w * 0.03);
  p.setPen(QPen(bamboo.darker(120), 2));
  for (int i = 0; i <= 16; ++i) {
    const double x = w * (0.2 + 0.6 * i / 16.0);
    QPainterPath tine(QPointF(w * 0.5 + (x - w * 0.5) * 0.25, h * 0.56));
    tine.quadTo(QPointF(x, h * 0.4), QPointF(x * 0.9 + w * 0.05, h * 0.14));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tine);
  }
}

void Feature(QPainter& p, int w, int h) {
  // A tea table by a window: the spring issue's feature picture.
  Backdrop(p, w, h, QColor(222, 236, 246), QColor(250, 244, 230));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(150, 110, 70));
  p.drawRect(QRectF(0, h * 0.68, w, h * 0.32));
  p.setBrush(QColor(120, 85, 50));
  p.drawRect(QRectF(0, h * 0.68, w, h * 0.03));
  // Window frame with leaves outside.
  p.setPen(QPen(QColor(110, 90, 70), w * 0.012));
  p.setBrush(QColor(200, 230, 200));
  const QRectF window(w * 0.05, h * 0.06, w * 0.42, h * 0.5);
  p.drawRect(window);
  for (int i = 0; i < 7; ++i) {
    const QPointF base(window.left() + window.width() * (0.1 + 0.13 * i), window.bottom() - h * 0.05);
    Leaf(p, base, base + QPointF(w * 0.03 * ((i % 2) ? 1 : -1), -h * 0.28), w * 0.025,
         QColor(70, 140 + 10 * (i % 3), 60));
  }
  p.setPen(QPen(QColor(110, 90, 70), w * 0.008));
  p.drawLine(window.center().x(), window.top(), window.center().x(), window.bottom());
  p.drawLine(window.left(), window.center().y(), window.right(), window.center().y());
  Teapot(p, QRectF(w * 0.55, h * 0.38, w * 0.22, h * 0.26), QColor(170, 80, 45));
  Bowl(p, QRectF(w * 0.16, h * 0.56, w * 0.16, h * 0.14), QColor(235, 235, 225), QColor(180, 195, 80));
  Bowl(p, QRectF(w * 0.8, h * 0.56, w * 0.14, h * 0.13), QColor(60, 90, 140), QColor(180, 195, 80));
}

void Logo(QPainter& p, int w, int h) {
  p.setPen(QPen(QColor(30, 90, 40), w * 0.04));
  p.setBrush(QColor(90, 160, 70));
  p.drawEllipse(QRectF(w * 0.04, h * 0.04, w * 0.92, h * 0.92));
  Leaf(p, QPointF(w * 0.3, h * 0.75), QPointF(w * 0.72, h * 0.22), w * 0.14, QColor(230, 245, 210));
  p.setPen(QPen(QColor(230, 245, 210), w * 0.035, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(w * 0.3, h * 0.75), QPointF(w * 0.22, h * 0.84));
}

void NoPhoto(QPainter& p, int w, int h) {
  p.fillRect(0, 0, w, h, QColor(236, 236, 236));
  p.setPen(QPen(QColor(170, 170, 170), w * 0.03));
  p.setBrush(Qt::NoBrush);
  // A camera outline, crossed out.
  p.drawRoundedRect(QRectF(w * 0.22, h * 0.34, w * 0.56, h * 0.38), w * 0.05, w * 0.05);
  p.drawRect(QRectF(w * 0.4, h * 0.27, w * 0.2, h * 0.07));
  p.drawEllipse(QPointF(w * 0.5, h * 0.53), w * 0.12, h * 0.12);
  p.drawLine(QPointF(w * 0.15, h * 0.85), QPointF(w * 0.85, h * 0.15));
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(dir);
  bool ok = true;
  // Layout defaults: the shop's logo, the product picture of a block without one, the feature picture.
  ok &= Write(dir, "logo.png", 160, 160, Logo);
  ok &= Write(dir, "no_photo.png", 260, 260, NoPhoto);
  ok &= Write(dir, "feature.png", 480, 360, Feature);
  // Product pictures the document's blocks name.
  ok &= Write(dir, "sencha.png", 260, 260, Sencha);
  ok &= Write(dir, "matcha.png", 260, 260, Matcha);
  ok &= Write(dir, "hojicha.png", 260, 260, Hojicha);
  ok &= Write(dir, "genmaicha.png", 260, 260, Genmaicha);
  ok &= Write(dir, "gyokuro.png", 260, 260, Gyokuro);
  ok &= Write(dir, "kyusu.png", 320, 240, Kyusu);
  ok &= Write(dir, "yunomi.png", 240, 320, Yunomi);
  ok &= Write(dir, "chasen.png", 260, 260, Chasen);
  return ok ? 0 : 1;
}
