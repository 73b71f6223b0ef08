// tessora --batch ... --pdf / --png, run as the program it is, without a display: the bundled
// catalogue exported and looked at through poppler and zbar, and values that are refused.
#include <gtest/gtest.h>
#include <unistd.h>

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

const std::string kSample = TESSORA_SOURCE_DIR "/samples/catalog.map";

using Result = test_support::ProgramResult;

class Export : public ::testing::Test {
 protected:
  // Runs "tessora --batch args..." in the test's folder with neither a display nor a Qt platform
  // chosen, as a script on a server would.
  Result Run(std::vector<std::string> args) const {
    args.insert(args.begin(), "--batch");
    return test_support::RunProgram(test_support::TessoraProgram(), args, folder_.Path(), folder_.Path(),
                                    {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
  }

  // The sheets of a PDF as pictures at dpi (poppler), named after the PDF; empty without poppler.
  std::vector<QImage> Sheets(const fs::path& pdf, int dpi = 50) const {
    const QString tool = QStandardPaths::findExecutable("pdftoppm");
    if (tool.isEmpty()) return {};
    const QString prefix = QString::fromStdString((folder_ / ("sheet-" + pdf.stem().string())).string());
    QProcess p;
    p.start(tool, {"-r", QString::number(dpi), "-png", QString::fromStdString(pdf.string()), prefix});
    EXPECT_TRUE(p.waitForFinished(120000));
    std::vector<QImage> sheets;
    for (int i = 1; i < 100; ++i) {
      const QImage sheet(prefix + QString("-%1.png").arg(i));
      if (sheet.isNull()) break;
      sheets.push_back(sheet.convertToFormat(QImage::Format_RGB32));
    }
    return sheets;
  }

  // Every barcode zbar reads in a picture, one per line, in the order it reports them.
  static std::string Zbar(const fs::path& picture) {
    QProcess p;
    p.start(QStandardPaths::findExecutable("zbarimg"),
            {"--raw", "-q", "-Scodabar.enable", QString::fromStdString(picture.string())});
    EXPECT_TRUE(p.waitForFinished(60000));
    return p.readAllStandardOutput().toStdString();
  }

  // The files of a folder, by name.
  std::vector<std::string> Files(const fs::path& dir) const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  doc_test::TempFolder folder_{"export"};
};

}  // namespace

TEST_F(Export, PdfOfTheWholeDocumentAndOfAPageRange) {
  const Result all = Run({kSample, "--pdf", "all.pdf"});
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(all.out, "pages=4 placed=24 unplaced=10 trash=2\n");
  ASSERT_TRUE(fs::exists(folder_ / "all.pdf"));
  EXPECT_EQ(ReadBytes(folder_ / "all.pdf").substr(0, 5), "%PDF-");

  const Result part = Run({kSample, "--pdf", "part.pdf", "--pages", "2-3"});
  ASSERT_EQ(part.status, 0) << part.err;
  if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) GTEST_SKIP() << "pdftoppm is not installed";
  const std::vector<QImage> sheets = Sheets(folder_ / "all.pdf");
  const std::vector<QImage> partSheets = Sheets(folder_ / "part.pdf");
  ASSERT_EQ(sheets.size(), 4u);
  ASSERT_EQ(partSheets.size(), 2u);
  // A4 landscape, like the layout's page.
  EXPECT_NEAR(sheets[0].width(), 297 * 50 / 25.4, 1.5);
  EXPECT_NEAR(sheets[0].height(), 210 * 50 / 25.4, 1.5);
  EXPECT_NE(sheets[1], sheets[2]);
  EXPECT_EQ(partSheets[0], sheets[1]);
  EXPECT_EQ(partSheets[1], sheets[2]);
}

TEST_F(Export, PngPagesAsThePageViewShowsThem) {
  const Result r = Run({kSample, "--png", "view", "--png", "fine", "--dpi", "300"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Files(folder_ / "view"),
            (std::vector<std::string>{"page-001.png", "page-002.png", "page-003.png", "page-004.png"}));
  const QImage page4(QString::fromStdString((folder_ / "view/page-004.png").string()));
  EXPECT_EQ(page4.size(), QSize(1123, 794));  // 297 x 210 mm at 96 dpi
  // Mapping mode: the empty grid points of the last page carry their red marks.
  int marks = 0;
  for (int y = 0; y < page4.height(); ++y)
    for (int x = 0; x < page4.width(); ++x) marks += (page4.pixel(x, y) & 0xFFFFFF) == 0xF43D3D;
  EXPECT_GT(marks, 6 * 60);

  const QImage fine(QString::fromStdString((folder_ / "fine/page-001.png").string()));
  EXPECT_EQ(fine.size(), QSize(3508, 2480));
  ASSERT_FALSE(QStandardPaths::findExecutable("zbarimg").isEmpty())
      << "zbarimg is not installed (Debian zbar-tools; scripts/deps.sh)";
  const std::string codes = Zbar(folder_ / "fine/page-001.png");
  for (const char* code : {"4912341010012", "4912341010043", "4912341010050", "4912341010081",
                           "https://midoriya.example/item/101001", "玉露 50g: 50℃のお湯で 2 分"})
    EXPECT_NE(codes.find(code), std::string::npos) << code << " not in\n" << codes;
}

TEST_F(Export, BadValuesAreRefusedAndNothingIsWritten) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"--pdf", "x.pdf", "--pages", "3-1"}, "the first page comes after the last"},
      {{"--pdf", "x.pdf", "--pages", "0-2"}, "counted from 1"},
      {{"--pdf", "x.pdf", "--pages", "2-9"}, "the document has 4 pages"},
      {{"--pdf", "x.pdf", "--pages", "two"}, "expected FIRST-LAST"},
      {{"--pdf", "x.pdf", "--pages", "2-"}, "expected FIRST-LAST"},
      {{"--png", "x", "--dpi", "0"}, "from 10 to 1200"},
      {{"--png", "x", "--dpi", "96dpi"}, "from 10 to 1200"},
      {{"--png", "x", "--dpi", "4800"}, "from 10 to 1200"},
      {{"--pdf", "nofolder/x.pdf"}, "cannot write"},
      // A later action that fails takes the exports made before it along.
      {{"--pdf", "x.pdf", "--png", "x", "--same-map", "missing.map"}, ""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{kSample};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Result r = Run(args);
    EXPECT_EQ(r.status, 1) << c.args[2];
    EXPECT_EQ(r.out, "") << c.args[2];
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(folder_ / "x.pdf")) << c.args[2];
    EXPECT_FALSE(fs::exists(folder_ / "x")) << c.args[2];
  }
}
