#include "workspace/TranslationTable.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <stdexcept>

namespace workspace {

TranslationTable::TranslationTable() : texts_(std::make_shared<TextStore>()) {
  rows_.resize(2);
  rows_[0].kind = RowKind::Header;
}

std::uint32_t TranslationTable::Checked(std::size_t size) {
  // Spans are 32 bits wide, which keeps a row at 20 bytes; no language file
  // comes near 4 GiB of text, but one that did must not wrap around.
  if (size > std::numeric_limits<std::uint32_t>::max()) {
    throw std::length_error("The file is too large: its texts exceed 4 GiB.");
  }
  return static_cast<std::uint32_t>(size);
}

TextSpan TranslationTable::Keep(TextStore& store, std::string_view text) {
  const std::uint32_t offset = Checked(store.size());
  Checked(store.size() + text.size());
  store.append(text);
  return TextSpan{offset, static_cast<std::uint32_t>(text.size())};
}

std::string_view TranslationTable::Translation(std::size_t row) const {
  const Row& entry = rows_[row];
  if (entry.typed) return typed_.at(row);
  return std::string_view(*texts_).substr(entry.translation.offset, entry.translation.length);
}

std::string_view TranslationTable::SectionName(std::size_t row) const {
  return Key(row).substr(kSectionMarker.size());
}

std::string_view TranslationTable::SectionOf(std::size_t row) const {
  const auto after = std::upper_bound(sectionRows_.begin(), sectionRows_.end(), row);
  return after == sectionRows_.begin() ? std::string_view() : SectionName(*std::prev(after));
}

void TranslationTable::SetTranslation(std::size_t row, std::string text) {
  rows_[row].typed = true;
  typed_[row] = std::move(text);
}

void TranslationTable::ForgetTypedTranslations() {
  for (const auto& [row, text] : typed_) rows_[row].typed = false;
  typed_.clear();
}

void TranslationTable::Reset(std::size_t keyBytes, std::size_t textBytes, std::size_t rows) {
  // Fresh stores rather than cleared ones: a table of a large file should
  // not hold on to its memory after a small one is loaded, and a reference
  // table may still read the old texts.
  rows_ = {};
  rows_.reserve(rows + 2);
  keys_ = {};
  keys_.reserve(keyBytes + kKeyHeading.size());
  texts_ = std::make_shared<TextStore>();
  texts_->reserve(textBytes + kTranslationHeading.size());
  typed_.clear();
  sectionRows_.clear();
  AppendRow(RowKind::Header, kKeyHeading, kTranslationHeading);
  AppendRow(RowKind::Blank, {}, {});
}

void TranslationTable::AppendRow(RowKind kind, std::string_view key,
                                 std::string_view translation) {
  rows_.push_back(Row{Keep(keys_, key), Keep(*texts_, translation), kind});
}

void TranslationTable::AppendSection(std::string_view name) {
  Row section{Keep(keys_, kSectionMarker), {}, RowKind::Section};
  section.key.length += Keep(keys_, name).length;  // the marker and the name, side by side
  sectionRows_.push_back(rows_.size());
  rows_.push_back(section);
  AppendRow(RowKind::Blank, {}, {});
}

void TranslationTable::AppendKey(std::string_view key, std::string_view translation) {
  FillLastRow(key, Keep(*texts_, translation));
}

void TranslationTable::AppendKeyLike(std::string_view key, std::size_t like) {
  FillLastRow(key, SettleTranslation(like));
}

void TranslationTable::FillLastRow(std::string_view key, TextSpan translation) {
  Row& last = rows_.back();
  last.kind = key.empty() ? RowKind::Blank : RowKind::Key;
  last.key = Keep(keys_, key);
  last.translation = translation;
  AppendRow(RowKind::Blank, {}, {});
}

TextSpan TranslationTable::SettleTranslation(std::size_t row) {
  Row& entry = rows_[row];
  if (entry.typed) {
    auto typed = typed_.find(row);
    entry.translation = Keep(*texts_, typed->second);
    entry.typed = false;
    typed_.erase(typed);
  }
  return entry.translation;
}

TextSpan TranslationTable::ReplaceTranslation(std::size_t row, std::string_view text) {
  const TextSpan before = SettleTranslation(row);
  rows_[row].translation = Keep(*texts_, text);
  return before;
}

std::string_view ReferenceTable::Translation(std::size_t row) const {
  if (row >= spans_.size()) return {};
  return std::string_view(*store_).substr(spans_[row].offset, spans_[row].length);
}

}  // namespace workspace
