#include "app/platform/ControlNames.h"

#include <QWidget>

void NameControl(QWidget* widget, const char* name, const QString& hint, bool tips) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setAccessibleName(hint.isEmpty() ? QString::fromLatin1(name) : hint);
  if (tips && !hint.isEmpty()) {
    widget->setToolTip(hint);
    widget->setStatusTip(hint);
  }
}
