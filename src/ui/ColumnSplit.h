#pragma once

#include <utility>

// The cell widths of the key and the translation column for an outer window
// width: 30% and 70% of the width less 50 pixels, each rounded to the
// nearest integer, an exact half to even, as the sibling programs' platform
// computes them in its 80-bit extended type.
std::pair<int, int> ColumnWidths(int outerWidth);
