#include "ui/Controls.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>

#include "app/TextCodec.h"

void TComboBox::showPopup() {
  emit DropDown();
  QComboBox::showPopup();
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

void TMemo::keyPressEvent(QKeyEvent* event) {
  if (!event->text().isEmpty() && !TextCodec::System().CanEncode(event->text())) {
    event->accept();  // refused: nothing is typed
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

bool TMemo::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasText() && TextCodec::System().CanEncode(source->text());
}

void TMemo::insertFromMimeData(const QMimeData* source) {
  if (canInsertFromMimeData(source)) QPlainTextEdit::insertFromMimeData(source);
}
