#include "render/ListCanvas.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "data/ListDB.h"
#include "layout/BlockInstance.h"
#include "layout/Containers.h"
#include "layout/ElementCanvas.h"
#include "layout/Shapes.h"
#include "render/CanvasHost.h"
#include "render/ImageCache.h"
#include "render/QtText.h"

namespace {

// Thumbnail cells, and the card at the top-left of each; the background picture shows in the rest.
constexpr int kThumbWidth = 116;
constexpr int kThumbHeight = 148;
constexpr int kCardWidth = 110;
constexpr int kCardHeight = 140;
// List rows, and the width of their first column (the class name).
constexpr int kListWidth = 220;
constexpr int kListHeight = 16;
constexpr int kNameColumn = 70;
// Room the scroll box keeps for its vertical scroll bar.
constexpr int kScrollBarRoom = 20;
// The texts of cards and rows: 14 pixels high, a card's lines 16 pixels apart.
constexpr int kFontHeight = 14;
constexpr int kLineHeight = 16;
// A picture keeps this far from the card's sides and bottom and from its own line's top.
constexpr int kImageInset = 5;

// Colours (0x00BBGGRR).
constexpr std::uint32_t kFocusedHighlight = 0xFFCCFF;    // RGB 255, 204, 255
constexpr std::uint32_t kUnfocusedHighlight = 0xC0C7C8;  // RGB 200, 199, 192
constexpr std::uint32_t kCardColor = 0xFFFFFF;
constexpr std::uint32_t kMissingImage = 0xD0D0D0;  // RGB 208, 208, 208

// The cell size of a list type; false for a type that lays out nothing.
bool CellSize(std::uint8_t type, int& width, int& height) {
  if (type == ltThumbnails) {
    width = kThumbWidth;
    height = kThumbHeight;
    return true;
  }
  if (type == ltList) {
    width = kListWidth;
    height = kListHeight;
    return true;
  }
  return false;
}

}  // namespace

MListCanvas::MListCanvas() : highlightColor_(kUnfocusedHighlight) {}

MListCanvas::~MListCanvas() = default;

void MListCanvas::SetListType(std::uint8_t type) {
  if (type == listType_) return;
  listType_ = type;
  Relayout();
}

void MListCanvas::SetItemCount(int count) {
  count = std::max(count, 0);
  if (count == itemCount_) return;
  itemCount_ = count;
  Relayout();
}

void MListCanvas::Relayout() {
  int width = 0, height = 0;
  if (itemCount_ == 0) {
    rows_ = columns_ = 0;
  } else if (listType_ == ltList) {
    columns_ = 1;
    rows_ = itemCount_;
    width = kListWidth;
    height = kListHeight * rows_;
  } else if (listType_ == ltThumbnails) {
    // Without a window there is no room beside the scroll bar: one column.
    const int box = Host() != nullptr ? Host()->ScrollBoxSize().width() : 0;
    columns_ = std::max(1, (box - kScrollBarRoom) / kThumbWidth);
    rows_ = (itemCount_ + columns_ - 1) / columns_;
    width = kThumbWidth * columns_;
    height = kThumbHeight * rows_;
  } else {
    return;
  }
  if (Host() != nullptr) Host()->SetPanelSize(width, height);
}

QRect MListCanvas::GetItemRect(int index) const {
  int w = 0, h = 0;
  if (index < 0 || columns_ <= 0 || !CellSize(listType_, w, h)) return QRect();
  return QRect(index % columns_ * w, index / columns_ * h, w, h);
}

int MListCanvas::ItemAt(QPoint point) const {
  int w = 0, h = 0;
  if (point.x() < 0 || point.y() < 0 || columns_ <= 0 || !CellSize(listType_, w, h)) return -1;
  const int column = point.x() / w;
  const int row = point.y() / h;
  if (column >= columns_ || row >= rows_) return -1;
  const long long index = static_cast<long long>(row) * columns_ + column;
  return index < itemCount_ ? static_cast<int>(index) : -1;
}

void MListCanvas::InvalidateSelection() {
  if (Host() == nullptr || listDB_ == nullptr) return;
  const QRect cell = GetItemRect(listDB_->Selection());
  if (!cell.isNull()) Host()->RepaintRect(cell, false);
}

bool MListCanvas::SelectAt(QPoint point) {
  const int index = ItemAt(point);
  if (index < 0 || listDB_ == nullptr || index >= listDB_->VisibleCount()) return false;
  InvalidateSelection();
  listDB_->Select(index);
  InvalidateSelection();
  return true;
}

void MListCanvas::ShowFocused() {
  highlightColor_ = kFocusedHighlight;
  InvalidateSelection();
}

void MListCanvas::ShowUnfocused() {
  highlightColor_ = kUnfocusedHighlight;
  InvalidateSelection();
}

void MListCanvas::DrawImageFit(const QRect& rect, const QImage& image, int imageHeight, int imageWidth) {
  QPainter* p = GetCanvas();
  if (p == nullptr || image.isNull()) return;
  const QRect box = FitImageBox(rect, imageHeight, imageWidth);
  if (box.isEmpty()) return;
  scaled_.Draw(*p, box, image, QRect(0, 0, imageWidth, imageHeight));
}

void MListCanvas::DrawTextIn(const QRect& rect, std::string_view text, int align) {
  if (GetCanvas() == nullptr || text.empty()) return;
  const QString s = FromSjis(text);
  const int w = TextWidth(s);
  int x = rect.x();
  if (align == taCenter)
    x = rect.x() + (rect.width() - w) / 2;
  else if (align == taRight)
    x = rect.x() + rect.width() - w;
  DrawTextAt(x, rect.y(), s, w, rect);
}

void MListCanvas::Paint() {
  int w = 0, h = 0;
  if (GetCanvas() == nullptr || listDB_ == nullptr || columns_ <= 0 || !CellSize(listType_, w, h)) return;
  // Only the cells that meet the area being repainted: their columns and rows follow from the grid.
  const QRect clip = ClipRect();
  const int clipRight = clip.x() + clip.width(), clipBottom = clip.y() + clip.height();
  if (clip.isEmpty() || clipRight <= 0 || clipBottom <= 0) return;
  const int firstColumn = std::max(clip.x(), 0) / w;
  const int lastColumn = std::min((clipRight - 1) / w, columns_ - 1);
  const int firstRow = std::max(clip.y(), 0) / h;
  const int lastRow = std::min((clipBottom - 1) / h, rows_ - 1);
  const int selection = listDB_->Selection();
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = firstColumn; column <= lastColumn; ++column) {
      const int index = row * columns_ + column;
      if (index >= itemCount_) return;
      if (const MBlockInstance* block = listDB_->VisibleEntry(index))
        DrawListItem(*block, *this, GetItemRect(index), true, index == selection);
    }
  }
}

void DrawListItem(const MBlockInstance& block, MListCanvas& canvas, const QRect& cell, bool clip,
                  bool selected) {
  QPainter* p = canvas.GetCanvas();
  if (p == nullptr) return;
  if (clip && !cell.intersects(canvas.ClipRect())) return;
  const bool thumbnails = canvas.ListType() == ltThumbnails;
  QRect card = cell;
  if (thumbnails) {
    if (const QImage* back = canvas.ThumbBack(); back != nullptr && !back->isNull())
      p->drawImage(cell.topLeft(), *back);
    card = QRect(cell.x(), cell.y(), kCardWidth, kCardHeight);
  }
  p->fillRect(card, ColorFromRef(selected ? canvas.HighlightColor() : kCardColor));
  canvas.SetFontHeight(kFontHeight);

  if (!thumbnails) {
    canvas.DrawTextIn(QRect(card.x(), card.y(), kNameColumn, card.height()), block.Name(), taLeft);
    canvas.DrawTextIn(QRect(card.x() + kNameColumn, card.y(), card.width() - kNameColumn, card.height()),
                      block.FaceText(), taLeft);
    return;
  }

  // The listed elements, each on the line of its place in the thumbnail list, read from the block.
  const MBlock& blockClass = block.Class();
  std::string scratch;
  for (std::size_t i = 0; i < blockClass.Children.size(); ++i) {
    const MControl& child = *blockClass.Children[i];
    const int d = IndexOfName(blockClass.ThumbnailElements, child.Name);
    if (d < 0) continue;
    const int top = card.y() + kLineHeight * d;
    const QRect line(card.x(), top, card.width(), kLineHeight);
    if (child.IsText()) {
      canvas.DrawTextIn(line, block.TextView(i, scratch), taCenter);
    } else if (child.Kind() == MKind::Barcode) {
      canvas.DrawTextIn(line, block.StoredValue(i), taCenter);  // the code only: no bars in the panes
    } else if (child.Kind() == MKind::Image) {
      const QRect box(
          QPoint(card.x() + kImageInset, top + kImageInset),
          QPoint(card.x() + card.width() - kImageInset - 1, card.y() + card.height() - kImageInset - 1));
      if (box.isEmpty()) continue;
      if (const QImage* picture = LoadImageFile(block.ImageFileName(i)))
        canvas.DrawImageFit(box, *picture, picture->height(), picture->width());
      else
        p->fillRect(box, ColorFromRef(kMissingImage));
    }
  }
}

QImage MakeThumbBack() {
  // A shadow of the card cast 3 pixels down and to the right, blurred over 5 pixels with a quadratic
  // fall-off, on the pane's white.
  constexpr int kOffset = 3;
  constexpr double kBlur = 5.0;
  constexpr double kDarkest = 90.0;
  QImage picture(kThumbWidth, kThumbHeight, QImage::Format_RGB32);
  picture.fill(Qt::white);
  const int left = kOffset, top = kOffset;
  const int right = kCardWidth + kOffset - 1, bottom = kCardHeight + kOffset - 1;  // inclusive
  for (int y = 0; y < kThumbHeight; ++y) {
    for (int x = 0; x < kThumbWidth; ++x) {
      if (x < kCardWidth && y < kCardHeight) continue;  // under the card
      const int dx = std::max({left - x, 0, x - right});
      const int dy = std::max({top - y, 0, y - bottom});
      const double d = std::min(std::sqrt(static_cast<double>(dx * dx + dy * dy)), kBlur);
      const double fall = (1.0 - d / kBlur) * (1.0 - d / kBlur);
      const int v = 255 - static_cast<int>(std::lround(kDarkest * fall));
      picture.setPixel(x, y, qRgb(v, v, v));
    }
  }
  return picture;
}
