// Records in and out: blocks added from a CSV file, the pages written as one. The reading, the
// matching of columns and the writing are the engine's (data/CsvImport.h); the window asks for the
// file and the choices and refreshes from the command's report.
#include <QFileDialog>
#include <QFileInfo>

#include "app/dialogs/CsvExportDialog.h"
#include "app/dialogs/CsvImportDialog.h"
#include "app/window/MainWindow.h"
#include "data/CsvImport.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"
#include "render/QtText.h"

namespace {
const QString kCsvFilter = QStringLiteral("CSV (*.csv *.txt *.tsv);;すべてのファイル (*)");
}  // namespace

QString TfmMain::ChooseCsvFile(bool save, const QString& title, const QString& proposed) {
  if (ChooseFileForTest) return ChooseFileForTest(save, title, proposed);
  QFileDialog dialog(this, title, proposed.isEmpty() ? dialogFolder_ : proposed, kCsvFilter);
  dialog.setObjectName(save ? "dlgSaveCsv" : "dlgOpenCsv");
  dialog.setDefaultSuffix("csv");
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

void TfmMain::ImportCsv() {
  if (!doc_.Open()) return;
  CommitEdit();
  // Records usually lie beside the document, not in the program's folder.
  // (An untitled document's folder is its layout's.)
  const std::string document = ProposedDocumentPath();
  const QString folder = document.empty() ? QString() : QFileInfo(FromSjis(document)).absolutePath();
  const QString chosen = ChooseCsvFile(false, QStringLiteral("CSV ファイルの選択"), folder);
  if (chosen.isEmpty()) return;
  std::string bytes;
  if (!Run([&] { bytes = ReadCsvFile(ToSjis(chosen)); })) return;
  TdlgCsvImport dialog(doc_, std::move(bytes), chosen, this);
  const bool accepted = CsvImportForTest ? CsvImportForTest(dialog) : dialog.exec() == QDialog::Accepted;
  if (!accepted || !dialog.Ready()) return;
  Run([&] { ApplyReport(::ImportCsv(dialog.Import())); });
}

void TfmMain::ExportCsv() {
  if (!doc_.Open()) return;
  CommitEdit();
  TdlgCsvExport dialog(this);
  const bool accepted = CsvExportForTest ? CsvExportForTest(dialog) : dialog.exec() == QDialog::Accepted;
  if (!accepted) return;
  const QFileInfo document(FromSjis(ProposedDocumentPath()));
  const QString proposed = ProposedDocumentPath().empty()
                               ? QString()
                               : document.absolutePath() + '/' + document.completeBaseName() + ".csv";
  const QString chosen = ChooseCsvFile(true, QStringLiteral("CSV ファイルに書き出し"), proposed);
  if (chosen.isEmpty()) return;
  Run([&] { WriteCsvFile(ToSjis(chosen), DocumentCsvBytes(dialog.Options(), dialog.WithLists())); });
}
