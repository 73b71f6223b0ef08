// Pieces every dialog of the editor builds alike.
#pragma once

#include <QString>

class QDialog;
class QHBoxLayout;
class QPushButton;
class QWidget;

// Gives a control its name for scripts and tests and its hint for screen readers.
void NameControl(QWidget* widget, const char* name, const QString& hint);

// The dialog's "O K" (the default) and "キャンセル" buttons, named btnOK and btnCancel, accepting and
// rejecting it; returned right-aligned in a row for the dialog's layout.
QHBoxLayout* OkCancelRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel);
