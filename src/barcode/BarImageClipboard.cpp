// TBarImage and the clipboard: copying the picture, taking the code from clipboard text, and
// following clipboard changes (ClipWatch).
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QObject>
#include <algorithm>

#include "barcode/BarImage.h"
#include "barcode/BarImageInternal.h"
#include "base/Sjis.h"

namespace barcode {

using detail::HaveGuiApp;

namespace {

constexpr int kMaxPasteChars = 256;
constexpr const char* kSvgMimeType = "image/svg+xml";

QClipboard* Clipboard() { return HaveGuiApp() ? QGuiApplication::clipboard() : nullptr; }

}  // namespace

void TBarImage::CopyToClipboard() {
  if (!barDisped_ || barPicture_ == pbarBMP || !metafile_) {
    PutPictureOnClipboard();
    return;
  }
  if (barPicture_ == pbarEMF)
    PutSvgOnClipboard();
  else
    CopyWMFToClipboard();
}

void TBarImage::PutPictureOnClipboard() {
  if (metafile_) {
    PutSvgOnClipboard();
    return;
  }
  QClipboard* clipboard = Clipboard();
  if (clipboard == nullptr || bitmap_.isNull()) return;
  clipboard->setImage(bitmap_);
}

void TBarImage::PutSvgOnClipboard() {
  QClipboard* clipboard = Clipboard();
  if (clipboard == nullptr || svg_.isEmpty()) return;
  auto data = std::make_unique<QMimeData>();
  data->setData(kSvgMimeType, svg_);
  clipboard->setMimeData(data.release());  // the clipboard takes it
}

// The SVG picture carries its physical size (from the reference resolution) as the metafile picture
// carried its extents, so both metafile kinds put the same document.
void TBarImage::CopyWMFToClipboard() { PutSvgOnClipboard(); }

void TBarImage::PasteFromClipboard() {
  QClipboard* clipboard = Clipboard();
  if (clipboard == nullptr) return;
  const QMimeData* data = clipboard->mimeData();
  if (data == nullptr || !data->hasText()) return;
  std::string text = base::Utf8ToSjis(data->text().toStdString());
  // Clipboard text on this platform ends its lines with LF as often as with CR LF.
  text.erase(std::min(text.find_first_of("\r\n"), text.size()));
  text.erase(base::CharOffset(text, kMaxPasteChars));
  if (text.empty() || text == code_) return;
  code_ = std::move(text);
  PaintBar();
}

void TBarImage::UpdateClipboardChain() {
  const bool wanted = clipWatch_ && onClipboardChange_ && HaveGuiApp();
  if (wanted == inClipChain_) return;
  if (!wanted) {
    clipWindow_.reset();  // disconnects
    inClipChain_ = false;
    return;
  }
  clipWindow_ = std::make_unique<QObject>();
  QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, clipWindow_.get(),
                   [this] { ClipboardWndProc(); });
  inClipChain_ = true;
  // Joining a clipboard viewer chain delivers one notification at once; the watch swallows it, so
  // that switching the watch on does not take the text that is already there.
  ClipboardWndProc();
}

void TBarImage::ClipboardWndProc() {
  // A notification handler must not throw into Qt's signal delivery.
  try {
    if (onClipboardChange_) onClipboardChange_(*this);
  } catch (...) {
  }
}

void TBarImage::ClipboardChanged() {
  if (swallowNotification_) {
    swallowNotification_ = false;
    return;
  }
  PasteFromClipboard();
}

}  // namespace barcode
