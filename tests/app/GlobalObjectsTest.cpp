// The global objects that drawing needs: the page view canvas, the side pane canvases, the
// invalidation object and the image cache, wired to the others at creation and released without
// reaching one another.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QPainter>
#include <filesystem>
#include <fstream>

#include "app/AppGlobals.h"
#include "data/DocumentCommands.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"
#include "layout/ComputedText.h"
#include "layout/Invalidate.h"
#include "layout/Layout.h"
#include "layout/Shapes.h"
#include "layout/Specials.h"
#include "render/ImageCache.h"
#include "render/ListCanvas.h"
#include "render/MapCanvas.h"
#include "render/MapInvalidate.h"
#include "render/RenderGlobal.h"
#include "support/RenderTestSupport.h"

namespace fs = std::filesystem;

namespace {

class GlobalObjects : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tessora-render-globals-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    std::ofstream(dir_ / "tessora.ini") << "[config]\r\nimage_cache_size=7\r\n";
    std::ofstream(dir_ / "t.lay")
        << "form page {\n"
           "  box frame { x: 5; y: 5; width: 100; height: 50; }\n"
           "  text now { x: 5; y: 60; width: 20; height: 6; data-type: now-page; }\n"
           "  grid-point { x: 10; y: 10; } }\n"
           "block item { width: 30; height: 20; text name { x: 1; y: 1; width: 28; "
           "height: 6; } }\n";
    std::ofstream(dir_ / "doc.map")
        << "[basic_info]\r\nlayout=t.lay\r\n\r\n[block_field]\r\nitem,name\r\n\r\n"
           "[map_data]\r\nitem,one\r\n";
  }
  void TearDown() override {
    ReleaseGlobals();
    fs::remove_all(dir_);
  }

  QImage PaintView() {
    QImage image = WhiteImage(200, 200);
    QPainter painter(&image);
    MPaintScope scope(*gMapCanvas, painter);
    gMapCanvas->Paint();
    return image;
  }

  fs::path dir_;
};

}  // namespace

TEST_F(GlobalObjects, AreWiredAtCreation) {
  CreateGlobals((dir_ / "tessora").string());
  ASSERT_TRUE(gMapCanvas && gUnmapCanvas && gTrashCanvas && gMapInvalidate && gImageCache);
  EXPECT_EQ(gUnmapCanvas->ListDB(), gUnmapDB.get());
  EXPECT_EQ(gTrashCanvas->ListDB(), gTrashDB.get());
  EXPECT_EQ(gMapCanvas->Page(), nullptr);  // no document yet
  EXPECT_EQ(gMapInvalidate->Canvas(), gMapCanvas.get());
  EXPECT_EQ(PageInvalidator(), gMapInvalidate.get());
  EXPECT_EQ(gImageCache->Capacity(), 7);
  EXPECT_EQ(ElementImageCache(), gImageCache.get());
  EXPECT_NE(ComputedTextSource(), nullptr);

  RecordingHost host;
  gMapCanvas->SetHost(&host);
  PageInvalidator()->InvalidateAll();
  EXPECT_EQ(host.repaintAll, 1);
  gMapCanvas->SetHost(nullptr);
}

TEST_F(GlobalObjects, ThePageViewPaintsTheActivePageOrNothing) {
  CreateGlobals((dir_ / "tessora").string());
  EXPECT_TRUE(InkBounds(PaintView()).isEmpty());  // no document

  OpenDocument((dir_ / "doc.map").string());
  EXPECT_EQ(gMapCanvas->Page(), gMapDB->ActivePage());
  gMapCanvas->SetUnit(gLayout->Setting.Unit);
  const QImage view = PaintView();
  const QRect frame = gMapCanvas->RectToPixels(5, 5, 105, 55);
  EXPECT_EQ(Pixel(view, frame.left(), frame.center().y()), 0x000000u);
  // The page number of the form's text comes from the document.
  EXPECT_EQ(gMapDB->ActivePage()->FormText("now"), "1");
}

TEST_F(GlobalObjects, ReleasingRedrawsNothingThroughReleasedObjects) {
  CreateGlobals((dir_ / "tessora").string());
  OpenDocument((dir_ / "doc.map").string());
  RecordingHost host;
  gMapCanvas->SetHost(&host);
  const int before = host.repaintAll + static_cast<int>(host.rects.size());

  // The canvases go right after the configuration, the databases after them: nothing the databases
  // do on release may reach a canvas.
  ReleaseGlobals();
  EXPECT_EQ(host.repaintAll + static_cast<int>(host.rects.size()), before);
  EXPECT_FALSE(gIni || gMapCanvas || gUnmapCanvas || gTrashCanvas || gMapFile || gLayout || gMapDB ||
               gUnmapDB || gTrashDB || gMapInvalidate || gImageCache);
  EXPECT_EQ(PageInvalidator(), nullptr);
  EXPECT_EQ(ElementImageCache(), nullptr);
  EXPECT_EQ(ComputedTextSource(), nullptr);

  // The model still works on its own afterwards: placing an entry asks for a repaint of nobody.
  MForm form;
  form.Grid.AddPoint(std::make_unique<MGridPoint>());
  MPage page(form, 1);
  MEntry space = MEntry::Special(MKind::Space);
  EXPECT_TRUE(page.Place(1, 1, space));
}
