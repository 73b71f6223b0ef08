#include "render/ImageCache.h"

#include <QImageReader>
#include <algorithm>

#include "base/Sjis.h"
#include "layout/Shapes.h"
#include "render/QtText.h"

namespace {

std::unique_ptr<QImage> Decode(std::string_view path) {
  try {
    QImageReader reader(FromSjis(path));
    QImage image = reader.read();
    if (image.isNull()) return nullptr;
    return std::make_unique<QImage>(std::move(image));
  } catch (...) {
    // Whatever goes wrong while decoding (memory for a huge picture) is a file that does not load.
    return nullptr;
  }
}

}  // namespace

MImageCache::MImageCache() = default;

MImageCache::~MImageCache() = default;

const QImage* MImageCache::GetImage(std::string_view path) {
  if (path.empty()) return nullptr;
  std::string key = base::UpperCase(path);
  if (auto found = index_.find(key); found != index_.end()) {
    items_.splice(items_.end(), items_, found->second);  // now the most recently used
    return found->second->image.get();
  }
  items_.push_back(Item{std::string(path), Decode(path)});
  auto added = std::prev(items_.end());
  index_.emplace(std::move(key), added);
  if (static_cast<long long>(items_.size()) > std::max(capacity_, 1)) {
    index_.erase(base::UpperCase(items_.front().path));
    items_.pop_front();
  }
  return added->image.get();
}

namespace {
MImageCache* gElementImageCache = nullptr;
}  // namespace

MImageCache* ElementImageCache() { return gElementImageCache; }
void SetElementImageCache(MImageCache* cache) { gElementImageCache = cache; }

const QImage* LoadImageFile(const std::string& fileName) {
  const QImage* picture = gElementImageCache != nullptr ? gElementImageCache->GetImage(fileName) : nullptr;
  return picture != nullptr && !picture->isNull() ? picture : nullptr;
}

const QImage* LoadImage(MImage& image) {
  const QImage* picture = LoadImageFile(image.FileName);
  image.ImageWidth = picture != nullptr ? picture->width() : 0;
  image.ImageHeight = picture != nullptr ? picture->height() : 0;
  return picture;
}
