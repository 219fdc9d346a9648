#include "workspace/TableChecks.h"

#include <iterator>

#include "workspace/Workspace.h"

namespace workspace {

namespace {

// What a row holds to be checked: a key row that is translated. An
// untranslated row equals its source text and has nothing to be wrong with.
bool IsChecked(const Workspace& workspace, std::size_t row) {
  return workspace.Table().IsKey(row) && !workspace.IsUntranslated(row);
}

}  // namespace

void TableChecks::RecheckAll(const Workspace& workspace, const Speller* speller) {
  speller_ = speller;
  findings_.clear();
  count_ = 0;
  const std::size_t rows = workspace.Table().RowCount();
  std::vector<Finding> found;
  for (std::size_t row = 1; row < rows; ++row) {
    if (!IsChecked(workspace, row)) continue;
    CheckTranslation(workspace.SourceText(row), workspace.Table().Translation(row), found,
                     speller_);
    if (found.empty()) continue;
    count_ += found.size();
    // Rows come in order, so each goes in at the end without a search.
    findings_.emplace_hint(findings_.end(), row, std::move(found));
    found.clear();
  }
}

void TableChecks::Apply(const Workspace& workspace, const EditEvent& edit) {
  if (edit.target.field != EditField::Translation) return;
  Recheck(workspace, edit.target.row);
}

void TableChecks::Recheck(const Workspace& workspace, std::size_t row) {
  std::vector<Finding> found;
  if (IsChecked(workspace, row))
    CheckTranslation(workspace.SourceText(row), workspace.Table().Translation(row), found,
                     speller_);
  const auto held = findings_.lower_bound(row);
  const bool had = held != findings_.end() && held->first == row;
  if (had) count_ -= held->second.size();
  count_ += found.size();
  if (found.empty()) {
    if (had) findings_.erase(held);
  } else if (had) {
    held->second = std::move(found);
  } else {
    findings_.emplace_hint(held, row, std::move(found));
  }
}

const std::vector<Finding>& TableChecks::Findings(std::size_t row) const {
  static const std::vector<Finding> kNone;
  const auto held = findings_.find(row);
  return held != findings_.end() ? held->second : kNone;
}

std::optional<std::size_t> TableChecks::Next(std::size_t row, bool forward) const {
  if (findings_.empty()) return std::nullopt;
  if (forward) {
    const auto after = findings_.upper_bound(row);
    return (after != findings_.end() ? after : findings_.begin())->first;
  }
  const auto atOrAfter = findings_.lower_bound(row);
  return (atOrAfter != findings_.begin() ? std::prev(atOrAfter) : std::prev(findings_.end()))
      ->first;
}

}  // namespace workspace
