#include "base/Progress.h"

#include "base/Sjis.h"

namespace base {

namespace {
ProgressSink* gSink = nullptr;
bool gCancelled = false;
}  // namespace

ProgressScope::ProgressScope(ProgressSink& sink) : previous_(gSink) {
  gSink = &sink;
  gCancelled = false;
}

ProgressScope::~ProgressScope() {
  gSink = previous_;
  gCancelled = false;
}

bool ReportProgress(std::int64_t done, std::int64_t total) {
  if (gSink == nullptr) return true;
  if (!gCancelled && !gSink->Report(done, total)) gCancelled = true;
  return !gCancelled;
}

bool ProgressCancelled() { return gCancelled; }

Cancelled::Cancelled() : Error(Utf8ToSjis("処理を中止しました。")) {}

void ReportProgressOrCancel(std::int64_t done, std::int64_t total) {
  if (!ReportProgress(done, total)) throw Cancelled();
}

}  // namespace base
