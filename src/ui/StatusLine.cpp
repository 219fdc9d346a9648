#include "ui/StatusLine.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

StatusLine::StatusLine(QWidget* parent)
    : QWidget(parent),
      progress_(new QLabel(this)),
      warnings_(new QLabel(this)),
      note_(new QLabel(this)),
      noteTimer_(new QTimer(this)) {
  setObjectName("StatusLine");
  progress_->setObjectName("lblProgress");
  warnings_->setObjectName("lblWarnings");
  note_->setObjectName("lblNote");
  // Counts that change as the translator types would otherwise be copied
  // out of the window only by typing them again.
  progress_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 2, 8, 2);
  layout->setSpacing(16);
  layout->addWidget(progress_);
  layout->addWidget(warnings_);
  layout->addWidget(note_, 1);
  noteTimer_->setSingleShot(true);
  noteTimer_->setInterval(5000);
  connect(noteTimer_, &QTimer::timeout, note_, &QLabel::clear);
}

void StatusLine::ShowProgress(const QString& text) { progress_->setText(text); }
void StatusLine::ShowWarnings(const QString& text) {
  warnings_->setText(text);
  // An empty label would still take the spacing beside it.
  warnings_->setHidden(text.isEmpty());
}

void StatusLine::ShowNote(const QString& text) {
  note_->setText(text);
  noteTimer_->start();
}

QString StatusLine::ProgressText() const { return progress_->text(); }
QString StatusLine::WarningsText() const { return warnings_->text(); }
QString StatusLine::NoteText() const { return note_->text(); }
