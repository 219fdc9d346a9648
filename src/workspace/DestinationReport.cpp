#include "workspace/DestinationReport.h"

#include <optional>

#include "langfile/ProcFunc.h"

namespace workspace {

DestinationReport ReportOn(const TranslationTable& source, const TMemIniFile& destination,
                           bool check, const Speller* speller) {
  DestinationReport report;
  report.header = langfile::ReadHeader(destination);

  // The merge's rule: a key the destination lacks keeps the source's text,
  // so it stays untranslated, and so does one translated to the same text.
  std::vector<TMemIniFile::EntryPlace> places;
  std::vector<Finding> found;
  std::optional<std::size_t> section;
  for (std::size_t row = 1; row < source.RowCount(); ++row) {
    switch (source.Kind(row)) {
      case RowKind::Section:
        section = destination.SectionPosition(source.SectionName(row));
        break;
      case RowKind::Key: {
        ++report.entries;
        const auto value =
            section ? destination.FindValueAt(*section, source.Key(row)) : std::nullopt;
        const std::string_view text = source.Translation(row);
        const std::string_view translation = value ? ProcFunc::UnwrappedPart(*value) : text;
        if (translation == text) {
          ++report.untranslated;
          break;
        }
        if (!check) break;
        found.clear();
        CheckTranslation(text, translation, found, speller);
        for (Finding& finding : found) {
          report.findings.push_back({row, 0, std::move(finding)});
          places.push_back({*section, source.Key(row)});
        }
        break;
      }
      case RowKind::Header:
      case RowKind::Blank:
        break;
    }
  }
  // Found in one pass over the file, and only for a file with findings.
  if (!places.empty()) {
    const std::vector<std::size_t> lines = destination.LinesOf(places);
    for (std::size_t i = 0; i < lines.size(); ++i) report.findings[i].line = lines[i];
  }
  return report;
}

}  // namespace workspace
