#include "app/CellPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <utility>

namespace ProcFunc {

namespace {

CellPaintObserver& Observer() {
  static CellPaintObserver observer;
  return observer;
}

}  // namespace

QPoint CellTextOrigin(const QRect& cell, int textWidth, CellAlignment alignment) {
  int left = cell.left() + kCellTextLeft;
  if (alignment == CellAlignment::Centred)
    left = cell.left() + (cell.width() - textWidth) / 2;  // toward zero, as integers divide
  else if (alignment == CellAlignment::Right)
    left = cell.left() + cell.width() - textWidth - kCellTextRight;
  return {left, cell.top() + kCellTextTop};
}

void DrawCell(QPainter& painter, const QRect& cell, const QString& text, const CellLook& look) {
  if (Observer()) Observer()(cell, text, look);
  painter.save();
  painter.fillRect(cell, look.background);
  QFont font = painter.font();
  font.setBold(look.bold);
  painter.setFont(font);
  painter.setPen(look.text);
  painter.setClipRect(cell, Qt::IntersectClip);
  // Measured in the font it is drawn in, so that a bold text centres bold.
  const QFontMetrics metrics(font);
  const QPoint origin = CellTextOrigin(cell, metrics.horizontalAdvance(text), look.alignment);
  painter.drawText(origin.x(), origin.y() + metrics.ascent(), text);
  painter.restore();
}

CellPaintObserver SetCellPaintObserver(CellPaintObserver observer) {
  return std::exchange(Observer(), std::move(observer));
}

}  // namespace ProcFunc
