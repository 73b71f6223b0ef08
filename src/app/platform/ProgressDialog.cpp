#include "app/platform/ProgressDialog.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <algorithm>
#include <utility>

namespace {

int gShowDelayMs = 500;
// The event loop runs at most this often: often enough for the cancel button and the repaints,
// seldom enough that reporting costs the work next to nothing.
constexpr int kPumpMs = 40;
// The bar's steps: totals may exceed an int.
constexpr int kSteps = 1000;

}  // namespace

int MProgressDialog::SetShowDelayForTest(int milliseconds) {
  return std::exchange(gShowDelayMs, milliseconds);
}

MProgressDialog::MProgressDialog(QWidget* parent, const QString& label) : parent_(parent), label_(label) {
  started_.start();
}

MProgressDialog::~MProgressDialog() { delete dialog_; }

bool MProgressDialog::Report(std::int64_t done, std::int64_t total) {
  if (cancelled_) return false;
  if (dialog_ == nullptr) {
    // Before the dialog shows, input waits for the work to end, as it does for any command.
    if (started_.elapsed() < gShowDelayMs) return true;
    dialog_ = new QProgressDialog(label_, QString(), 0, kSteps, parent_);
    dialog_->setObjectName("dlgProgress");
    dialog_->setAccessibleName(label_);
    dialog_->setWindowTitle("Tessora");
    auto* cancel = new QPushButton("キャンセル", dialog_);
    cancel->setObjectName("btnCancel");
    cancel->setAccessibleName("キャンセル");
    dialog_->setCancelButton(cancel);
    dialog_->setWindowModality(Qt::WindowModal);
    // The dialog stays until the work ends, even when one of its loops reaches its end.
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->setMinimumDuration(0);
    dialog_->show();
  } else if (pumped_.isValid() && pumped_.elapsed() < kPumpMs) {
    return true;
  }
  if (total > 0) {
    dialog_->setMaximum(kSteps);
    dialog_->setValue(static_cast<int>(kSteps * std::clamp<std::int64_t>(done, 0, total) / total));
  } else {
    dialog_->setMaximum(0);  // no measure: the bar only shows that work goes on
  }
  QCoreApplication::processEvents();
  pumped_.start();
  cancelled_ = dialog_ == nullptr || dialog_->wasCanceled();
  return !cancelled_;
}
