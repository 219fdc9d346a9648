#pragma once

// The budgets the benchmarks must meet, and the reporter that collects what
// they measured. Budgets are ratios between figures of one run, so that a
// busy machine slows both sides alike. The absolute ones are waits a user
// feels whatever the machine is doing: the grid's 50 ms, and the other
// languages' second to read and 5 ms a row.

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace bench {

// Shows the console report, leaving out the single repetitions of a
// repeated benchmark and all statistics of them but the fastest, the median
// and the spread, and keeps for each
// benchmark ("Read/TMemIniFile/100000") its fastest repetition's real time
// per iteration in seconds and its last counters.
class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal.
  CollectingReporter();

  void ReportRuns(const std::vector<Run>& runs) override;

  const std::map<std::string, double>& Seconds() const { return seconds_; }
  const std::map<std::string, double>& Counters() const { return counters_; }
  // Whether a benchmark stopped with an error.
  bool AnyFailed() const { return anyFailed_; }

 private:
  std::map<std::string, double> seconds_;
  std::map<std::string, double> counters_;  // "benchmark:counter"
  bool anyFailed_ = false;
};

struct BudgetResult {
  std::string what;
  std::string measured;  // empty when a figure it needs was not measured
  std::string limit;
  bool met = false;
};

// Every budget, judged on what `reporter` collected.
std::vector<BudgetResult> JudgeBudgets(const CollectingReporter& reporter);

// A table of the budgets; returns true when every one was measured and met.
bool PrintBudgets(const std::vector<BudgetResult>& results, std::ostream& out);

// Figures that tell where a session's time goes and what a translator
// waits for, but make no budget: the session and its floor next to one read,
// and the first session in a fresh process next to one in this process.
void PrintFigures(const CollectingReporter& reporter, std::ostream& out);

}  // namespace bench
