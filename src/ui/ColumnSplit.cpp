#include "ui/ColumnSplit.h"

#include <cmath>
#include <limits>

// Exact halves matter: 355 x 0.3 comes out as 106.5000000000000000052 in
// extended precision and goes to 107, where a double would give the even
// 106. A long double of another precision would split some widths
// differently, so such a platform does not build rather than differ.
static_assert(std::numeric_limits<long double>::digits == 64,
              "the column split needs long double with a 64-bit significand");

std::pair<int, int> ColumnWidths(int outerWidth) {
  const long double width = outerWidth - 50;
  return {static_cast<int>(std::nearbyintl(width * 0.3L)),
          static_cast<int>(std::nearbyintl(width * 0.7L))};
}
