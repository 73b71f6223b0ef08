// Fanbor's only window: it says that the association is being made, does it once shown, and ends the
// program; after a failure it stays (minimised) until the user closes it.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class QLabel;

class TfmMain : public QWidget {
  Q_OBJECT
 public:
  // `folder` is where the editor is looked for (the program's own folder).
  explicit TfmMain(QString folder, QWidget* parent = nullptr);

  // Shows the error text; the standard error box unless tests replace it.
  std::function<void(const QString& text)> ErrorHandler;

  // The work of the show event, callable on its own: register, then end the program or report.
  void FormShow();
  // True once the work succeeded (or there was no editor) and the program was asked to end.
  bool Ended() const { return EndRequested; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLabel* lblDescription;
  QString Folder;
  bool Started = false;
  bool EndRequested = false;
};
