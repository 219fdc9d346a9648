#include "workspace/Recovery.h"

#include <map>
#include <utility>

namespace workspace {

std::optional<JournalEdit> JournalEditOf(const Workspace& workspace, const EditEvent& edit) {
  JournalEdit record{edit.target.field, {}, {}, std::string(edit.after)};
  if (edit.target.field == EditField::Translation) {
    const TranslationTable& table = workspace.Table();
    if (edit.target.row >= table.RowCount() || table.Kind(edit.target.row) != RowKind::Key)
      return std::nullopt;
    record.section = table.SectionOf(edit.target.row);
    record.key = table.Key(edit.target.row);
  }
  return record;
}

std::vector<std::string> Restore(Workspace& workspace, const std::vector<JournalEdit>& edits) {
  // Only the rows the edits name are looked up, in one pass over the table.
  std::map<std::pair<std::string, std::string>, std::size_t> rows;
  for (const JournalEdit& edit : edits)
    if (edit.field == EditField::Translation) rows.try_emplace({edit.section, edit.key}, 0);
  const TranslationTable& table = workspace.Table();
  if (!rows.empty()) {
    std::pair<std::string, std::string> name;
    for (std::size_t row = 1; row < table.RowCount(); ++row) {
      if (table.Kind(row) == RowKind::Section) name.first = table.SectionName(row);
      if (table.Kind(row) != RowKind::Key) continue;
      name.second = table.Key(row);
      if (const auto found = rows.find(name); found != rows.end()) found->second = row;
    }
  }

  for (const JournalEdit& edit : edits) {
    if (edit.field != EditField::Translation) {
      workspace.Edit({edit.field, 0}, edit.text);
    } else if (const std::size_t row = rows.at({edit.section, edit.key}); row != 0) {
      workspace.Edit({EditField::Translation, row}, edit.text);
    }
  }
  std::vector<std::string> missing;
  for (const auto& [name, row] : rows)
    if (row == 0) missing.push_back("[" + name.first + "] " + name.second);
  return missing;
}

}  // namespace workspace
