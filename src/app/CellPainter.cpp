#include "app/CellPainter.h"

#include <QFontMetrics>
#include <QPainter>

namespace ProcFunc {

QPoint CellTextOrigin(const QRect& cell, int textWidth, bool centred) {
  const int left = centred ? cell.left() + (cell.width() - textWidth) / 2 : cell.left() + kCellTextLeft;
  return {left, cell.top() + kCellTextTop};
}

void DrawCell(QPainter& painter, const QRect& cell, const QString& text, const CellLook& look) {
  painter.save();
  painter.fillRect(cell, look.background);
  QFont font = painter.font();
  font.setBold(look.bold);
  painter.setFont(font);
  painter.setPen(look.text);
  painter.setClipRect(cell, Qt::IntersectClip);
  const QFontMetrics metrics(font);
  const QPoint origin = CellTextOrigin(cell, metrics.horizontalAdvance(text), look.centred);
  painter.drawText(origin.x(), origin.y() + metrics.ascent(), text);
  painter.restore();
}

}  // namespace ProcFunc
