#pragma once

// Keeps a single-line field single-line and storable. A value with a line
// break would be written into the language file as two lines, the second of
// them garbage, so pasted line breaks become spaces. A NUL would end the
// file's text where it stands, losing every line after it, so a pasted one
// is dropped: it shows as nothing, and no one means to type it. A character
// the system code page cannot hold has no bytes to be saved as, so it is
// refused where it is typed or pasted instead of turning into "?" on the way
// to the file, with a tip under the field saying why.

#include <QValidator>
#include <limits>

class SingleLineValidator : public QValidator {
  Q_OBJECT

 public:
  using QValidator::QValidator;

  State validate(QString& input, int& position) const override;

  // A line edit cuts its text at 32767 characters unless told otherwise,
  // and the next keystroke would store the cut text.
  static constexpr int kNoLengthLimit = std::numeric_limits<int>::max();

  // `text` with every line break (CR LF, CR, LF, U+2028 or U+2029)
  // replaced by one space; `position` follows the text it stood after.
  static QString JoinLines(const QString& text, int* position = nullptr);
  // `text` without its NUL characters; `position` as for JoinLines.
  static QString WithoutNulls(const QString& text, int* position = nullptr);
};
