#include "ui/SingleLineValidator.h"

#include <QWidget>

#include "app/TextCodec.h"
#include "ui/RefusalNotice.h"

QValidator::State SingleLineValidator::validate(QString& input, int& position) const {
  input = JoinLines(input, &position);
  if (TextCodec::System().CanEncode(input)) return Acceptable;
  // The field asks again for reasons of its own (an Enter, a new text set),
  // so only a refusal explains itself, never a check that passes.
  RefusalNotice::Show(qobject_cast<QWidget*>(parent()), input);
  return Invalid;
}

QString SingleLineValidator::JoinLines(const QString& text, int* position) {
  if (!text.contains(u'\r') && !text.contains(u'\n')) return text;
  QString joined;
  joined.reserve(text.size());
  int newPosition = position ? *position : 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      if (position && i < *position) --newPosition;  // two characters become one
      continue;
    }
    joined += (c == u'\r' || c == u'\n') ? QChar(u' ') : c;
  }
  if (position) *position = newPosition;
  return joined;
}
