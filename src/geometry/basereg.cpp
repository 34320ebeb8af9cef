#include "geometry/basereg.h"

#include <charconv>
#include <cmath>
#include <string>

#include "base/failure.h"

namespace qiv {
namespace {

std::string number_text(double v) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v > 0 ? "Inf" : "-Inf";
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, result.ptr);
}

void check_landmark_number(double b, Eigen::Index k) {
  if (b >= 1 && b <= static_cast<double>(k) && b == std::floor(b)) return;
  if (k == 0) {
    throw Failure("Baseline landmark " + number_text(b) +
                  " is not a landmark number: the matrix has no landmarks.");
  }
  throw Failure("Baseline landmark " + number_text(b) + " is not a landmark number from 1 to " +
                std::to_string(k) + ".");
}

}  // namespace

Matrix basereg(const Matrix& x, double b1, double b2) {
  const Eigen::Index n = x.cols();
  const Eigen::Index k = n / 2;
  check_landmark_number(b1, k);
  check_landmark_number(b2, k);
  const Eigen::Index x1 = 2 * (static_cast<Eigen::Index>(b1) - 1);  // 0-based column of b1's x
  const Eigen::Index x2 = 2 * (static_cast<Eigen::Index>(b2) - 1);

  Matrix y = x;
  for (Eigen::Index i = 0; i < y.rows(); ++i) {
    double* p = y.data() + i * n;
    const double tx = p[x1];
    const double ty = p[x1 + 1];
    for (Eigen::Index j = 0; j < k; ++j) {
      p[2 * j] -= tx;
      p[2 * j + 1] -= ty;
    }
    const double temp = std::pow(p[x2 + 1] * p[x2 + 1] + p[x2] * p[x2], 0.5);
    // The trailing value is scaled along with the rest and restored below.
    for (Eigen::Index j = 0; j < n; ++j) p[j] /= temp;
    const double theta = -std::atan2(p[x2 + 1], p[x2]);
    const double ct = std::cos(theta);
    const double st = std::sin(theta);
    for (Eigen::Index j = 0; j < k; ++j) {
      const double px = p[2 * j];
      const double py = p[2 * j + 1];
      p[2 * j] = px * ct - st * py;
      p[2 * j + 1] = py * ct + st * px;
    }
    if (n % 2 == 1) p[n - 1] = x(i, n - 1);
  }
  return y;
}

}  // namespace qiv
