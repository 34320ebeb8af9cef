#include "subset/subset_export.h"

#include <cassert>
#include <cmath>

#include "geometry/centroid.h"

namespace qiv {

Matrix subset_export(const Matrix& data, const std::vector<long>& landmarks) {
  const Eigen::Index md = data.rows();
  const Eigen::Index nd = data.cols();
  const auto p = static_cast<Eigen::Index>(landmarks.size());
  Matrix out(md, 2 * p + 1);
  Matrix shape(1, 2 * p);  // one specimen's subset, as centsize2 takes it
  for (Eigen::Index r = 0; r < md; ++r) {
    const double* src = data.data() + r * nd;
    const double size = src[nd - 1];
    for (Eigen::Index c = 0; c < p; ++c) {
      const Eigen::Index j = landmarks[static_cast<std::size_t>(c)];
      assert(j >= 1 && 2 * j < nd);
      shape(0, 2 * c) = src[2 * j - 2] * size;
      shape(0, 2 * c + 1) = src[2 * j - 1] * size;
    }
    const double csi = centsize2(shape);
    double* dst = out.data() + r * out.cols();
    for (Eigen::Index c = 0; c < 2 * p; ++c) dst[c] = shape(0, c) / csi;
    dst[2 * p] = csi;
  }
  return out;
}

Eigen::Index first_unscalable_row(const Matrix& exported) {
  const Eigen::Index last = exported.cols() - 1;
  for (Eigen::Index r = 0; r < exported.rows(); ++r) {
    const double csi = exported(r, last);
    if (csi == 0 || !std::isfinite(csi)) return r;
  }
  return -1;
}

}  // namespace qiv
