// The print dialog: where the pages go (a CUPS queue, the default queue chosen, or a PDF file),
// which pages (all, the page shown, or page numbers from one to another) and how many copies,
// collated or not. It opens with page numbers from 1 to 1, one copy and collation off; with no queue
// at all it says so and offers the PDF file only.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "app/platform/CupsQueues.h"
#include "render/PrinterCanvas.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QSpinBox;

class TdlgPrint : public QDialog {
  Q_OBJECT

 public:
  // queues: the server's queues (none when there is no server); pageCount: the largest page number.
  TdlgPrint(const std::vector<MPrintQueue>& queues, int pageCount, QWidget* parent = nullptr);

  // The queue chosen (UTF-8); empty for the PDF file.
  std::string Queue() const;
  bool ToPdfFile() const { return Queue().empty(); }
  MPrintChoice Choice() const;
  int FromPage() const;
  int ToPage() const;
  int Copies() const;
  bool Collate() const;

 private:
  void PrinterChanged();

  QComboBox* cbxPrinter = nullptr;
  QLabel* lblNoPrinter = nullptr;
  QRadioButton* rbAllPages = nullptr;
  QRadioButton* rbSelection = nullptr;
  QRadioButton* rbPageRange = nullptr;
  QSpinBox* edtFromPage = nullptr;
  QSpinBox* edtToPage = nullptr;
  QSpinBox* edtCopies = nullptr;
  QCheckBox* chkCollate = nullptr;
};
