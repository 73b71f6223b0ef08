// The editor's main window.
//
// One class, TfmMain, split into files by concern as it grows: building the menus, tool bars and
// status bar; documents; view controls; editing; mapping commands; printing. The window calls the
// document commands of the engine and refreshes its controls from what they report.
#pragma once

#include <QMainWindow>

class TfmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit TfmMain(QWidget* parent = nullptr);
  ~TfmMain() override;
};
