#include "ui/StatusLine.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

StatusLine::StatusLine(QWidget* parent)
    : QWidget(parent), progress_(new QLabel(this)), note_(new QLabel(this)), noteTimer_(new QTimer(this)) {
  setObjectName("StatusLine");
  progress_->setObjectName("lblProgress");
  note_->setObjectName("lblNote");
  // Counts that change as the translator types would otherwise be copied
  // out of the window only by typing them again.
  progress_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 2, 8, 2);
  layout->setSpacing(16);
  layout->addWidget(progress_);
  layout->addWidget(note_, 1);
  noteTimer_->setSingleShot(true);
  noteTimer_->setInterval(5000);
  connect(noteTimer_, &QTimer::timeout, note_, &QLabel::clear);
}

void StatusLine::ShowProgress(const QString& text) { progress_->setText(text); }

void StatusLine::ShowNote(const QString& text) {
  note_->setText(text);
  noteTimer_->start();
}

QString StatusLine::ProgressText() const { return progress_->text(); }
QString StatusLine::NoteText() const { return note_->text(); }
