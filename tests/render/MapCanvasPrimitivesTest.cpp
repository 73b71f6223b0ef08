#include <gtest/gtest.h>

#include <QPainter>

#include "base/Sjis.h"
#include "render/LineBreak.h"
#include "render/MapCanvas.h"
#include "support/RenderTestSupport.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;

// A canvas in device pixels at zoom 1, drawing into a white image for the length of the fixture.
class Primitives : public ::testing::Test {
 protected:
  Primitives() : image_(WhiteImage(200, 120)), painter_(&image_) {
    canvas_.SetUnit(cuPixel);
    scope_ = std::make_unique<MPaintScope>(canvas_, painter_);
  }
  // Ends the paint so that the image holds everything drawn.
  const QImage& Finish(const char* name = nullptr) {
    scope_.reset();
    if (painter_.isActive()) painter_.end();
    if (name != nullptr) SaveForLooking(image_, name);
    return image_;
  }

  MMapCanvas canvas_;
  QImage image_;
  QPainter painter_;
  std::unique_ptr<MPaintScope> scope_;
};

}  // namespace

TEST_F(Primitives, WideDashedLinesBecomeOnePixelDashedLines) {
  canvas_.SetPen(MPen{3, 0x000000, psDash});
  canvas_.MoveTo(10, 20);
  canvas_.LineTo(140, 20);
  canvas_.MoveTo(170, 10);
  canvas_.LineTo(170, 100);
  canvas_.SetPen(MPen{3, 0x000000, psSolid});
  canvas_.MoveTo(10, 60);
  canvas_.LineTo(150, 60);
  EXPECT_EQ(canvas_.Pen().Width, 3);  // restored after the one-pixel lines
  const QImage& img = Finish("dashed_lines");
  // Three rows, the first one above the line's y, each dashed 18 on, 6 off.
  for (int y : {19, 20, 21}) {
    EXPECT_EQ(Pixel(img, 10, y), kBlack) << y;
    EXPECT_EQ(Pixel(img, 27, y), kBlack) << y;
    EXPECT_EQ(Pixel(img, 28, y), kWhite) << y;
    EXPECT_EQ(Pixel(img, 33, y), kWhite) << y;
    EXPECT_EQ(Pixel(img, 34, y), kBlack) << y;
  }
  // The last dash runs from 130 to 147; the line ends at 140, whose own pixel is left out.
  EXPECT_EQ(InkBounds(img, QRect(0, 15, 160, 10)), QRect(10, 19, 130, 3));
  // The vertical line: columns 169 to 171.
  EXPECT_EQ(InkBounds(img, QRect(160, 0, 40, 110)), QRect(169, 10, 3, 90));
  EXPECT_EQ(Pixel(img, 170, 27), kBlack);
  EXPECT_EQ(Pixel(img, 170, 28), kWhite);
  // A solid wide pen draws one solid stroke.
  for (int x = 12; x < 148; ++x) ASSERT_EQ(Pixel(img, x, 59), kBlack) << x;
}

TEST_F(Primitives, RectanglesCoverTheirCornersLikeThePlatformDid) {
  canvas_.SetPen(MPen{1, 0x000000, psSolid});
  canvas_.SetBrush(MBrush{0x0000FF, bsSolid});  // red
  canvas_.Rectangle(10, 10, 20, 15);
  canvas_.SetPen(MPen{1, 0x000000, psClear});
  canvas_.Rectangle(30, 10, 40, 15);
  canvas_.SetPen(MPen{3, 0xFF0000, psDot});  // blue, dotted and wide
  canvas_.SetBrush(MBrush{0x00FF00, bsSolid});
  canvas_.Rectangle(60, 20, 120, 60);
  canvas_.SetPen(MPen{1, 0x000000, psSolid});
  canvas_.SetBrush(MBrush{0, bsClear});
  canvas_.Ellipse(130, 20, 190, 60);
  const QImage& img = Finish("rectangles");
  EXPECT_EQ(InkBounds(img, QRect(0, 0, 25, 25)), QRect(10, 10, 10, 5));
  EXPECT_EQ(Pixel(img, 19, 14), kBlack);
  EXPECT_EQ(Pixel(img, 15, 12), 0xFF0000u);
  // Without a pen the fill stops one pixel short.
  EXPECT_EQ(InkBounds(img, QRect(25, 0, 25, 25)), QRect(30, 10, 9, 4));
  EXPECT_EQ(Pixel(img, 35, 12), 0xFF0000u);
  // The wide dotted outline is three dotted rows over the fill; the inside is green.
  EXPECT_EQ(Pixel(img, 90, 40), 0x00FF00u);
  EXPECT_EQ(Pixel(img, 60, 19), 0x0000FFu);
  EXPECT_EQ(Pixel(img, 63, 19), kWhite);     // a gap of the dots above the fill
  EXPECT_EQ(Pixel(img, 63, 20), 0x00FF00u);  // the fill shows through the gaps
  // The ellipse is unfilled and inscribed in 130..189 x 20..59.
  EXPECT_EQ(InkBounds(img, QRect(125, 0, 75, 120)), QRect(130, 20, 60, 40));
  EXPECT_EQ(Pixel(img, 160, 40), kWhite);
}

TEST_F(Primitives, GridPointMarkIsARedSquareOfTenPixelsPerZoom) {
  canvas_.DrawGridPointMark(false, 20, 30);
  canvas_.SetZoom(2);
  canvas_.DrawGridPointMark(false, 30, 10);  // pixel (60, 20), side 20
  canvas_.SetZoom(0.25);
  canvas_.DrawGridPointMark(false, 400, 400);  // pixel (100, 100), side round(2.5) = 2
  canvas_.SetZoom(0.35);
  canvas_.DrawGridPointMark(false, 400, 200);  // pixel (140, 70), side round(3.5) = 4
  const QImage& img = Finish("grid_marks");
  EXPECT_EQ(InkBounds(img, QRect(0, 0, 50, 60)), QRect(21, 31, 10, 10));
  EXPECT_EQ(Pixel(img, 21, 35), 0xE76A6Au);  // outline RGB 231, 106, 106
  EXPECT_EQ(Pixel(img, 30, 40), 0xE76A6Au);
  EXPECT_EQ(Pixel(img, 25, 35), 0xF43D3Du);  // fill RGB 244, 61, 61
  EXPECT_EQ(InkBounds(img, QRect(50, 0, 50, 60)), QRect(61, 21, 20, 20));
  EXPECT_EQ(InkBounds(img, QRect(90, 90, 30, 30)), QRect(101, 101, 2, 2));
  EXPECT_EQ(InkBounds(img, QRect(130, 60, 30, 30)), QRect(141, 71, 4, 4));
}

TEST_F(Primitives, MarksOutsideTheRepaintedAreaAreSkipped) {
  scope_.reset();
  {
    MPaintScope clipped(canvas_, painter_, QRect(0, 0, 50, 50));
    canvas_.DrawGridPointMark(true, 100, 100);
    canvas_.DrawEndMark(true, 100, 10);
    canvas_.DrawGridPointMark(true, 45, 45);  // meets the area at its corner
  }
  const QImage& img = Finish();
  EXPECT_EQ(InkBounds(img), QRect(46, 46, 10, 10));
}

TEST_F(Primitives, EntryMarksAreGrayFiguresInAnInsetSquare) {
  // Side 20, inset 2: the figures run over 13 .. 29 from the point (10, 10).
  canvas_.DrawSpaceMark(false, 10, 10);
  canvas_.DrawNewLineMark(false, 40, 10);
  canvas_.DrawNewPageMark(false, 70, 10);
  canvas_.DrawEndMark(false, 100, 10);
  const QImage& img = Finish("entry_marks");
  constexpr QRgb gray = 0xA0A0A4;
  EXPECT_EQ(InkBounds(img, QRect(0, 0, 35, 40)), QRect(13, 13, 17, 17));
  EXPECT_EQ(Pixel(img, 13, 20), gray);
  EXPECT_EQ(Pixel(img, 21, 21), kWhite);  // a space mark is hollow
  // New line: right edge, bottom edge and back up to the middle of the left half.
  EXPECT_EQ(Pixel(img, 59, 15), gray);
  EXPECT_EQ(Pixel(img, 50, 29), gray);
  EXPECT_EQ(Pixel(img, 43, 15), kWhite);  // no left edge at the top
  EXPECT_EQ(Pixel(img, 51, 21), kWhite);
  // New page: the diagonal from top right to bottom left.
  EXPECT_EQ(Pixel(img, 81, 21), gray);
  EXPECT_EQ(Pixel(img, 76, 16), kWhite);
  // End: both diagonals.
  EXPECT_EQ(Pixel(img, 111, 21), gray);
  EXPECT_EQ(Pixel(img, 106, 16), gray);
}

TEST_F(Primitives, ImagesAreFittedWithTheirProportionsAndCentred) {
  QImage wide(200, 100, QImage::Format_RGB32);
  wide.fill(Qt::red);
  QImage tall(50, 100, QImage::Format_RGB32);
  tall.fill(Qt::blue);
  canvas_.DrawImage(MRect{0, 0, 100, 100}, wide, 100, 200);
  canvas_.DrawImage(MRect{110, 10, 190, 110}, tall, 100, 50);
  canvas_.DrawImage(MRect{0, 0, 0, 50}, wide, 100, 200);  // an empty box draws nothing
  const QImage& img = Finish("images");
  EXPECT_EQ(InkBounds(img, QRect(0, 0, 105, 120)), QRect(0, 25, 100, 50));
  EXPECT_EQ(Pixel(img, 50, 50), 0xFF0000u);
  // 50 x 100 into 80 x 100: full height, 50 wide, 15 in from the left.
  EXPECT_EQ(InkBounds(img, QRect(105, 0, 95, 120)), QRect(125, 10, 50, 100));
}

TEST_F(Primitives, TextShrinksPixelByPixelUntilItFits) {
  MFont font;
  font.Face = "IPAGothic";
  font.Height = 40;
  canvas_.SetFont(font);
  const MRect box{10, 10, 110, 60};
  canvas_.DrawTextFit(box, "ABCDEFGHIJ", taCenter);
  const int h = canvas_.Font().Height;  // left lowered on the surface
  EXPECT_LT(h, 40);
  EXPECT_GT(h, 10);
  EXPECT_LE(canvas_.TextWidth("ABCDEFGHIJ"), 100);
  canvas_.SetFontHeight(h + 1);
  EXPECT_GT(canvas_.TextWidth("ABCDEFGHIJ"), 100);  // one pixel more would not fit
  // A text that cannot fit stops at one pixel and is cut at the box.
  canvas_.SetFontHeight(30);
  canvas_.DrawTextFit(MRect{10, 80, 14, 110}, std::string(400, 'W'), taLeft);
  EXPECT_EQ(canvas_.Font().Height, 1);
  // Right alignment ends the text at the box's right edge.
  canvas_.SetFontHeight(16);
  canvas_.DrawTextFit(MRect{120, 10, 190, 40}, "42", taRight);
  const QImage& img = Finish("text_fit");
  const QRect ink = InkBounds(img, QRect(0, 0, 115, 70));
  EXPECT_TRUE(QRect(10, 10, 100, 50).contains(ink)) << ink.x() << "," << ink.y() << " " << ink.width();
  EXPECT_GT(ink.width(), 80);  // centred and nearly filling the width
  EXPECT_NEAR(ink.center().y(), 35, 4);
  EXPECT_TRUE(QRect(10, 80, 4, 30).contains(InkBounds(img, QRect(0, 70, 115, 50))));
  const QRect right = InkBounds(img, QRect(115, 0, 85, 50));
  EXPECT_GE(right.right(), 186);
  EXPECT_LE(right.right(), 189);
}

TEST_F(Primitives, JapaneseTextIsDrawn) {
  MFont font;
  font.Face = base::Utf8ToSjis("ＭＳ ゴシック");
  font.Height = 20;
  canvas_.SetFont(font);
  canvas_.DrawTextFit(MRect{10, 10, 190, 40}, base::Utf8ToSjis("東京都千代田区"), taLeft);
  const QImage& img = Finish("japanese_text");
  const QRect ink = InkBounds(img);
  EXPECT_NEAR(ink.width(), 7 * 20, 6);  // seven full-width characters of one em
}

TEST(LineBreak, CharacterClasses) {
  EXPECT_EQ(CharClass("a"), 0);
  EXPECT_EQ(CharClass("Z"), 0);
  for (const char* s : {"@", "#", "_", "$", "&", "'", "^", "\\", "|", "<", ">", "{", ",", "~"})
    EXPECT_EQ(CharClass(s), 0) << s;
  EXPECT_EQ(CharClass("7"), 1);
  for (const char* s : {" ", ".", "-", "}", "(", "!", "\"", "%", "*", "+", "/", ":", ";", "=", "?", "["}) {
    EXPECT_EQ(CharClass(s), 2) << s;
  }
  EXPECT_EQ(CharClass(base::Utf8ToSjis("Ａ")), 2);  // full-width letters and digits break anywhere
  EXPECT_EQ(CharClass(base::Utf8ToSjis("１")), 2);
  EXPECT_EQ(CharClass(base::Utf8ToSjis("ｱ")), 2);  // half-width kana is one byte, still class 2
}

TEST(LineBreak, KeepsRunsOfLettersAndOfDigitsTogether) {
  // Every character ten pixels wide.
  auto fixed = [](std::string_view s) {
    return [s](std::size_t n) { return static_cast<int>(10 * base::CharCount(base::CharPrefix(s, n))); };
  };
  auto brk = [&](std::string_view s, int width) { return BreakLineLength(s, width, fixed(s)); };
  EXPECT_EQ(brk("abc def", 50), 4u);  // "abc " : the run "de" moves to the next line
  EXPECT_EQ(brk("abcdef", 30), 3u);   // one run: split where it stood
  EXPECT_EQ(brk("12ab", 30), 2u);     // digits and letters are separate runs
  EXPECT_EQ(brk("abc", 30), 3u);      // fits whole
  EXPECT_EQ(brk("abc", 500), 3u);
  EXPECT_EQ(brk("ab cd", 40), 3u);  // "ab " then "cd"
  EXPECT_EQ(brk("ab c", 30), 3u);   // the break after the blank is no split
  EXPECT_EQ(brk("W", 5), 1u);       // at least one character
  EXPECT_EQ(brk("WW", 5), 1u);
  EXPECT_EQ(brk("", 50), 0u);
  const std::string jp = base::Utf8ToSjis("あいうえお");
  EXPECT_EQ(brk(jp, 25), 2u);  // counted in characters, never bytes
  const std::string mixed = base::Utf8ToSjis("データabc");
  EXPECT_EQ(brk(mixed, 50), 3u);  // "データ" then "abc": the letters start a run
}

TEST_F(Primitives, MemoTextBreaksLinesAndDropsWhatDoesNotFit) {
  MFont font;
  font.Face = "IPAGothic";  // fixed pitch: ten pixels a letter at twenty
  font.Height = 20;
  canvas_.SetFont(font);
  ASSERT_EQ(canvas_.TextWidth("abcde"), 50);
  std::string rest = "abc def";
  EXPECT_EQ(canvas_.BreakLine(rest, 50), "abc ");
  EXPECT_EQ(rest, "def");
  rest = "abcdef";
  EXPECT_EQ(canvas_.BreakLine(rest, 30), "abc");
  EXPECT_EQ(rest, "def");
  rest = "12ab";
  EXPECT_EQ(canvas_.BreakLine(rest, 30), "12");
  EXPECT_EQ(rest, "ab");
  // Three lines: the first breaks in two, the empty one only advances, the last no longer fits.
  canvas_.DrawMemoText(MRect{10, 10, 60, 75}, {"abc def", "", "xyz"});
  // One character per line when even one is wider than the box.
  canvas_.DrawMemoText(MRect{100, 10, 105, 110}, {"WWW"});
  const QImage& img = Finish("memo");
  const QRect memo = InkBounds(img, QRect(0, 0, 90, 120));
  EXPECT_GE(memo.top(), 10);
  EXPECT_LT(memo.bottom(), 50);                                  // two display lines of twenty
  EXPECT_FALSE(InkBounds(img, QRect(0, 10, 90, 20)).isEmpty());  // "abc"
  EXPECT_FALSE(InkBounds(img, QRect(0, 30, 90, 20)).isEmpty());  // "def"
  EXPECT_TRUE(InkBounds(img, QRect(0, 50, 90, 70)).isEmpty());   // "xyz" would end below 75
  const QRect narrow = InkBounds(img, QRect(90, 0, 110, 120));
  EXPECT_GE(narrow.left(), 100);
  EXPECT_LT(narrow.right(), 105);
  EXPECT_GT(narrow.bottom(), 60);  // three lines of one cut character each
}

TEST(Primitives2, NothingDrawsOutsideAPaint) {
  MMapCanvas c;
  c.MoveTo(0, 0);
  c.LineTo(10, 10);
  c.Rectangle(0, 0, 10, 10);
  c.DrawTextFit(MRect{0, 0, 1, 1}, "text", taLeft);
  c.DrawGridPointMark(true, 0, 0);
  EXPECT_EQ(c.Font().Height, 12);  // nothing measured, nothing lowered
}
