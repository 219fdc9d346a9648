#include "Budgets.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

namespace bench {

namespace {

std::string KeyOf(const benchmark::BenchmarkReporter::Run& run) {
  return run.run_name.function_name + "/" + run.run_name.args;
}

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::optional<double> Lookup(const std::map<std::string, double>& figures,
                             const std::string& key) {
  auto found = figures.find(key);
  if (found == figures.end()) return std::nullopt;
  return found->second;
}

class Judge {
 public:
  explicit Judge(const CollectingReporter& reporter) : reporter_(reporter) {}

  std::optional<double> Time(const std::string& key) const {
    return Lookup(reporter_.Seconds(), key);
  }
  std::optional<double> Counter(const std::string& key) const {
    return Lookup(reporter_.Counters(), key);
  }

  // `numerator` / `denominator` at most `limit`.
  void Ratio(const std::string& what, const std::string& numerator,
             const std::string& denominator, double limit) {
    auto top = Time(numerator);
    auto bottom = Time(denominator);
    BudgetResult result{what, {}, "<= " + Format("%.2f", limit) + "x", false};
    if (top && bottom && *bottom > 0) {
      const double ratio = *top / *bottom;
      result.measured = Format("%.2fx", ratio) + " (" + Format("%.2f", *top * 1e3) + " / " +
                        Format("%.2f", *bottom * 1e3) + " ms)";
      result.met = ratio <= limit;
    }
    results_.push_back(result);
  }

  void AtMostMilliseconds(const std::string& what, const std::string& key, double limit) {
    auto seconds = Time(key);
    BudgetResult result{what, {}, "<= " + Format("%.0f", limit) + " ms", false};
    if (seconds) {
      result.measured = Format("%.2f ms", *seconds * 1e3);
      result.met = *seconds * 1e3 <= limit;
    }
    results_.push_back(result);
  }

  void CounterBelow(const std::string& what, const std::string& key, double limit) {
    auto value = Counter(key);
    BudgetResult result{what, {}, "< " + Format("%.1f", limit) + "x", false};
    if (value) {
      result.measured = Format("%.2fx", *value);
      result.met = *value < limit;
    }
    results_.push_back(result);
  }

  std::vector<BudgetResult> Results() const { return results_; }

 private:
  const CollectingReporter& reporter_;
  std::vector<BudgetResult> results_;
};

}  // namespace

CollectingReporter::CollectingReporter()
    : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

void CollectingReporter::ReportRuns(const std::vector<Run>& runs) {
  std::vector<Run> shown;
  for (const Run& run : runs) {
    const std::string key = KeyOf(run);
    if (run.error_occurred) anyFailed_ = true;
    if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0) {
      const double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
      auto [entry, added] = seconds_.emplace(key, seconds);
      if (!added) entry->second = std::min(entry->second, seconds);
      for (const auto& [name, counter] : run.counters) counters_[key + ":" + name] = counter;
    }
    if (run.run_type == Run::RT_Iteration && run.repetitions > 1 && !run.error_occurred) continue;
    if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "min" &&
        run.aggregate_name != "median" && run.aggregate_name != "cv") {
      continue;
    }
    shown.push_back(run);
  }
  if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
}

std::vector<BudgetResult> JudgeBudgets(const CollectingReporter& reporter) {
  Judge judge(reporter);
  judge.Ratio("Reading 100,000 entries: TMemIniFile / inih", "Read/TMemIniFile/100000",
              "Read/inih/100000", 0.5);
  judge.Ratio("Reading: 1,000,000 / 100,000 entries", "Read/TMemIniFile/1000000",
              "Read/TMemIniFile/100000", 12.0);
  judge.Ratio("Session: 1,000,000 / 100,000 entries", "Session/1000000", "Session/100000",
              12.0);
  // The floor is what any session must do with the files; twice that leaves
  // as much again for building, merging and saving the rows.
  judge.Ratio("Session 100,000 / two reads and a durable replace", "Session/100000",
              "Session/Floor/100000", 2.0);
  judge.Ratio("Session 1,000,000 / two reads and a durable replace", "Session/1000000",
              "Session/Floor/1000000", 2.0);
  judge.Ratio("Saving one section: 1,000,000 / 100,000 keys", "SaveOneSection/1000000",
              "SaveOneSection/100000", 12.0);
  judge.AtMostMilliseconds("Grid: show 100,000 rows and paint", "Grid/Show/100000", 50.0);
  // The other languages are read as a destination is chosen, and looked up
  // at every move of the current row: neither may hold the translator up.
  judge.AtMostMilliseconds("Other languages: read 40 files of 5,000 entries",
                           "OtherLanguages/Load/40/5000", 1000.0);
  judge.AtMostMilliseconds("Other languages: one row's texts in 40 files",
                           "OtherLanguages/Text/40/5000", 5.0);
  // Scrolling and typing must not depend on the row count; twice the cost
  // of a small table leaves room for noise, not for a pass over the rows.
  judge.Ratio("Grid scrolling: 1,000,000 / 1,000 rows", "Grid/Scroll/1000000", "Grid/Scroll/1000",
              2.0);
  judge.Ratio("Grid typing: 1,000,000 / 1,000 rows", "Grid/Type/1000000", "Grid/Type/1000", 2.0);
  judge.Ratio("Undo and redo: 1,000,000 / 1,000 rows", "Grid/Undo/1000000", "Grid/Undo/1000", 2.0);
  // Every keystroke goes into the journal with one write; on 100,000 rows
  // that must not be felt.
  judge.Ratio("Grid typing on 100,000 rows: with / without the recovery journal",
              "Grid/Type/Journaled/100000", "Grid/Type/100000", 1.25);
  // What the translator's view adds must not be felt on a large table.
  judge.AtMostMilliseconds("Source pane: move the current row, 100,000 rows", "View/Pane/100000",
                           5.0);
  judge.AtMostMilliseconds("Find next after an edit, 100,000 rows", "View/FindNext/100000", 50.0);
  judge.AtMostMilliseconds("Switch \"Untranslated only\", 100,000 rows", "View/Filter/100000",
                           200.0);
  // The checks recheck the edited row alone, however many rows have findings;
  // all rows are checked only after a load or a merge. A row of six words
  // spelled twice a keystroke (its findings, the editor's underline) is
  // within the limit; a pass over the rows would be a hundred times over it.
  judge.Ratio("Grid typing on 100,000 rows: every row with findings / none checked",
              "Grid/Type/Checked/100000", "Grid/Type/100000", 1.5);
  judge.AtMostMilliseconds("Check 100,000 translated rows, spelling included, and show them",
                           "View/CheckAll/100000", 300.0);
  judge.Ratio("Command line: stats over 20 translations of 100,000 entries / reading them",
              "CommandLine/Stats/20/100000", "CommandLine/Read/20/100000", 3.0);
  judge.Ratio("Command line: check over 20 translations of 100,000 entries / reading them",
              "CommandLine/Check/20/100000", "CommandLine/Read/20/100000", 3.0);
  judge.Ratio("Command line: the same check without spelling / reading them",
              "CommandLine/Check/NoSpelling/20/100000", "CommandLine/Read/20/100000", 3.0);
  judge.CounterBelow("Peak memory of the session on 1,000,000 entries / file size",
                     "Memory/Session/1000000:peak_per_file_byte", 4.0);
  return judge.Results();
}

bool PrintBudgets(const std::vector<BudgetResult>& results, std::ostream& out) {
  bool allMet = true;
  out << "\nBudgets\n";
  for (const BudgetResult& result : results) {
    const char* verdict = result.measured.empty() ? "not measured" : result.met ? "met" : "MISSED";
    if (result.measured.empty() || !result.met) allMet = false;
    out << "  " << result.what << ": " << (result.measured.empty() ? "-" : result.measured)
        << ", budget " << result.limit << ": " << verdict << "\n";
  }
  return allMet;
}

void PrintFigures(const CollectingReporter& reporter, std::ostream& out) {
  auto time = [&](const char* key) { return Lookup(reporter.Seconds(), key); };
  std::vector<std::string> lines;
  auto ratio = [&](const char* what, std::optional<double> top, std::optional<double> bottom) {
    if (!top || !bottom || *bottom <= 0) return;
    lines.push_back(std::string(what) + ": " + Format("%.2fx", *top / *bottom) + " (" +
                    Format("%.2f", *top * 1e3) + " / " + Format("%.2f", *bottom * 1e3) + " ms)");
  };
  const auto read = time("Read/TMemIniFile/100000");
  const auto session = time("Session/100000");
  ratio("Session on 100,000 entries / reading them", session, read);
  ratio("Two reads and a durable replace of 100,000 entries / reading them",
        time("Session/Floor/100000"), read);
  ratio("First session on 100,000 entries in a fresh process / in this one",
        time("Session/FreshProcess/100000"), session);
  if (lines.empty()) return;
  out << "\nFor comparison, not judged\n";
  for (const std::string& line : lines) out << "  " << line << "\n";
}

}  // namespace bench
