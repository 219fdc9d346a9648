#pragma once

// Puts a line edit's text through the window's input filter: the field stays
// single-line and storable, whatever is typed or pasted into it.

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
};
