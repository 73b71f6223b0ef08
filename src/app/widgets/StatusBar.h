// The window's status bar: five panels, the first taking what the three counts and the last panel
// leave of the bar's width.
#pragma once

#include <QStatusBar>

class QLabel;

class MStatusBar : public QStatusBar {
  Q_OBJECT

 public:
  explicit MStatusBar(QWidget* parent = nullptr);
  QLabel* Panel(int index) const { return panels_[index]; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLabel* panels_[5] = {};
};
