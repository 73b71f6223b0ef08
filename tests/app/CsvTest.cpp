// Records in and out as a user meets them: the batch pipeline from a spreadsheet's CSV to a PDF, and the
// window's import and export through their dialogs.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <cstdio>
#include <memory>

#include "WindowTestSupport.h"
#include "app/dialogs/CsvExportDialog.h"
#include "app/dialogs/CsvImportDialog.h"
#include "support/RunProgram.h"

namespace {

namespace fs = std::filesystem;
using doc_test::ReadBytes;
using doc_test::WriteBytes;

// The text of a PDF as pdftotext gives it.
std::string PdfText(const fs::path& pdf) {
  std::string text;
  const std::string command = "pdftotext -layout '" + pdf.string() + "' -";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  if (pipe == nullptr) return text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) text.append(buffer, n);
  return text;
}

}  // namespace

TEST(CsvBatch, FromASpreadsheetToPrintedPages) {
  doc_test::TempFolder folder("csv-batch");
  for (const char* name : {"catalog.map", "catalog.lay"})
    fs::copy_file(fs::path(TESSORA_SOURCE_DIR "/samples") / name, folder / name);
  // As a spreadsheet saves it in Shift-JIS: CR LF, a header in its own order and case, a quoted field
  // with a comma and a line break.
  WriteBytes(folder / "items.csv",
             base::Utf8ToSjis("KAKAKU,shohin_mei,hinban,biko\r\n"
                              "980,水出し用ティーバッグ,901001,\"冷水で, 3 時間\r\nすっきり\"\r\n"
                              "1200,ほうじ茶ラテの素,901002,\r\n"));
  const auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"--batch", "catalog.map"});
    return test_support::RunProgram(test_support::TessoraProgram(), args, folder.Path(), folder.Path());
  };
  test_support::ProgramResult r =
      run({"--import-csv", "items.csv", "--class", "shohin", "--auto-map", "--pdf", "out.pdf", "--export-csv",
           "out.csv", "--encoding", "sjis", "--save"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string pdf = PdfText(folder / "out.pdf");
  EXPECT_NE(pdf.find("水出し用ティーバッグ"), std::string::npos) << pdf;
  EXPECT_NE(pdf.find("ほうじ茶ラテの素"), std::string::npos);
  const std::string csv = base::SjisToUtf8(ReadBytes(folder / "out.csv"));
  // Unfed fields keep the class's values; a memo's lines end with line breaks.
  EXPECT_NE(
      csv.find(",shohin,901001,水出し用ティーバッグ,しょうひんめい,980,images/no_photo.png,\"冷水で, 3 時間\n"
               "すっきり\n\",4912340000007,https://midoriya.example/,(税込),,,\r\n"),
      std::string::npos)
      << csv;
  EXPECT_NE(base::SjisToUtf8(ReadBytes(folder / "catalog.map"))
                .find("shohin,901002,ほうじ茶ラテの素,しょうひんめい,1200,images/no_photo.png,,4912340000007,"
                      "https://midoriya.example/\r\n"),
            std::string::npos);

  // A malformed file is refused with the line named, and nothing is written.
  WriteBytes(folder / "bad.csv", "hinban,shohin_mei\r\n1,ok\r\n2,\"never closed\r\n");
  const std::string saved = ReadBytes(folder / "catalog.map");
  r = run({"--import-csv", "bad.csv", "--class", "shohin", "--save", "--pdf", "bad.pdf"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("3 行目: 引用符 (\") が閉じられていません"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(folder / "bad.pdf"));
  EXPECT_EQ(ReadBytes(folder / "catalog.map"), saved);
}

namespace window_test {

TEST_F(WindowTest, ImportAndExportThroughTheDialogs) {
  TfmMain& w = OpenShop();
  // UTF-8 with a byte order mark, semicolons; the columns, named unlike any field, are assigned.
  WriteBytes(folder_ / "in.csv",
             "\xEF\xBB\xBF"
             "nom;codigo\r\n煎茶;x1\r\n玉露;x2\r\n");
  QString file = QString::fromStdString((folder_ / "in.csv").string());
  QString proposed;
  w.ChooseFileForTest = [&](bool, const QString&, const QString& folder) {
    proposed = folder;
    return file;
  };
  QString message;
  w.CsvImportForTest = [&](TdlgCsvImport& dialog) {
    EXPECT_EQ(dialog.findChild<QComboBox*>("cbxSeparator")->currentIndex(), 2);
    EXPECT_FALSE(dialog.Import().HasHeader) << "no cell names a field";
    dialog.SetHeader(true);
    dialog.AssignColumn(0, 0);  // nom -> name
    dialog.AssignColumn(1, 1);  // codigo -> code
    message = dialog.Message();
    return true;
  };
  Find<QAction>("miImportCsv")->trigger();
  EXPECT_EQ(QFileInfo(proposed).absoluteFilePath(), QFileInfo(file).absolutePath())
      << "records are looked for beside the document";
  EXPECT_EQ(message, QStringLiteral("2 個のブロックを未配置に追加します。"));
  EXPECT_EQ(doc_test::ListNames(*gUnmapDB),
            (std::vector<std::string>{"tea1", "cup", "tea2", "pot", "煎茶", "玉露"}));
  EXPECT_EQ(Text("StatusPanel2"), QStringLiteral("未配置 : 6/6"));

  w.CsvExportForTest = [](TdlgCsvExport& dialog) {
    dialog.SelectEncoding(base::CsvEncoding::Sjis);
    dialog.SetWithLists(true);
    return true;
  };
  file = QString::fromStdString((folder_ / "out.csv").string());
  Find<QAction>("miExportCsv")->trigger();
  const std::string csv = base::SjisToUtf8(ReadBytes(folder_ / "out.csv"));
  EXPECT_EQ(csv.rfind("page,row,column,class,name,code,kana,biko\r\n1,1,1,item,b1,c1,,\r\n", 0), 0u) << csv;
  EXPECT_NE(csv.find("未配置,,,item,玉露,x2,,\r\n"), std::string::npos) << csv;
  EXPECT_TRUE(messages_.empty());
}

}  // namespace window_test
