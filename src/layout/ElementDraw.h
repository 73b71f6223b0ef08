// What element drawing needs besides the canvas it is given.
//
// Image elements take their pictures from the image cache at each draw; the global objects install
// the global cache here. Without one, images load nothing: they draw the gray box in design mode and
// nothing otherwise.
#pragma once

class MImageCache;
class MImage;
class QImage;

// The installed cache, or null.
MImageCache* ElementImageCache();
// Installs the cache (not owned); null uninstalls it.
void SetElementImageCache(MImageCache* cache);

// The decoded image of the element's FileName from the installed cache, or null; records its pixel
// size in ImageWidth and ImageHeight (both 0 when there is none).
const QImage* LoadImage(MImage& image);
