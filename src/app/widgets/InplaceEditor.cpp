#include "app/widgets/InplaceEditor.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "app/widgets/BoxEdit.h"

MInplaceEditor::MInplaceEditor(QWidget* parent) : QTextEdit(parent) {
  setFrameShape(QFrame::NoFrame);
  setStyleSheet("QTextEdit { background: rgb(255, 204, 255); }");
  setLineWrapMode(QTextEdit::NoWrap);
  // Not a tab stop: Tab leaves it for the next control, committing, and never types a tab into a value.
  setFocusPolicy(Qt::ClickFocus);
  setTabChangesFocus(true);
  setAcceptRichText(false);
  // A document dragged onto the page opens in the window; it is never text for the value.
  setAcceptDrops(false);
  connect(this, &QTextEdit::selectionChanged, this, &MInplaceEditor::selectionMayHaveChanged);
  hide();
}

void MInplaceEditor::SetSingleLine(bool singleLine) {
  singleLine_ = singleLine;
  setLineWrapMode(singleLine ? QTextEdit::NoWrap : QTextEdit::WidgetWidth);
}

void MInplaceEditor::keyPressEvent(QKeyEvent* event) {
  if (singleLine_ && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    event->accept();
    emit finished();
    return;
  }
  QTextEdit::keyPressEvent(event);
}

void MInplaceEditor::keyReleaseEvent(QKeyEvent* event) {
  QTextEdit::keyReleaseEvent(event);
  emit selectionMayHaveChanged();
}

void MInplaceEditor::mouseReleaseEvent(QMouseEvent* event) {
  QTextEdit::mouseReleaseEvent(event);
  emit selectionMayHaveChanged();
}

void MInplaceEditor::mouseDoubleClickEvent(QMouseEvent* event) {
  QTextEdit::mouseDoubleClickEvent(event);
  emit selectionMayHaveChanged();
}

void MInplaceEditor::focusOutEvent(QFocusEvent* event) {
  QTextEdit::focusOutEvent(event);
  if (isVisible() && LeavesForAnotherControl(event, this)) emit left();
}
