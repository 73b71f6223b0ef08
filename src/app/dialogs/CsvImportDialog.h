// The CSV import dialog: the first records of a file, the block class to make, the encoding, the
// separator, whether the first record is a header, and which column feeds which field. Everything it
// shows comes from the engine (data/CsvImport.h); it only lets the user change the choices.
#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "app/DocumentContext.h"
#include "data/CsvImport.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

class TdlgCsvImport : public QDialog {
  Q_OBJECT

 public:
  // bytes: the whole file; fileName for the title. The classes are those of the document's layout.
  TdlgCsvImport(const MDocumentContext& document, std::string bytes, const QString& fileName,
                QWidget* parent = nullptr);

  // The import as chosen; valid only when Ready().
  const MCsvImport& Import() const { return import_; }
  bool Ready() const { return ready_; }
  // The message under the tables: what will be added, or why nothing can be.
  QString Message() const;

  // The choices, as the user makes them (also for tests).
  void SelectClass(int index);
  void SelectEncoding(base::CsvEncoding encoding);
  void SelectSeparator(char separator);
  void SetHeader(bool header);
  // Column (from 0) feeds field (an index of Import().Fields), or nothing for -1.
  void AssignColumn(int column, int field);

 private:
  // Reads the bytes again with the chosen encoding and separator (detected the first time).
  void Reparse(bool detect);
  // The class chosen anew: fields and columns matched again.
  void Replan();
  void Refresh();
  void FillPreview();
  void FillColumns();

  const MDocumentContext& document_;
  std::string bytes_;
  base::CsvTable table_;
  MCsvImport import_;
  bool parsed_ = false;
  bool ready_ = false;
  QString error_;

  QComboBox* cbxClass = nullptr;
  QComboBox* cbxEncoding = nullptr;
  QComboBox* cbxSeparator = nullptr;
  QCheckBox* chkHeader = nullptr;
  QTableWidget* tblPreview = nullptr;
  QTableWidget* tblColumns = nullptr;
  QLabel* lblMessage = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
};
