#include "base/Progress.h"

#include <algorithm>

#include "base/Sjis.h"

namespace base {

namespace {
ProgressSink* gSink = nullptr;
bool gCancelled = false;
ProgressPart* gPart = nullptr;
}  // namespace

ProgressScope::ProgressScope(ProgressSink& sink) : previous_(gSink) {
  gSink = &sink;
  gCancelled = false;
}

ProgressScope::~ProgressScope() {
  gSink = previous_;
  gCancelled = false;
}

ProgressPart::ProgressPart(std::int64_t first, std::int64_t length, std::int64_t whole)
    : first_(first), length_(length), whole_(whole), outer_(gPart) {
  gPart = this;
}

ProgressPart::~ProgressPart() { gPart = outer_; }

bool ReportProgress(std::int64_t done, std::int64_t total) {
  if (gSink == nullptr) return true;
  for (const ProgressPart* part = gPart; part != nullptr; part = part->outer_) {
    // A part of nothing has done all of it.
    const std::int64_t inPart = total > 0 ? part->length_ * std::min(done, total) / total : part->length_;
    done = part->first_ + inPart;
    total = part->whole_;
  }
  if (!gCancelled && !gSink->Report(done, total)) gCancelled = true;
  return !gCancelled;
}

bool ProgressCancelled() { return gCancelled; }

Cancelled::Cancelled() : Error(Utf8ToSjis("処理を中止しました。")) {}

void ReportProgressOrCancel(std::int64_t done, std::int64_t total) {
  if (!ReportProgress(done, total)) throw Cancelled();
}

}  // namespace base
