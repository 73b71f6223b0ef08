// Names every control of the editor carries, for scripts, tests and screen readers.
#pragma once

#include <QString>

class QWidget;

// Gives a control its name (objectName) and its hint as accessible name (the name when there is no
// hint); with tips, the hint is also its tool tip and status tip, as buttons and boxes show it.
void NameControl(QWidget* widget, const char* name, const QString& hint = {}, bool tips = false);
