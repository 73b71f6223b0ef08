// The window's progress sink: long work reports to it (base::ProgressScope installs it), and it shows
// a progress dialog with a cancel button once the work has taken half a second, so that short work
// shows nothing. While it is shown, each report lets the event loop run (on this one thread): the
// dialog is window-modal, so the window behind it takes no input and starts no other command.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include "base/Progress.h"

class QProgressDialog;
class QWidget;

class MProgressDialog : public base::ProgressSink {
 public:
  // label says what is being done; the dialog is modal to parent's window.
  MProgressDialog(QWidget* parent, const QString& label);
  ~MProgressDialog() override;

  // False once the user cancelled (the cancel button, Escape, or closing the dialog).
  bool Report(std::int64_t done, std::int64_t total) override;

  // How long work runs before the dialog shows; tests set 0 to see it at the first report. Returns
  // the delay it replaces.
  static int SetShowDelayForTest(int milliseconds);

 private:
  QPointer<QWidget> parent_;
  QString label_;
  QElapsedTimer started_;
  QElapsedTimer pumped_;              // since events were last let through
  QPointer<QProgressDialog> dialog_;  // owned; gone with its parent should that go first
  bool cancelled_ = false;
};
