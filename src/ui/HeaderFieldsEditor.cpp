#include "ui/HeaderFieldsEditor.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <algorithm>
#include <chrono>

#include "app/ErrorHandler.h"
#include "app/TextCodec.h"
#include "ui/Controls.h"
#include "workspace/Workspace.h"

namespace {

using namespace std::chrono;

QDate DateOf(platform::LocalDateTime dateTime) {
  const year_month_day calendar{floor<days>(dateTime)};
  return {static_cast<int>(calendar.year()),
          static_cast<int>(static_cast<unsigned>(calendar.month())),
          static_cast<int>(static_cast<unsigned>(calendar.day()))};
}

// The memo's lines as typed. Read block by block: the memo's plain text
// turns no-break spaces into spaces, which would rewrite a byte of every
// author at the first keystroke.
QStringList MemoLines(const QPlainTextEdit& memo) {
  QStringList lines;
  for (QTextBlock block = memo.document()->begin(); block.isValid(); block = block.next())
    lines.append(block.text());
  // A memo's last line break ends a line; it does not start another.
  if (lines.size() > 1 && lines.back().isEmpty()) lines.removeLast();
  if (lines.size() == 1 && lines.front().isEmpty()) lines.clear();
  return lines;
}

}  // namespace

HeaderFieldsEditor::HeaderFieldsEditor(const MainWindowControls& controls,
                                       workspace::Workspace& workspace,
                                       ProcFunc::MessageBoxes& errorBoxes, QObject* parent)
    : QObject(parent), controls_(controls), workspace_(workspace), errorBoxes_(errorBoxes) {
  using workspace::EditField;
  const auto bind = [this](QLineEdit* edit, EditField field) {
    connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
      ProcFunc::Guarded(errorBoxes_, [&] {
        // The field refuses what the code page cannot hold; should anything
        // slip through, the stored text stays as it was.
        if (auto bytes = TextCodec::System().Encode(text)) Store(field, std::move(*bytes));
      });
    });
  };
  bind(controls.eLngTag, EditField::Tag);
  bind(controls.eLngName, EditField::Name);
  bind(controls.eProgramVersion, EditField::ProgramVersion);
  bind(controls.eTranslateVersion, EditField::TranslationVersion);

  connect(controls.eDate, &QDateEdit::dateChanged, this, [this](QDate date) {
    if (showing_ || !date.isValid()) return;
    ProcFunc::Guarded(errorBoxes_, [&] {
      Store(EditField::Date, date.toString(Qt::ISODate).toStdString());
    });
  });
  connect(controls.mAutors, &QPlainTextEdit::textChanged, this,
          [this] { ProcFunc::Guarded(errorBoxes_, [this] { StoreAuthors(); }); });

  // Undoing and restoring change the header too, and the fields show it.
  editListener_ = workspace_.OnEdited([this](const workspace::EditEvent& edit) {
    if (!storing_ && edit.target.field != EditField::Translation) Show();
  });
}

HeaderFieldsEditor::~HeaderFieldsEditor() { workspace_.RemoveEditListener(editListener_); }

void HeaderFieldsEditor::Store(workspace::EditField field, std::string value) {
  const QScopedValueRollback storing(storing_, true);
  workspace_.Edit({field, 0}, std::move(value));
}

void HeaderFieldsEditor::Show() {
  const QScopedValueRollback showing(showing_, true);
  const auto& header = workspace_.Header();
  const TextCodec& codec = TextCodec::System();
  controls_.eLngTag->setText(codec.Decode(header.tag));
  controls_.eLngName->setText(codec.Decode(header.name));
  controls_.eProgramVersion->setText(codec.Decode(header.programVersion));
  controls_.eTranslateVersion->setText(codec.Decode(header.translationVersion));
  QStringList authors;
  shownAuthors_.clear();
  for (const std::string& line : header.authors) {
    authors.append(codec.Decode(line));
    shownAuthors_.emplace_back(authors.back(), line);
  }
  controls_.mAutors->setPlainText(authors.join(u'\n'));
  controls_.eDate->setDate(DateOf(workspace_.Date()));
}

void HeaderFieldsEditor::StoreAuthors() {
  if (showing_) return;
  const QStringList lines = MemoLines(*controls_.mAutors);
  std::vector<std::string> authors;
  authors.reserve(static_cast<std::size_t>(lines.size()));
  for (const QString& line : lines) {
    // A line as it was shown keeps its bytes exactly, wherever it moved.
    const auto shown = std::find_if(shownAuthors_.begin(), shownAuthors_.end(),
                                    [&](const auto& author) { return author.first == line; });
    if (shown != shownAuthors_.end()) {
      authors.push_back(shown->second);
      continue;
    }
    auto bytes = TextCodec::System().Encode(line);
    // The memo refuses what the code page cannot hold; should anything slip
    // through, no line is stored under another line's number.
    if (!bytes) return;
    authors.push_back(std::move(*bytes));
  }
  Store(workspace::EditField::Authors, workspace::AuthorsValue(authors));
}
