// The choices of an export from the window, asked after its file or folder: the pages of a PDF (all,
// or from one page to another) or the resolution of the page pictures. The answers are in the form
// the batch mode's --pages and --dpi take, so that both exports check them the same way.
#pragma once

#include <QDialog>
#include <string>

class QRadioButton;
class QSpinBox;

class TdlgExport : public QDialog {
  Q_OBJECT

 public:
  enum Kind { ekPdf, ekPng };
  // pageCount: the document's pages, the largest page number to offer.
  TdlgExport(Kind kind, int pageCount, QWidget* parent = nullptr);

  // "" for all pages, otherwise "FIRST-LAST" (PDF).
  std::string Pages() const;
  // Dots per inch (PNG).
  std::string Dpi() const;

 private:
  QRadioButton* rbAllPages = nullptr;
  QRadioButton* rbPageRange = nullptr;
  QSpinBox* edtFromPage = nullptr;
  QSpinBox* edtToPage = nullptr;
  QSpinBox* edtDpi = nullptr;
};
