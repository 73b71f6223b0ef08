// The CSV export dialog: the encoding (UTF-8 with a byte order mark, so that spreadsheets show
// Japanese, or Shift-JIS), the separator, and whether the unplaced and trash lists follow the pages.
#pragma once

#include <QDialog>

#include "base/Csv.h"

class QCheckBox;
class QComboBox;
class QPushButton;

class TdlgCsvExport : public QDialog {
  Q_OBJECT

 public:
  explicit TdlgCsvExport(QWidget* parent = nullptr);

  base::CsvWriteOptions Options() const;
  bool WithLists() const;

  // The choices, as the user makes them (also for tests).
  void SelectEncoding(base::CsvEncoding encoding);
  void SetWithLists(bool on);

 private:
  QComboBox* cbxEncoding = nullptr;
  QComboBox* cbxSeparator = nullptr;
  QCheckBox* chkLists = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
};
