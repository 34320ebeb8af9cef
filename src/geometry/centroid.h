#pragma once
// Centroid position and centroid size of landmark shapes. A shape of n values holds
// k = floor(n / 2) landmarks as x1 y1 ... xk yk; an odd last value (the trailing column of a
// landmark data row) belongs to no landmark and never contributes. Centroid size is the square
// root of the summed squared distances of the landmarks from their centroid, not divided by k.
// No input is validated: a shape without landmarks has centroid (NaN, NaN) and size 0.
#include "base/matrix.h"

namespace qiv {

// Centroid of one shape given as a row or a column: a 1 x 2 row [cx cy]. The shape's length
// is the larger dimension of x; a matrix that is not a vector is read in linear (column by
// column) order.
Matrix centpos(const Matrix& x);

// Centroid size of every row of x (one shape per row, k = floor(cols / 2)): an N x 1 column.
Matrix centsize(const Matrix& x);

// Centroid size of one shape given as a row or a column, read as centpos reads it.
double centsize2(const Matrix& x);

}  // namespace qiv
