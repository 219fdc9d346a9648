#include "workspace/TextSearch.h"

#include "workspace/Workspace.h"

namespace workspace {

RowMatcher::RowMatcher(std::string_view needle, platform::CodePage codePage)
    : needle_(platform::UpperCase(needle, codePage)),
      upper_(&platform::UpperCaseTable(codePage)) {}

bool RowMatcher::Contains(std::string_view text) const {
  const std::size_t length = needle_.size();
  if (length == 0 || text.size() < length) return false;
  const auto& upper = *upper_;
  const auto first = static_cast<unsigned char>(needle_[0]);
  // The first byte is checked alone, and the rest only behind it: most
  // positions fail at one table lookup.
  for (std::size_t at = 0, last = text.size() - length; at <= last; ++at) {
    if (upper[static_cast<unsigned char>(text[at])] != first) continue;
    std::size_t matched = 1;
    while (matched < length && upper[static_cast<unsigned char>(text[at + matched])] ==
                                   static_cast<unsigned char>(needle_[matched]))
      ++matched;
    if (matched == length) return true;
  }
  return false;
}

bool RowMatcher::Matches(const Workspace& workspace, std::size_t row) const {
  const TranslationTable& table = workspace.Table();
  if (Empty() || !table.IsKey(row)) return false;
  return Contains(table.Key(row)) || Contains(table.Translation(row)) ||
         Contains(workspace.SourceText(row));
}

std::vector<std::uint32_t> RowsLeftToTranslate(const Workspace& workspace) {
  const TranslationTable& table = workspace.Table();
  std::vector<std::uint32_t> rows;
  // A section's rows wait here until one of its keys turns out untranslated.
  std::vector<std::uint32_t> section;
  bool sectionShown = true;  // above the first section there is no marker to leave out
  for (std::size_t row = 1; row < table.RowCount(); ++row) {
    const auto at = static_cast<std::uint32_t>(row);
    switch (table.Kind(row)) {
      case RowKind::Section:
        section.assign(1, at);
        sectionShown = false;
        break;
      case RowKind::Key:
        if (!workspace.IsUntranslated(row)) break;
        if (!sectionShown) {
          rows.insert(rows.end(), section.begin(), section.end());
          sectionShown = true;
        }
        rows.push_back(at);
        break;
      default:
        if (sectionShown)
          rows.push_back(at);
        else
          section.push_back(at);
    }
  }
  return rows;
}

}  // namespace workspace
