// The print preview against the print core, the PDF and PNG exports against what the batch mode
// writes, and cancels under the progress dialog that leave no file and no half-open document.
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <regex>

#include "WindowTestSupport.h"
#include "app/platform/ProgressDialog.h"
#include "layout/Layout.h"
#include "render/PageOutput.h"

namespace {

namespace fs = std::filesystem;

using window_test::DialogAnswers;

class PrintExport : public window_test::WindowTest {
 protected:
  // Runs an export into file, answer given each dialog; the options dialog is accepted then.
  void Export(const char* command, const fs::path& file, const std::function<void(QDialog*)>& answer = {}) {
    window_->ChooseFileForTest = [file](bool, const QString&, const QString&) {
      return QString::fromStdString(file.string());
    };
    const DialogAnswers answers([&](QDialog* d) {
      if (answer) answer(d);
      if (d->objectName().startsWith("dlgExport")) d->accept();
    });
    Find<QAction>(command)->trigger();
  }
  static int PdfPages(const fs::path& file) {
    const std::string bytes = doc_test::ReadBytes(file);
    std::smatch count;
    const bool found = std::regex_search(bytes, count, std::regex(R"(/Type\s*/Pages\b[^>]*?/Count\s+(\d+))"));
    return bytes.starts_with("%PDF-") && found ? std::stoi(count[1]) : -1;
  }
};

}  // namespace

TEST_F(PrintExport, ThePreviewShowsThePagesThePrintCoreGives) {
  OpenShop();
  gMapDB->GoToPage(2);
  const DialogAnswers answers([&](QDialog* dialog) {
    if (dialog->objectName() != "dlgPrintPreview") return;
    auto* preview = dialog->findChild<QPrintPreviewWidget*>();
    QPrinter* printer = static_cast<QPrintPreviewDialog*>(dialog)->printer();
    EXPECT_EQ(preview->pageCount(), 3) << "the whole document at first";
    // The choices the print dialog leaves on the printer when printing from the preview.
    for (const auto& [range, choice] : {std::pair{QPrinter::PageRange, pcPageNumbers},
                                        {QPrinter::Selection, pcSelection},
                                        {QPrinter::AllPages, pcAllPages}}) {
      printer->setPrintRange(range);
      printer->setFromTo(2, 3);
      preview->updatePreview();
      QPrinter pdf;
      pdf.setOutputFileName(QString::fromStdString((folder_ / "core.pdf").string()));
      EXPECT_EQ(preview->pageCount(), PrintDocument(pdf, choice, 2, 3)) << range;
    }
    // Printing from the preview prints, the range chosen last.
    printer->setOutputFileName(QString::fromStdString((folder_ / "printed.pdf").string()));
    preview->print();
    dialog->reject();
  });
  Find<QAction>("miPrintPreview")->trigger();
  EXPECT_EQ(PdfPages(folder_ / "printed.pdf"), 3);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(PrintExport, PdfAndPngAsTheBatchModeWritesThem) {
  OpenShop();
  Export("miExportPdf", folder_ / "all.pdf");
  Export("miExportPdf", folder_ / "two.pdf", [](QDialog* d) {
    if (auto* from = d->findChild<QSpinBox*>("edtFromPage")) from->setValue(2);
  });
  EXPECT_EQ(PdfPages(folder_ / "all.pdf"), 3);
  EXPECT_EQ(PdfPages(folder_ / "two.pdf"), 2);
  Export("miExportPng", folder_ / "png", [](QDialog* d) {
    if (auto* dpi = d->findChild<QSpinBox*>("edtDpi")) dpi->setValue(48);
  });
  for (const char* name : {"page-001.png", "page-002.png", "page-003.png"})
    EXPECT_EQ(QImage(QString::fromStdString((folder_ / "png" / name).string())).size(),
              PageImageSize(*gLayout, 48));
  EXPECT_FALSE(fs::exists(folder_ / "png/page-004.png"));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(PrintExport, ACancelLeavesNoFileAndNoHalfOpenDocument) {
  OpenShop();
  int cancelled = 0;
  const auto cancel = [&](QDialog* d) {
    if (d->objectName() == "dlgProgress" && ++cancelled) d->findChild<QPushButton*>("btnCancel")->click();
  };
  Export("miExportPdf", folder_ / "cancelled.pdf", cancel);
  Export("miExportPng", folder_ / "cancelled", cancel);
  {
    const DialogAnswers answers(cancel);
    Find<QAction>("miPrintPreview")->trigger();  // returns once the cancelled preview closes
    EXPECT_FALSE(window_->OpenDocument(folder_.SjisPath("shop.map")));
  }
  EXPECT_EQ(cancelled, 4);
  EXPECT_FALSE(fs::exists(folder_ / "cancelled.pdf") || fs::exists(folder_ / "cancelled"));
  EXPECT_FALSE(HasDocument() || Find<QAction>("miExportPdf")->isEnabled());
  EXPECT_TRUE(messages_.empty()) << "a cancel shows no box";
}
