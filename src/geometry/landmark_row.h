#pragma once
// Kernels on one shape stored contiguously as x1 y1 x2 y2 ... xk yk (a trailing value after
// yk, if any, is never read). They are shared by the centroid functions and the consensus
// fit so that both compute bit for bit the same numbers. Sums run in landmark order from 0;
// the compiler may not reorder them (no -ffast-math), which keeps results reproducible.
#include <cmath>
#include <cstddef>

namespace qiv::landmark_row {

struct Centroid {
  double x;
  double y;
};

// Mean landmark position; NaN for both coordinates when k == 0.
inline Centroid centroid(const double* p, std::ptrdiff_t k) {
  double sx = 0.0;
  double sy = 0.0;
  for (std::ptrdiff_t j = 0; j < k; ++j) {
    sx += p[2 * j];
    sy += p[2 * j + 1];
  }
  const double count = static_cast<double>(k);
  return {sx / count, sy / count};
}

// Square root of the summed squared landmark distances from the centroid; 0 when k == 0.
inline double centroid_size(const double* p, std::ptrdiff_t k) {
  const Centroid c = centroid(p, k);
  double s = 0.0;
  for (std::ptrdiff_t j = 0; j < k; ++j) {
    const double dx = p[2 * j] - c.x;
    const double dy = p[2 * j + 1] - c.y;
    s = s + dx * dx + dy * dy;
  }
  return std::pow(s, 0.5);
}

}  // namespace qiv::landmark_row
