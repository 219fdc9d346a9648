#pragma once

// The findings of every key row of a workspace's table, kept in step with the
// edits: one row's text changing rechecks that row alone, so a keystroke in a
// table of a million rows costs what checking one text costs.

#include <cstddef>
#include <optional>
#include <unordered_map>
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
  // Takes in one edit the workspace has just made: rechecks its row.
  void Apply(const Workspace& workspace, const EditEvent& edit);

  // The row's findings; empty for a row without any.
  const std::vector<Finding>& Findings(std::size_t row) const;
  // How many findings all rows hold together.
  std::size_t Count() const { return count_; }
  // The nearest row with findings after `row` (before it, when not
  // `forward`), going round the ends; nothing when no row has any. `row`
  // itself comes last.
  std::optional<std::size_t> Next(std::size_t row, bool forward) const;

 private:
  void Recheck(const Workspace& workspace, std::size_t row);

  const Speller* speller_ = nullptr;
  std::unordered_map<std::size_t, std::vector<Finding>> findings_;
  std::size_t count_ = 0;
};

}  // namespace workspace
