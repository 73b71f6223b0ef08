// The window's icons: our own drawings on a desktop without an icon theme, the theme's where it has one.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>

#include "app/platform/Icons.h"

namespace {

// Puts the given icon theme in place for one test and the desktop's back afterwards.
class ThemeScope {
 public:
  ThemeScope(const QString& name, const QStringList& searchPaths)
      : name_(QIcon::themeName()),
        fallbackName_(QIcon::fallbackThemeName()),
        paths_(QIcon::themeSearchPaths()),
        fallbackPaths_(QIcon::fallbackSearchPaths()) {
    QIcon::setThemeSearchPaths(searchPaths);
    QIcon::setFallbackSearchPaths({});
    QIcon::setFallbackThemeName(name);
    QIcon::setThemeName(name);
  }
  ~ThemeScope() {
    QIcon::setThemeSearchPaths(paths_);
    QIcon::setFallbackSearchPaths(fallbackPaths_);
    QIcon::setFallbackThemeName(fallbackName_);
    QIcon::setThemeName(name_);
  }

 private:
  QString name_, fallbackName_;
  QStringList paths_, fallbackPaths_;
};

QImage Drawn(const QIcon& icon, int px) { return icon.pixmap(px).toImage(); }

int InkedPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
  return count;
}

class IconWithoutTheme : public ::testing::TestWithParam<int> {};

TEST_P(IconWithoutTheme, IsOurOwnSvgDrawnAt16And24Px) {
  const MIcon icon = static_cast<MIcon>(GetParam());
  const ThemeScope bare("tessora-no-such-theme", {});
  const QIcon own(IconResourcePath(icon));
  ASSERT_TRUE(QFile::exists(IconResourcePath(icon))) << IconResourcePath(icon).toStdString();
  const QIcon icon16and24 = IconFor(icon);
  ASSERT_FALSE(icon16and24.isNull());
  for (const int px : {16, 24}) {
    const QImage image = Drawn(icon16and24, px);
    ASSERT_EQ(image.size(), QSize(px, px)) << "no SVG icon engine or image format plugin?";
    // Some ink, and not a filled square: an outline drawing.
    EXPECT_GT(InkedPixels(image), px);
    EXPECT_LT(InkedPixels(image), px * px * 3 / 4);
    EXPECT_EQ(image, Drawn(own, px));
  }
}

INSTANTIATE_TEST_SUITE_P(EveryIcon, IconWithoutTheme, ::testing::Range(0, kMIconCount),
                         [](const ::testing::TestParamInfo<int>& info) {
                           // Named after the drawing: "view-all" runs as
                           // EveryIcon/IconWithoutTheme…/view_all.
                           const QString file =
                               QFileInfo(IconResourcePath(static_cast<MIcon>(info.param))).baseName();
                           return QString(file).replace('-', '_').toStdString();
                         });

TEST(Icons, ComeFromTheDesktopThemeWhereItHasThem) {
  // A theme of one icon, document-open, plain red.
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  ASSERT_TRUE(QDir(root.path()).mkpath("probe/16x16/actions"));
  QFile index(root.filePath("probe/index.theme"));
  ASSERT_TRUE(index.open(QIODevice::WriteOnly));
  index.write(
      "[Icon Theme]\nName=probe\nDirectories=16x16/actions\n\n[16x16/actions]\nSize=16\nType=Fixed\n");
  index.close();
  QImage red(16, 16, QImage::Format_ARGB32);
  red.fill(Qt::red);
  ASSERT_TRUE(red.save(root.filePath("probe/16x16/actions/document-open.png")));

  const ThemeScope probe("probe", {root.path()});
  EXPECT_EQ(Drawn(IconFor(MIcon::Open), 16).pixel(8, 8), qRgb(255, 0, 0));
  // A standard icon the theme lacks, and the editor's own, stay ours.
  for (const MIcon own : {MIcon::Save, MIcon::MappingMode})
    EXPECT_EQ(Drawn(IconFor(own), 16), Drawn(QIcon(IconResourcePath(own)), 16))
        << IconResourcePath(own).toStdString();
}

}  // namespace
