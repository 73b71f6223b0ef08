#include "app/widgets/BoxEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QWheelEvent>

bool LeavesForAnotherControl(const QFocusEvent* event, const QWidget* control) {
  switch (event->reason()) {
    case Qt::PopupFocusReason:
    case Qt::ActiveWindowFocusReason:
    case Qt::MenuBarFocusReason:
      return false;
    default:
      break;
  }
  // The focus goes to the widget that takes it; one in another window (a dialog) or none (another
  // program) is no control of this window.
  const QWidget* next = QApplication::focusWidget();
  return next != nullptr && next != control && next->window() == control->window();
}

MBoxEdit::MBoxEdit(QWidget* parent) : QLineEdit(parent) {
  // A document dragged onto a box opens in the window; it is never text for the box.
  setAcceptDrops(false);
}

void MBoxEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    emit committed(true);
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void MBoxEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (LeavesForAnotherControl(event, this)) emit committed(false);
}

MZoomBox::MZoomBox(QWidget* parent) : QComboBox(parent), edit_(new MBoxEdit(this)) {
  setEditable(true);
  setLineEdit(edit_);
  setCompleter(nullptr);
  setInsertPolicy(QComboBox::NoInsert);
  setAcceptDrops(false);
}

void MZoomBox::wheelEvent(QWheelEvent* event) { event->ignore(); }

void MPageBar::wheelEvent(QWheelEvent* event) { event->ignore(); }
