#include "geometry/basereg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "base/failure.h"

namespace qiv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct RegistrationCase {
  std::string name;
  Matrix x;  // one row
  double b1;
  double b2;
  Matrix expected;
};

class BaseregOfOneRow : public testing::TestWithParam<RegistrationCase> {};

TEST_P(BaseregOfOneRow, GivesTheRegisteredRow) {
  const RegistrationCase& c = GetParam();
  const Matrix y = basereg(c.x, c.b1, c.b2);
  ASSERT_EQ(y.rows(), c.expected.rows());
  ASSERT_EQ(y.cols(), c.expected.cols());
  for (Eigen::Index j = 0; j < y.cols(); ++j) {
    EXPECT_NEAR(y(0, j), c.expected(0, j), 1e-15) << "column " << j + 1;
  }
}

const RegistrationCase kRegistrationCases[] = {
    // b2 straight below b1: theta = -atan2(-1, 0) = pi/2, a quarter turn anticlockwise.
    {"SecondStraightBelowFirst", row({3, 5, 4, 5, 3, 3, 7}), 1, 3, row({0, 0, 0, 0.5, 1, 0, 7})},
    {"AlreadyRegistered", row({0, 0, 1, 0, 0.3, 0.4, 5}), 1, 2, row({0, 0, 1, 0, 0.3, 0.4, 5})},
    // b1 after b2 in the row, b2 in the third quadrant seen from b1: a turn of 3*pi/4.
    {"BaselineBackwards", row({1, 1, 2, 2, 1, 3, 42}), 2, 1, row({1, 0, 0, 0, 0, -1, 42})},
    {"OddColumnsKeepTrailingValue", row({0, 0, 2, 0, 2, 2, 9}), 1, 2, row({0, 0, 1, 0, 1, 1, 9})},
    // Even column count: the last column is the y of landmark 3, scaled like any other.
    {"EvenColumnsAreAllCoordinates", row({0, 0, 2, 0, 2, 2}), 1, 2, row({0, 0, 1, 0, 1, 1})},
};

INSTANTIATE_TEST_SUITE_P(Rows, BaseregOfOneRow, testing::ValuesIn(kRegistrationCases),
                         [](const auto& info) { return info.param.name; });

Matrix random_rows(Eigen::Index rows, Eigen::Index landmarks, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> u(-50.0, 50.0);
  Matrix x(rows, 2 * landmarks + 1);
  for (Eigen::Index i = 0; i < x.size(); ++i) x.data()[i] = u(rng);
  return x;
}

double distance(const Matrix& x, Eigen::Index i, Eigen::Index a, Eigen::Index b) {
  return std::hypot(x(i, 2 * a - 2) - x(i, 2 * b - 2), x(i, 2 * a - 1) - x(i, 2 * b - 1));
}

const std::pair<int, int> kBaselines[] = {{1, 2}, {2, 1}, {3, 6}, {6, 4}, {5, 1}};

TEST(Basereg, PutsTheBaselineOnTheUnitSegmentAndScalesByItsLength) {
  const Matrix x = random_rows(20, 6, 1);
  for (const auto& [b1, b2] : kBaselines) {
    SCOPED_TRACE(testing::Message() << "b1 " << b1 << " b2 " << b2);
    const Matrix y = basereg(x, b1, b2);
    for (Eigen::Index i = 0; i < x.rows(); ++i) {
      EXPECT_NEAR(y(i, 2 * b1 - 2), 0.0, 1e-14);
      EXPECT_NEAR(y(i, 2 * b1 - 1), 0.0, 1e-14);
      EXPECT_NEAR(y(i, 2 * b2 - 2), 1.0, 1e-14);
      EXPECT_NEAR(y(i, 2 * b2 - 1), 0.0, 1e-14);
      const double baseline = distance(x, i, b1, b2);
      for (int a = 1; a <= 6; ++a) {
        for (int b = a + 1; b <= 6; ++b) {
          EXPECT_NEAR(distance(y, i, a, b), distance(x, i, a, b) / baseline, 1e-12);
        }
      }
    }
  }
}

TEST(Basereg, SwappedBaselineMapsEachLandmarkToOneMinusUAndMinusV) {
  const Matrix x = random_rows(10, 6, 2);
  for (const auto& [b1, b2] : kBaselines) {
    const Matrix first = basereg(x, b1, b2);
    const Matrix swapped = basereg(x, b2, b1);
    for (Eigen::Index i = 0; i < x.rows(); ++i) {
      for (Eigen::Index j = 0; j < 6; ++j) {
        EXPECT_NEAR(swapped(i, 2 * j), 1.0 - first(i, 2 * j), 1e-12);
        EXPECT_NEAR(swapped(i, 2 * j + 1), -first(i, 2 * j + 1), 1e-12);
      }
    }
  }
}

TEST(Basereg, TrailingValueBitForBit) {
  Matrix x = random_rows(5, 4, 3);
  const double trailing[] = {-0.0, 4.9e-324, 1.7976931348623157e308, 0.1, kNaN};
  for (Eigen::Index i = 0; i < 5; ++i) x(i, 8) = trailing[i];
  const Matrix y = basereg(x, 4, 2);
  for (Eigen::Index i = 0; i < 5; ++i) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(y(i, 8)), std::bit_cast<std::uint64_t>(x(i, 8)))
        << "row " << i;
  }
}

TEST(Basereg, CoincidentBaselineGivesNaNRowsWithoutError) {
  Matrix x = random_rows(3, 4, 4);
  x(1, 4) = x(1, 0);  // row 2: landmark 3 on landmark 1
  x(1, 5) = x(1, 1);
  const Matrix y = basereg(x, 1, 3);
  for (Eigen::Index j = 0; j < 8; ++j) {
    EXPECT_TRUE(std::isnan(y(1, j))) << "column " << j + 1;
    EXPECT_FALSE(std::isnan(y(0, j)));
    EXPECT_FALSE(std::isnan(y(2, j)));
  }
  EXPECT_EQ(y(1, 8), x(1, 8));

  const Matrix same = basereg(x, 2, 2);
  for (Eigen::Index i = 0; i < 3; ++i) {
    for (Eigen::Index j = 0; j < 8; ++j) EXPECT_TRUE(std::isnan(same(i, j)));
    EXPECT_EQ(same(i, 8), x(i, 8));
  }
}

TEST(Basereg, LeavesItsInputAlone) {
  const Matrix x = random_rows(4, 3, 5);
  const Matrix before = x;
  (void)basereg(x, 1, 2);
  EXPECT_EQ(x, before);
}

TEST(Basereg, NoRowsGiveNoRows) {
  const Matrix y = basereg(Matrix(0, 7), 1, 3);
  EXPECT_EQ(y.rows(), 0);
  EXPECT_EQ(y.cols(), 7);
}

struct RefusalCase {
  double b1;
  double b2;
  Eigen::Index cols;
  std::string message;
};

TEST(Basereg, RefusesNumbersThatNameNoLandmark) {
  const RefusalCase cases[] = {
      {0, 2, 21, "Baseline landmark 0 is not a landmark number from 1 to 10."},
      {1, 11, 21, "Baseline landmark 11 is not a landmark number from 1 to 10."},
      {12, 1, 21, "Baseline landmark 12 is not a landmark number from 1 to 10."},
      {-1, 1, 21, "Baseline landmark -1 is not a landmark number from 1 to 10."},
      {2.5, 1, 21, "Baseline landmark 2.5 is not a landmark number from 1 to 10."},
      {kNaN, 1, 21, "Baseline landmark NaN is not a landmark number from 1 to 10."},
      {1, 11, 20, "Baseline landmark 11 is not a landmark number from 1 to 10."},
      {3, 1, 5, "Baseline landmark 3 is not a landmark number from 1 to 2."},
      {1, 1, 1, "Baseline landmark 1 is not a landmark number: the matrix has no landmarks."},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_THAT([&] { basereg(Matrix::Zero(2, c.cols), c.b1, c.b2); },
                testing::ThrowsMessage<Failure>(testing::StrEq(c.message)));
  }
}

}  // namespace
}  // namespace qiv
