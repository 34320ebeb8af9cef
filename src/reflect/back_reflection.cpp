#include "reflect/back_reflection.h"

#include <cassert>
#include <cmath>

#include "geometry/basereg.h"

namespace qiv {

Matrix back_reflect(const Matrix& data, const std::vector<long>& midpts) {
  assert(midpts.size() >= 2);
  const Eigen::Index nd = data.cols();
  const Eigen::Index k = (nd - 1) / 2;
  const Matrix bdata = basereg(data, static_cast<double>(midpts[0]), static_cast<double>(midpts[1]));

  std::vector<bool> flip(static_cast<std::size_t>(k), true);
  for (long p : midpts) {
    assert(p >= 1 && p <= k);
    flip[static_cast<std::size_t>(p - 1)] = false;
  }
  Eigen::Index f = 0;
  for (bool b : flip) f += b ? 1 : 0;

  Matrix out(data.rows(), 2 * (k + f) + 1);
  out.leftCols(2 * k) = bdata.leftCols(2 * k);
  Eigen::Index c = 2 * k;
  for (Eigen::Index j = 0; j < k; ++j) {
    if (!flip[static_cast<std::size_t>(j)]) continue;
    out.col(c) = bdata.col(2 * j);
    out.col(c + 1) = -bdata.col(2 * j + 1);
    c += 2;
  }
  out.col(c) = bdata.col(nd - 1);
  return out;
}

Eigen::Index first_coincident_row(const Matrix& data, long b1, long b2) {
  const Eigen::Index x1 = 2 * (b1 - 1);
  const Eigen::Index x2 = 2 * (b2 - 1);
  for (Eigen::Index r = 0; r < data.rows(); ++r) {
    const double dx = data(r, x2) - data(r, x1);
    const double dy = data(r, x2 + 1) - data(r, x1 + 1);
    if (std::pow(dx * dx + dy * dy, 0.5) == 0) return r;
  }
  return -1;
}

}  // namespace qiv
