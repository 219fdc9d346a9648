#include "ui/SingleLineValidator.h"

#include <QWidget>

#include "ui/InputFilter.h"

QValidator::State SingleLineValidator::validate(QString& input, int& position) const {
  // The field asks again for reasons of its own (an Enter, a new text set),
  // so only a refusal explains itself, never a check that passes.
  auto taken = kSingleLineInput.Take(qobject_cast<QWidget*>(parent()), input, &position);
  if (!taken) return Invalid;
  input = std::move(*taken);
  return Acceptable;
}
