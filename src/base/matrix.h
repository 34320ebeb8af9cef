#pragma once
// The numeric value of the whole program: a dense row-major matrix of doubles. A landmark
// data matrix keeps one specimen per row, so rows are contiguous in memory.
#include <Eigen/Dense>

namespace qiv {

using Matrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;

// A 1 x 1 matrix holding v.
inline Matrix scalar(double v) {
  Matrix m(1, 1);
  m(0, 0) = v;
  return m;
}

// A 1 x n row.
inline Matrix row(std::initializer_list<double> values) {
  Matrix m(1, static_cast<Eigen::Index>(values.size()));
  Eigen::Index j = 0;
  for (double v : values) m(0, j++) = v;
  return m;
}

}  // namespace qiv
