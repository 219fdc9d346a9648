#pragma once

// What a field of the window takes of a text that arrives by any route:
// typed, pasted, dropped or composed. Every field, the grid's cell editor
// and the authors memo included, goes through one filter, so that none of
// them lets through what the file cannot hold:
// - A NUL would end the file's text where it stands, losing every line
//   after it; it shows as nothing and no one means to type it, so it is
//   dropped.
// - A line break in a single-line field would split its entry in the file,
//   the second line garbage, so it becomes a space. In the authors memo,
//   where every line is an author, U+2028 and U+2029 start the next author,
//   as a typed line break does.
// - A character the system code page cannot hold has no bytes to be saved
//   as; the whole text is refused where it arrives, instead of turning into
//   "?" on the way to the file, and a tip under the field says why.

#include <QString>
#include <optional>

class QWidget;

class InputFilter {
 public:
  enum class LineBreaks {
    ToSpaces,    // CR LF, CR, LF, U+2028 and U+2029 each become one space
    ToNewLines,  // U+2028 and U+2029 become LF; the memo keeps the others
  };

  explicit constexpr InputFilter(LineBreaks lineBreaks) : lineBreaks_(lineBreaks) {}

  // `text` as the field takes it, or nothing when the code page cannot hold
  // it; then the tip under `field` names what was refused. `position`, a
  // place in `text`, follows the character it stood after.
  std::optional<QString> Take(QWidget* field, const QString& text, int* position = nullptr) const;

  // `text` without NULs and with its line breaks turned, as Take does.
  QString Normalised(const QString& text, int* position = nullptr) const;

 private:
  LineBreaks lineBreaks_;
};

inline constexpr InputFilter kSingleLineInput{InputFilter::LineBreaks::ToSpaces};
inline constexpr InputFilter kAuthorsInput{InputFilter::LineBreaks::ToNewLines};
