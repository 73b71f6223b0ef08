// The print preview, the PDF and PNG exports from the window, and the progress dialog over long work:
// the preview's pages against the print core's, the files against what the batch mode writes, and a
// cancel that leaves neither a file nor a half-open document.
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <regex>

#include "WindowTestSupport.h"
#include "app/platform/ProgressDialog.h"
#include "layout/Layout.h"
#include "render/PageOutput.h"

namespace {

using window_test::WindowTest;
namespace fs = std::filesystem;

// While it lives, hands each modal dialog that opens to answer (they open inside exec, so they are
// looked for from a timer).
class DialogAnswer {
 public:
  explicit DialogAnswer(std::function<void(QDialog*)> answer) : answer_(std::move(answer)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || dialog == last_) return;
      last_ = dialog;
      answer_(dialog);
    });
    timer_.start(5);
  }

 private:
  std::function<void(QDialog*)> answer_;
  QPointer<QDialog> last_;
  QTimer timer_;
};

// Counts the progress dialogs that show, and with cancel set clicks the cancel button of each as it
// shows; then the dialog shows at the first report, so that short work can be cancelled too.
class ProgressWatch : public QObject {
 public:
  explicit ProgressWatch(bool cancel) : cancel_(cancel) {
    if (cancel_) delay_ = MProgressDialog::SetShowDelayForTest(0);
    qApp->installEventFilter(this);
  }
  ~ProgressWatch() override {
    qApp->removeEventFilter(this);
    if (cancel_) MProgressDialog::SetShowDelayForTest(delay_);
  }
  int shown = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Show || watched->objectName() != "dlgProgress") return false;
    ++shown;
    auto* button = watched->findChild<QPushButton*>("btnCancel");
    EXPECT_NE(button, nullptr);
    // The work sees it when it next lets the event loop run.
    if (cancel_ && button != nullptr)
      QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
    return false;
  }

 private:
  bool cancel_;
  int delay_ = 0;
};

class PrintExport : public WindowTest {
 protected:
  // The export's options dialog answered: pages "" (all) or "F-T", or the dpi.
  static void AnswerExport(QDialog* dialog, const std::string& pages, int dpi = 0) {
    if (!pages.empty()) {
      const std::size_t dash = pages.find('-');
      dialog->findChild<QSpinBox*>("edtFromPage")->setValue(std::stoi(pages.substr(0, dash)));
      dialog->findChild<QSpinBox*>("edtToPage")->setValue(std::stoi(pages.substr(dash + 1)));
      EXPECT_TRUE(dialog->findChild<QRadioButton*>("rbPageRange")->isChecked());
    }
    if (dpi != 0) dialog->findChild<QSpinBox*>("edtDpi")->setValue(dpi);
    dialog->findChild<QPushButton*>("btnOK")->click();
  }
  void ExportPdfTo(const fs::path& file, const std::string& pages) {
    window_->ChooseFileForTest = [file](bool, const QString&, const QString&) {
      return QString::fromStdString(file.string());
    };
    DialogAnswer answer([&](QDialog* d) {
      if (d->objectName() == "dlgExportPdf") AnswerExport(d, pages);
    });
    Find<QAction>("miExportPdf")->trigger();
  }
  void ExportPngTo(const fs::path& dir, int dpi) {
    window_->ChooseFileForTest = [dir](bool, const QString&, const QString&) {
      return QString::fromStdString(dir.string());
    };
    DialogAnswer answer([&](QDialog* d) {
      if (d->objectName() == "dlgExportPng") AnswerExport(d, "", dpi);
    });
    Find<QAction>("miExportPng")->trigger();
  }
  // The page count a PDF says it has (its page tree's /Count).
  static int PdfPageCount(const fs::path& file) {
    const std::string bytes = doc_test::ReadBytes(file);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    std::smatch count;
    return std::regex_search(bytes, count, std::regex(R"(/Type\s*/Pages\b[^>]*?/Count\s+(\d+))"))
               ? std::stoi(count[1])
               : -1;
  }
};

}  // namespace

TEST_F(PrintExport, ThePreviewShowsThePagesThePrintCoreGives) {
  OpenShop();
  gMapDB->GoToPage(2);
  const struct {
    const char* name;
    QPrinter::PrintRange range;
    int from, to, pages;
  } cases[] = {{"all pages", QPrinter::AllPages, 0, 0, 3},
               {"a range", QPrinter::PageRange, 2, 3, 2},
               {"past the end", QPrinter::PageRange, 3, 9, 1},
               {"the page shown", QPrinter::Selection, 0, 0, 1}};
  int seen = 0;
  DialogAnswer answer([&](QDialog* dialog) {
    auto* previewDialog = qobject_cast<QPrintPreviewDialog*>(dialog);
    ASSERT_NE(previewDialog, nullptr) << dialog->objectName().toStdString();
    auto* preview = dialog->findChild<QPrintPreviewWidget*>();
    QPrinter* printer = previewDialog->printer();
    EXPECT_EQ(preview->pageCount(), 3) << "the whole document at first";
    for (const auto& c : cases) {
      // What the print dialog leaves on the printer when printing from the preview.
      printer->setPrintRange(c.range);
      if (c.range == QPrinter::PageRange) printer->setFromTo(c.from, c.to);
      preview->updatePreview();
      QPrinter pdf(QPrinter::HighResolution);
      pdf.setOutputFormat(QPrinter::PdfFormat);
      pdf.setOutputFileName(QString::fromStdString((folder_ / "core.pdf").string()));
      const MPrintChoice choice = c.range == QPrinter::AllPages    ? pcAllPages
                                  : c.range == QPrinter::Selection ? pcSelection
                                                                   : pcPageNumbers;
      EXPECT_EQ(preview->pageCount(), PrintDocument(pdf, choice, c.from, c.to)) << c.name;
      EXPECT_EQ(preview->pageCount(), c.pages) << c.name;
    }
    // Printing from the preview prints, with the range chosen last.
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString((folder_ / "printed.pdf").string()));
    preview->print();
    ++seen;
    dialog->reject();
  });
  Find<QAction>("miPrintPreview")->trigger();
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(PdfPageCount(folder_ / "printed.pdf"), 1);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(PrintExport, PdfOfAllPagesOrARange) {
  OpenShop();
  const ProgressWatch watch(false);
  for (const auto& [pages, count] : {std::pair{"", 3}, {"2-3", 2}, {"2-2", 1}}) {
    const fs::path file = folder_ / ("out" + std::string(pages) + ".pdf");
    ExportPdfTo(file, pages);
    ASSERT_TRUE(fs::exists(file)) << pages;
    EXPECT_EQ(PdfPageCount(file), count) << pages;
  }
  EXPECT_FALSE(fs::exists(folder_ / "out.pdf.part"));
  EXPECT_EQ(watch.shown, 0) << "short work shows no progress dialog";
  EXPECT_TRUE(messages_.empty());
}

TEST_F(PrintExport, PngPagesNamedAndSizedAsTheBatchModeMakesThem) {
  OpenShop();
  for (const int dpi : {96, 48}) {
    const fs::path dir = folder_ / ("png" + std::to_string(dpi));
    ExportPngTo(dir, dpi);
    const QSize size = PageImageSize(*gLayout, dpi);
    for (const char* name : {"page-001.png", "page-002.png", "page-003.png"}) {
      const QImage page(QString::fromStdString((dir / name).string()));
      EXPECT_EQ(page.size(), size) << dpi << " " << name;
    }
    EXPECT_FALSE(fs::exists(dir / "page-004.png"));
  }
  EXPECT_TRUE(messages_.empty());
}

TEST_F(PrintExport, ACancelLeavesNoFileAndNoHalfOpenDocument) {
  OpenShop();
  const ProgressWatch watch(true);
  ExportPdfTo(folder_ / "cancelled.pdf", "");
  EXPECT_FALSE(fs::exists(folder_ / "cancelled.pdf"));
  EXPECT_FALSE(fs::exists(folder_ / "cancelled.pdf.part"));
  ExportPngTo(folder_ / "cancelled", 96);
  EXPECT_FALSE(fs::exists(folder_ / "cancelled"));
  // A cancelled preview closes; exec would not return otherwise.
  Find<QAction>("miPrintPreview")->trigger();
  EXPECT_EQ(watch.shown, 3);
  EXPECT_TRUE(HasDocument());

  EXPECT_FALSE(window_->OpenDocument(folder_.SjisPath("shop.map")));
  EXPECT_EQ(watch.shown, 4);
  EXPECT_FALSE(HasDocument());
  EXPECT_EQ(gUnmapDB->Count(), 0);
  EXPECT_EQ(window_->windowTitle(), "Tessora");
  for (const char* command : {"miSave", "miPrint", "miPrintPreview", "miExportPdf", "miExportPng"})
    EXPECT_FALSE(Find<QAction>(command)->isEnabled()) << command;
  EXPECT_TRUE(messages_.empty()) << "a cancel shows no box";
}
