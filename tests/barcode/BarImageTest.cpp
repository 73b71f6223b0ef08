// The barcode component: setters and their repaints, the drawing's geometry in pixels, the vector
// picture, the clipboard, and use without a QGuiApplication.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFontMetrics>
#include <QMimeData>
#include <QSvgRenderer>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "BarcodeTestSupport.h"
#include "barcode/BarImage.h"
#include "base/Sjis.h"

using namespace barcode;

namespace {

bool Dark(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return qAlpha(p) > 128 && qGray(p) < 128;
}

// Widths of the alternating bar and space runs of row y from x on, starting with a bar.
std::vector<int> Runs(const QImage& image, int y, int x, int end) {
  std::vector<int> runs;
  bool bar = true;
  int n = 0;
  for (; x < end; ++x) {
    if (Dark(image, x, y) == bar) {
      ++n;
    } else {
      runs.push_back(n);
      bar = !bar;
      n = 1;
    }
  }
  runs.push_back(n);
  return runs;
}

// A component whose repaints are counted.
struct CountedBar {
  TBarImage bar;
  int paints = 0;
  CountedBar() {
    bar.SetOnPaintBar([this](TBarImage&) { ++paints; });
  }
  // How many paints the change made.
  int Paints(const std::function<void(TBarImage&)>& change) {
    const int before = paints;
    change(bar);
    return paints - before;
  }
};

TEST(BarImage, SettersRepaintOnlyWhereTheyMatter) {
  CountedBar c;
  TBarImage& b = c.bar;
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetCode("123"); }), 1);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetCommentUpLoc(locRight); }), 0);  // no comment yet
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetCommentDown("x"); }), 1);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetCommentDownLoc(locCenter); }), 1);
  // JAN: the NW-7 and Code 128 options and the element ratio do not repaint.
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetStartChar('B'); }), 0);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetStopChar('C'); }), 0);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetCD(true); }), 0);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetElementRatio(25); }), 0);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetStartChar('E'); }), 0);
  EXPECT_EQ(b.StartChar(), 'A');
  b.SetBarType(cbarNW7);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetStopChar('z'); }), 1);
  EXPECT_EQ(b.StopChar(), 'A');
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetElementRatio(99); }), 1);
  EXPECT_EQ(b.ElementRatio(), 30);
  b.SetBarType(cbarCODE128);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetStartChar('C'); }), 1);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetStopChar('B'); }), 0);
  // CD repaints for the optional check characters, not for IATA (always) or Code 128 (never).
  for (TBarTypes t : {cbarCODE39, cbarNW7, cbarITF, cbarCTF, cbarMATRIX, cbarNEC}) {
    b.SetBarType(t);
    EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetCD(!b.CD()); }), 1) << t;
  }
  for (TBarTypes t : {cbarIATA, cbarCODE128, cbarCUSTOMER, cbarJAN}) {
    b.SetBarType(t);
    EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetCD(!b.CD()); }), 0) << t;
  }
  b.SetBarType(cbarCUSTOMER);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetBarHeight(50); }), 0);
  b.SetBarType(cbarJAN);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetBarHeight(50); }), 1);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetBarSpaceLeft(-5); }), 1);
  EXPECT_EQ(b.BarSpaceLeft(), 0);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetBarDebug(true); }), 0);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetBarDebug(false); }), 0);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetBarFont(nullptr); }), 0);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetBarFont(&b.BarFont()); }), 0);
  QFont font;
  font.setPixelSize(20);
  EXPECT_EQ(c.Paints([&](TBarImage& b) { b.SetBarFont(&font); }), 1);
  EXPECT_EQ(b.BarFont().pixelSize(), 20);
  b.SetSymbolDisp(false);
  EXPECT_EQ(c.Paints([&](TBarImage& b) { b.SetBarFont(&font); }), 0);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetScale(0); }), 1);
  EXPECT_EQ(b.Scale(), 1);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetBarFrame(500); }), 1);
  EXPECT_EQ(b.BarFrame(), 100);
}

TEST(BarImage, EnabledDebugAndClearOption) {
  CountedBar c;
  TBarImage& b = c.bar;
  // Switching painting off collects changes; switching it on paints once.
  EXPECT_EQ(c.Paints([](TBarImage& b) {
    b.SetBarEnabled(false);
    b.SetBarType(cbarNW7);
    b.SetCode("123");
    b.SetScale(2);
  }),
            0);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetBarEnabled(true); }), 1);
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetBarEnabled(true); }), 0);
  EXPECT_TRUE(b.BarDisped());
  const QImage drawn = b.PictureBitmap();

  // An invalid code draws nothing and keeps the picture; the control's flags come back.
  b.SetStretch(true);
  b.SetCode("12X");
  EXPECT_FALSE(b.BarDisped());
  EXPECT_TRUE(b.Stretch());
  EXPECT_EQ(b.PictureBitmap(), drawn);
  // ClearOption switched on while nothing is displayed empties the picture at once.
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.SetClearOption(true); }), 0);
  EXPECT_TRUE(b.PictureBitmap().isNull());
  b.SetCode("123");
  EXPECT_FALSE(b.PictureBitmap().isNull());
  b.SetCode("");
  EXPECT_TRUE(b.PictureBitmap().isNull());

  // Debug encodes without drawing: the symbol text is there, the picture is not touched.
  b.SetCode("123");
  const QImage before = b.PictureBitmap();
  b.SetBarDebug(true);
  b.SetBarColor(0x0000FF);
  EXPECT_TRUE(b.BarDisped());
  EXPECT_EQ(b.SymbolText(), "A123A");
  EXPECT_EQ(b.PictureBitmap(), before);
  b.SetCode("xyz");
  EXPECT_FALSE(b.BarDisped());
  EXPECT_FALSE(b.PictureBitmap().isNull());  // not cleared in debug mode
}

TEST(BarImage, TransparentAndMatchExcludeEachOther) {
  TBarImage b;
  b.SetMatch(true);
  b.SetBarPicture(pbarEMF);
  EXPECT_EQ(b.BarPicture(), pbarEMF);
  b.SetTransparent(true);
  EXPECT_FALSE(b.Match());
  EXPECT_EQ(b.BarPicture(), pbarBMP);
  b.SetBarPicture(pbarWMF);  // a metafile needs Match
  EXPECT_EQ(b.BarPicture(), pbarBMP);
  b.SetMatch(true);
  EXPECT_FALSE(b.Transparent());
  b.SetBarPicture(pbarWMF);
  b.SetMatch(false);
  EXPECT_EQ(b.BarPicture(), pbarBMP);
}

// NW-7 "1" between A and A with scale 2 and ratio 25: narrow elements 2 pixels, wide ones 2 * 2 * 25 / 20
// = 5 pixels.
TEST(BarImage, BarsAreDrawnElementByElement) {
  TBarImage b;
  b.SetBarEnabled(false);
  b.SetBarType(cbarNW7);
  b.SetScale(2);
  b.SetElementRatio(25);
  b.SetSymbolDisp(false);
  b.SetBarHeight(30);
  b.SetBarLeft(3);
  b.SetBarTop(4);
  b.SetBarSpaceUp(5);
  b.SetBarSpaceDown(6);
  b.SetMatch(true);
  b.SetCode("1");
  b.SetBarEnabled(true);
  ASSERT_TRUE(b.BarDisped());
  // Each element is drawn as one run: narrow 2 pixels, wide 2 * 2 * 25 / 20 = 5.
  std::vector<int> expected;
  int total = 0;
  for (char digit : b.BarPattern()) {
    expected.push_back(digit >= '2' ? 5 : 2);
    total += expected.back();
  }
  ASSERT_EQ(expected.size(), 3u * 8);  // start, 1 and stop: seven elements and a gap each
  // Codabar's A has three wide elements, 1 has two: 16 narrow and 8 wide.
  EXPECT_EQ(total, 2 * 16 + 5 * 8);
  EXPECT_EQ(b.BarWidth(), total);
  EXPECT_EQ(b.Width(), 3 + 10 + total + 10);
  EXPECT_EQ(b.Height(), 4 + 5 + 30 + 6);
  const QImage image = b.PictureBitmap();
  ASSERT_EQ(image.size(), QSize(b.Width(), b.Height()));
  EXPECT_EQ(Runs(image, 4 + 5, 13, 13 + total), expected);
  // Bars run from the top of the bar area to its bottom, exclusive.
  EXPECT_TRUE(Dark(image, 13, 9));
  EXPECT_TRUE(Dark(image, 13, 38));
  EXPECT_FALSE(Dark(image, 13, 8));
  EXPECT_FALSE(Dark(image, 13, 39));
  EXPECT_FALSE(Dark(image, 12, 20));
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));  // with Match the whole picture is background
}

TEST(BarImage, WithoutMatchTheBitmapKeepsTheControlsSize) {
  TBarImage b;
  b.SetBarEnabled(false);
  b.SetWidth(300);
  b.SetHeight(80);
  b.SetBackColor(0x00FF00);  // green
  b.SetBarColor(0x0000FF);   // red
  b.SetBarLeft(20);
  b.SetBarTop(10);
  b.SetSymbolDisp(false);
  b.SetBarHeight(30);
  b.SetCode("490123456789");
  b.SetBarEnabled(true);
  const QImage image = b.PictureBitmap();
  ASSERT_EQ(image.size(), QSize(300, 80));
  EXPECT_EQ(image.pixel(5, 5), qRgb(255, 255, 255));  // outside (BarLeft, BarTop)-(W, H): untouched
  EXPECT_EQ(image.pixel(25, 15), qRgb(0, 255, 0));    // background
  EXPECT_EQ(image.pixel(30, 15), qRgb(255, 0, 0));    // the first guard bar at BarLeft + 10
  EXPECT_EQ(image.pixel(20 + 10 + 96 + 10 + 5, 15), qRgb(255, 255, 255));
}

TEST(BarImage, CustomerBarsAreThreeThirds) {
  TBarImage b;
  b.SetBarEnabled(false);
  b.SetBarType(cbarCUSTOMER);
  b.SetSymbolDisp(false);
  b.SetScale(3);
  b.SetMatch(true);
  b.SetBarHeight(500);  // the paint sets it
  b.SetCode("1");
  b.SetBarEnabled(true);
  ASSERT_TRUE(b.BarDisped());
  EXPECT_EQ(b.BarHeight(), 18);
  // Start "007030": the first flagged digit is at 2, the stop's last one 6 from the end.
  const int first = 2, last = static_cast<int>(b.BarPattern().size()) - 4;
  EXPECT_EQ(b.BarWidth(), (last - first + 2) * 3);
  const QImage image = b.PictureBitmap();
  // The start symbol's long bar is drawn one module after the bar area's left edge.
  const int x = 10 + 3;
  for (int y = 0; y < 18; ++y) EXPECT_TRUE(Dark(image, x, y)) << y;
  EXPECT_FALSE(Dark(image, x - 1, 9));
  // Its descender covers only the lower two thirds.
  EXPECT_FALSE(Dark(image, x + 6, 5));
  EXPECT_TRUE(Dark(image, x + 6, 6));
  EXPECT_TRUE(Dark(image, x + 6, 17));
  // The data symbol "1" is long, long, timing: the timing bar is the middle third only.
  EXPECT_FALSE(Dark(image, x + 12 + 12 + 2, 5));
  EXPECT_TRUE(Dark(image, x + 12 + 12 + 2, 6));
  EXPECT_FALSE(Dark(image, x + 12 + 12 + 2, 12));
}

TEST(BarImage, FrameIsLoweredToWhatFits) {
  TBarImage b;
  b.SetBarEnabled(false);
  b.SetSymbolDisp(false);
  b.SetBarHeight(20);
  b.SetMatch(true);
  b.SetBarFrame(100);
  b.SetCode("490123456789");
  b.SetBarEnabled(true);
  // The drawing is 116 x 20: half the height less one.
  EXPECT_EQ(b.BarFrame(), 9);
  const QImage image = b.PictureBitmap();
  ASSERT_EQ(image.size(), QSize(116, 20));
  EXPECT_TRUE(Dark(image, 11, 4));     // top band over a space of the bars
  EXPECT_TRUE(Dark(image, 11, 15));    // bottom band
  EXPECT_FALSE(Dark(image, 11, 9));    // inside
  EXPECT_TRUE(Dark(image, 4, 10));     // left band
  EXPECT_TRUE(Dark(image, 111, 10));   // right band
  EXPECT_FALSE(Dark(image, 106, 10));  // quiet zone inside the frame

  // ITF frames only the bars: a 6-pixel bar area leaves a limit of 2.
  b.SetBarType(cbarITF);
  b.SetBarHeight(6);
  b.SetBarSpaceUp(10);
  b.SetBarFrame(50);
  EXPECT_EQ(b.BarFrame(), 2);
  EXPECT_TRUE(Dark(b.PictureBitmap(), 1, 11));
  EXPECT_FALSE(Dark(b.PictureBitmap(), 1, 9));
}

TEST(BarImage, TransparentLeavesTheBackgroundUnpainted) {
  TBarImage b;
  b.SetBarEnabled(false);
  b.SetTransparent(true);
  b.SetSymbolDisp(false);
  b.SetWidth(140);
  b.SetHeight(40);
  b.SetBarHeight(40);
  b.SetCode("490123456789");
  b.SetBarEnabled(true);
  const QImage first = b.PictureBitmap();
  EXPECT_EQ(qAlpha(first.pixel(11, 5)), 0);  // a space shows what is below
  EXPECT_TRUE(Dark(first, 10, 5));
  // A second code is drawn over the first: no background erases it.
  b.SetCode("987654321098");
  const QImage both = b.PictureBitmap();
  for (int x = 0; x < 140; ++x)
    if (Dark(first, x, 5)) {
      EXPECT_TRUE(Dark(both, x, 5)) << x;
    }
}

TEST(BarImage, MetafileIsAnSvgOneLargerThanTheDrawing) {
  TBarImage bitmap;
  TBarImage vector;
  for (TBarImage* b : {&bitmap, &vector}) {
    b->SetBarEnabled(false);
    b->SetBarType(cbarCODE39);
    b->SetSymbolDisp(false);
    b->SetScale(2);
    b->SetMatch(true);
    b->SetBackColor(0xFFFF00);  // cyan
    b->SetCode("AB-12");
  }
  vector.SetBarPicture(pbarEMF);
  bitmap.SetBarEnabled(true);
  vector.SetBarEnabled(true);
  ASSERT_TRUE(vector.BarDisped());
  EXPECT_TRUE(vector.PictureIsMetafile());
  EXPECT_TRUE(vector.PictureBitmap().isNull());
  EXPECT_TRUE(vector.PictureSvg().startsWith("<?xml"));
  EXPECT_EQ(vector.Width(), bitmap.Width());
  EXPECT_EQ(vector.PictureSize(), QSize(bitmap.Width() + 1, bitmap.Height() + 1));
  EXPECT_TRUE(QSvgRenderer(vector.PictureSvg()).isValid());
  // Rendered, the vector picture has the bitmap's bars.
  const QImage rendered = vector.PictureImage();
  const QImage drawn = bitmap.PictureBitmap();
  ASSERT_EQ(rendered.size(), vector.PictureSize());
  const int y = drawn.height() / 2;
  EXPECT_EQ(Runs(rendered, y, 10, drawn.width() - 10), Runs(drawn, y, 10, drawn.width() - 10));
  EXPECT_EQ(rendered.pixel(2, 2), qRgb(0, 255, 255));
  // An invalid code makes the picture a bitmap again.
  vector.SetCode("ab");
  EXPECT_FALSE(vector.PictureIsMetafile());
}

TEST(BarImage, UpcConversions) {
  TBarImage b;
  b.SetBarType(cbarUPC);
  b.SetCode("01234500005");
  ASSERT_TRUE(b.BarDisped());
  b.UPCAToUPCE();
  EXPECT_EQ(b.Code(), "0123455");
  EXPECT_TRUE(b.BarDisped());
  EXPECT_EQ(b.SymbolText(), "01234558");
  b.UPCEToUPCA();
  EXPECT_EQ(b.Code(), "01234500005");
  b.SetCode("01234567890");  // has no UPC-E form
  ASSERT_TRUE(b.BarDisped());
  b.UPCAToUPCE();
  EXPECT_EQ(b.Code(), "01234567890");
  EXPECT_FALSE(b.BarDisped());
  b.SetBarType(cbarJAN);
  b.SetCode("0123455");
  b.UPCEToUPCA();  // not a UPC component
  EXPECT_EQ(b.Code(), "0123455");
  EXPECT_FALSE(b.BarDisped());
}

// Without a QGuiApplication (in a fresh process), as the layout's barcode element uses it.
TEST(BarImageDeathTest, WorksWithoutAGuiApplication) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        if (QCoreApplication::instance() != nullptr) std::exit(3);
        int paints = 0;
        auto bar = std::make_unique<TBarImage>();
        bar->SetOnPaintBar([&](TBarImage&) { ++paints; });
        bar->SetBarEnabled(false);
        bar->SetBarType(cbarNW7);
        bar->SetBarHeight(40);
        bar->SetMatch(true);
        bar->SetSymbolDisp(false);
        bar->SetElementRatio(25);
        bar->SetCode("0123456789");
        bar->SetBarEnabled(true);
        const QImage image = bar->PictureImage();
        bool ok = paints == 1 && bar->BarDisped() && image.size() == QSize(bar->Width(), 40) &&
                  Dark(image, 10, 20) && bar->PictureText() == "0123456789";
        // Text takes no room and is not drawn; the clipboard does nothing.
        bar->SetSymbolDisp(true);
        bar->SetCommentUp("up");
        ok = ok && bar->BarDisped() && bar->BarHeight() == 40;
        bar->CopyToClipboard();
        bar->PasteFromClipboard();
        bar->SetClipWatch(true);
        bar->SetBarPicture(pbarEMF);
        ok = ok && bar->PictureIsMetafile() && !bar->PictureImage().isNull();
        bar.reset();
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

class BarImageClipboard : public ::testing::Test {
 protected:
  void SetUp() override {
    barcode_test::EnsureGuiApp();
    clipboard_ = QGuiApplication::clipboard();
    clipboard_->clear();
  }
  QClipboard* clipboard_ = nullptr;
};

TEST_F(BarImageClipboard, CopyPutsTheBitmapOrTheSvg) {
  TBarImage b;
  b.SetCode("490123456789");
  b.CopyToClipboard();
  EXPECT_EQ(clipboard_->image().convertToFormat(QImage::Format_ARGB32_Premultiplied), b.PictureBitmap());
  b.SetMatch(true);
  b.SetBarPicture(pbarWMF);
  ASSERT_TRUE(b.PictureIsMetafile());
  b.CopyToClipboard();
  ASSERT_NE(clipboard_->mimeData(), nullptr);
  EXPECT_EQ(clipboard_->mimeData()->data("image/svg+xml"), b.PictureSvg());
  // Nothing displayed: the picture as it is (here the last drawing).
  b.SetBarPicture(pbarBMP);
  b.SetCode("bad");
  clipboard_->clear();
  b.CopyToClipboard();
  EXPECT_FALSE(clipboard_->image().isNull());
}

TEST_F(BarImageClipboard, PasteTakesTheFirstLineOnce) {
  CountedBar c;
  TBarImage& b = c.bar;
  b.SetBarType(cbarCODE39);
  clipboard_->setText("ABC\r\nDEF");
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.PasteFromClipboard(); }), 1);
  EXPECT_EQ(b.Code(), "ABC");
  EXPECT_TRUE(b.BarDisped());
  clipboard_->setText("ABC\nXYZ");
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.PasteFromClipboard(); }), 0);  // the same code
  clipboard_->setText("\nXYZ");
  EXPECT_EQ(c.Paints([](TBarImage& b) { b.PasteFromClipboard(); }), 0);  // an empty first line
  clipboard_->setText(QString(300, 'A'));
  b.PasteFromClipboard();
  EXPECT_EQ(b.Code(), std::string(256, 'A'));
  clipboard_->setText(QString::fromUtf8("コード"));
  b.PasteFromClipboard();
  EXPECT_EQ(b.Code(), base::Utf8ToSjis("コード"));
  EXPECT_FALSE(b.BarDisped());
}

TEST_F(BarImageClipboard, WatchFollowsLaterChangesOnly) {
  clipboard_->setText("111");
  auto b = std::make_unique<TBarImage>();
  b->SetBarType(cbarNW7);
  b->SetClipWatch(true);
  EXPECT_EQ(b->Code(), "");  // what was there before is not taken
  clipboard_->setText("222");
  EXPECT_EQ(b->Code(), "222");
  EXPECT_TRUE(b->BarDisped());
  clipboard_->setText("333\r\n444");
  EXPECT_EQ(b->Code(), "333");
  b->SetClipWatch(false);
  clipboard_->setText("555");
  EXPECT_EQ(b->Code(), "333");
  // A handler of its own is called on joining and on each change; a throwing one is contained.
  int calls = 0;
  b->SetOnClipboardChange([&](TBarImage&) {
    ++calls;
    throw std::runtime_error("handler");
  });
  b->SetClipWatch(true);
  EXPECT_EQ(calls, 1);
  clipboard_->setText("666");
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(b->Code(), "333");
  b.reset();  // leaves the chain
  clipboard_->setText("777");
  EXPECT_EQ(calls, 2);
}

TEST_F(BarImageClipboard, TextIsMeasuredAndPlaced) {
  TBarImage b;
  b.SetBarEnabled(false);
  b.SetSymbolDisp(true);
  b.SetMatch(true);
  b.SetBarHeight(1);
  QFont big;
  big.setPixelSize(40);
  b.SetBarFont(&big);
  b.SetCode("490123456789");
  b.SetBarEnabled(true);
  ASSERT_TRUE(b.BarDisped());
  const QFontMetrics metrics(big);
  const int tw = metrics.horizontalAdvance("4901234567894");
  const int th = metrics.height();
  // A too-small height is raised to the text height plus 6: 6 pixels of bars.
  EXPECT_EQ(b.BarHeight(), th + 6);
  // The text is wider than the 96 modules: the bar area takes its width and centres the bars.
  ASSERT_GT(tw, 96);
  EXPECT_EQ(b.BarWidth(), tw);
  const QImage image = b.PictureBitmap();
  const int x = 10 + (tw - 96) / 2;
  EXPECT_TRUE(Dark(image, x, 3));
  EXPECT_FALSE(Dark(image, x - 1, 3));
  // Some of the text is drawn below the bars.
  bool ink = false;
  for (int y = 6; y < 6 + th; ++y)
    for (int i = 10; i < 10 + tw; ++i) ink = ink || Dark(image, i, y);
  EXPECT_TRUE(ink);

  // Comments are drawn into the margins: on the right, nothing on the left.
  QFont small;
  small.setPixelSize(12);
  b.SetBarFont(&small);
  b.SetBarSpaceUp(20);
  b.SetCommentUp("I");
  b.SetCommentUpLoc(locRight);
  const QImage commented = b.PictureBitmap();
  bool left = false, right = false;
  for (int y = 0; y < 20; ++y)
    for (int i = 0; i < commented.width(); ++i)
      if (Dark(commented, i, y)) (i < commented.width() / 2 ? left : right) = true;
  EXPECT_FALSE(left);
  EXPECT_TRUE(right);
}

}  // namespace
