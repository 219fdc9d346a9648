#pragma once

// The findings of every key row of a workspace's table, kept in step with the
// edits: one row's text changing rechecks that row alone, so a keystroke in a
// table of a million rows costs what checking one text costs.

#include <cstddef>
#include <map>
#include <optional>
#include <vector>

#include "workspace/Checks.h"
#include "workspace/Edit.h"

namespace workspace {

class Workspace;
class Speller;

class TableChecks {
 public:
  // Checks every key row again: after a load, a merge or a save. `speller`
  // (may be null) is kept for the rechecks that follow, until the next call.
  void RecheckAll(const Workspace& workspace, const Speller* speller);
  // Takes in one edit the workspace has just made: rechecks its row. An
  // edit of the header's tag changes nothing here; the speller for the new
  // language comes with the next RecheckAll.
  void Apply(const Workspace& workspace, const EditEvent& edit);

  // The row's findings; empty for a row without any.
  const std::vector<Finding>& Findings(std::size_t row) const;
  // How many findings all rows hold together.
  std::size_t Count() const { return count_; }
  // How many rows hold findings.
  std::size_t RowsWithFindings() const { return findings_.size(); }
  // The nearest row with findings after `row` (before it, when not
  // `forward`), going round the ends; nothing when no row has any. `row`
  // itself comes last. O(log rows with findings).
  std::optional<std::size_t> Next(std::size_t row, bool forward) const;

 private:
  void Recheck(const Workspace& workspace, std::size_t row);

  const Speller* speller_ = nullptr;
  // Only rows with findings, in order, so that the next one is a lookup
  // rather than a walk over the rows between.
  std::map<std::size_t, std::vector<Finding>> findings_;
  std::size_t count_ = 0;
};

}  // namespace workspace
