// Element drawing: every element kind drawn through a page view canvas into a picture, pixels checked
// where they matter. The canvas works in device pixels here (its unit at creation), so element
// coordinates are pixel positions.
#include <gtest/gtest.h>

#include <QDate>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "base/Sjis.h"
#include "data/DocumentTextSource.h"
#include "data/MapDB.h"
#include "data/MapFile.h"
#include "layout/BlockInstance.h"
#include "layout/ComputedText.h"
#include "layout/Form.h"
#include "layout/Layout.h"
#include "layout/LoadLayout.h"
#include "layout/Page.h"
#include "layout/Shapes.h"
#include "layout/Specials.h"
#include "render/ImageCache.h"
#include "render/QtText.h"
#include "support/RenderTestSupport.h"

namespace {

constexpr QRgb kBlack = 0x000000;
constexpr QRgb kWhitePixel = 0xFFFFFF;
constexpr QRgb kRed = 0xFF0000;
constexpr QRgb kHighlight = 0xC8C7C0;     // RGB 200, 199, 192
constexpr QRgb kMissingImage = 0xD0D0D0;  // RGB 208, 208, 208
constexpr QRgb kGridMark = 0xF43D3D;      // the fill of a grid point's mark, RGB 244, 61, 61
constexpr QRgb kEntryMark = 0xA0A0A4;     // the pen of the entry glyphs, RGB 160, 160, 164

std::string Sjis(const std::string& utf8) { return base::Utf8ToSjis(utf8); }

template <class T>
std::unique_ptr<T> Element(double x, double y, double w, double h) {
  auto e = std::make_unique<T>();
  e->SetX(x);
  e->SetY(y);
  e->SetWidth(w);
  e->SetHeight(h);
  e->StrokeWidth = 1;
  return e;
}

int CountColor(const QImage& image, QRgb color, const QRect& area = QRect()) {
  const QRect a = area.isNull() ? image.rect() : area.intersected(image.rect());
  int n = 0;
  for (int y = a.top(); y <= a.bottom(); ++y)
    for (int x = a.left(); x <= a.right(); ++x) n += Pixel(image, x, y) == color ? 1 : 0;
  return n;
}

// Installs a hook for the length of a test.
class CacheScope {
 public:
  explicit CacheScope(MImageCache* cache) { SetElementImageCache(cache); }
  ~CacheScope() { SetElementImageCache(nullptr); }
};
class DocumentScope {
 public:
  explicit DocumentScope(const MComputedTextSource* document) { SetComputedTextSource(document); }
  ~DocumentScope() { SetComputedTextSource(nullptr); }
};

class ElementDraw : public ::testing::Test {
 protected:
  // The element drawn on a white picture of 240 x 160 pixels in the given mode; clipRect limits the
  // area being repainted (the whole picture when null).
  QImage Draw(MControl& element, std::uint8_t mode = cmMapping, bool clip = true, QRect clipRect = QRect()) {
    QImage image = WhiteImage(240, 160);
    canvas_.SetMode(mode);
    QPainter painter(&image);
    {
      MPaintScope scope(canvas_, painter, clipRect);
      element.Draw(canvas_, 0, clip);
    }
    painter.end();
    return image;
  }
  // A page drawn likewise.
  QImage Draw(const MPage& page, std::uint8_t mode = cmMapping) {
    QImage image = WhiteImage(240, 160);
    canvas_.SetMode(mode);
    QPainter painter(&image);
    {
      MPaintScope scope(canvas_, painter);
      page.Draw(canvas_, 0, true);
    }
    painter.end();
    return image;
  }

  // What the canvas draws for one line of text in the text's font, with nothing of element drawing.
  static QImage TextFit(const MText& text, std::string_view s) {
    QImage image = WhiteImage(240, 160);
    MMapCanvas canvas;
    QPainter painter(&image);
    MPaintScope scope(canvas, painter);
    canvas.SetFontColor(text.StrokeColor);
    canvas.SetFontFace(text.FontFamily);
    canvas.SetFontHeight(canvas.ToPixels(text.FontSize));
    canvas.SetFontStyle((text.FontStyle & kFontBold) != 0, (text.FontStyle & kFontItalic) != 0);
    canvas.DrawTextFit(text.Bounds, s, text.Align);
    return image;
  }

  static std::unique_ptr<MText> Text(std::uint8_t dataType, std::string_view format, std::string_view value) {
    auto t = Element<MText>(10, 10, 200, 40);
    t->FontFamily = Sjis("ＭＳ ゴシック");
    t->FontSize = 24;
    t->DataType = dataType;
    t->Format = std::string(format);
    t->SetText(value);
    return t;
  }

  MMapCanvas canvas_;
};

}  // namespace

// ---- shapes

TEST_F(ElementDraw, LinesAndBoxesWithoutStrokeOrFillDrawNothing) {
  auto line = Element<MLine>(10, 50, 200, 0);
  EXPECT_FALSE(InkBounds(Draw(*line)).isEmpty());
  line->StrokeWidth = 0;
  EXPECT_TRUE(InkBounds(Draw(*line)).isEmpty());
  line->StrokeWidth = 1;
  line->StrokeStyle = ssNone;
  EXPECT_TRUE(InkBounds(Draw(*line)).isEmpty());

  auto box = Element<MBox>(10, 10, 100, 80);
  box->StrokeStyle = ssNone;  // fill style none by default
  EXPECT_TRUE(InkBounds(Draw(*box)).isEmpty());
  box->StrokeStyle = ssSolid;
  box->StrokeWidth = 0;
  EXPECT_TRUE(InkBounds(Draw(*box)).isEmpty());

  auto circle = Element<MCircle>(10, 10, 100, 80);
  circle->StrokeWidth = 0;
  EXPECT_TRUE(InkBounds(Draw(*circle)).isEmpty());
  circle->StrokeWidth = 1;
  EXPECT_FALSE(InkBounds(Draw(*circle)).isEmpty());
  circle->Visible = false;
  EXPECT_TRUE(InkBounds(Draw(*circle)).isEmpty());
}

TEST_F(ElementDraw, ABoxWithoutFillStyleDrawsOnlyItsOutline) {
  auto box = Element<MBox>(10, 10, 100, 80);
  box->FillColor = 0x0000FF;  // red, but the fill style stays none
  const QImage image = Draw(*box);
  EXPECT_EQ(InkBounds(image), QRect(10, 10, 100, 80));
  EXPECT_EQ(Pixel(image, 10, 40), kBlack);
  EXPECT_EQ(Pixel(image, 60, 50), kWhitePixel);
  EXPECT_EQ(CountColor(image, kRed), 0);

  box->FillStyle = fsSolid;
  const QImage filled = Draw(*box);
  EXPECT_EQ(Pixel(filled, 60, 50), kRed);
  EXPECT_EQ(Pixel(filled, 10, 40), kBlack);
}

TEST_F(ElementDraw, AFilledBoxWithoutStrokeWidthGetsAOnePixelOutlineInItsStyle) {
  auto box = Element<MBox>(10, 10, 100, 80);
  box->StrokeWidth = 0;
  box->StrokeColor = 0xFF0000;  // blue
  box->FillStyle = fsSolid;
  box->FillColor = 0x0000FF;
  const QImage image = Draw(*box);
  EXPECT_EQ(Pixel(image, 10, 40), 0x0000FFu);
  EXPECT_EQ(Pixel(image, 11, 40), kRed);

  // Without an outline style only the fill shows.
  box->StrokeStyle = ssNone;
  const QImage fillOnly = Draw(*box);
  EXPECT_EQ(Pixel(fillOnly, 10, 40), kRed);
  EXPECT_EQ(CountColor(fillOnly, 0x0000FF), 0);
}

TEST_F(ElementDraw, TheClipTestSkipsElementsOutsideTheRepaintedArea) {
  auto box = Element<MBox>(150, 100, 50, 40);
  box->FillStyle = fsSolid;
  const QRect farAway(0, 0, 60, 40);
  // The painter is not clipped: whatever is drawn shows, so an empty picture means the box skipped.
  EXPECT_TRUE(InkBounds(Draw(*box, cmMapping, true, farAway)).isEmpty());
  EXPECT_FALSE(InkBounds(Draw(*box, cmMapping, false, farAway)).isEmpty());
  // Within two pixels of the area still counts as inside (pen widths and rounding).
  EXPECT_FALSE(InkBounds(Draw(*box, cmMapping, true, QRect(0, 0, 149, 99))).isEmpty());
}

// ---- texts

TEST_F(ElementDraw, AnIntegerFormatPadsTheValue) {
  auto t = Text(dtInteger, "%5.3d", "42");
  const QImage drawn = Draw(*t);
  EXPECT_EQ(drawn, TextFit(*t, "  042"));
  EXPECT_NE(drawn, TextFit(*t, "42"));

  // A value that is not an integer is drawn as it is.
  t->SetText("4x2");
  EXPECT_EQ(Draw(*t), TextFit(*t, "4x2"));
}

TEST_F(ElementDraw, AFloatFormatRoundsAndAnIntegerTextRefusesIt) {
  auto t = Text(dtFloat, "%.2f", "3.14159");
  EXPECT_EQ(Draw(*t), TextFit(*t, "3.14"));
  auto i = Text(dtInteger, "%.2f", "17");
  EXPECT_EQ(Draw(*i), TextFit(*i, "17"));
}

TEST_F(ElementDraw, AStringFormatSeesTheValueWithoutTrailingBlanks) {
  auto t = Text(dtString, "[%s]", "tea  ");
  EXPECT_EQ(Draw(*t), TextFit(*t, "[tea]"));
  // A format that is no format at all leaves the text unformatted; it never reaches printf.
  auto bad = Text(dtString, "%s%s%n", "tea");
  EXPECT_EQ(Draw(*bad), TextFit(*bad, "tea"));
  // The shop's price format, with a Japanese suffix.
  auto price = Text(dtInteger, Sjis("%d円"), "1200");
  EXPECT_EQ(Draw(*price), TextFit(*price, Sjis("1200円")));
}

TEST_F(ElementDraw, AnEditableTextIsHighlightedInTextInputModeOnly) {
  auto t = Text(dtString, "", "edit me");
  t->Editable = true;
  EXPECT_GT(CountColor(Draw(*t, cmTextInput), kHighlight), 1000);
  EXPECT_EQ(CountColor(Draw(*t, cmMapping), kHighlight), 0);
  EXPECT_EQ(CountColor(Draw(*t, cmPrinting), kHighlight), 0);
  // A text that is not editable never is.
  t->Editable = false;
  EXPECT_EQ(CountColor(Draw(*t, cmTextInput), kHighlight), 0);
}

TEST_F(ElementDraw, AMemoDrawsAllItsLinesUnformatted) {
  auto memo = Text(dtMemo, "[%s]", "");
  memo->SetHeight(140);
  memo->SetText("first\r\n\r\nthird line, long enough to wrap");
  QImage expected = WhiteImage(240, 160);
  {
    MMapCanvas canvas;
    QPainter painter(&expected);
    MPaintScope scope(canvas, painter);
    canvas.SetFontFace(memo->FontFamily);
    canvas.SetFontHeight(canvas.ToPixels(memo->FontSize));
    canvas.DrawMemoText(memo->Bounds, {"first", "", "third line, long enough to wrap"});
  }
  EXPECT_EQ(Draw(*memo), expected);
}

// ---- computed texts

namespace {

// A document of five pages made of one form with the four computed texts.
class ComputedTexts : public ElementDraw {
 protected:
  void SetUp() override {
    const std::string lay =
        "form page { text created { x: 10; y: 10; width: 60; height: 8; data-type: create-date; }\n"
        "  text today { x: 10; y: 20; width: 60; height: 8; data-type: now-date; }\n"
        "  text now { x: 10; y: 30; width: 20; height: 8; data-type: now-page; value: \"stored\"; }\n"
        "  text total { x: 40; y: 30; width: 20; height: 8; data-type: total-page; }\n"
        "  grid-point { x: 10; y: 50; } }\n"
        "block item { width: 20; height: 10; text now { x: 1; y: 1; width: 10; height: 5; data-type: "
        "now-page; } }\n";
    std::ofstream(dir_.filePath("t.lay").toStdString(), std::ios::binary) << lay;
    MLoadLayout loader(layout_);
    ASSERT_TRUE(loader.Load(dir_.filePath("t.lay").toStdString())) << loader.ErrorText;
    db_ = std::make_unique<MMapDB>(layout_, file_);
    db_->CreateFirstPage();
    for (int i = 0; i < 4; ++i) db_->AppendPage();
    ASSERT_EQ(db_->PageCount(), 5);
    texts_ = std::make_unique<MDocumentTextSource>(file_, *db_, ShortDateText);
  }
  // A text of the form as a page shows it.
  struct PageTextOf {
    std::string text;
    const std::string& GetText() const { return text; }
  };
  PageTextOf PageText(int page, const char* name) { return {db_->GetPage(page - 1)->FormText(name)}; }
  // The form's own element of that name, shared by every page.
  MText& FormElement(const char* name) { return *As<MText>(layout_.Forms.front()->FindChild(name)); }

  QTemporaryDir dir_;
  MLayout layout_;
  MMapFile file_;
  std::unique_ptr<MMapDB> db_;
  std::unique_ptr<MDocumentTextSource> texts_;
};

}  // namespace

TEST_F(ComputedTexts, PageNumbersComeFromThePageThatHoldsTheText) {
  // Without a document the stored text shows.
  EXPECT_EQ(PageText(3, "now").GetText(), "stored");
  DocumentScope scope(texts_.get());
  EXPECT_EQ(PageText(3, "now").GetText(), "3");
  for (int page = 1; page <= 5; ++page) EXPECT_EQ(PageText(page, "total").GetText(), "5");
  // In any order: the remembered page is only where the search starts.
  EXPECT_EQ(PageText(5, "now").GetText(), "5");
  EXPECT_EQ(PageText(1, "now").GetText(), "1");
  EXPECT_EQ(PageText(4, "now").GetText(), "4");
  EXPECT_EQ(PageText(2, "now").GetText(), "2");

  // A text of a block counts on the page the block stands on; a text on no page is on page 0.
  MEntry entry = layout_.FindBlock("item")->NewInstance();
  const MBlockInstance& inBlock = *entry.Block();
  EXPECT_EQ(inBlock.GetElementValue("now"), "0");
  ASSERT_TRUE(db_->GetPage(3)->Place(1, 1, entry));
  {
    const MPageScope onPage(4);  // as the page reads and draws it
    EXPECT_EQ(inBlock.GetElementValue("now"), "4");
  }
  db_->GetPage(3)->Remove(1, 1);
  // Saved as the number of the page the block stands on: one block a page here.
  for (int i = 0; i < 3; ++i) db_->Add(layout_.FindBlock("item")->NewInstance());
  file_.EditBlockFields() = {{"item", "now"}};
  MMapFile::Rows saved;
  db_->SaveTo(saved);
  EXPECT_EQ(saved, (MMapFile::Rows{{"item", "1"}, {"item", "2"}, {"item", "3"}}));

  // What a page draws is its number.
  MText& now = FormElement("now");
  const MPageScope onPage(2);
  EXPECT_EQ(Draw(now), TextFit(now, "2"));
}

TEST_F(ComputedTexts, DatesAreShortDatesOfTheFileAndOfToday) {
  DocumentScope scope(texts_.get());
  // A document that was never read or written has no date to show.
  EXPECT_EQ(PageText(1, "created").GetText(), "");

  const std::string path = dir_.filePath("doc.map").toStdString();
  std::ofstream(path, std::ios::binary) << "[basic_info]\r\nlayout=t.lay\r\n";
  file_.ReadFile(path);
  ASSERT_NE(file_.FileDate(), 0);
  const QDate fileDay = QFileInfo(QString::fromStdString(path)).lastModified().date();
  // The locale's short date; a Japanese one when no language is chosen (the tests run in C.UTF-8).
  const auto shortDate = [](const QDate& day) {
    if (QLocale::system().language() == QLocale::C) return ToSjis(day.toString("yyyy/MM/dd"));
    return ToSjis(QLocale::system().toString(day, QLocale::ShortFormat));
  };
  const std::string expected = shortDate(fileDay);
  EXPECT_EQ(PageText(1, "created").GetText(), expected);
  EXPECT_EQ(PageText(4, "created").GetText(), expected);
  EXPECT_EQ(PageText(2, "today").GetText(), shortDate(QDate::currentDate()));
  EXPECT_EQ(ShortDateText(DayOfFileDate(45292.75)), shortDate(QDate(2024, 1, 1)));
  if (QLocale::system().language() == QLocale::C) {
    EXPECT_EQ(ShortDateText(DayOfFileDate(45292.75)), "2024/01/01");
  }
}

// ---- images

TEST_F(ElementDraw, AnImageIsFittedIntoItsBoundsKeepingItsProportions) {
  QTemporaryDir dir;
  QImage picture(200, 100, QImage::Format_RGB32);
  picture.fill(QColor(0, 0, 255));
  const QString path = dir.filePath("wide.png");
  ASSERT_TRUE(picture.save(path));
  MImageCache cache;
  CacheScope scope(&cache);

  auto image = Element<MImage>(20, 20, 100, 100);
  image->FileName = path.toStdString();
  const QImage drawn = Draw(*image);
  EXPECT_EQ(image->ImageWidth, 200);
  EXPECT_EQ(image->ImageHeight, 100);
  EXPECT_EQ(InkBounds(drawn), QRect(20, 45, 100, 50));
  EXPECT_EQ(Pixel(drawn, 70, 70), 0x0000FFu);
  EXPECT_EQ(cache.Count(), 1u);
}

TEST_F(ElementDraw, AMissingImageIsAGrayBoxInDesignModeOnly) {
  MImageCache cache;
  CacheScope scope(&cache);
  auto image = Element<MImage>(20, 20, 100, 60);
  image->FileName = "/nonexistent/tessora/picture.png";
  image->ImageWidth = 5;  // from an earlier draw
  EXPECT_TRUE(InkBounds(Draw(*image)).isEmpty());
  EXPECT_EQ(image->ImageWidth, 0);
  canvas_.SetDesignMode(true);
  const QImage drawn = Draw(*image);
  EXPECT_EQ(Pixel(drawn, 70, 50), kMissingImage);
  EXPECT_EQ(CountColor(drawn, kBlack), 0);  // no outline
  // Without a cache nothing loads either.
  SetElementImageCache(nullptr);
  EXPECT_EQ(Pixel(Draw(*image), 70, 50), kMissingImage);
}

// ---- barcodes

TEST_F(ElementDraw, ABarcodeValueThatNw7CannotEncodeLeavesAWhiteBox) {
  auto bar = Element<MBarcode>(20, 20, 200, 60);
  bar->Value = "12#34";
  QImage image = WhiteImage(240, 160);
  image.fill(Qt::black);
  {
    QPainter painter(&image);
    MPaintScope scope(canvas_, painter);
    bar->Draw(canvas_, 0, true);
  }
  // The box covers the bounds' pixels (the right and bottom edges are exclusive).
  EXPECT_EQ(CountColor(image, kWhitePixel, QRect(20, 20, 199, 59)), 199 * 59);
  EXPECT_EQ(Pixel(image, 10, 10), kBlack);

  bar->Value = "12345678";
  const QImage good = Draw(*bar);
  EXPECT_GT(CountColor(good, kBlack, QRect(20, 20, 200, 45)), 1000);  // bars in the top 9/12
}

// ---- containers, grid points and special entries

TEST_F(ElementDraw, AHiddenBlockDrawsNoneOfItsElements) {
  auto block = Element<MBlock>(10, 10, 150, 100);
  block->StrokeStyle = ssSolid;
  auto box = Element<MBox>(20, 20, 50, 50);
  box->FillStyle = fsSolid;
  block->AddChild(std::move(box));
  block->AddChild(Text(dtString, "", "inside"));
  EXPECT_EQ(InkBounds(Draw(*block)).topLeft(), QPoint(10, 10));  // frame and children
  block->Visible = false;
  EXPECT_TRUE(InkBounds(Draw(*block)).isEmpty());

  // A block outside the repainted area skips its children too, even those that would be inside.
  block->Visible = true;
  block->StrokeStyle = ssNone;
  auto far = Element<MBlock>(200, 140, 10, 10);
  auto inside = Element<MBox>(20, 20, 50, 50);
  far->AddChild(std::move(inside));
  EXPECT_TRUE(InkBounds(Draw(*far, cmMapping, true, QRect(0, 0, 100, 100))).isEmpty());
}

TEST_F(ElementDraw, AHiddenFormStillShowsWhatStandsOnItsGrid) {
  auto form = Element<MForm>(0, 0, 240, 160);
  auto box = Element<MBox>(5, 5, 30, 30);
  box->FillStyle = fsSolid;
  form->AddChild(std::move(box));
  auto point = std::make_unique<MGridPoint>();
  point->SetX(100);
  point->SetY(60);
  form->Grid.AddPoint(std::move(point));
  auto block = Element<MBlock>(0, 0, 60, 40);
  auto inner = Element<MBox>(10, 10, 20, 20);
  inner->FillStyle = fsSolid;
  inner->FillColor = 0x0000FF;
  block->AddChild(std::move(inner));
  MPage page(*form, 1);
  MEntry entry = block->NewInstance();
  ASSERT_TRUE(page.Place(1, 1, entry));

  form->Visible = false;
  const QImage image = Draw(page);
  EXPECT_EQ(Pixel(image, 20, 20), kWhitePixel);  // the form's own box is gone
  EXPECT_EQ(Pixel(image, 120, 80), kRed);        // the block at (100, 60) + (10, 10) is there
}

TEST_F(ElementDraw, MarksShowInMappingModeOnly) {
  auto form = Element<MForm>(0, 0, 240, 160);
  form->StrokeWidth = 0;
  auto add = [&](double x, std::string_view types) {
    auto point = std::make_unique<MGridPoint>();
    point->SetX(x);
    point->SetY(10);
    point->SetBlockTypes(types);
    return form->Grid.AddPoint(std::move(point));
  };
  add(10, "all");
  add(50, "none");  // accepts no block: no mark
  MGridPoint* hidden = add(90, "all");
  hidden->Visible = false;
  add(130, "all");
  add(170, "all");
  MPage page(*form, 1);
  MEntry eod = MEntry::Special(MKind::EndOfData);
  ASSERT_TRUE(page.Place(1, 4, eod));
  MEntry space = MEntry::Special(MKind::Space);
  ASSERT_TRUE(page.Place(1, 5, space));

  const QImage mapping = Draw(page, cmMapping);
  EXPECT_EQ(Pixel(mapping, 15, 15), kGridMark);
  EXPECT_EQ(CountColor(mapping, kGridMark, QRect(45, 0, 90, 40)), 0);  // "none" and the hidden point
  EXPECT_GT(CountColor(mapping, kEntryMark, QRect(130, 10, 25, 25)), 20);
  EXPECT_GT(CountColor(mapping, kEntryMark, QRect(170, 10, 25, 25)), 20);
  // End of data: both diagonals; a space: the outline only.
  EXPECT_EQ(Pixel(mapping, 141, 21), kEntryMark);
  EXPECT_EQ(Pixel(mapping, 181, 21), kWhitePixel);

  EXPECT_TRUE(InkBounds(Draw(page, cmTextInput)).isEmpty());
  EXPECT_TRUE(InkBounds(Draw(page, cmPrinting)).isEmpty());
}
