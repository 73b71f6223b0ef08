// TBarImage: construction, the properties and when they repaint, and the operations that decide
// what a paint does. The drawing itself is in BarImagePaint.cpp, the clipboard in
// BarImageClipboard.cpp.
#include "barcode/BarImage.h"

#include <QObject>  // the clipboard watcher that the destructor releases
#include <algorithm>

#include "barcode/BarEncodersJanUpc.h"

namespace barcode {

TBarImage::TBarImage() {
  barFont_.setPixelSize(12);
  onClipboardChange_ = [this](TBarImage&) { ClipboardChanged(); };
}

TBarImage::~TBarImage() { SetClipWatch(false); }

// --- Properties ---

void TBarImage::SetBarType(TBarTypes value) {
  barType_ = value;
  PaintBar();
}

void TBarImage::SetCode(const std::string& value) {
  code_ = value;
  PaintBar();
}

void TBarImage::SetCommentUp(const std::string& value) {
  commentUp_ = value;
  PaintBar();
}

void TBarImage::SetCommentUpLoc(TLocation value) {
  commentUpLoc_ = value;
  if (!commentUp_.empty()) PaintBar();
}

void TBarImage::SetCommentDown(const std::string& value) {
  commentDown_ = value;
  PaintBar();
}

void TBarImage::SetCommentDownLoc(TLocation value) {
  commentDownLoc_ = value;
  if (!commentDown_.empty()) PaintBar();
}

void TBarImage::SetStartChar(char value) {
  startChar_ = (value >= 'A' && value <= 'D') ? value : 'A';
  if (barType_ == cbarNW7 || barType_ == cbarCODE128) PaintBar();
}

void TBarImage::SetStopChar(char value) {
  stopChar_ = (value >= 'A' && value <= 'D') ? value : 'A';
  if (barType_ == cbarNW7) PaintBar();
}

void TBarImage::SetCD(bool value) {
  cd_ = value;
  // IATA 2 of 5 always carries its check digit; the others below make it optional.
  switch (barType_) {
    case cbarCODE39:
    case cbarNW7:
    case cbarITF:
    case cbarCTF:
    case cbarMATRIX:
    case cbarNEC:
      PaintBar();
      break;
    default:
      break;
  }
}

void TBarImage::SetScale(int value) {
  scale_ = std::clamp(value, kMinScale, kMaxScale);
  PaintBar();
}

void TBarImage::SetSymbolDisp(bool value) {
  symbolDisp_ = value;
  PaintBar();
}

void TBarImage::SetBarFont(const QFont* font) {
  if (font == nullptr || font == &barFont_) return;
  barFont_ = *font;
  if (symbolDisp_) PaintBar();
}

void TBarImage::SetBarFontColor(std::uint32_t value) {
  barFontColor_ = value;
  if (symbolDisp_) PaintBar();
}

void TBarImage::SetTransparent(bool value) {
  transparent_ = value;
  if (value) {
    match_ = false;
    barPicture_ = pbarBMP;
  }
  PaintBar();
}

void TBarImage::SetBarColor(std::uint32_t value) {
  barColor_ = value;
  PaintBar();
}

void TBarImage::SetBackColor(std::uint32_t value) {
  backColor_ = value;
  PaintBar();
}

void TBarImage::SetBarHeight(int value) {
  barHeight_ = value;
  if (barType_ != cbarCUSTOMER) PaintBar();
}

void TBarImage::SetBarLeft(int value) {
  barLeft_ = value;
  PaintBar();
}

void TBarImage::SetBarTop(int value) {
  barTop_ = value;
  PaintBar();
}

void TBarImage::SetBarSpaceUp(int value) {
  barSpaceUp_ = std::max(value, 0);
  PaintBar();
}

void TBarImage::SetBarSpaceDown(int value) {
  barSpaceDown_ = std::max(value, 0);
  PaintBar();
}

void TBarImage::SetBarSpaceLeft(int value) {
  barSpaceLeft_ = std::max(value, 0);
  PaintBar();
}

void TBarImage::SetBarSpaceRight(int value) {
  barSpaceRight_ = std::max(value, 0);
  PaintBar();
}

void TBarImage::SetMatch(bool value) {
  match_ = value;
  if (value)
    transparent_ = false;
  else
    barPicture_ = pbarBMP;
  PaintBar();
}

void TBarImage::SetBarPicture(TBarPictures value) {
  barPicture_ = match_ ? value : pbarBMP;
  if (match_) PaintBar();
}

void TBarImage::SetElementRatio(int value) {
  elementRatio_ = std::clamp(value, kMinElementRatio, kMaxElementRatio);
  if (IsTwoWidth(barType_)) PaintBar();
}

void TBarImage::SetBarEnabled(bool value) {
  if (!value) {
    barEnabled_ = false;
    return;
  }
  if (barEnabled_) return;
  barEnabled_ = true;
  PaintBar();
}

void TBarImage::SetBarDebug(bool value) { barDebug_ = value; }

void TBarImage::SetClearOption(bool value) {
  if (!value) {
    clearOption_ = false;
    return;
  }
  if (clearOption_) return;
  clearOption_ = true;
  if (!barDisped_) ClearBar();
}

void TBarImage::SetBarFrame(int value) {
  barFrame_ = std::clamp(value, 0, kMaxBarFrame);
  PaintBar();
}

void TBarImage::SetClipWatch(bool value) {
  swallowNotification_ = !clipWatch_ && value;
  clipWatch_ = value;
  UpdateClipboardChain();
}

void TBarImage::SetWidth(int value) { width_ = std::clamp(value, 0, kMaxPictureSide); }

void TBarImage::SetHeight(int value) { height_ = std::clamp(value, 0, kMaxPictureSide); }

void TBarImage::SetAutoSize(bool value) {
  autoSize_ = value;
  if (!autoSize_) return;
  const QSize size = PictureSize();
  if (size.isEmpty()) return;
  SetWidth(size.width());
  SetHeight(size.height());
}

QSize TBarImage::PictureSize() const { return metafile_ ? svgSize_ : bitmap_.size(); }

// --- Operations ---

void TBarImage::PaintBar() {
  if (!barEnabled_) return;
  if (onPaintBar_) onPaintBar_(*this);
  if (metafile_) {
    metafile_ = false;
    svg_.clear();
    svgSize_ = QSize();
  }
  if (bitmap_.isNull()) bitmap_ = NewBitmap(width_, height_);
  if (barPicture_ == pbarBMP)
    PaintBitmap();
  else
    PaintMetafile();
  if (onPaintedBar_) onPaintedBar_(*this);
  if (!barDisped_ && clearOption_ && !barDebug_) ClearBar();
}

void TBarImage::ClearBar() {
  barDisped_ = false;
  metafile_ = false;
  svg_.clear();
  svgSize_ = QSize();
  bitmap_ = QImage();
}

void TBarImage::RefreshBar() { PaintBar(); }

void TBarImage::UPCAToUPCE() {
  if (barType_ == cbarUPC && barDisped_ && code_.size() == 11) {
    std::string upce = CompressUPCA(code_);
    if (!upce.empty()) {
      code_ = std::move(upce);
      PaintBar();
      return;
    }
  }
  barDisped_ = false;
}

void TBarImage::UPCEToUPCA() {
  if (barType_ == cbarUPC && barDisped_ && code_.size() == 7) {
    std::string upca = ExpandUPCE(code_);
    if (!upca.empty()) {
      code_ = std::move(upca);
      PaintBar();
      return;
    }
  }
  barDisped_ = false;
}

}  // namespace barcode
