// Long work tells the installed sink how far it is: parts of the work move one bar, a cancel holds
// until the sink goes, and without a sink nothing happens.
#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "base/Progress.h"

namespace {

using Seen = std::vector<std::pair<std::int64_t, std::int64_t>>;

// Records the reports; answers false at report number cancelAt (counted from 1).
class Recorder : public base::ProgressSink {
 public:
  explicit Recorder(int cancelAt = 0) : cancelAt_(cancelAt) {}
  bool Report(std::int64_t done, std::int64_t total) override {
    seen.emplace_back(done, total);
    return static_cast<int>(seen.size()) != cancelAt_;
  }
  Seen seen;

 private:
  int cancelAt_;
};

struct Part {
  std::int64_t first, length, whole;
};

}  // namespace

TEST(Progress, PartsMapOntoTheWholeWork) {
  struct Case {
    const char* name;
    std::vector<Part> parts;  // outermost first
    std::int64_t done, total;
    std::pair<std::int64_t, std::int64_t> expected;
  } cases[] = {
      {"no part", {}, 3, 10, {3, 10}},
      {"first part", {{0, 100, 400}}, 128, 256, {50, 400}},
      {"middle part at its end", {{100, 200, 400}}, 256, 256, {300, 400}},
      {"part of nothing is done", {{100, 0, 400}}, 0, 0, {100, 400}},
      {"over its total stays in the part", {{0, 100, 400}}, 300, 256, {100, 400}},
      {"nested", {{100, 200, 400}, {50, 50, 100}}, 1, 2, {250, 400}},
  };
  for (const Case& c : cases) {
    Recorder sink;
    const base::ProgressScope scope(sink);
    {
      std::vector<std::optional<base::ProgressPart>> parts(c.parts.size());
      for (std::size_t i = 0; i < c.parts.size(); ++i)
        parts[i].emplace(c.parts[i].first, c.parts[i].length, c.parts[i].whole);
      EXPECT_TRUE(base::ReportProgress(c.done, c.total)) << c.name;
      while (!parts.empty()) parts.pop_back();  // inner first, as scopes end
    }
    base::ReportProgress(1, 2);  // the parts are gone
    EXPECT_EQ(sink.seen, (Seen{c.expected, {1, 2}})) << c.name;
  }
}

TEST(Progress, ACancelHoldsUntilTheSinkGoes) {
  EXPECT_TRUE(base::ReportProgress(1, 2)) << "no sink, nothing to cancel";
  Recorder outer;
  const base::ProgressScope outerScope(outer);
  {
    Recorder inner(2);
    const base::ProgressScope scope(inner);
    EXPECT_TRUE(base::ReportProgress(1, 4));
    EXPECT_FALSE(base::ReportProgress(2, 4));
    EXPECT_TRUE(base::ProgressCancelled());
    EXPECT_THROW(base::ReportProgressOrCancel(3, 4), base::Cancelled);
    EXPECT_EQ(inner.seen, (Seen{{1, 4}, {2, 4}})) << "once cancelled, the sink is not asked again";
  }
  EXPECT_FALSE(base::ProgressCancelled());
  EXPECT_NO_THROW(base::ReportProgressOrCancel(5, 6));
  EXPECT_EQ(outer.seen, (Seen{{5, 6}}));
}
