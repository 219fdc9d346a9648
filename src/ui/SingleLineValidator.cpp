#include "ui/SingleLineValidator.h"

#include <QWidget>

#include "app/TextCodec.h"
#include "ui/RefusalNotice.h"

namespace {

bool IsLineBreak(QChar c) {
  return c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

}  // namespace

QValidator::State SingleLineValidator::validate(QString& input, int& position) const {
  input = JoinLines(WithoutNulls(input, &position), &position);
  if (TextCodec::System().CanEncode(input)) return Acceptable;
  // The field asks again for reasons of its own (an Enter, a new text set),
  // so only a refusal explains itself, never a check that passes.
  RefusalNotice::Show(qobject_cast<QWidget*>(parent()), input);
  return Invalid;
}

QString SingleLineValidator::JoinLines(const QString& text, int* position) {
  // Asked at every keystroke about the whole text: a look for each break
  // goes at the speed of memory, a loop over the characters would not.
  const QStringView view(text);
  if (!view.contains(u'\r') && !view.contains(u'\n') && !view.contains(QChar::LineSeparator) &&
      !view.contains(QChar::ParagraphSeparator))
    return text;
  QString joined;
  joined.reserve(text.size());
  int newPosition = position ? *position : 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      if (position && i < *position) --newPosition;  // two characters become one
      continue;
    }
    joined += IsLineBreak(c) ? QChar(u' ') : c;
  }
  if (position) *position = newPosition;
  return joined;
}

QString SingleLineValidator::WithoutNulls(const QString& text, int* position) {
  if (!QStringView(text).contains(QChar::Null)) return text;
  QString kept;
  kept.reserve(text.size());
  int newPosition = position ? *position : 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != QChar::Null)
      kept += text[i];
    else if (position && i < *position)
      --newPosition;
  }
  if (position) *position = newPosition;
  return kept;
}
