// The side pane canvases: the unplaced blocks and the trash, each shown as a grid of thumbnail cards
// or as a list of rows of one list database's visible blocks.
//
// Cells are laid out in the pixels of the pane's panel, which the canvas sizes to the content:
// thumbnail cells 116 x 148 as many to a row as the scroll box holds beside its scroll bar, list rows
// 220 x 16 one under another. A cell's left and top edges belong to it, its right and bottom edges
// do not. Painting and hit testing work out the cells from the grid, so that a pane of 100,000
// blocks costs what its visible cells cost.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <cstdint>
#include <string_view>

#include "render/BaseCanvas.h"
#include "render/ImageFit.h"

class MBlockInstance;
class MListDB;

enum MListType : std::uint8_t { ltThumbnails, ltList };

class MListCanvas : public MBaseCanvas {
 public:
  MListCanvas();
  ~MListCanvas() override;

  // 0 thumbnail cards, 1 list rows; a new value lays the cells out again. Other values are kept but
  // lay out and draw nothing.
  std::uint8_t ListType() const { return listType_; }
  void SetListType(std::uint8_t type);
  // The number of cells: the list's visible count, set by the caller after every change of the list.
  int ItemCount() const { return itemCount_; }
  void SetItemCount(int count);
  int Rows() const { return rows_; }
  int Columns() const { return columns_; }

  // The list shown (not owned); null shows nothing.
  MListDB* ListDB() const { return listDB_; }
  void SetListDB(MListDB* list) { listDB_ = list; }

  // The background of the selected cell (0x00BBGGRR): one colour while the pane has the focus,
  // another while it has not.
  std::uint32_t HighlightColor() const { return highlightColor_; }
  void ShowFocused();
  void ShowUnfocused();

  // The picture under every thumbnail card (not owned); null draws none.
  const QImage* ThumbBack() const { return thumbBack_; }
  void SetThumbBack(const QImage* picture) { thumbBack_ = picture; }

  // Computes the grid from the item count and the scroll box's width and sizes the panel to it.
  void Relayout();
  // The cell of an index in panel pixels; a null rectangle for a negative index or when nothing is
  // laid out.
  QRect GetItemRect(int index) const;
  // The index of the cell holding a point of the panel, or -1 (outside the grid, below the last item,
  // in the empty part of the last row).
  int ItemAt(QPoint point) const;
  // Asks for the selected cell to be repainted without erasing; nothing when there is no selection.
  void InvalidateSelection();
  // Selects the item under the point and repaints the old and the new selected cell; false, with the
  // selection unchanged, when no item is there.
  bool SelectAt(QPoint point);

  // Primitives in panel pixels. A picture fitted into rect with its proportions, centred, scaled
  // smoothly.
  void DrawImageFit(const QRect& rect, const QImage& image, int imageHeight, int imageWidth);
  // One line of text (Shift-JIS) at the top of rect, aligned left (0), centred (1) or right (2), cut
  // at rect.
  void DrawTextIn(const QRect& rect, std::string_view text, int align);

  // Draws the cells that meet the area being repainted.
  void Paint() override;

 private:
  std::uint8_t listType_ = ltThumbnails;
  int itemCount_ = 0;
  int rows_ = 0;
  int columns_ = 0;
  MListDB* listDB_ = nullptr;
  std::uint32_t highlightColor_;
  const QImage* thumbBack_ = nullptr;
  MScaledImages scaled_;
};

class MUnmapCanvas : public MListCanvas {};

class MTrashCanvas : public MListCanvas {};

// One block as a card or a row of a side pane, into cell (panel pixels). With clip set a cell outside
// the area being repainted is skipped; selected fills it with the highlight colour.
void DrawListItem(const MBlockInstance& block, MListCanvas& canvas, const QRect& cell, bool clip,
                  bool selected);

// The picture the window puts under every thumbnail card: 116 x 148 pixels, the card's 110 x 140 at
// its top-left, a soft shadow in the strips to its right and below.
QImage MakeThumbBack();
