// Long work (opening a large document, the mapping commands, printing and exporting) tells how far it
// is, so that the editor can show a progress dialog with a cancel button while the event loop stays on
// one thread: the work calls ReportProgress from inside itself, the installed sink keeps the window
// alive and says whether the user asked to stop. Without a sink (batch mode, tests) nothing happens.
#pragma once

#include <cstdint>

#include "base/Error.h"

namespace base {

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  // done of total units; false once the user asked to cancel. Called often: keep it cheap.
  virtual bool Report(std::int64_t done, std::int64_t total) = 0;
};

// Installs a sink for its lifetime; the one installed before comes back afterwards.
class ProgressScope {
 public:
  explicit ProgressScope(ProgressSink& sink);
  ~ProgressScope();
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

 private:
  ProgressSink* previous_;
};

// One part of a longer work, for its lifetime: what the part reports (done of its own total) reaches
// the sink as first + done * length / total of whole, so that work made of several loops moves one
// bar once from start to end instead of once per loop. Parts nest.
class ProgressPart {
 public:
  ProgressPart(std::int64_t first, std::int64_t length, std::int64_t whole);
  ~ProgressPart();
  ProgressPart(const ProgressPart&) = delete;
  ProgressPart& operator=(const ProgressPart&) = delete;

 private:
  friend bool ReportProgress(std::int64_t done, std::int64_t total);
  std::int64_t first_, length_, whole_;
  ProgressPart* outer_;
};

// Reports to the installed sink; false when the user asked to cancel (never without a sink).
bool ReportProgress(std::int64_t done, std::int64_t total);
// Whether a cancel was asked since the sink was installed.
bool ProgressCancelled();

// The work stopped because the user cancelled it. Its message is Shift-JIS, as every error's; the
// window shows nothing for it, the user knows.
class Cancelled : public Error {
 public:
  Cancelled();
};

// ReportProgress, raising Cancelled when the user asked to stop: for work that can end anywhere.
void ReportProgressOrCancel(std::int64_t done, std::int64_t total);

}  // namespace base
