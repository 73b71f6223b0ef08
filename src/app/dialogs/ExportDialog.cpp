#include "app/dialogs/ExportDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "app/dialogs/DialogParts.h"

TdlgExport::TdlgExport(Kind kind, int pageCount, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(kind == ekPdf ? QStringLiteral("dlgExportPdf") : QStringLiteral("dlgExportPng"));
  setWindowTitle(kind == ekPdf ? QStringLiteral("PDFに書き出し") : QStringLiteral("画像に書き出し"));
  setAccessibleName(windowTitle());
  auto* column = new QVBoxLayout(this);

  if (kind == ekPdf) {
    rbAllPages = new QRadioButton(QStringLiteral("すべてのページ(&A)"), this);
    NameControl(rbAllPages, "rbAllPages", QStringLiteral("すべてのページ"));
    rbAllPages->setChecked(true);
    column->addWidget(rbAllPages);
    MPageRangeControls range;
    column->addLayout(PageRangeRow(this, pageCount, 1, pageCount, range));
    rbPageRange = range.Range;
    edtFromPage = range.From;
    edtToPage = range.To;
  } else {
    auto* form = new QFormLayout;
    edtDpi = new QSpinBox(this);
    NameControl(edtDpi, "edtDpi", QStringLiteral("解像度 (dpi)"));
    edtDpi->setRange(10, 1200);
    edtDpi->setValue(96);
    form->addRow(QStringLiteral("解像度 (dpi)(&R)"), edtDpi);
    column->addLayout(form);
  }

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("O K"), QDialogButtonBox::AcceptRole);
  NameControl(ok, "btnOK", QStringLiteral("OK"));
  ok->setDefault(true);
  QPushButton* cancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  NameControl(cancel, "btnCancel", QStringLiteral("キャンセル"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  column->addWidget(buttons);
}

std::string TdlgExport::Pages() const {
  if (rbPageRange == nullptr || !rbPageRange->isChecked()) return {};
  return std::to_string(edtFromPage->value()) + "-" + std::to_string(edtToPage->value());
}

std::string TdlgExport::Dpi() const {
  return edtDpi == nullptr ? std::string() : std::to_string(edtDpi->value());
}
