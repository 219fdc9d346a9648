#pragma once

// The cell painter: clears a grid cell and draws its text. The caller decides
// the colours, the style and the alignment; the painter places the text the
// same way in every cell, so fixed and normal cells line up.

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

namespace ProcFunc {

enum class CellAlignment { Left = 0, Right = 1, Centred = 2 };

struct CellLook {
  QColor background;
  QColor text;
  bool bold = false;
  CellAlignment alignment = CellAlignment::Left;
  // The row has something to look at again: a mark in the top right corner,
  // which the text stops short of.
  bool marked = false;
};

// The mark's colour, and how far it reaches from the corner along each edge.
inline const QColor kCellMarkColour{230, 100, 0};
inline constexpr int kCellMarkSize = 7;

// Texts start this far from the cell's left edge (when aligned left) and
// below its top edge; a right-aligned text ends kCellTextRight before the
// right edge.
inline constexpr int kCellTextLeft = 4;
inline constexpr int kCellTextRight = 3;
inline constexpr int kCellTextTop = 2;

// Where the text's top-left corner goes in `cell` for a text `textWidth`
// pixels wide. A centred text wider than its cell starts left of it and is
// cut on both sides.
QPoint CellTextOrigin(const QRect& cell, int textWidth, CellAlignment alignment);

// Fills `cell` with the background and draws `text` in the painter's font,
// bold if asked, clipped to the cell, and the mark if asked. The painter's
// state is restored.
void DrawCell(QPainter& painter, const QRect& cell, const QString& text, const CellLook& look);

// The part of `text` that DrawCell draws in a cell `cellWidth` pixels wide:
// the start of a left-aligned text, the end of a right-aligned one, the
// middle of a centred one, as many characters as can show and more.
QString PaintedPart(const QString& text, int cellWidth, CellAlignment alignment);

}  // namespace ProcFunc
