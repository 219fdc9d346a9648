#include "app/CellPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace ProcFunc {

// Drawing lays out the whole of a text, however little of it shows, and a
// cell holding ten million characters took seconds to paint. Every
// character that shows takes a pixel at least, so only as many characters
// as the cell is wide, and as many again for marks and others that take
// none, are drawn. Only a right-to-left run reaching across the cut would
// show differently, its cut end first.
QString PaintedPart(const QString& text, int cellWidth, CellAlignment alignment) {
  const qsizetype most = 2 * qsizetype{std::max(cellWidth, 0)} + 64;
  if (text.size() <= most) return text;
  qsizetype from = 0;
  if (alignment == CellAlignment::Right)
    from = text.size() - most;
  else if (alignment == CellAlignment::Centred)
    from = (text.size() - most) / 2;
  qsizetype to = from + most;
  // A surrogate pair stays whole at both ends.
  if (from > 0 && text[from].isLowSurrogate()) ++from;
  if (to < text.size() && text[to].isLowSurrogate()) ++to;
  return text.mid(from, to - from);
}

QPoint CellTextOrigin(const QRect& cell, int textWidth, CellAlignment alignment) {
  int left = cell.left() + kCellTextLeft;
  if (alignment == CellAlignment::Centred)
    left = cell.left() + (cell.width() - textWidth) / 2;  // toward zero, as integers divide
  else if (alignment == CellAlignment::Right)
    left = cell.left() + cell.width() - textWidth - kCellTextRight;
  return {left, cell.top() + kCellTextTop};
}

namespace {

// A triangle in the corner, edges along the cell's top and right edges.
void DrawMark(QPainter& painter, const QRect& cell) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kCellMarkColour);
  const int right = cell.right() + 1;
  const QPoint corner[] = {{right - kCellMarkSize, cell.top()},
                           {right, cell.top()},
                           {right, cell.top() + kCellMarkSize}};
  painter.drawPolygon(corner, 3);
  painter.restore();
}

}  // namespace

void DrawCell(QPainter& painter, const QRect& cell, const QString& text, const CellLook& look) {
  const QString painted = PaintedPart(text, cell.width(), look.alignment);
  painter.save();
  painter.fillRect(cell, look.background);
  QFont font = painter.font();
  font.setBold(look.bold);
  painter.setFont(font);
  painter.setPen(look.text);
  // The text stops short of the mark: a long key neither hides it nor hides
  // behind it.
  painter.setClipRect(look.marked ? cell.adjusted(0, 0, -kCellMarkSize - 1, 0) : cell,
                      Qt::IntersectClip);
  // Measured in the font it is drawn in, so that a bold text centres bold.
  const QFontMetrics metrics(font);
  const QPoint origin = CellTextOrigin(cell, metrics.horizontalAdvance(painted), look.alignment);
  painter.drawText(origin.x(), origin.y() + metrics.ascent(), painted);
  painter.restore();
  if (look.marked) DrawMark(painter, cell);
}

}  // namespace ProcFunc
