#include "ui/RefusalNotice.h"

#include <QStringList>
#include <QToolTip>
#include <QWidget>

#include "app/TextCodec.h"

namespace RefusalNotice {

namespace {

char32_t CodePoint(const QString& character) {
  // A lone surrogate is kept as it is, not turned into the replacement
  // character, so the notice names what was actually refused.
  if (character.size() == 2) return QChar::surrogateToUcs4(character[0], character[1]);
  return character.isEmpty() ? 0 : character[0].unicode();
}

// A mark, a control or format character, an unusual space or a lone
// surrogate shows as nothing, or on top of the quote, between quotes; its
// number is what the translator can look up.
bool ShowsByItself(const QString& character) {
  switch (QChar::category(CodePoint(character))) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
      return false;
    default:
      return true;
  }
}

QString Named(const QString& character) {
  if (ShowsByItself(character)) return u'"' + character + u'"';
  return QStringLiteral("U+%1").arg(CodePoint(character), 4, 16, QChar(u'0')).toUpper();
}

}  // namespace

QString Text(const TextCodec& codec, const QString& refused) {
  const QStringList characters = codec.Unencodable(refused);
  if (characters.isEmpty()) return {};
  QStringList named;
  for (const QString& character : characters.mid(0, kNamedCharacters))
    named.append(Named(character));
  QString list = named.join(u", ");
  if (characters.size() > kNamedCharacters)
    list += QStringLiteral(" and %1 more").arg(characters.size() - kNamedCharacters);
  return QStringLiteral("%1 cannot be saved: code page windows-%2 has no such %3.")
      .arg(list, QString::number(codec.CodePage()),
           characters.size() == 1 ? QStringLiteral("character") : QStringLiteral("characters"));
}

void Show(QWidget* field, const QString& refused) {
  if (!field || !field->isVisible()) return;
  const QString text = Text(TextCodec::System(), refused);
  if (text.isEmpty()) return;
  // The toolkit puts a tip a cursor's height below the point it is given,
  // so the field's lower left corner leaves the field itself in view. The
  // field's own rectangle makes every refusal a new tip, shown for its full
  // time again, rather than one that runs out on the first refusal's clock.
  QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), text, field, field->rect());
}

}  // namespace RefusalNotice
