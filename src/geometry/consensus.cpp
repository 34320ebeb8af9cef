#include "geometry/consensus.h"

#include <bit>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/failure.h"
#include "geometry/landmark_row.h"

namespace qiv {
namespace {

using Index = Eigen::Index;

// 0.1 * 2^-27, given by its bit pattern so that it is exactly this double.
constexpr double kTolerance = std::bit_cast<double>(std::uint64_t{0x3E0999999999999A});

// Centres one row on its centroid and divides its coordinates by its centroid size.
void centre_and_scale(double* p, Index k) {
  const landmark_row::Centroid c = landmark_row::centroid(p, k);
  for (Index j = 0; j < k; ++j) {
    p[2 * j] -= c.x;
    p[2 * j + 1] -= c.y;
  }
  const double s = landmark_row::centroid_size(p, k);
  for (Index j = 0; j < 2 * k; ++j) p[j] /= s;
}

// Rotates one row by the angle that brings it closest to ref in the least-squares sense, then
// adds all of its m values to sum (one read of the row for the angle, one for the rotation).
void rotate_onto(double* p, const double* ref, Index k, double* sum) {
  double ct = 0.0;
  double st = 0.0;
  for (Index j = 0; j < k; ++j) {
    const double sx = p[2 * j];
    const double sy = p[2 * j + 1];
    const double rx = ref[2 * j];
    const double ry = ref[2 * j + 1];
    ct += rx * sx + ry * sy;
    st += sx * ry - sy * rx;
  }
  const double theta = std::atan2(st, ct);
  const double c = std::cos(theta);
  const double s = std::sin(theta);
  for (Index j = 0; j < k; ++j) {
    const double px = p[2 * j];
    const double py = p[2 * j + 1];
    p[2 * j] = px * c - py * s;
    p[2 * j + 1] = px * s + py * c;
    sum[2 * j] += p[2 * j];
    sum[2 * j + 1] += p[2 * j + 1];
  }
  sum[2 * k] += p[2 * k];
}

// Ends a pass: the consensus becomes the mean of the rows rescaled to unit size. Returns the
// squared change of its coordinates against the previous consensus.
double update_consensus(double* ref, std::vector<double>& sum, Index n, Index m) {
  const double rows = static_cast<double>(n);
  double f2 = 0.0;
  for (Index j = 0; j < m; ++j) {
    sum[j] /= rows;
    if (j < m - 1) f2 += sum[j] * sum[j];
  }
  const double f = std::sqrt(f2);
  double xd = 0.0;
  for (Index j = 0; j < m; ++j) {
    const double next = sum[j] / f;
    if (j < m - 1) {
      const double d = next - ref[j];
      xd += d * d;
    }
    ref[j] = next;
    sum[j] = 0.0;
  }
  return xd;
}

}  // namespace

Consensus fit_consensus(const Matrix& x, int max_passes, const AfterPass& after_pass) {
  assert(max_passes >= 1);
  const Index n = x.rows();
  const Index m = x.cols();
  if (n == 0) throw Failure("A landmark matrix needs at least one specimen.");
  if (m % 2 == 0) {
    throw Failure(
        "A landmark matrix needs the x and y of every landmark and then one trailing value; "
        "this one has " +
        std::to_string(m) + " columns.");
  }
  const Index k = m / 2;
  const std::size_t row_bytes = static_cast<std::size_t>(m) * sizeof(double);

  Consensus result{Matrix(1, m), Matrix(n, m), 0};
  double* ref = result.y.data();
  double* out = result.xpt.data();
  std::vector<double> sum(static_cast<std::size_t>(m), 0.0);

  // Centring and scaling of a row is followed at once by its first rotation, while the row is
  // still in cache; the first row, centred and scaled, is the starting consensus. The numbers
  // are those of centring every row first and then running the pass.
  std::memcpy(out, x.data(), row_bytes);
  centre_and_scale(out, k);
  std::memcpy(ref, out, row_bytes);
  for (Index i = 0; i < n; ++i) {
    double* p = out + i * m;
    if (i > 0) {
      std::memcpy(p, x.data() + i * m, row_bytes);
      centre_and_scale(p, k);
    }
    rotate_onto(p, ref, k, sum.data());
  }
  double xd = update_consensus(ref, sum, n, m);
  result.passes = 1;
  if (after_pass) after_pass(result.passes);

  while (xd > kTolerance) {
    if (result.passes >= max_passes) {
      throw Failure("The consensus fit did not converge after " + std::to_string(result.passes) +
                    " passes.");
    }
    for (Index i = 0; i < n; ++i) rotate_onto(out + i * m, ref, k, sum.data());
    xd = update_consensus(ref, sum, n, m);
    ++result.passes;
    if (after_pass) after_pass(result.passes);
  }
  return result;
}

Consensus getconsensus(const Matrix& x) { return fit_consensus(x, kMaxConsensusPasses); }

}  // namespace qiv
