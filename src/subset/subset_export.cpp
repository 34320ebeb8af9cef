#include "subset/subset_export.h"

#include <cassert>
#include <cmath>

#include "geometry/centroid.h"

namespace qiv {

Matrix subset_export(const Matrix& data, const std::vector<long>& landmarks) {
  const Eigen::Index md = data.rows();
  const Eigen::Index nd = data.cols();
  const auto p = static_cast<Eigen::Index>(landmarks.size());
  Matrix coords(md, 2 * p);
  for (Eigen::Index c = 0; c < p; ++c) {
    const Eigen::Index src = 2 * (landmarks[static_cast<std::size_t>(c)] - 1);
    assert(src >= 0 && src + 1 < nd);
    coords.col(2 * c) = data.col(src);
    coords.col(2 * c + 1) = data.col(src + 1);
  }
  Matrix out(md, 2 * p + 1);
  for (Eigen::Index r = 0; r < md; ++r) {
    coords.row(r) *= data(r, nd - 1);
    const double csi = centsize2(coords.row(r));
    out.row(r).head(2 * p) = coords.row(r) / csi;
    out(r, 2 * p) = csi;
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
