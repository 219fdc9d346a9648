#include "ui/SingleLineValidator.h"

#include "app/TextCodec.h"

QValidator::State SingleLineValidator::validate(QString& input, int& position) const {
  input = JoinLines(input, &position);
  return TextCodec::System().CanEncode(input) ? Acceptable : Invalid;
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
