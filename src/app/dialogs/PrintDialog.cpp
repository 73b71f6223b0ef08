#include "app/dialogs/PrintDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/dialogs/DialogParts.h"

namespace {

constexpr int kMaxCopies = 999;

// How a queue is shown in the list: its name, and what keeps it from printing now.
QString QueueCaption(const MPrintQueue& queue) {
  QString caption = QString::fromStdString(queue.Name);
  if (queue.IsDefault) caption += QStringLiteral(" (既定)");
  if (queue.State == "stopped") caption += QStringLiteral(" - 停止中");
  if (queue.State == "rejecting") caption += QStringLiteral(" - 受付停止中");
  return caption;
}

}  // namespace

TdlgPrint::TdlgPrint(const std::vector<MPrintQueue>& queues, int pageCount, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("dlgPrint"));
  setWindowTitle(QStringLiteral("印刷"));
  setAccessibleName(windowTitle());
  auto* column = new QVBoxLayout(this);

  auto* where = new QFormLayout;
  cbxPrinter = new QComboBox(this);
  NameControl(cbxPrinter, "cbxPrinter", QStringLiteral("プリンター"));
  // Room for a queue's name and its state.
  cbxPrinter->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cbxPrinter->setMinimumContentsLength(28);
  for (const MPrintQueue& queue : queues) {
    cbxPrinter->addItem(QueueCaption(queue), QString::fromStdString(queue.Name));
    if (queue.IsDefault) cbxPrinter->setCurrentIndex(cbxPrinter->count() - 1);
  }
  // Data left empty: the PDF file, after the queues.
  cbxPrinter->addItem(QStringLiteral("PDFファイル"), QString());
  where->addRow(QStringLiteral("プリンター(&N)"), cbxPrinter);
  column->addLayout(where);
  lblNoPrinter = new QLabel(QStringLiteral("プリンターがありません。PDFファイルに印刷できます。"), this);
  NameControl(lblNoPrinter, "lblNoPrinter", lblNoPrinter->text());
  lblNoPrinter->setVisible(queues.empty());
  column->addWidget(lblNoPrinter);

  auto* pages = new QGroupBox(QStringLiteral("印刷範囲"), this);
  NameControl(pages, "grpPages", pages->title());
  auto* pageColumn = new QVBoxLayout(pages);
  rbAllPages = new QRadioButton(QStringLiteral("すべてのページ(&A)"), pages);
  NameControl(rbAllPages, "rbAllPages", QStringLiteral("すべてのページ"));
  rbAllPages->setChecked(true);
  pageColumn->addWidget(rbAllPages);
  rbSelection = new QRadioButton(QStringLiteral("現在のページ(&C)"), pages);
  NameControl(rbSelection, "rbSelection", QStringLiteral("現在のページ"));
  pageColumn->addWidget(rbSelection);
  MPageRangeControls range;
  // The group's layout takes the row's controls into the group, where its radio buttons exclude
  // each other.
  pageColumn->addLayout(PageRangeRow(this, pageCount, 1, 1, range));
  rbPageRange = range.Range;
  edtFromPage = range.From;
  edtToPage = range.To;
  column->addWidget(pages);

  auto* copies = new QHBoxLayout;
  edtCopies = new QSpinBox(this);
  NameControl(edtCopies, "edtCopies", QStringLiteral("部数"));
  edtCopies->setRange(1, kMaxCopies);
  edtCopies->setValue(1);
  auto* copiesLabel = new QLabel(QStringLiteral("部数(&U)"), this);
  copiesLabel->setBuddy(edtCopies);
  copies->addWidget(copiesLabel);
  copies->addWidget(edtCopies);
  chkCollate = new QCheckBox(QStringLiteral("部単位で印刷(&O)"), this);
  NameControl(chkCollate, "chkCollate", QStringLiteral("部単位で印刷"));
  chkCollate->setChecked(false);
  copies->addWidget(chkCollate);
  copies->addStretch();
  column->addLayout(copies);

  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
  column->addLayout(OkCancelRow(this, ok, cancel));
  connect(cbxPrinter, &QComboBox::currentIndexChanged, this, &TdlgPrint::PrinterChanged);
  PrinterChanged();
}

void TdlgPrint::PrinterChanged() {
  // A PDF file is written once: copies are for paper.
  edtCopies->setEnabled(!ToPdfFile());
  chkCollate->setEnabled(!ToPdfFile());
}

std::string TdlgPrint::Queue() const { return cbxPrinter->currentData().toString().toStdString(); }

MPrintChoice TdlgPrint::Choice() const {
  if (rbSelection->isChecked()) return pcSelection;
  if (rbPageRange->isChecked()) return pcPageNumbers;
  return pcAllPages;
}

int TdlgPrint::FromPage() const { return edtFromPage->value(); }
int TdlgPrint::ToPage() const { return edtToPage->value(); }
int TdlgPrint::Copies() const { return ToPdfFile() ? 1 : edtCopies->value(); }
bool TdlgPrint::Collate() const { return !ToPdfFile() && chkCollate->isChecked(); }
