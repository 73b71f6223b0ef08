// The in-place editor: the text box laid over an editable text of the page in text input mode. It
// holds the typed text only; the page view decides what it edits and commits it.
#pragma once

#include <QTextEdit>

class MInplaceEditor : public QTextEdit {
  Q_OBJECT

 public:
  explicit MInplaceEditor(QWidget* parent = nullptr);

  // A single-line text ends with Enter (a memo takes it as a line break) and shows one line.
  void SetSingleLine(bool singleLine);
  bool SingleLine() const { return singleLine_; }

 signals:
  // Enter in a single-line text: done.
  void finished();
  // The focus went to another control of the window: done as well. A menu, the editor's own context
  // menu, a dialog or another program taking the focus leave the editing open.
  void left();
  // The selection may have changed (key up, mouse up, double click): copy follows it.
  void selectionMayHaveChanged();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  bool singleLine_ = true;
};
