#include "reflect/back_reflection.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "geometry/basereg.h"

namespace qiv {

Matrix back_reflect(const Matrix& data, const std::vector<long>& midpts) {
  assert(midpts.size() >= 2);
  const Eigen::Index nd = data.cols();
  const Eigen::Index k = (nd - 1) / 2;
  const Matrix bdata =
      basereg(data, static_cast<double>(midpts[0]), static_cast<double>(midpts[1]));

  std::vector<bool> flip(static_cast<std::size_t>(k), true);
  for (long p : midpts) {
    assert(p >= 1 && p <= k);
    flip[static_cast<std::size_t>(p - 1)] = false;
  }
  std::vector<Eigen::Index> sources;  // 0-based x columns of the mirrored landmarks
  for (Eigen::Index j = 0; j < k; ++j)
    if (flip[static_cast<std::size_t>(j)]) sources.push_back(2 * j);
  const auto f = static_cast<Eigen::Index>(sources.size());

  Matrix out(data.rows(), 2 * (k + f) + 1);
  for (Eigen::Index r = 0; r < out.rows(); ++r) {
    const double* b = bdata.data() + r * nd;
    double* o = out.data() + r * out.cols();
    std::copy(b, b + 2 * k, o);
    double* m = o + 2 * k;
    for (Eigen::Index src : sources) {
      *m++ = b[src];
      *m++ = -b[src + 1];
    }
    *m = b[nd - 1];
  }
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
