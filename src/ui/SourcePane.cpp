#include "ui/SourcePane.h"

#include <QTextBlock>
#include <QTextCursor>

#include "app/TextCodec.h"
#include "workspace/OtherLanguages.h"
#include "workspace/Workspace.h"

namespace {

QString Decoded(std::string_view bytes) { return TextCodec::System().Decode(bytes); }

// Laying out a text of millions of characters takes the pane seconds, at
// every move onto its row; more than this is cut, on screen only: the keys
// that copy a text copy it whole.
constexpr std::size_t kShownBytes = 4000;

QString Shown(std::string_view bytes) {
  if (bytes.size() <= kShownBytes) return Decoded(bytes);
  return Decoded(bytes.substr(0, kShownBytes)) + QChar(0x2026);
}

const QColor kHeadingColour{0, 0, 128};

}  // namespace

SourcePane::SourcePane(const workspace::Workspace& workspace,
                       const workspace::OtherLanguages& languages, QWidget* parent)
    : QPlainTextEdit(parent), workspace_(workspace), languages_(languages) {
  setObjectName("SourcePane");
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  // Reached by the mouse, to select; Tab still goes round the controls as
  // it always has.
  setFocusPolicy(Qt::ClickFocus);
  setUndoRedoEnabled(false);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

QSize SourcePane::sizeHint() const {
  // Room for the source text and a few languages; the splitter gives more.
  return {QPlainTextEdit::sizeHint().width(), fontMetrics().lineSpacing() * 5 + 10};
}

std::optional<std::string> SourcePane::OtherText(std::size_t index, std::size_t row) const {
  const workspace::TranslationTable& table = workspace_.Table();
  if (index >= languages_.Languages().size() || !table.IsKey(row)) return std::nullopt;
  return languages_.Text(index, table.SectionOf(row), table.Key(row));
}

void SourcePane::Show(std::optional<std::size_t> row) {
  clear();
  const workspace::TranslationTable& table = workspace_.Table();
  if (!row || !table.IsKey(*row)) return;

  // Headings and notes stand apart by colour alone: the window's font may
  // have no bold or italic face, and a stand-in face would jar.
  QTextCharFormat plain;
  QTextCharFormat heading;
  heading.setForeground(kHeadingColour);
  QTextCharFormat note;
  note.setForeground(palette().color(QPalette::Disabled, QPalette::Text));

  // Built through a cursor, never as markup: the texts are the translator's
  // and may hold anything.
  QTextCursor cursor(document());
  cursor.insertText(QStringLiteral("Source: "), heading);
  cursor.insertText(Shown(workspace_.SourceText(*row)), plain);
  const auto& languages = languages_.Languages();
  for (std::size_t index = 0; index < languages.size(); ++index) {
    cursor.insertBlock();
    const auto& language = languages[index];
    QString head = Shown(language.name) + " (" + Shown(language.tag) + "): ";
    if (index < kNumberedLanguages) head.prepend(QStringLiteral("Alt+%1  ").arg(index + 1));
    cursor.insertText(head, heading);
    if (const auto text = OtherText(index, *row)) cursor.insertText(Shown(*text), plain);
  }
  for (const auto& unreadable : languages_.Unreadable()) {
    cursor.insertBlock();
    std::string_view path = unreadable.fileName;
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    const std::string_view name = path.substr(path.rfind('/') + 1);
    cursor.insertText(FileNameText(name) + ": cannot be read: " +
                          Decoded(unreadable.reason),
                      note);
  }
  moveCursor(QTextCursor::Start);
}
