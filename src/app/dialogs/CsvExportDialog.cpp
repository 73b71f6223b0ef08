#include "app/dialogs/CsvExportDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void Name(QWidget* widget, const char* name, const QString& hint) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setAccessibleName(hint);
}

}  // namespace

TdlgCsvExport::TdlgCsvExport(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("dlgCsvExport"));
  setWindowTitle(QStringLiteral("ページをCSVに書き出し"));
  setAccessibleName(windowTitle());

  cbxEncoding = new QComboBox(this);
  Name(cbxEncoding, "cbxEncoding", QStringLiteral("文字コード"));
  cbxEncoding->addItems({QStringLiteral("UTF-8 (BOM 付き)"), QStringLiteral("Shift-JIS")});
  cbxSeparator = new QComboBox(this);
  Name(cbxSeparator, "cbxSeparator", QStringLiteral("区切り文字"));
  cbxSeparator->addItems(
      {QStringLiteral("カンマ (,)"), QStringLiteral("タブ"), QStringLiteral("セミコロン (;)")});
  chkLists = new QCheckBox(QStringLiteral("未配置とごみ箱のブロックも書き出す(&L)"), this);
  Name(chkLists, "chkLists", QStringLiteral("未配置とごみ箱のブロックも書き出す"));

  btnOK = new QPushButton(QStringLiteral("O K"), this);
  Name(btnOK, "btnOK", QStringLiteral("OK"));
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("キャンセル"), this);
  Name(btnCancel, "btnCancel", QStringLiteral("キャンセル"));
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("文字コード(&E):"), cbxEncoding);
  form->addRow(QStringLiteral("区切り文字(&S):"), cbxSeparator);
  form->addRow(QString(), chkLists);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addLayout(buttons);
}

base::CsvWriteOptions TdlgCsvExport::Options() const {
  base::CsvWriteOptions options;
  options.Encoding = cbxEncoding->currentIndex() == 1 ? base::CsvEncoding::Sjis : base::CsvEncoding::Utf8;
  options.ByteOrderMark = true;
  options.Separator = ",\t;"[std::max(0, cbxSeparator->currentIndex())];
  return options;
}

bool TdlgCsvExport::WithLists() const { return chkLists->isChecked(); }

void TdlgCsvExport::SelectEncoding(base::CsvEncoding encoding) {
  cbxEncoding->setCurrentIndex(encoding == base::CsvEncoding::Sjis ? 1 : 0);
}

void TdlgCsvExport::SetWithLists(bool on) { chkLists->setChecked(on); }
