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
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/HugePages.h"

namespace workspace {

enum class RowKind : std::uint8_t { Header, Blank, Section, Key };

// What the header row shows above the two columns once a file is loaded.
inline constexpr std::string_view kKeyHeading = "name";
inline constexpr std::string_view kTranslationHeading = "translation";

// What a section marker row shows in front of the section's name.
inline constexpr std::string_view kSectionMarker = "section - ";

struct TextSpan {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
  bool operator==(const TextSpan&) const = default;
};

// The bytes that loads and merges put into a table, appended and never
// changed or moved elsewhere; a span stays valid as long as its store lives.
// A table's stores and rows are sized once and filled at once, so a large
// file's table takes its memory in huge pages rather than fault it in page
// by page, which cost more than building the rows.
using TextStore =
    std::basic_string<char, std::char_traits<char>, platform::HugePageAllocator<char>>;
template <class T>
using TableVector = std::vector<T, platform::HugePageAllocator<T>>;

class TranslationTable {
 public:
  // Two empty rows, as the grid shows them before the first load.
  TranslationTable();

  std::size_t RowCount() const { return rows_.size(); }
  RowKind Kind(std::size_t row) const { return rows_[row].kind; }
  // Whether `row` is in the table and holds a key: the rows that are
  // translated, counted, searched and copied into.
  bool IsKey(std::size_t row) const {
    return row < rows_.size() && rows_[row].kind == RowKind::Key;
  }
  // Views last until the table next changes.
  std::string_view Key(std::size_t row) const {
    return std::string_view(keys_).substr(rows_[row].key.offset, rows_[row].key.length);
  }
  std::string_view Translation(std::size_t row) const;
  // The text the last load or merge gave the row, whatever was typed since.
  std::string_view LoadedTranslation(std::size_t row) const {
    const TextSpan span = rows_[row].translation;
    return std::string_view(*texts_).substr(span.offset, span.length);
  }
  // The name of the section that a section marker row opens.
  std::string_view SectionName(std::size_t row) const;

  // The name of the section a row lies in: the one the nearest section
  // marker row at or above it opens; empty above the first. O(log sections).
  std::string_view SectionOf(std::size_t row) const;

  // A text typed into a row; it lives beside the store until the next merge.
  void SetTranslation(std::size_t row, std::string text);
  // Every row shows the text the last load or merge gave it again.
  void ForgetTypedTranslations();

  // Filling, in the order loading does it. Reset leaves the header row
  // ("name", "translation") and one blank row; a section marker row and a
  // blank row follow it for each section, and each key goes into the
  // trailing blank row, with a new blank row after it.
  // `keyBytes` and `textBytes`, when known, let the stores be sized once.
  void Reset(std::size_t keyBytes = 0, std::size_t textBytes = 0, std::size_t rows = 0);
  void AppendSection(std::string_view name);
  // An entry without a name gives a blank row: it has no key to be saved
  // under.
  void AppendKey(std::string_view key, std::string_view translation);
  // The same, for a translation that the row `like` holds already: the two
  // rows share its text.
  void AppendKeyLike(std::string_view key, std::size_t like);

  // A merge: gives `row` the text `text` and returns where the store holds
  // the text the row had before, which stays there for the reference table.
  // `text` must not be a view into this table.
  TextSpan ReplaceTranslation(std::size_t row, std::string_view text);
  // Where the store holds the row's text, typed text first moved into it.
  TextSpan SettleTranslation(std::size_t row);
  // The store that spans of this table point into; shared, so that a
  // reference table can keep reading it after the table is reset.
  std::shared_ptr<const TextStore> Store() const { return texts_; }

 private:
  struct Row {
    TextSpan key;
    TextSpan translation;  // unless `typed`
    RowKind kind = RowKind::Blank;
    bool typed = false;  // the text is in typed_
  };

  static std::uint32_t Checked(std::size_t size);
  TextSpan Keep(TextStore& store, std::string_view text);
  void AppendRow(RowKind kind, std::string_view key, std::string_view translation);
  void FillLastRow(std::string_view key, TextSpan translation);

  TableVector<Row> rows_;
  TextStore keys_;
  std::shared_ptr<TextStore> texts_;
  // Texts typed since the last load or merge, by row. Few rows are typed
  // into, so they live apart and the rows stay small.
  std::unordered_map<std::size_t, std::string> typed_;
  // The section marker rows, in order.
  std::vector<std::size_t> sectionRows_;
};

// Every row's translation text as it stood before the last merge, where the
// merge changed it, and otherwise the row's text after the merge; addressed
// by the translation table's row numbers. The texts stay in the store of the
// table that was merged, which this table shares, so a reference costs eight
// bytes a row and copies no text.
class ReferenceTable {
 public:
  explicit ReferenceTable(std::shared_ptr<const TextStore> store) : store_(std::move(store)) {}

  std::size_t RowCount() const { return spans_.size(); }
  // Rows the merge never reached read as empty text.
  std::string_view Translation(std::size_t row) const;
  void Append(TextSpan span) { spans_.push_back(span); }
  void Reserve(std::size_t rows) { spans_.reserve(rows); }

 private:
  std::shared_ptr<const TextStore> store_;
  TableVector<TextSpan> spans_;
};

}  // namespace workspace
