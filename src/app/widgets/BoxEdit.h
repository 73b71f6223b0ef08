// The one-line boxes of the window that take effect when the user is done with them: the page box,
// the zoom box's text and the panes' search boxes. Enter commits, and so does leaving the box for
// another control of the window; a menu, a dialog or another program taking the focus does not.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QSlider>

class MBoxEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit MBoxEdit(QWidget* parent = nullptr);

 signals:
  // The box's text is to take effect: by Enter (enter set), or because the focus left it.
  void committed(bool enter);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

// The zoom box: an editable list whose text is a MBoxEdit. The wheel is the window's (it scrolls the
// focused view), not a way to change the zoom by accident.
class MZoomBox : public QComboBox {
  Q_OBJECT

 public:
  explicit MZoomBox(QWidget* parent = nullptr);
  MBoxEdit* Edit() const { return edit_; }

 protected:
  void wheelEvent(QWheelEvent* event) override;

 private:
  MBoxEdit* edit_;
};

// The page track bar; the wheel is the window's here too.
class MPageBar : public QSlider {
  Q_OBJECT

 public:
  explicit MPageBar(QWidget* parent = nullptr) : QSlider(Qt::Horizontal, parent) {}

 protected:
  void wheelEvent(QWheelEvent* event) override;
};

// Whether losing the focus for this reason means leaving a control for another one of the window:
// menus, popups, dialogs and other programs taking the focus leave the control as it is.
bool LeavesForAnotherControl(const QFocusEvent* event, const QWidget* control);
