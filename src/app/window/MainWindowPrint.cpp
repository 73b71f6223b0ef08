// The print command: the print dialog with all pages, page numbers from 1 to the page count and the
// selection meaning the page shown, then the engine's print core, so that paper gets what the PDF
// export writes.
#include <QPrintDialog>
#include <QPrinter>

#include "app/window/MainWindow.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"
#include "render/PageOutput.h"

void TfmMain::Print() {
  if (!HasDocument()) return;
  CommitBeforeLeavingThePage();  // paper shows what was typed
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  dialog.setObjectName("dlgPrint");
  dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintSelection |
                    QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
  dialog.setMinMax(1, std::max(1, gMapDB->PageCount()));
  dialog.setFromTo(1, std::max(1, gMapDB->PageCount()));
  if (dialog.exec() != QDialog::Accepted) return;
  MPrintChoice choice = pcAllPages;
  if (dialog.printRange() == QAbstractPrintDialog::Selection) choice = pcSelection;
  if (dialog.printRange() == QAbstractPrintDialog::PageRange) choice = pcPageNumbers;
  const int from = printer.fromPage(), to = printer.toPage();
  Run([&] { PrintDocument(printer, choice, from, to); });
}
