#include "workspace/TranslationTable.h"

namespace workspace {

TranslationTable::TranslationTable() {
  rows_.resize(2);
  rows_[0].kind = RowKind::Header;
}

std::string_view TranslationTable::SectionName(std::size_t row) const {
  return std::string_view(rows_[row].key).substr(kSectionMarker.size());
}

void TranslationTable::Reset() {
  // Assigning fresh rows rather than clearing: a table of a large file should
  // not hold on to its memory after a small one is loaded.
  std::vector<Row> rows(2);
  rows[0] = Row{std::string(kKeyHeading), std::string(kTranslationHeading), RowKind::Header};
  rows_.swap(rows);
}

void TranslationTable::AppendSection(std::string_view name) {
  std::string marker;
  marker.reserve(kSectionMarker.size() + name.size());
  marker.append(kSectionMarker).append(name);
  rows_.push_back(Row{std::move(marker), {}, RowKind::Section});
  rows_.emplace_back();
}

void TranslationTable::AppendKey(std::string key, std::string translation) {
  Row& last = rows_.back();
  last.kind = key.empty() ? RowKind::Blank : RowKind::Key;
  last.key = std::move(key);
  last.translation = std::move(translation);
  rows_.emplace_back();
}

std::string_view ReferenceTable::Translation(std::size_t row) const {
  if (row >= ends_.size()) return {};
  const std::size_t begin = row == 0 ? 0 : ends_[row - 1];
  return std::string_view(texts_).substr(begin, ends_[row] - begin);
}

void ReferenceTable::Append(std::string_view text) {
  texts_.append(text);
  ends_.push_back(texts_.size());
}

}  // namespace workspace
