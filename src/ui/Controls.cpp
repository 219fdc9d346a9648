#include "ui/Controls.h"

#include <QAbstractItemView>
#include <QInputMethodEvent>
#include <QTextCharFormat>
#include <utility>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>

#include "app/ProcFunc.h"
#include "ui/InputFilter.h"
#include "ui/SingleLineValidator.h"

void TComboBox::showPopup() {
  emit DropDown();
  QComboBox::showPopup();
  // The toolkit sizes the list to the control; the dropped width, when one
  // is set, is the whole list's width, exactly.
  bool set = false;
  const int width = property(ProcFunc::kDroppedWidthProperty).toInt(&set);
  QWidget* list = view()->window();
  if (set && width > 0 && list != window()) {
    view()->setMinimumWidth(0);
    list->setMinimumWidth(0);
    list->resize(width, list->height());
  }
}

QSize FixedHeightItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
  return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
}

bool TDateEdit::focusNextPrevChild(bool next) {
  // The spin box would step through its sections first.
  return QWidget::focusNextPrevChild(next);
}

void TGroupBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  const int lineY = metrics.height() / 2;
  const QRect frame = rect().adjusted(0, lineY, -1, -1);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(frame);
  const QRect caption(8, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
  painter.fillRect(caption, palette().color(QPalette::Window));
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(caption, Qt::AlignCenter, title());
}

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {
  setValidator(new SingleLineValidator(this));
  setMaxLength(SingleLineValidator::kNoLengthLimit);
}

void TEdit::dropEvent(QDropEvent* event) {
  // The line edit takes every drop, the ones its validator then refuses as
  // well, and the application a moved text came from would delete it.
  const QMimeData* data = event->mimeData();
  if (data->hasText() && !kSingleLineInput.Take(this, data->text())) {
    event->setDropAction(Qt::IgnoreAction);
    event->ignore();
    QDragLeaveEvent leave;  // puts away the cursor that showed where it would go
    QLineEdit::dragLeaveEvent(&leave);
    return;
  }
  QLineEdit::dropEvent(event);
}

void TEdit::MarkMisspelled(QList<TextRun> words) {
  const bool same = words == misspelled_;
  misspelled_ = std::move(words);
  if (composing_ || (same && underlined_)) return;
  Underline();
}

// The line edit formats its text only for an input method. An input method
// event that composes and commits nothing sets the formats alone: the text,
// the cursor, the selection and the undo history stay as they are. The runs
// are given from the cursor, and kept where they fall in the text.
void TEdit::Underline() {
  QTextCharFormat format;
  format.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
  format.setUnderlineColor(Qt::red);
  QList<QInputMethodEvent::Attribute> attributes;
  attributes.reserve(misspelled_.size());
  const int cursor = cursorPosition();
  for (const TextRun& word : misspelled_)
    attributes.append({QInputMethodEvent::TextFormat, word.start - cursor, word.length, format});
  QInputMethodEvent event(QString(), attributes);
  QLineEdit::inputMethodEvent(&event);
  underlined_ = true;
}

void TEdit::inputMethodEvent(QInputMethodEvent* event) {
  // A real input method's event sets its own formats in place of ours; a
  // text it commits marks the words afresh on the way (textChanged).
  composing_ = !event->preeditString().isEmpty();
  underlined_ = false;
  QLineEdit::inputMethodEvent(event);
  // A composition that ends without changing the text brings its words back.
  if (!composing_ && !underlined_) {
    if (misspelled_.isEmpty())
      underlined_ = true;
    else
      Underline();
  }
}

void TMemo::keyPressEvent(QKeyEvent* event) {
  if (!event->text().isEmpty()) {
    const auto text = kAuthorsInput.Take(this, event->text());
    event->accept();
    if (!text) return;  // refused: nothing is typed
    if (*text != event->text()) {
      // A typed line separator starts the next author, as a pasted one
      // does; a typed NUL is nothing, and must not replace the selection.
      if (!text->isEmpty()) insertPlainText(*text);
      return;
    }
  }
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & Qt::ShiftModifier)) {
    // Shift+Enter would break the line inside one author; every line break
    // here starts the next author.
    QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                    event->text(), event->isAutoRepeat(), static_cast<ushort>(event->count()));
    QPlainTextEdit::keyPressEvent(&plain);
    event->setAccepted(plain.isAccepted());
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void TMemo::inputMethodEvent(QInputMethodEvent* event) {
  // Composed characters (dead keys, input methods) arrive here, not as keys.
  const auto text = kAuthorsInput.Take(this, event->commitString());
  if (!text) {
    QInputMethodEvent refused(event->preeditString(), event->attributes());
    QPlainTextEdit::inputMethodEvent(&refused);
    event->accept();
    return;
  }
  if (*text == event->commitString()) {
    QPlainTextEdit::inputMethodEvent(event);
    return;
  }
  QInputMethodEvent taken(event->preeditString(), event->attributes());
  taken.setCommitString(*text, event->replacementStart(), event->replacementLength());
  QPlainTextEdit::inputMethodEvent(&taken);
  event->setAccepted(taken.isAccepted());
}

// Any text is offered for pasting and dropping, so that a refused one is
// explained rather than a greyed-out Paste left unexplained.
bool TMemo::canInsertFromMimeData(const QMimeData* source) const { return source->hasText(); }

void TMemo::insertFromMimeData(const QMimeData* source) {
  if (!source->hasText()) return;
  const auto text = kAuthorsInput.Take(this, source->text());
  if (!text) return;
  if (*text == source->text()) {
    QPlainTextEdit::insertFromMimeData(source);
  } else {
    QMimeData taken;
    taken.setText(*text);
    QPlainTextEdit::insertFromMimeData(&taken);
  }
}

void TMemo::dropEvent(QDropEvent* event) {
  // A refused drop must not count as taken: the application it was dragged
  // from would delete a text that was moved nowhere.
  const QMimeData* data = event->mimeData();
  if (data->hasText() && !kAuthorsInput.Take(this, data->text())) {
    event->setDropAction(Qt::IgnoreAction);
    event->ignore();
    return;
  }
  QPlainTextEdit::dropEvent(event);
}
