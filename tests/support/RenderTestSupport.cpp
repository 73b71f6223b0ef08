#include "support/RenderTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <memory>

#include "render/Fonts.h"

namespace {

// One application for the whole run: fonts and screens need it. The offscreen platform is chosen by
// the test environment. A test program with an application of its own (the window's) keeps that one.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "tests_render";
    static char* argv[] = {name, nullptr};
    // CTest chooses the offscreen platform; a test run by hand gets it too.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (QCoreApplication::instance() == nullptr) app_ = std::make_unique<QGuiApplication>(argc, argv);
    InstallFontSubstitutions();
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

QImage WhiteImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

QRect InkBounds(const QImage& image, const QRect& area) {
  const QRect a = area.isNull() ? image.rect() : area.intersected(image.rect());
  int left = a.right() + 1, right = a.left() - 1, top = a.bottom() + 1, bottom = a.top() - 1;
  for (int y = a.top(); y <= a.bottom(); ++y) {
    for (int x = a.left(); x <= a.right(); ++x) {
      if (Pixel(image, x, y) == 0xFFFFFF) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < left) return QRect();
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

void SaveForLooking(const QImage& image, const char* name) {
  const QString dir = QStringLiteral(TESSORA_BINARY_DIR "/tests/render/out");
  QDir().mkpath(dir);
  image.save(dir + "/" + name + ".png");
}
