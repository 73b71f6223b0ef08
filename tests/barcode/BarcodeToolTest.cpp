// tessora-barcode, run as a program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "BarcodeTestSupport.h"
#include "barcode/BarMatrix.h"
#include "base/Sjis.h"

namespace {

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the tool with arguments already quoted for the shell.
Result RunTool(const std::string& arguments) {
  static QTemporaryDir dir;
  const std::string errFile = dir.filePath("stderr").toStdString();
  const std::string command =
      std::string(TESSORA_BINARY_DIR "/bin/tessora-barcode ") + arguments + " 2>'" + errFile + "'";
  Result r;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return r;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
  const int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  QFile err(QString::fromStdString(errFile));
  if (err.open(QIODevice::ReadOnly)) r.err = err.readAll().toStdString();
  return r;
}

TEST(BarcodeTool, PrintsPatternAndSymbolText) {
  // The pattern is the encoder's (whose symbols zbar checks elsewhere), then the text.
  Result r = RunTool("--type code39 --cd --pattern ABC");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, barcode_test::Encode(barcode::cbarCODE39, "ABC", nullptr, true) + "\n*ABCX*\n");
  EXPECT_EQ(r.out.size(), 6u * 10 + 1 + 7);  // *, A, B, C, X, *: ten elements each
  r = RunTool("--type nw7 --start B --stop D --cd --pattern 123");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.substr(r.out.find('\n') + 1),
            "B1236D\n");  // 17 + 6 + 19 = 42: check 16 - 42 % 16 = 6
  r = RunTool("--type customer --pattern 1234567");
  EXPECT_EQ(r.out.substr(r.out.find('\n') + 1), "1234567" + std::string(15, ' ') + "\n");
  // Code 128 start set C; Code 93 shift tokens.
  r = RunTool("--type code128 --start C --pattern '<12><34>'");
  EXPECT_EQ(r.out.substr(r.out.find('\n') + 1), "C<12><34><82>\n");
  r = RunTool("--type code93 --pattern TEST93");
  EXPECT_EQ(r.out.substr(r.out.find('\n') + 1), "(TEST93+6)\n");
  // Codes that look like options come after "--".
  r = RunTool("--type code39 --pattern -- -12");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.substr(r.out.find('\n') + 1), "*-12*\n");
}

TEST(BarcodeTool, InvalidCodesWriteNothing) {
  QTemporaryDir dir;
  const std::string png = dir.filePath("out.png").toStdString();
  for (const char* args :
       {"--type jan --png OUT 4901234567894", "--type code39 --png OUT abc", "--type code128 --png OUT 'a<'",
        "--type upc --svg OUT 1123455", "--type nw7 --png OUT ''"}) {
    std::string a = args;
    a.replace(a.find("OUT"), 3, "'" + png + "'");
    const Result r = RunTool(a);
    EXPECT_EQ(r.status, 1) << args;
    EXPECT_EQ(r.out, "") << args;
    EXPECT_NE(r.err.find("cannot be encoded"), std::string::npos) << args;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(png))) << args;
  }
  EXPECT_EQ(RunTool("--type jan --pattern 12345").status, 1);
}

TEST(BarcodeTool, RefusesBadArguments) {
  for (const char* args : {"", "--pattern 123", "--type ean --pattern 1", "--type qr --ecc X --pattern 1",
                           "--type nw7 1", "--type nw7 --pattern --png x.png 1", "--type nw7 --pattern",
                           "--type nw7 --pattern 1 2", "--type nw7 --scale 0 --pattern 1",
                           "--type nw7 --scale 11 --pattern 1", "--type nw7 --ratio 19 --pattern 1",
                           "--type nw7 --ratio 31 --pattern 1", "--type nw7 --frame 101 --pattern 1",
                           "--type nw7 --height 0 --pattern 1", "--type nw7 --height x --pattern 1",
                           "--type nw7 --start E --pattern 1", "--type nw7 --stop AB --pattern 1",
                           "--type nw7 --bogus --pattern 1", "--type nw7 --pattern 1 --scale"}) {
    const Result r = RunTool(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.out, "") << args;
    EXPECT_NE(r.err.find("usage:"), std::string::npos) << args;
  }
}

// The 2D codes: the module grid as rows, pictures that a reader reads, codes too long for any symbol.
TEST(BarcodeTool, QrCodeAndDataMatrix) {
  Result r = RunTool("--type qr --ecc H --pattern 'TESSORA'");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, barcode::EncodeQR("TESSORA", barcode::qrH).Pattern());
  EXPECT_EQ(r.out.substr(0, 22), "1111111" + r.out.substr(7, 7) + "1111111\n");  // two finder patterns
  r = RunTool("--type datamatrix --pattern 123456");
  EXPECT_EQ(r.out.size(), 10u * 11);  // 10 x 10 and the line ends
  EXPECT_EQ(RunTool("--type qr --pattern " + std::string(7090, '1')).status, 1);
  EXPECT_EQ(RunTool("--type datamatrix --pattern ''").status, 1);

  QTemporaryDir dir;
  const QString png = dir.filePath("qr.png");
  r = RunTool("--type qr --scale 3 --png '" + png.toStdString() + "' 'お茶 https://midoriya.example/'");
  ASSERT_EQ(r.status, 0) << r.err;
  const QImage image(png);
  const int modules =
      barcode::EncodeQR(base::Utf8ToSjis("お茶 https://midoriya.example/"), barcode::qrM).Width();
  EXPECT_EQ(image.width(), (modules + 8) * 3);  // the quiet zone too, three pixels a module
  QProcess zbar;
  zbar.start("zbarimg", {"--raw", "-q", png});
  ASSERT_TRUE(zbar.waitForFinished(60000)) << "zbarimg did not run (Debian zbar-tools)";
  EXPECT_EQ(zbar.readAllStandardOutput().toStdString(), "お茶 https://midoriya.example/\n");
  const QString svg = dir.filePath("dm.svg");
  r = RunTool("--type datamatrix --svg '" + svg.toStdString() + "' ABC");
  ASSERT_EQ(r.status, 0) << r.err;
  QFile file(svg);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("<svg"));
}

TEST(BarcodeTool, WritesPngAndSvg) {
  QTemporaryDir dir;
  const QString png = dir.filePath("bar.png");
  Result r = RunTool(
      "--type jan --scale 2 --height 60 --frame 2 --comment-up 'コメント' --comment-down 'down' --png '" +
      png.toStdString() + "' 490123456789");
  ASSERT_EQ(r.status, 0) << r.err;
  const QImage image(png);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), 10 + 96 * 2 + 10);
  EXPECT_GT(image.height(), 60);  // the comments' margins
  const QString svg = dir.filePath("bar.svg");
  r = RunTool("--type itf --no-text --ratio 30 --svg '" + svg.toStdString() + "' 123456");
  ASSERT_EQ(r.status, 0) << r.err;
  QFile file(svg);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("<svg"));
  // A file that cannot be written is an error.
  r = RunTool("--type itf --png '" + dir.filePath("missing/bar.png").toStdString() + "' 123456");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot write"), std::string::npos);
}

}  // namespace
