#pragma once

// The cell painter: clears a grid cell and draws its text. The caller decides
// the colours, the style and the alignment; the painter places the text the
// same way in every cell, so fixed and normal cells line up.

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

namespace ProcFunc {

struct CellLook {
  QColor background;
  QColor text;
  bool bold = false;
  bool centred = false;  // otherwise from the left
};

// Texts start this far from the cell's left edge (unless centred) and below
// its top edge.
inline constexpr int kCellTextLeft = 4;
inline constexpr int kCellTextTop = 2;

// Where the text's top-left corner goes in `cell` for a text `textWidth`
// pixels wide. A centred text wider than its cell starts left of it and is
// cut on both sides.
QPoint CellTextOrigin(const QRect& cell, int textWidth, bool centred);

// Fills `cell` with the background and draws `text` in the painter's font,
// bold if asked, clipped to the cell. The painter's state is restored.
void DrawCell(QPainter& painter, const QRect& cell, const QString& text, const CellLook& look);

}  // namespace ProcFunc
