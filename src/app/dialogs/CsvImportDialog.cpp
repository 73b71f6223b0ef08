#include "app/dialogs/CsvImportDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/dialogs/DialogParts.h"
#include "base/Error.h"
#include "data/MapFile.h"
#include "layout/Containers.h"
#include "layout/Layout.h"
#include "render/QtText.h"

namespace {

// Records shown in the preview; the import takes all of them.
constexpr int kPreviewRecords = 20;
const char* const kSeparators = ",\t;";

// A field as the column combo boxes show it: its key, then what the class makes of it.
QString FieldCaption(const MCsvField& field) {
  QStringList marks;
  if (field.IsKey) marks << QStringLiteral("キー");
  if (field.IsFace) marks << QStringLiteral("表示名");
  if (field.IsThumbnail) marks << QStringLiteral("サムネイル");
  if (field.IsSearch) marks << QStringLiteral("検索");
  const QString key = FromSjis(field.Key);
  return marks.isEmpty() ? key : key + QStringLiteral(" (") + marks.join(QStringLiteral("・")) + ')';
}

// A field's text in one table cell: its line breaks shown as the data file holds them.
QString CellText(const std::string& sjis) {
  QString text = FromSjis(sjis);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
  text.replace('\n', QStringLiteral("<br>"));
  text.replace('\r', QStringLiteral("<br>"));
  return text;
}

}  // namespace

TdlgCsvImport::TdlgCsvImport(const MDocumentContext& document, std::string bytes, const QString& fileName,
                             QWidget* parent)
    : QDialog(parent), document_(document), bytes_(std::move(bytes)) {
  setObjectName(QStringLiteral("dlgCsvImport"));
  setWindowTitle(QStringLiteral("CSVから未配置ブロックを追加 - ") + QFileInfo(fileName).fileName());
  setAccessibleName(windowTitle());
  resize(760, 560);

  cbxClass = new QComboBox(this);
  NameControl(cbxClass, "cbxClass", QStringLiteral("ブロッククラス"));
  for (const auto& block : document_.Layout.Blocks) cbxClass->addItem(FromSjis(block->Name));
  cbxEncoding = new QComboBox(this);
  NameControl(cbxEncoding, "cbxEncoding", QStringLiteral("文字コード"));
  cbxEncoding->addItem(QStringLiteral("UTF-8"));
  cbxEncoding->addItem(QStringLiteral("Shift-JIS"));
  cbxSeparator = new QComboBox(this);
  NameControl(cbxSeparator, "cbxSeparator", QStringLiteral("区切り文字"));
  cbxSeparator->addItems(
      {QStringLiteral("カンマ (,)"), QStringLiteral("タブ"), QStringLiteral("セミコロン (;)")});
  chkHeader = new QCheckBox(QStringLiteral("1 行目は見出し(&H)"), this);
  NameControl(chkHeader, "chkHeader", QStringLiteral("1 行目は見出し"));

  auto* choices = new QFormLayout;
  choices->addRow(QStringLiteral("ブロッククラス(&B):"), cbxClass);
  choices->addRow(QStringLiteral("文字コード(&E):"), cbxEncoding);
  choices->addRow(QStringLiteral("区切り文字(&S):"), cbxSeparator);
  choices->addRow(QString(), chkHeader);

  tblPreview = new QTableWidget(this);
  NameControl(tblPreview, "tblPreview", QStringLiteral("先頭の行"));
  tblPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tblColumns = new QTableWidget(this);
  NameControl(tblColumns, "tblColumns", QStringLiteral("列の割り当て"));
  tblColumns->setColumnCount(3);
  tblColumns->setHorizontalHeaderLabels(
      {QStringLiteral("列"), QStringLiteral("見出し / 最初の値"), QStringLiteral("ブロックの項目")});
  tblColumns->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tblColumns->verticalHeader()->hide();
  tblColumns->horizontalHeader()->setStretchLastSection(true);
  lblMessage = new QLabel(this);
  NameControl(lblMessage, "lblMessage", QStringLiteral("メッセージ"));
  lblMessage->setWordWrap(true);
  lblMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);

  QHBoxLayout* buttons = OkCancelRow(this, btnOK, btnCancel);

  auto* column = new QVBoxLayout(this);
  column->addLayout(choices);
  auto* previewLabel = new QLabel(QStringLiteral("先頭の行(&P):"), this);
  previewLabel->setBuddy(tblPreview);
  column->addWidget(previewLabel);
  column->addWidget(tblPreview, 3);
  auto* columnsLabel = new QLabel(QStringLiteral("列の割り当て(&C):"), this);
  columnsLabel->setBuddy(tblColumns);
  column->addWidget(columnsLabel);
  column->addWidget(tblColumns, 2);
  column->addWidget(lblMessage);
  column->addLayout(buttons);

  connect(cbxClass, &QComboBox::currentIndexChanged, this, [this] { Replan(); });
  connect(cbxEncoding, &QComboBox::currentIndexChanged, this, [this] { Reparse(false); });
  connect(cbxSeparator, &QComboBox::currentIndexChanged, this, [this] { Reparse(false); });
  connect(chkHeader, &QCheckBox::toggled, this, [this](bool on) {
    if (!parsed_ || import_.HasHeader == on) return;
    import_.HasHeader = on;
    MatchCsvColumns(import_);
    Refresh();
  });
  Reparse(true);
}

void TdlgCsvImport::Reparse(bool detect) {
  base::CsvReadOptions options;
  if (!detect) {
    options.Encoding = cbxEncoding->currentIndex() == 1 ? base::CsvEncoding::Sjis : base::CsvEncoding::Utf8;
    options.Separator = kSeparators[std::max(0, cbxSeparator->currentIndex())];
  }
  try {
    table_ = base::ReadCsv(bytes_, options);
    parsed_ = true;
    error_.clear();
  } catch (const base::Error& error) {
    table_ = {};
    parsed_ = false;
    error_ = FromSjis(error.what());
  }
  if (detect) {
    // What was detected becomes the choice shown; without a parse, the detection of the bytes alone.
    const QSignalBlocker quietEncoding(cbxEncoding);
    const QSignalBlocker quietSeparator(cbxSeparator);
    const base::CsvEncoding encoding = parsed_ ? table_.Encoding : base::DetectCsvEncoding(bytes_);
    const char separator = parsed_ ? table_.Separator : base::DetectCsvSeparator(bytes_);
    cbxEncoding->setCurrentIndex(encoding == base::CsvEncoding::Sjis ? 1 : 0);
    cbxSeparator->setCurrentIndex(separator == '\t' ? 1 : separator == ';' ? 2 : 0);
  }
  Replan();
}

void TdlgCsvImport::Replan() {
  ready_ = false;
  if (parsed_) {
    try {
      import_ = PlanCsvImport(document_.Layout, document_.File, ToSjis(cbxClass->currentText()), table_);
      ready_ = true;
      error_.clear();
    } catch (const base::Error& error) {
      error_ = FromSjis(error.what());
    }
  }
  if (!ready_) import_ = {};
  FillPreview();
  Refresh();
}

void TdlgCsvImport::Refresh() {
  {
    const QSignalBlocker quiet(chkHeader);
    chkHeader->setChecked(ready_ && import_.HasHeader);
    chkHeader->setEnabled(ready_);
  }
  FillColumns();
  const bool feeds =
      std::any_of(import_.Columns.begin(), import_.Columns.end(), [](int f) { return f >= 0; });
  btnOK->setEnabled(ready_ && feeds && import_.RecordCount() > 0);
  lblMessage->setText(Message());
  QPalette palette = lblMessage->palette();
  palette.setColor(QPalette::WindowText, btnOK->isEnabled() ? QColor(Qt::black) : QColor(Qt::darkRed));
  lblMessage->setPalette(palette);
}

QString TdlgCsvImport::Message() const {
  if (!error_.isEmpty()) return error_;
  if (!ready_) return {};
  if (import_.RecordCount() == 0) return QStringLiteral("見出しのほかに行がありません。");
  if (std::none_of(import_.Columns.begin(), import_.Columns.end(), [](int f) { return f >= 0; }))
    return QStringLiteral("ブロックの項目に割り当てた列がありません。");
  return QStringLiteral("%1 個のブロックを未配置に追加します。").arg(import_.RecordCount());
}

void TdlgCsvImport::FillPreview() {
  tblPreview->clear();
  const int width = static_cast<int>(table_.Width());
  const int rows = std::min<int>(kPreviewRecords, static_cast<int>(table_.Rows.size()));
  tblPreview->setColumnCount(width);
  tblPreview->setRowCount(rows);
  QStringList lines;
  for (int r = 0; r < rows; ++r) {
    lines << QString::number(table_.Lines[static_cast<std::size_t>(r)]);
    const std::vector<std::string>& record = table_.Rows[static_cast<std::size_t>(r)];
    for (int c = 0; c < width && c < static_cast<int>(record.size()); ++c)
      tblPreview->setItem(r, c, new QTableWidgetItem(CellText(record[static_cast<std::size_t>(c)])));
  }
  tblPreview->setVerticalHeaderLabels(lines);  // the file's line numbers, as the messages name them
}

void TdlgCsvImport::FillColumns() {
  const int width = static_cast<int>(table_.Width());
  tblColumns->setRowCount(ready_ ? width : 0);
  if (!ready_) return;
  const std::vector<std::string>& first = table_.Rows.front();
  for (int c = 0; c < width; ++c) {
    tblColumns->setItem(c, 0, new QTableWidgetItem(QString::number(c + 1)));
    tblColumns->setItem(c, 1, new QTableWidgetItem(CellText(first[static_cast<std::size_t>(c)])));
    auto* combo = qobject_cast<QComboBox*>(tblColumns->cellWidget(c, 2));
    if (combo == nullptr) {
      combo = new QComboBox;
      combo->setObjectName(QStringLiteral("cbxColumn%1").arg(c + 1));
      combo->setAccessibleName(QStringLiteral("列 %1 の項目").arg(c + 1));
      tblColumns->setCellWidget(c, 2, combo);
      connect(combo, &QComboBox::activated, this, [this, c](int index) { AssignColumn(c, index - 1); });
    }
    const QSignalBlocker quiet(combo);
    combo->clear();
    combo->addItem(QStringLiteral("(使わない)"));
    for (const MCsvField& field : import_.Fields) combo->addItem(FieldCaption(field));
    combo->setCurrentIndex(import_.Columns[static_cast<std::size_t>(c)] + 1);
  }
  tblColumns->resizeColumnToContents(0);
}

void TdlgCsvImport::SelectClass(int index) { cbxClass->setCurrentIndex(index); }

void TdlgCsvImport::SelectEncoding(base::CsvEncoding encoding) {
  cbxEncoding->setCurrentIndex(encoding == base::CsvEncoding::Sjis ? 1 : 0);
}

void TdlgCsvImport::SelectSeparator(char separator) {
  cbxSeparator->setCurrentIndex(separator == '\t' ? 1 : separator == ';' ? 2 : 0);
}

void TdlgCsvImport::SetHeader(bool header) { chkHeader->setChecked(header); }

void TdlgCsvImport::AssignColumn(int column, int field) {
  if (!ready_ || column < 0 || column >= static_cast<int>(import_.Columns.size())) return;
  if (field < -1 || field >= static_cast<int>(import_.Fields.size())) return;
  // A field is fed by one column: the one it had gives it up.
  if (field >= 0) {
    for (int& f : import_.Columns) {
      if (f == field) f = -1;
    }
  }
  import_.Columns[static_cast<std::size_t>(column)] = field;
  Refresh();
}
