#include "app/dialogs/CsvExportDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/DialogParts.h"

TdlgCsvExport::TdlgCsvExport(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("dlgCsvExport"));
  setWindowTitle(QStringLiteral("ページをCSVに書き出し"));
  setAccessibleName(windowTitle());

  cbxEncoding = new QComboBox(this);
  NameControl(cbxEncoding, "cbxEncoding", QStringLiteral("文字コード"));
  cbxEncoding->addItems({QStringLiteral("UTF-8 (BOM 付き)"), QStringLiteral("Shift-JIS")});
  cbxSeparator = new QComboBox(this);
  NameControl(cbxSeparator, "cbxSeparator", QStringLiteral("区切り文字"));
  cbxSeparator->addItems(
      {QStringLiteral("カンマ (,)"), QStringLiteral("タブ"), QStringLiteral("セミコロン (;)")});
  chkLists = new QCheckBox(QStringLiteral("未配置とごみ箱のブロックも書き出す(&L)"), this);
  NameControl(chkLists, "chkLists", QStringLiteral("未配置とごみ箱のブロックも書き出す"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("文字コード(&E):"), cbxEncoding);
  form->addRow(QStringLiteral("区切り文字(&S):"), cbxSeparator);
  form->addRow(QString(), chkLists);
  QHBoxLayout* buttons = OkCancelRow(this, btnOK, btnCancel);
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
