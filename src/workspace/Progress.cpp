#include "workspace/Progress.h"

#include "workspace/Workspace.h"

namespace workspace {

void Progress::Recount(const Workspace& workspace) {
  const TranslationTable& table = workspace.Table();
  entries_ = 0;
  untranslated_ = 0;
  for (std::size_t row = 1; row < table.RowCount(); ++row) {
    if (table.Kind(row) != RowKind::Key) continue;
    ++entries_;
    if (workspace.IsUntranslated(row)) ++untranslated_;
  }
}

void Progress::Apply(const Workspace& workspace, const EditEvent& edit) {
  const TranslationTable& table = workspace.Table();
  const std::size_t row = edit.target.row;
  if (edit.target.field != EditField::Translation || !table.IsKey(row) ||
      workspace.Reference() == nullptr)
    return;
  const std::string_view reference = workspace.Reference()->Translation(row);
  const bool was = edit.before == reference;
  const bool is = edit.after == reference;
  if (was && !is) --untranslated_;
  if (!was && is) ++untranslated_;
}

std::string Progress::Text() const {
  return GroupedNumber(entries_) + (entries_ == 1 ? " entry: " : " entries: ") +
         GroupedNumber(Translated()) + " translated, " + GroupedNumber(untranslated_) +
         " untranslated (" + std::to_string(Percent()) + "%)";
}

std::string GroupedNumber(std::size_t number) {
  std::string digits = std::to_string(number);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, ',');
  return digits;
}

}  // namespace workspace
