#include "ui/InputFilter.h"

#include "app/TextCodec.h"
#include "ui/RefusalNotice.h"

namespace {

bool IsLineBreak(QChar c) {
  return c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

bool ChangedBy(const QStringView text, InputFilter::LineBreaks lineBreaks) {
  // Asked at every keystroke about the whole text: a look for each character
  // goes at the speed of memory, a loop over the characters would not.
  if (text.contains(QChar::Null) || text.contains(QChar::LineSeparator) ||
      text.contains(QChar::ParagraphSeparator))
    return true;
  return lineBreaks == InputFilter::LineBreaks::ToSpaces &&
         (text.contains(u'\r') || text.contains(u'\n'));
}

}  // namespace

QString InputFilter::Normalised(const QString& text, int* position) const {
  if (!ChangedBy(text, lineBreaks_)) return text;
  // NULs go first, so that a CR and an LF with a NUL between them are one
  // line break, as a reader of the file would see them.
  QString kept;
  kept.reserve(text.size());
  int newPosition = position ? *position : 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != QChar::Null)
      kept += text[i];
    else if (position && i < *position)
      --newPosition;
  }
  const bool toSpaces = lineBreaks_ == LineBreaks::ToSpaces;
  QString taken;
  taken.reserve(kept.size());
  const int keptPosition = newPosition;
  for (qsizetype i = 0; i < kept.size(); ++i) {
    const QChar c = kept[i];
    if (toSpaces && c == u'\r' && i + 1 < kept.size() && kept[i + 1] == u'\n') {
      if (position && i < keptPosition) --newPosition;  // two characters become one
    } else if (toSpaces && IsLineBreak(c)) {
      taken += u' ';
    } else if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
      taken += u'\n';
    } else {
      taken += c;
    }
  }
  if (position) *position = newPosition;
  return taken;
}

std::optional<QString> InputFilter::Take(QWidget* field, const QString& text, int* position) const {
  QString taken = Normalised(text, position);
  if (TextCodec::System().CanEncode(taken)) return taken;
  RefusalNotice::Show(field, taken);
  return std::nullopt;
}
