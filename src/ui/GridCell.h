#pragma once

#include <QColor>
#include <QRect>
#include <cstddef>

// A cell about to be painted, as the grid has prepared it: table column and
// row, its rectangle (column width by row height, the grid lines outside
// it), and the background the grid chose (fixed colour, window colour, or
// the highlight for the current cell while no editor shows it).
struct GridCell {
  int column = 0;
  std::size_t row = 0;
  QRect rect;
  QColor background;
  bool inSelection = false;  // the current cell's row
};
