// Printing and exporting: the print dialog (a CUPS queue or a PDF file; all pages, page numbers, or
// the selection meaning the page shown; copies and collation); the print preview; the PDF and PNG
// exports. All of them go through the engine's print core and page pictures, so paper, preview and
// files agree. Paper goes to the queue as a PDF through libcups, drawn first and sent afterwards: a
// cancelled print sends nothing, and the server's refusal is shown.
#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "app/cli/ExportActions.h"
#include "app/dialogs/ExportDialog.h"
#include "app/dialogs/PrintDialog.h"
#include "app/platform/CupsQueues.h"
#include "app/window/MainWindow.h"
#include "base/Error.h"
#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"
#include "render/PageOutput.h"
#include "render/QtText.h"

namespace {

// What the print dialog chose, as it leaves it on the printer: all pages, the page shown, or page
// numbers. The preview reads it too, when the user prints from there.
MPrintChoice ChoiceOf(const QPrinter& printer) {
  switch (printer.printRange()) {
    case QPrinter::Selection:
      return pcSelection;
    case QPrinter::PageRange:
      return pcPageNumbers;
    default:
      return pcAllPages;
  }
}

void PrintWithChoice(QPrinter& printer) {
  PrintDocument(printer, ChoiceOf(printer), printer.fromPage(), printer.toPage());
}

// The preview's print button: the action Qt names "Print" in its tool bar.
QAction* PreviewPrintAction(QPrintPreviewDialog& dialog) {
  const QString caption = QCoreApplication::translate("QPrintPreviewDialog", "Print");
  for (QAction* action : dialog.findChildren<QAction*>()) {
    if (action->text() == caption) return action;
  }
  return nullptr;
}

// The document's own name with the given suffix, in its folder; empty without a name.
QString BesideDocument(const QString& suffix) {
  // An untitled document is proposed beside its layout.
  const QFileInfo document(FromSjis(ProposedDocumentPath()));
  if (ProposedDocumentPath().empty()) return {};
  return document.absolutePath() + "/" + document.completeBaseName() + suffix;
}

}  // namespace

void TfmMain::Print() {
  if (!HasDocument()) return;
  CommitEdit();  // paper shows what was typed
  std::vector<MPrintQueue> queues;
  try {
    queues = ListPrintQueues();
  } catch (const base::Error&) {
    // No print server: the dialog offers the PDF file and says there is no printer.
  }
  TdlgPrint dialog(queues, gMapDB->PageCount(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const MPrintRange range = PrintRange(dialog.Choice(), gMapDB->PageCount(), gMapDB->CurrentPage(),
                                       dialog.FromPage(), dialog.ToPage());
  if (dialog.ToPdfFile()) {
    const QString file = ChooseFile(true, "PDFに印刷", BesideDocument(".pdf"), MFileKind::Pdf);
    if (file.isEmpty()) return;
    RunWithProgress("印刷しています...", [&] { ExportPdf(file.toStdString(), range)->Commit(); });
    return;
  }
  RunWithProgress("印刷しています...",
                  [&] { PrintToQueue(dialog.Queue(), range, dialog.Copies(), dialog.Collate())->Commit(); });
}

void TfmMain::PrintPreview() {
  if (!HasDocument()) return;
  CommitEdit();
  QPrinter printer(QPrinter::HighResolution);
  // The whole document; printing from the preview asks again.
  printer.setPrintRange(QPrinter::AllPages);
  printer.setFromTo(1, std::max(1, gMapDB->PageCount()));
  QPrintPreviewDialog dialog(&printer, this);
  dialog.setObjectName("dlgPrintPreview");
  dialog.setWindowTitle("印刷プレビュー");
  dialog.setAccessibleName(dialog.windowTitle());
  dialog.resize(width() * 4 / 5, height() * 9 / 10);  // pages big enough to read
  // Its print button would print through Qt's own printer; paper takes the print command's way.
  bool printAfter = false;
  if (QAction* print = PreviewPrintAction(dialog)) {
    print->disconnect(&dialog);
    connect(print, &QAction::triggered, &dialog, [&] {
      printAfter = true;
      dialog.accept();
    });
  }
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter* target) {
    // The first drawing comes before the dialog shows, with progress. Later ones are prints from it,
    // or its pages drawn anew (another orientation) while it shows: then it would paint the pages
    // being replaced if the event loop ran, so that drawing goes without progress.
    const bool shown = dialog.isVisible();
    const bool redraw = shown && target->paintEngine()->type() == QPaintEngine::Picture;
    const auto draw = [&] { PrintWithChoice(*target); };
    const bool drawn =
        redraw ? Run(draw)
               : RunWithProgress(shown ? "印刷しています..." : "印刷プレビューを作成しています...", draw,
                                 shown ? static_cast<QWidget*>(&dialog) : this);
    // Half a document is no preview: a drawing that failed or was cancelled closes it.
    if (!drawn) QMetaObject::invokeMethod(&dialog, &QDialog::reject, Qt::QueuedConnection);
  });
  dialog.exec();
  if (printAfter) Print();
}

void TfmMain::ExportToPdf() {
  if (!HasDocument()) return;
  CommitEdit();
  const QString file = ChooseFile(true, "PDFに書き出し", BesideDocument(".pdf"), MFileKind::Pdf);
  if (file.isEmpty()) return;
  TdlgExport options(TdlgExport::ekPdf, gMapDB->PageCount(), this);
  if (options.exec() != QDialog::Accepted) return;
  RunWithProgress("PDFに書き出しています...",
                  [&] { ExportPdf(file.toStdString(), options.Pages())->Commit(); });
}

void TfmMain::ExportToPng() {
  if (!HasDocument()) return;
  CommitEdit();
  const QString beside = BesideDocument("");
  const QString folder =
      ChooseFile(true, "画像に書き出し", beside.isEmpty() ? QString() : QFileInfo(beside).absolutePath(),
                 MFileKind::Folder);
  if (folder.isEmpty()) return;
  TdlgExport options(TdlgExport::ekPng, gMapDB->PageCount(), this);
  if (options.exec() != QDialog::Accepted) return;
  RunWithProgress("画像に書き出しています...",
                  [&] { ExportPng(folder.toStdString(), options.Dpi())->Commit(); });
}
