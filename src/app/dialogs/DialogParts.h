// Pieces every dialog of the editor builds alike.
#pragma once

#include <QString>

#include "app/platform/ControlNames.h"

class QDialog;
class QHBoxLayout;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;

// The dialog's "O K" (the default) and "キャンセル" buttons, named btnOK and btnCancel, accepting and
// rejecting it; returned right-aligned in a row for the dialog's layout.
QHBoxLayout* OkCancelRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel);

// The choice of page numbers: the radio button "ページ指定" (rbPageRange) and the first and last page
// (edtFromPage, edtToPage), 1 to pageCount, starting at from and to. The last page never comes before
// the first, and touching a number chooses the range. Returned as a row for the dialog's layout.
struct MPageRangeControls {
  QRadioButton* Range = nullptr;
  QSpinBox* From = nullptr;
  QSpinBox* To = nullptr;
};
QHBoxLayout* PageRangeRow(QDialog* dialog, int pageCount, int from, int to, MPageRangeControls& controls);
