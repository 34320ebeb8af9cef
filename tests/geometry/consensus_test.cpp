#include "geometry/consensus.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>
#include <string>

#include "base/failure.h"
#include "geometry/centroid.h"

namespace qiv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// k landmarks of one random base shape, then per specimen Gaussian landmark noise, a random
// rotation, scale and translation; the trailing value is the scale.
Matrix noisy_specimens(Eigen::Index n, Eigen::Index k, double noise_sd, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_real_distribution<double> angle(-std::numbers::pi, std::numbers::pi);
  std::normal_distribution<double> noise(0.0, noise_sd);
  Eigen::VectorXd base(2 * k);
  for (Eigen::Index j = 0; j < 2 * k; ++j) base[j] = unit(rng);
  Matrix x(n, 2 * k + 1);
  for (Eigen::Index i = 0; i < n; ++i) {
    const double a = angle(rng);
    const double s = 0.5 + unit(rng) + 1.0;
    const double tx = 10 * unit(rng);
    const double ty = 10 * unit(rng);
    for (Eigen::Index j = 0; j < k; ++j) {
      const double px = base[2 * j] + noise(rng);
      const double py = base[2 * j + 1] + noise(rng);
      x(i, 2 * j) = s * (px * std::cos(a) - py * std::sin(a)) + tx;
      x(i, 2 * j + 1) = s * (px * std::sin(a) + py * std::cos(a)) + ty;
    }
    x(i, 2 * k) = s;
  }
  return x;
}

// Row i of x rotated anticlockwise by phi, coordinates only.
Matrix rotated(const Matrix& x, Eigen::Index i, double phi) {
  Matrix r = x.row(i);
  for (Eigen::Index j = 0; j + 1 < r.cols(); j += 2) {
    r(0, j) = x(i, j) * std::cos(phi) - x(i, j + 1) * std::sin(phi);
    r(0, j + 1) = x(i, j) * std::sin(phi) + x(i, j + 1) * std::cos(phi);
  }
  return r;
}

double squared_distance(const Matrix& a, const Matrix& b) {
  const Eigen::Index m = a.cols() - 1;
  return (a.leftCols(m) - b.leftCols(m)).squaredNorm();
}

// Twice the signed area of the polygon through the landmarks; its sign tells a shape from
// its mirror image.
double signed_area(const Matrix& x, Eigen::Index i) {
  const Eigen::Index k = x.cols() / 2;
  double a = 0;
  for (Eigen::Index j = 0; j < k; ++j) {
    const Eigen::Index next = (j + 1) % k;
    a += x(i, 2 * j) * x(i, 2 * next + 1) - x(i, 2 * next) * x(i, 2 * j + 1);
  }
  return a;
}

std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(v); }

TEST(Getconsensus, OneSpecimenIsCentredAndScaled) {
  const Consensus c = getconsensus(row({0, 0, 2, 0, 2, 2, 0, 2, 9}));
  const double h = 1 / std::sqrt(8.0);
  const Matrix expected = row({-h, -h, h, -h, h, h, -h, h, 9});
  EXPECT_EQ(c.passes, 1);
  ASSERT_EQ(c.y.rows(), 1);
  ASSERT_EQ(c.y.cols(), 9);
  ASSERT_EQ(c.xpt.rows(), 1);
  for (Eigen::Index j = 0; j < 9; ++j) {
    EXPECT_NEAR(c.y(0, j), expected(0, j), 1e-14) << "column " << j + 1;
    EXPECT_NEAR(c.xpt(0, j), expected(0, j), 1e-14) << "column " << j + 1;
  }
  EXPECT_EQ(c.xpt(0, 8), 9.0);
}

struct Similarity {
  double angle;
  double scale;
  double tx;
  double ty;
};

TEST(Getconsensus, SpecimensDifferingBySimilarityCoincideInOnePass) {
  const Similarity cases[] = {{0.3, 2.0, 5, -7},
                              {-2.0, 0.01, 0, 0},
                              {3.14159, 50, 1e3, 1e3},
                              {-3.14159, 1, -4, 2},
                              {1.5707963, 0.3, 0, 9}};
  const Matrix base = noisy_specimens(1, 12, 0.0, 7);
  for (const Similarity& s : cases) {
    SCOPED_TRACE(testing::Message() << "angle " << s.angle << " scale " << s.scale);
    Matrix x(2, base.cols());
    x.row(0) = base.row(0);
    for (Eigen::Index j = 0; j < 12; ++j) {
      const double px = base(0, 2 * j);
      const double py = base(0, 2 * j + 1);
      x(1, 2 * j) = s.scale * (px * std::cos(s.angle) - py * std::sin(s.angle)) + s.tx;
      x(1, 2 * j + 1) = s.scale * (px * std::sin(s.angle) + py * std::cos(s.angle)) + s.ty;
    }
    x(1, 24) = 3;
    const Consensus c = getconsensus(x);
    EXPECT_EQ(c.passes, 1);
    for (Eigen::Index i = 0; i < 2; ++i) {
      for (Eigen::Index j = 0; j < 24; ++j) EXPECT_NEAR(c.xpt(i, j), c.y(0, j), 1e-12);
    }
  }
}

TEST(Getconsensus, ConsensusAndSpecimensHaveUnitSizeAndCentreAtOrigin) {
  const Matrix x = noisy_specimens(40, 9, 0.1, 11);
  const Consensus c = getconsensus(x);
  EXPECT_NEAR(c.y.leftCols(18).squaredNorm(), 1.0, 1e-14);
  const Matrix centre = centpos(c.y);
  EXPECT_NEAR(centre(0, 0), 0.0, 1e-15);
  EXPECT_NEAR(centre(0, 1), 0.0, 1e-15);
  const Matrix sizes = centsize(c.xpt);
  for (Eigen::Index i = 0; i < x.rows(); ++i) {
    EXPECT_NEAR(sizes(i, 0), 1.0, 1e-14) << "row " << i;
    const Matrix p = centpos(Matrix(c.xpt.row(i)));
    EXPECT_NEAR(p(0, 0), 0.0, 1e-15) << "row " << i;
    EXPECT_NEAR(p(0, 1), 0.0, 1e-15) << "row " << i;
  }
}

TEST(Getconsensus, TrailingColumnCarriedBitForBit) {
  Matrix x = noisy_specimens(6, 5, 0.05, 12);
  const double trailing[] = {-0.0, 4.9e-324, 1e308, 0.1, -7, 1e-300};
  for (Eigen::Index i = 0; i < 6; ++i) x(i, 10) = trailing[i];
  const Consensus c = getconsensus(x);
  for (Eigen::Index i = 0; i < 6; ++i) EXPECT_EQ(bits(c.xpt(i, 10)), bits(x(i, 10)));
  // The consensus' trailing entry is the mean trailing value over the last size factor, the
  // size of the mean of the superimposed specimens.
  const double f = c.xpt.leftCols(10).colwise().mean().norm();
  EXPECT_LT(f, 0.999);
  EXPECT_NEAR(c.y(0, 10) / (x.col(10).mean() / f), 1.0, 1e-13);

  x(2, 10) = kNaN;
  const Consensus with_nan = getconsensus(x);
  EXPECT_EQ(bits(with_nan.xpt(2, 10)), bits(kNaN));
  EXPECT_TRUE(std::isnan(with_nan.y(0, 10)));
  EXPECT_FALSE(std::isnan(with_nan.y(0, 0)));
}

TEST(Getconsensus, MirrorImagesAreRotatedNotReflected) {
  Matrix x = noisy_specimens(1, 7, 0.0, 13);
  x.conservativeResize(2, Eigen::NoChange);
  x.row(1) = x.row(0);
  for (Eigen::Index j = 0; j < 14; j += 2) x(1, j) = -x(0, j);
  const Consensus c = getconsensus(x);
  EXPECT_GT(signed_area(x, 0) * signed_area(c.xpt, 0), 0);
  EXPECT_GT(signed_area(x, 1) * signed_area(c.xpt, 1), 0);
  EXPECT_GT(squared_distance(c.xpt.row(0), c.xpt.row(1)), 0.01);
}

struct NaNCase {
  std::string name;
  Eigen::Index coincident_row;
  bool all_rows_nan;
};

TEST(Getconsensus, CoincidentLandmarksEndTheFitAfterOnePass) {
  const NaNCase cases[] = {{"FirstSpecimen", 0, true}, {"LaterSpecimen", 2, false}};
  for (const NaNCase& nc : cases) {
    SCOPED_TRACE(nc.name);
    Matrix x = noisy_specimens(4, 5, 0.3, 14);
    for (Eigen::Index j = 0; j < 10; ++j) x(nc.coincident_row, j) = 2.5;
    const Consensus c = getconsensus(x);
    EXPECT_EQ(c.passes, 1);
    for (Eigen::Index j = 0; j < 10; ++j) {
      EXPECT_TRUE(std::isnan(c.y(0, j)));
      for (Eigen::Index i = 0; i < 4; ++i) {
        const bool nan_expected = nc.all_rows_nan || i == nc.coincident_row;
        EXPECT_EQ(std::isnan(c.xpt(i, j)), nan_expected) << "row " << i << " column " << j;
      }
    }
    for (Eigen::Index i = 0; i < 4; ++i) EXPECT_EQ(c.xpt(i, 10), x(i, 10));
  }
}

TEST(Getconsensus, RefusesWhatIsNoLandmarkMatrix) {
  const std::pair<Matrix, std::string> cases[] = {
      {Matrix(0, 7), "A landmark matrix needs at least one specimen."},
      {Matrix(0, 0), "A landmark matrix needs at least one specimen."},
      {Matrix::Ones(3, 8),
       "A landmark matrix needs the x and y of every landmark and then one trailing value; "
       "this one has 8 columns."},
      {Matrix::Ones(1, 2),
       "A landmark matrix needs the x and y of every landmark and then one trailing value; "
       "this one has 2 columns."},
      {Matrix(2, 0),
       "A landmark matrix needs the x and y of every landmark and then one trailing value; "
       "this one has 0 columns."},
  };
  for (const auto& [x, message] : cases) {
    SCOPED_TRACE(message);
    EXPECT_THAT([&] { getconsensus(x); }, testing::ThrowsMessage<Failure>(testing::StrEq(message)));
  }
}

TEST(Getconsensus, PassLimitStopsOnlyAFitStillChanging) {
  const Matrix x = noisy_specimens(30, 4, 0.5, 15);
  const Consensus c = getconsensus(x);
  ASSERT_GE(c.passes, 3);
  // Exactly enough passes is enough; one fewer is a failure with its count.
  EXPECT_EQ(fit_consensus(x, c.passes).passes, c.passes);
  EXPECT_THAT(
      [&] { fit_consensus(x, c.passes - 1); },
      testing::ThrowsMessage<Failure>(testing::StrEq("The consensus fit did not converge after " +
                                                     std::to_string(c.passes - 1) + " passes.")));
}

TEST(Getconsensus, LeavesItsInputAlone) {
  const Matrix x = noisy_specimens(5, 4, 0.1, 16);
  const Matrix before = x;
  (void)getconsensus(x);
  EXPECT_EQ(x, before);
}

// The fit's steps in their plainest form (centre and scale every row, then passes over all
// rows) as an oracle for the cache-friendly version, which must give the same bits.
Consensus plain_fit(Matrix x) {
  const Eigen::Index n = x.rows();
  const Eigen::Index m = x.cols();
  for (Eigen::Index i = 0; i < n; ++i) {
    Matrix r = x.row(i);
    const Matrix c = centpos(r);
    for (Eigen::Index j = 0; j + 1 < m; j += 2) {
      x(i, j) -= c(0, 0);
      x(i, j + 1) -= c(0, 1);
    }
    const double s = centsize(Matrix(x.row(i)))(0, 0);
    for (Eigen::Index j = 0; j + 1 < m; ++j) x(i, j) /= s;
  }
  Matrix ref = x.row(0);
  double xd = 1;
  int passes = 0;
  while (xd > 0.1 * std::ldexp(1.0, -27)) {
    for (Eigen::Index i = 0; i < n; ++i) {
      double ct = 0;
      double st = 0;
      for (Eigen::Index j = 0; j + 1 < m; j += 2) {
        ct += ref(0, j) * x(i, j) + ref(0, j + 1) * x(i, j + 1);
        st += x(i, j) * ref(0, j + 1) - x(i, j + 1) * ref(0, j);
      }
      const double theta = std::atan2(st, ct);
      for (Eigen::Index j = 0; j + 1 < m; j += 2) {
        const double px = x(i, j);
        const double py = x(i, j + 1);
        x(i, j) = px * std::cos(theta) - py * std::sin(theta);
        x(i, j + 1) = px * std::sin(theta) + py * std::cos(theta);
      }
    }
    const Matrix old = ref;
    for (Eigen::Index j = 0; j < m; ++j) {
      double sum = 0;
      for (Eigen::Index i = 0; i < n; ++i) sum += x(i, j);
      ref(0, j) = sum / static_cast<double>(n);
    }
    double f2 = 0;
    for (Eigen::Index j = 0; j + 1 < m; ++j) f2 += ref(0, j) * ref(0, j);
    ref /= std::sqrt(f2);
    xd = 0;
    for (Eigen::Index j = 0; j + 1 < m; ++j)
      xd += (ref(0, j) - old(0, j)) * (ref(0, j) - old(0, j));
    ++passes;
  }
  return {ref, x, passes};
}

TEST(Getconsensus, SameBitsAsThePlainSteps) {
  const std::tuple<Eigen::Index, Eigen::Index, double> sets[] = {
      {1, 3, 0.0}, {7, 4, 0.2}, {50, 20, 0.05}, {25, 3, 1.0}};
  unsigned seed = 100;
  for (const auto& [n, k, sd] : sets) {
    SCOPED_TRACE(testing::Message() << n << " specimens, " << k << " landmarks, sd " << sd);
    const Matrix x = noisy_specimens(n, k, sd, ++seed);
    const Consensus fast = getconsensus(x);
    const Consensus plain = plain_fit(x);
    EXPECT_EQ(fast.passes, plain.passes);
    for (Eigen::Index j = 0; j < x.cols(); ++j) EXPECT_EQ(bits(fast.y(0, j)), bits(plain.y(0, j)));
    for (Eigen::Index i = 0; i < x.size(); ++i) {
      ASSERT_EQ(bits(fast.xpt.data()[i]), bits(plain.xpt.data()[i])) << "element " << i;
    }
  }
}

// After the fit no small extra rotation brings any specimen closer to the consensus.
TEST(GetconsensusProperty, EverySpecimenIsOptimallyRotated) {
  const std::tuple<Eigen::Index, Eigen::Index, double> sets[] = {
      {20, 3, 0.3}, {100, 10, 0.1}, {30, 30, 1.0}, {200, 6, 0.05}, {10, 50, 3.0}};
  unsigned seed = 200;
  for (const auto& [n, k, sd] : sets) {
    SCOPED_TRACE(testing::Message() << n << " specimens, " << k << " landmarks, sd " << sd);
    const Consensus c = getconsensus(noisy_specimens(n, k, sd, ++seed));
    for (Eigen::Index i = 0; i < n; ++i) {
      const double here = squared_distance(c.xpt.row(i), c.y);
      for (double phi : {1e-4, -1e-4}) {
        EXPECT_GE(squared_distance(rotated(c.xpt, i, phi), c.y), here)
            << "row " << i << " phi " << phi;
      }
    }
  }
}

}  // namespace
}  // namespace qiv
