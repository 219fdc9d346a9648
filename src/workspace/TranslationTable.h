#pragma once

// The translation table: the two-column working model (key, translation)
// that the grid shows and edits, that loading fills, that merging updates
// and that saving writes out.
//
// Row 0 is the header row. After it come blank rows, section marker rows
// ("section - " and the section's name in the key cell) and key rows (the
// entry's key and its unwrapped translation). Each row remembers what loading
// made it, so a key that happens to contain "section - " is still a key.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace workspace {

enum class RowKind : std::uint8_t { Header, Blank, Section, Key };

// What the header row shows above the two columns once a file is loaded.
inline constexpr std::string_view kKeyHeading = "name";
inline constexpr std::string_view kTranslationHeading = "translation";

// What a section marker row shows in front of the section's name.
inline constexpr std::string_view kSectionMarker = "section - ";

class TranslationTable {
 public:
  // Two empty rows, as the grid shows them before the first load.
  TranslationTable();

  std::size_t RowCount() const { return rows_.size(); }
  RowKind Kind(std::size_t row) const { return rows_[row].kind; }
  const std::string& Key(std::size_t row) const { return rows_[row].key; }
  const std::string& Translation(std::size_t row) const { return rows_[row].translation; }
  // The name of the section that a section marker row opens.
  std::string_view SectionName(std::size_t row) const;

  void SetTranslation(std::size_t row, std::string text) {
    rows_[row].translation = std::move(text);
  }
  // Exchanges the row's translation with `text`, without copying either.
  void SwapTranslation(std::size_t row, std::string& text) {
    rows_[row].translation.swap(text);
  }

  // Filling, in the order loading does it. Reset leaves the header row
  // ("name", "translation") and one blank row; every section and key then
  // goes into the trailing blank row and a new blank row follows it.
  void Reset();
  void AppendSection(std::string_view name);
  // An entry without a name gives a blank row: it has no key to be saved
  // under.
  void AppendKey(std::string key, std::string translation);

 private:
  struct Row {
    std::string key;
    std::string translation;
    RowKind kind = RowKind::Blank;
  };
  std::vector<Row> rows_;
};

// Every row's translation text as it stood before the last merge, where the
// merge changed it, and otherwise the row's text after the merge; addressed
// by the translation table's row numbers. Written once by the merge, then
// only read, so the texts share one buffer; the views it gives out last until
// the next merge replaces it.
class ReferenceTable {
 public:
  std::size_t RowCount() const { return ends_.size(); }
  // Rows the merge never reached read as empty text.
  std::string_view Translation(std::size_t row) const;
  void Append(std::string_view text);
  void Reserve(std::size_t rows) { ends_.reserve(rows); }

 private:
  std::string texts_;
  std::vector<std::size_t> ends_;  // end of each row's text in texts_
};

}  // namespace workspace
