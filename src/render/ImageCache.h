// The image cache: decodes image files once and keeps them by path, most recently used last, up to a
// configured number. Paths compare without regard to case; a path that failed to decode is kept as
// a failure and not tried again while it stays in the cache.
#pragma once

#include <QImage>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

class MImage;

class MImageCache {
 public:
  MImageCache();
  ~MImageCache();
  MImageCache(const MImageCache&) = delete;
  MImageCache& operator=(const MImageCache&) = delete;

  int Capacity() const { return capacity_; }
  // Takes effect at the next insertion; values below 1 keep one image.
  void SetCapacity(int capacity) { capacity_ = capacity; }

  // The decoded image of a Shift-JIS path, or null when the path is empty or the file cannot be
  // decoded. The cache owns the image; it stays valid until the path is evicted.
  const QImage* GetImage(std::string_view path);

  // Number of paths held, failures included.
  std::size_t Count() const { return items_.size(); }

 private:
  struct Item {
    std::string path;
    std::unique_ptr<QImage> image;  // null for a failure
  };
  std::list<Item> items_;  // least recently used first
  // items_ by case-folded path, so that a lookup does not walk the list.
  std::unordered_map<std::string, std::list<Item>::iterator> index_;
  int capacity_ = 300;
};

// The cache element drawing takes its pictures from at each draw; the global objects install the
// global cache here. Without one, images load nothing: they draw the gray box in design mode and
// nothing otherwise.
MImageCache* ElementImageCache();
// Installs the cache (not owned); null uninstalls it.
void SetElementImageCache(MImageCache* cache);
// The decoded image of the element's FileName from the installed cache, or null; records its pixel
// size in ImageWidth and ImageHeight (both 0 when there is none).
const QImage* LoadImage(MImage& image);
// The decoded image of a file from the installed cache, or null.
const QImage* LoadImageFile(const std::string& fileName);
