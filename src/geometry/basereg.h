#pragma once
// Baseline registration: every specimen (row) is translated so that landmark b1 lies at the
// origin, scaled so that the baseline b1-b2 has length 1, and rotated so that b2 lies at
// (1, 0). Distances within a row are divided by that row's baseline length.
#include "base/matrix.h"

namespace qiv {

// x holds one specimen per row, landmark j (1-based) at columns 2j-1 and 2j; when the column
// count is odd the last column is the trailing value, returned bit for bit. With an even
// column count every column is a coordinate. b1 and b2 are 1-based landmark numbers; one that
// is not a whole number from 1 to floor(cols / 2) throws Failure naming it. A row whose two
// baseline landmarks coincide (or b1 == b2) becomes NaN in every coordinate, without error.
Matrix basereg(const Matrix& x, double b1, double b2);

}  // namespace qiv
