// Barcode elements through tessora --batch: a document written before elements chose their symbology
// still gives the same page pictures byte for byte, and the bundled catalogue's JAN and QR codes come
// back from its printed PDF.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <filesystem>
#include <string>
#include <vector>

#include "support/DocumentTestSupport.h"
#include "support/RunProgram.h"

namespace {

namespace fs = std::filesystem;
using doc_test::ReadBytes;

const fs::path kData = fs::path(TESSORA_SOURCE_DIR) / "tests/app/data";

test_support::ProgramResult Batch(const fs::path& folder, const std::vector<std::string>& args) {
  std::vector<std::string> all{"--batch"};
  all.insert(all.end(), args.begin(), args.end());
  return test_support::RunProgram(test_support::TessoraProgram(), all, folder, folder,
                                  {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
}

// The pages of barcodes_nw7.map were drawn before barcode elements had their bar-* properties; a layout
// without them draws NW-7 exactly as it did.
TEST(BarcodePages, LayoutsWithoutTheNewPropertiesDrawAsBefore) {
  doc_test::TempFolder folder("nw7-pages");
  for (const char* name : {"barcodes_nw7.lay", "barcodes_nw7.map"})
    fs::copy_file(kData / name, folder / name);
  const auto r = Batch(folder.Path(), {"barcodes_nw7.map", "--png", "p96", "--png", "p150", "--dpi", "150"});
  ASSERT_EQ(r.status, 0) << r.err;
  struct Page {
    const char* made;
    const char* before;
  };
  for (const Page& p : {Page{"p96/page-001.png", "barcodes_nw7-96dpi-page-001.png"},
                        Page{"p96/page-002.png", "barcodes_nw7-96dpi-page-002.png"},
                        Page{"p150/page-001.png", "barcodes_nw7-150dpi-page-001.png"}}) {
    const std::string made = ReadBytes(folder / p.made);
    ASSERT_FALSE(made.empty()) << p.made;
    EXPECT_TRUE(made == ReadBytes(kData / p.before)) << p.made << " differs from " << p.before;
  }
}

// Printed to PDF as paper gets it, the catalogue's pages give every placed product's JAN code with its
// check digit and its QR code back to zbarimg, Japanese text included.
TEST(BarcodePages, TheCatalogueCodesComeBackFromItsPdf) {
  const QString zbar = QStandardPaths::findExecutable("zbarimg");
  ASSERT_FALSE(zbar.isEmpty()) << "zbarimg is not installed (Debian zbar-tools; scripts/deps.sh)";
  const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
  ASSERT_FALSE(pdftoppm.isEmpty()) << "pdftoppm is not installed (Debian poppler-utils; scripts/deps.sh)";
  doc_test::TempFolder folder("catalog-codes");
  const fs::path samples = fs::path(TESSORA_SOURCE_DIR) / "samples";
  for (const char* name : {"catalog.lay", "catalog.map"}) fs::copy_file(samples / name, folder / name);
  fs::create_directory_symlink(samples / "images", folder / "images");
  const auto r = Batch(folder.Path(), {"catalog.map", "--pdf", "catalog.pdf", "--pages", "1-1"});
  ASSERT_EQ(r.status, 0) << r.err;

  QProcess render;
  render.start(pdftoppm,
               {"-r", "300", "-gray", "-png", QString::fromStdString((folder / "catalog.pdf").string()),
                QString::fromStdString((folder / "sheet").string())});
  ASSERT_TRUE(render.waitForFinished(120000));
  QProcess read;
  read.start(zbar, {"--raw", "-q", QString::fromStdString((folder / "sheet-1.png").string())});
  ASSERT_TRUE(read.waitForFinished(120000));
  const std::string codes = read.readAllStandardOutput().toStdString();
  for (const char* code : {"4912341010012\n", "4912341010036\n", "4912341010081\n",
                           "https://midoriya.example/item/101001\n", "https://midoriya.example/item/101008\n",
                           "玉露 50g: 50℃のお湯で 2 分\n", "抹茶「翠」 お薄 1 杯に 2g、お湯 70ml\n"})
    EXPECT_NE(codes.find(code), std::string::npos) << code << " not in\n" << codes;
  EXPECT_EQ(std::count(codes.begin(), codes.end(), '\n'), 16);  // eight products, two codes each
}

}  // namespace
