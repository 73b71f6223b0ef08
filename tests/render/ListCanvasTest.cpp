// The side pane canvases: the grid of thumbnail cards and the list rows laid out for the scroll box,
// selection by mouse, and the cells drawn into a picture, pixels checked where they matter.
#include <gtest/gtest.h>

#include <QPainter>
#include <QTemporaryDir>
#include <fstream>
#include <set>

#include "data/ListDB.h"
#include "data/MapFile.h"
#include "layout/Layout.h"
#include "render/ImageCache.h"
#include "render/ListCanvas.h"
#include "render/QtText.h"
#include "support/DocumentTestSupport.h"
#include "support/RenderTestSupport.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kUnfocused = 0xC8C7C0;  // RGB 200, 199, 192
constexpr QRgb kFocused = 0xFFCCFF;    // RGB 255, 204, 255
constexpr QRgb kMissingImage = 0xD0D0D0;

// "card" lists price, name and photo as its thumbnail, in that order, unlike the block's own order;
// its code is not listed. "tag" shows a barcode's code.
const char* const kLayout =
    "form page { grid-point { x: 10; y: 10; } }\n"
    "block card {\n"
    "  width: 60; height: 40;\n"
    "  face-element: name; search-element: name; thumbnail-element: price, name, photo;\n"
    "  text name { x: 0; y: 0; width: 60; height: 5; value: \"?\"; }\n"
    "  text code { x: 0; y: 5; width: 60; height: 5; value: \"CODE\"; }\n"
    "  image photo { x: 0; y: 10; width: 30; height: 30; }\n"
    "  text price { x: 30; y: 10; width: 30; height: 5; value: \"0\"; }\n"
    "}\n"
    "block tag {\n"
    "  width: 60; height: 10; face-element: code; thumbnail-element: code;\n"
    "  barcode code { x: 0; y: 0; width: 60; height: 10; value: \"123\"; }\n"
    "}\n";

class Pane : public ::testing::Test {
 protected:
  Pane() {
    doc_test::LoadLayoutText(layout_, kLayout);
    file_.EditBlockFields() = {{"card", "name", "code", "price", "photo"}, {"tag", "code"}};
    canvas_.SetHost(&host_);
    canvas_.SetListDB(&db_);
    SetElementImageCache(&cache_);
  }
  ~Pane() override { SetElementImageCache(nullptr); }

  void AddCards(int n, const std::string& photo = "") {
    for (int i = 0; i < n; ++i)
      db_.AddFromData("card", {"card", "Name" + std::to_string(i), "C", std::to_string(i), photo}, false);
    canvas_.SetItemCount(db_.VisibleCount());
  }

  // The pane painted on a picture of the given colour; clip limits the area being repainted.
  QImage Paint(QSize size, QRect clip = QRect(), QColor background = Qt::white) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    {
      MPaintScope scope(canvas_, painter, clip);
      canvas_.Paint();
    }
    painter.end();
    return image;
  }

  // A selected card on white with the given texts centred on their lines, drawn with the primitives.
  static QImage SelectedCard(const std::vector<std::pair<int, std::string>>& lines) {
    QImage card = WhiteImage(116, 148);
    QPainter painter(&card);
    painter.fillRect(QRect(0, 0, 110, 140), QColor(kUnfocused));
    MUnmapCanvas reference;
    MPaintScope scope(reference, painter);
    reference.SetFontHeight(14);
    for (const auto& [line, text] : lines) reference.DrawTextIn({0, 16 * line, 110, 16}, text, 1);
    return card;
  }

  MLayout layout_;
  MMapFile file_;
  MUnmapDB db_{layout_, file_};
  MImageCache cache_;
  RecordingHost host_;
  MUnmapCanvas canvas_;
};

}  // namespace

TEST_F(Pane, CellsAreLaidOutForTheScrollBox) {
  const struct {
    std::uint8_t type;
    int boxWidth, count, columns, rows;
    QSize panel;
    QRect item3;
  } cases[] = {
      {ltThumbnails, 252, 5, 2, 3, {232, 444}, {116, 148, 116, 148}},
      {ltThumbnails, 251, 5, 1, 5, {116, 740}, {0, 444, 116, 148}},
      {ltThumbnails, 3, 5, 1, 5, {116, 740}, {0, 444, 116, 148}},  // one column however narrow
      {ltThumbnails, 600, 5, 5, 1, {580, 148}, {348, 0, 116, 148}},
      {ltList, 252, 5, 1, 5, {220, 80}, {0, 48, 220, 16}},
      {ltThumbnails, 252, 0, 0, 0, {0, 0}, {}},
      {ltList, 252, 0, 0, 0, {0, 0}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.type) << " " << c.boxWidth << " " << c.count);
    MUnmapCanvas canvas;
    canvas.SetHost(&host_);
    host_.box = {c.boxWidth, 400};
    host_.panel = {-1, -1};
    canvas.SetListType(c.type);
    canvas.SetItemCount(c.count);
    canvas.Relayout();
    EXPECT_EQ(canvas.Columns(), c.columns);
    EXPECT_EQ(canvas.Rows(), c.rows);
    EXPECT_EQ(host_.panel, c.panel);
    EXPECT_EQ(canvas.GetItemRect(3), c.item3);
    EXPECT_TRUE(canvas.GetItemRect(-1).isNull());
  }

  // Switching the type lays out again.
  host_.box = {252, 400};
  canvas_.SetItemCount(5);
  canvas_.SetListType(ltList);
  EXPECT_EQ(host_.panel, QSize(220, 80));
}

TEST_F(Pane, ClickingSelectsTheCellUnderThePointOnly) {
  host_.box = {252, 400};
  AddCards(5);
  struct Click {
    std::uint8_t type;
    QPoint point;
    int selected;  // -1: nothing there, the selection stays
  };
  const Click clicks[] = {
      {ltThumbnails, {0, 0}, 0},     {ltThumbnails, {115, 147}, 0},  {ltThumbnails, {116, 0}, 1},
      {ltThumbnails, {0, 148}, 2},   {ltThumbnails, {231, 443}, -1},  // the empty part of the last row
      {ltThumbnails, {10, 444}, -1},                                  // below the last item
      {ltThumbnails, {232, 10}, -1}, {ltThumbnails, {-1, 10}, -1},   {ltList, {219, 79}, 4},
      {ltList, {5, 32}, 2},          {ltList, {220, 0}, -1},         {ltList, {0, 80}, -1},
  };
  for (const Click& c : clicks) {
    SCOPED_TRACE(testing::Message() << int(c.type) << " " << c.point.x() << "," << c.point.y());
    canvas_.SetListType(c.type);
    db_.Select(3);
    host_.rects.clear();
    EXPECT_EQ(canvas_.SelectAt(c.point), c.selected >= 0);
    if (c.selected < 0) {
      EXPECT_EQ(db_.Selection(), 3);
      EXPECT_TRUE(host_.rects.empty());
    } else {
      EXPECT_EQ(db_.Selection(), c.selected);
      // The old and the new selected cell repaint, without erasing.
      ASSERT_EQ(host_.rects.size(), 2u);
      EXPECT_EQ(host_.rects[0], std::make_pair(canvas_.GetItemRect(3), false));
      EXPECT_EQ(host_.rects[1], std::make_pair(canvas_.GetItemRect(c.selected), false));
    }
  }
}

TEST_F(Pane, TheSelectedCardShowsTheFocusColour) {
  const QImage back = MakeThumbBack();
  canvas_.SetThumbBack(&back);
  host_.box = {252, 400};
  AddCards(3);
  db_.Select(1);
  const QImage image = Paint({232, 296});
  EXPECT_EQ(Pixel(image, 2, 130), kWhite);
  EXPECT_EQ(Pixel(image, 116 + 2, 130), kUnfocused);
  // The strips right of and below the card show the background picture: a shadow, darkest at the
  // card's edge.
  ASSERT_EQ(back.size(), QSize(116, 148));
  EXPECT_EQ(Pixel(image, 116 + 111, 70), Pixel(back, 111, 70));
  EXPECT_EQ(Pixel(image, 116 + 60, 141), Pixel(back, 60, 141));
  EXPECT_LT(qRed(Pixel(back, 110, 70)), qRed(Pixel(back, 114, 70)));
  EXPECT_LT(qRed(Pixel(back, 60, 140)), qRed(Pixel(back, 60, 145)));

  host_.rects.clear();
  canvas_.ShowFocused();
  EXPECT_EQ(host_.rects, (std::vector<std::pair<QRect, bool>>{{QRect(116, 0, 116, 148), false}}));
  EXPECT_EQ(Pixel(Paint({232, 296}), 116 + 2, 130), kFocused);
  canvas_.ShowUnfocused();
  EXPECT_EQ(Pixel(Paint({232, 296}), 116 + 2, 130), kUnfocused);

  // No selection: nothing to repaint.
  db_.SetSearch("no such card");
  host_.rects.clear();
  canvas_.ShowFocused();
  EXPECT_TRUE(host_.rects.empty());
}

TEST_F(Pane, ListRowsShowClassNameAndFaceTextSixteenPixelsApart) {
  AddCards(3);
  db_.AddFromData("tag", {"tag", "987"}, false);
  db_.SetSearch("name");  // the tag has no search element: three cards stay
  canvas_.SetItemCount(db_.VisibleCount());
  canvas_.SetListType(ltList);
  db_.Select(2);
  const QImage image = Paint({260, 100});
  for (int row = 0; row < 3; ++row) {
    EXPECT_NEAR(InkBounds(image, QRect(0, 16 * row, 70, 16)).left(), 0, 2) << row;
    EXPECT_NEAR(InkBounds(image, QRect(70, 16 * row, 190, 16)).left(), 71, 2) << row;
  }
  // The selected row is highlighted over its whole width; nothing below the three rows.
  EXPECT_EQ(Pixel(image, 1, 32), kUnfocused);
  EXPECT_EQ(Pixel(image, 219, 47), kUnfocused);
  EXPECT_EQ(Pixel(image, 220, 40), kWhite);
  EXPECT_TRUE(InkBounds(image, QRect(0, 48, 260, 52)).isEmpty());
}

TEST_F(Pane, ThumbnailLinesFollowTheThumbnailList) {
  AddCards(1);
  MBlockInstance& block = *db_.VisibleEntry(0);
  block.SetElementValue("name", "WWWWWW");
  block.SetElementValue("price", "1");
  const QImage image = Paint({116, 148});

  // What the card must look like: the selected card's colour over 110 x 140, price on line 0, name on
  // line 1, the picture box from line 2 on; the unlisted code nowhere.
  QImage expected = SelectedCard({{0, "1"}, {1, "WWWWWW"}});
  {
    QPainter painter(&expected);
    painter.fillRect(QRect(5, 37, 100, 98), QColor(kMissingImage));
  }
  EXPECT_EQ(image, expected);
  EXPECT_EQ(Pixel(image, 55, 36), kUnfocused);
  EXPECT_EQ(Pixel(image, 55, 37), kMissingImage);
  EXPECT_EQ(Pixel(image, 110, 10), kWhite);

  // A barcode shows its code as text, no bars.
  db_.Clear();
  db_.AddFromData("tag", {"tag", "4912345"}, false);
  canvas_.SetItemCount(db_.VisibleCount());
  EXPECT_EQ(Paint({116, 148}), SelectedCard({{0, "4912345"}}));
}

TEST_F(Pane, PicturesAreFittedAndUndecodableOnesAreGray) {
  QTemporaryDir dir;
  QImage wide(200, 100, QImage::Format_RGB32);
  wide.fill(QColor(0, 0, 255));
  ASSERT_TRUE(wide.save(dir.filePath("wide.png")));
  std::ofstream(dir.filePath("broken.png").toStdString()) << "not a picture";
  AddCards(1, ToSjis(dir.filePath("wide.png")));
  AddCards(1, ToSjis(dir.filePath("broken.png")));
  host_.box = {252, 400};
  canvas_.Relayout();
  db_.Select(1);
  const QImage image = Paint({232, 148});
  // Box (5, 37) to (105, 135): 100 x 98; the picture 100 x 50, centred in height.
  EXPECT_EQ(InkBounds(image, QRect(0, 32, 110, 108)), QRect(5, 61, 100, 50));
  EXPECT_EQ(Pixel(image, 55, 85), 0x0000FFu);
  EXPECT_EQ(Pixel(image, 116 + 55, 85), kMissingImage);
  EXPECT_EQ(Pixel(image, 116 + 5, 37), kMissingImage);
  EXPECT_EQ(Pixel(image, 116 + 4, 37), kUnfocused);  // the selected card around it
}

TEST_F(Pane, PaintingDrawsOnlyTheCellsTheClipMeets) {
  host_.box = {252, 400};
  AddCards(9);  // two columns, five rows, the last row half empty
  struct ClipCase {
    std::uint8_t type;
    QRect clip;
    std::set<int> drawn;
  };
  const ClipCase cases[] = {
      {ltThumbnails, {120, 150, 10, 10}, {3}},
      {ltThumbnails, {100, 140, 30, 20}, {0, 1, 2, 3}},
      {ltThumbnails, {0, 300, 116, 1000}, {4, 6, 8}},
      {ltThumbnails, {116, 592, 100, 100}, {}},  // the empty part of the last row
      {ltThumbnails, {232, 0, 50, 700}, {}},
      {ltList, {0, 33, 220, 1}, {2}},
      {ltList, {200, 140, 100, 100}, {8}},
      {ltList, {220, 0, 40, 200}, {}},
  };
  for (const ClipCase& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.type) << " " << c.clip.x() << "," << c.clip.y());
    canvas_.SetListType(c.type);
    // On black, every cell drawn shows its card.
    const QImage image = Paint({300, 800}, c.clip, Qt::black);
    std::set<int> drawn;
    for (int i = 0; i < canvas_.ItemCount(); ++i) {
      const QPoint inside = canvas_.GetItemRect(i).topLeft() + QPoint(1, 1);
      if (Pixel(image, inside.x(), inside.y()) != 0) drawn.insert(i);
    }
    EXPECT_EQ(drawn, c.drawn);
  }
}

TEST_F(Pane, TextSitsAtTheTopOfItsBoxAlignedAndCut) {
  QImage image = WhiteImage(200, 60);
  {
    QPainter painter(&image);
    MPaintScope scope(canvas_, painter);
    canvas_.SetFontHeight(14);
    for (int align = 0; align < 3; ++align) canvas_.DrawTextIn({10, 20 * align, 100, 16}, "WWW", align);
    canvas_.DrawTextIn({150, 0, 8, 40}, "WWWWWWWW", 0);
  }
  EXPECT_NEAR(InkBounds(image, QRect(0, 0, 140, 20)).left(), 10, 2);
  EXPECT_LT(InkBounds(image, QRect(0, 0, 140, 20)).top(), 6);  // at the top, not centred in 16 pixels
  EXPECT_NEAR(InkBounds(image, QRect(0, 20, 140, 20)).center().x(), 60, 2);
  EXPECT_NEAR(InkBounds(image, QRect(0, 40, 140, 20)).right(), 109, 2);
  const QRect cut = InkBounds(image, QRect(140, 0, 60, 60));
  EXPECT_TRUE(!cut.isEmpty() && QRect(150, 0, 8, 40).contains(cut)) << cut.x() << " " << cut.width();
}
