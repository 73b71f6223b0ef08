#include "app/widgets/StatusBar.h"

#include <QLabel>
#include <QResizeEvent>

#include "app/widgets/CanvasWidgets.h"

MStatusBar::MStatusBar(QWidget* parent) : QStatusBar(parent) {
  NameControl(this, "StatusBar", "ステータスバー");
  setSizeGripEnabled(false);
  // The panels follow the bar's width (resizeEvent); their widths must not hold the window wider than
  // the user makes it.
  setMinimumWidth(1);
  const int widths[5] = {412, 120, 120, 120, 20};
  for (int i = 0; i < 5; ++i) {
    auto* panel = new QLabel(this);
    panel->setObjectName(QString("StatusPanel%1").arg(i));
    panel->setFixedWidth(widths[i]);
    if (i >= 1 && i <= 3) {
      panel->setAlignment(Qt::AlignCenter);
      panel->setFrameShape(QFrame::StyledPanel);
      panel->setFrameShadow(QFrame::Sunken);
    }
    // The first panel is where hints show (the bar's message area); the counts stay put beside it.
    if (i == 0)
      addWidget(panel);
    else
      addPermanentWidget(panel);
    panels_[i] = panel;
  }
}

void MStatusBar::resizeEvent(QResizeEvent* event) {
  QStatusBar::resizeEvent(event);
  panels_[0]->setFixedWidth(std::max(0, width() - 380));
}
