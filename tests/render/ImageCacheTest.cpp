#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "base/Sjis.h"
#include "render/ImageCache.h"
#include "render/QtText.h"

namespace {

// A folder of small PNG files; paths are handed to the cache as Shift-JIS.
class ImageCacheTest : public ::testing::Test {
 protected:
  std::string Make(const QString& name, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::green);
    const QString path = dir_.filePath(name);
    EXPECT_TRUE(image.save(path, "PNG"));
    return ToSjis(path);
  }
  void Remove(const std::string& path) { ASSERT_TRUE(QFile::remove(FromSjis(path))); }

  QTemporaryDir dir_;
  MImageCache cache_;
};

}  // namespace

TEST_F(ImageCacheTest, DecodesOncePerPathWhateverItsCase) {
  const std::string path = Make("Photo.png", 30, 20);
  const QImage* first = cache_.GetImage(path);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->size(), QSize(30, 20));
  Remove(path);  // a second decode would fail now
  std::string other = base::UpperCase(path);
  EXPECT_EQ(cache_.GetImage(other), first);
  EXPECT_EQ(cache_.GetImage(path), first);
  EXPECT_EQ(cache_.Count(), 1u);
}

TEST_F(ImageCacheTest, EvictsTheLeastRecentlyUsed) {
  cache_.SetCapacity(2);
  const std::string a = Make("a.png", 1, 1), b = Make("b.png", 2, 2), c = Make("c.png", 3, 3);
  const QImage* imageA = cache_.GetImage(a);
  ASSERT_NE(cache_.GetImage(b), nullptr);
  EXPECT_EQ(cache_.GetImage(a), imageA);  // A is now more recent than B
  ASSERT_NE(cache_.GetImage(c), nullptr);
  EXPECT_EQ(cache_.Count(), 2u);
  Remove(a);
  Remove(b);
  EXPECT_EQ(cache_.GetImage(a), imageA);   // still held
  EXPECT_EQ(cache_.GetImage(b), nullptr);  // evicted: decoded anew, and the file is gone
}

TEST_F(ImageCacheTest, FailuresAreCachedAndEmptyPathsAreNot) {
  const std::string missing = ToSjis(dir_.filePath("later.png"));
  EXPECT_EQ(cache_.GetImage(missing), nullptr);
  Make("later.png", 4, 4);
  EXPECT_EQ(cache_.GetImage(missing), nullptr);  // not retried while it stays cached
  EXPECT_EQ(cache_.Count(), 1u);
  EXPECT_EQ(cache_.GetImage(""), nullptr);
  EXPECT_EQ(cache_.Count(), 1u);
  // A file that is not an image is a failure too.
  QFile text(dir_.filePath("notes.png"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("not a picture");
  text.close();
  EXPECT_EQ(cache_.GetImage(ToSjis(dir_.filePath("notes.png"))), nullptr);
}

TEST_F(ImageCacheTest, CapacityBelowOneKeepsTheImageReturned) {
  cache_.SetCapacity(0);
  const std::string a = Make("a.png", 5, 5), b = Make("b.png", 6, 6);
  const QImage* imageA = cache_.GetImage(a);
  ASSERT_NE(imageA, nullptr);
  EXPECT_EQ(imageA->width(), 5);
  const QImage* imageB = cache_.GetImage(b);
  ASSERT_NE(imageB, nullptr);
  EXPECT_EQ(imageB->width(), 6);
  EXPECT_EQ(cache_.Count(), 1u);
}

TEST_F(ImageCacheTest, ShiftJisPaths) {
  const QString name = QString::fromUtf8("写真ソ.png");  // "ソ" ends in the byte of "\"
  const std::string path = Make(name, 7, 7);
  const QImage* image = cache_.GetImage(path);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width(), 7);
}

TEST_F(ImageCacheTest, ManyPathsStayConsistent) {
  cache_.SetCapacity(300);
  std::vector<std::string> paths;
  for (int i = 0; i < 320; ++i) paths.push_back(ToSjis(dir_.filePath(QString("missing%1.png").arg(i))));
  for (const std::string& p : paths) cache_.GetImage(p);
  EXPECT_EQ(cache_.Count(), 300u);
  // Lowering the capacity evicts one pair per new path, oldest first.
  cache_.SetCapacity(10);
  const std::string fresh = Make("fresh.png", 2, 2);
  ASSERT_NE(cache_.GetImage(fresh), nullptr);
  EXPECT_EQ(cache_.Count(), 300u);
  EXPECT_NE(cache_.GetImage(fresh), nullptr);  // a hit evicts nothing
  EXPECT_EQ(cache_.Count(), 300u);
}
