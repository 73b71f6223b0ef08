#include "app/window/MainWindow.h"

TfmMain::TfmMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("fmMain"));
  setWindowTitle(QStringLiteral("Tessora"));
}

TfmMain::~TfmMain() = default;
