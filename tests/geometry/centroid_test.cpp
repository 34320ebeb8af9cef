#include "geometry/centroid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace qiv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kSqrt8 = 2.8284271247461903;
constexpr double kTiny = 0x1.ae89f995ad3adp-28;  // about 2^-27.25: kTiny^2 lies in (2^-55, 2^-54)

Matrix matrix(Eigen::Index rows, Eigen::Index cols, std::initializer_list<double> values) {
  Matrix m(rows, cols);
  Eigen::Index i = 0;
  for (double v : values) m.data()[i++] = v;  // row by row
  return m;
}

struct CentroidCase {
  std::string name;
  Matrix shape;
  double cx;
  double cy;
  double size;
};

class CentroidOfOneShape : public testing::TestWithParam<CentroidCase> {};

// Exact equality: the expected values are exactly representable results of the sums.
void expect_same(double expected, double actual) {
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(actual)) << actual;
  } else {
    EXPECT_EQ(expected, actual);
  }
}

TEST_P(CentroidOfOneShape, CentposAndCentsize2) {
  const CentroidCase& c = GetParam();
  const Matrix pos = centpos(c.shape);
  ASSERT_EQ(pos.rows(), 1);
  ASSERT_EQ(pos.cols(), 2);
  expect_same(c.cx, pos(0, 0));
  expect_same(c.cy, pos(0, 1));
  EXPECT_EQ(centsize2(c.shape), c.size);
}

const CentroidCase kCentroidCases[] = {
    {"SquareWithTrailingValue", row({0, 0, 2, 0, 2, 2, 0, 2, 9}), 1, 1, kSqrt8},
    {"SquareWithoutTrailingValue", row({0, 0, 2, 0, 2, 2, 0, 2}), 1, 1, kSqrt8},
    {"TrailingValueNeverCounts", row({0, 0, 2, 0, 2, 2, 0, 2, -1e300}), 1, 1, kSqrt8},
    {"SquareAsColumn", row({0, 0, 2, 0, 2, 2, 0, 2, 9}).transpose(), 1, 1, kSqrt8},
    {"CoincidentLandmarks", row({3, -4, 3, -4, 3, -4, 7}), 3, -4, 0},
    {"OneValueNoLandmark", row({5}), kNaN, kNaN, 0},
    {"EmptyNoLandmark", Matrix(0, 0), kNaN, kNaN, 0},
    // Each squared term is below half an ulp of the running sum 0.5, so adding them one at a
    // time leaves it at exactly 0.5; adding dx^2 + dy^2 as one term would round up.
    {"SquaredTermsAddedOneAtATime", row({0.5, 0, -0.5, 0, kTiny, kTiny, -kTiny, -kTiny}), 0, 0,
     0.70710678118654757},
    // Not a vector: length is the larger dimension, values taken column by column.
    {"MatrixReadDownColumns", matrix(2, 4, {0, 4, 8, 12, 2, 6, 10, 14}), 2, 4, 4},
};

INSTANTIATE_TEST_SUITE_P(Shapes, CentroidOfOneShape, testing::ValuesIn(kCentroidCases),
                         [](const auto& info) { return info.param.name; });

TEST(Centsize, OneEntryPerRowInRowOrder) {
  const Matrix x = matrix(3, 9, {0, 0, 2, 0, 2, 2, 0, 2, 9,  //
                                 0, 0, 4, 0, 4, 4, 0, 4, 1,  //
                                 5, 5, 5, 5, 5, 5, 5, 5, 0});
  const Matrix s = centsize(x);
  ASSERT_EQ(s.rows(), 3);
  ASSERT_EQ(s.cols(), 1);
  EXPECT_EQ(s(0, 0), kSqrt8);
  EXPECT_EQ(s(1, 0), 2 * kSqrt8);
  EXPECT_EQ(s(2, 0), 0.0);
}

TEST(Centsize, AgreesWithCentsize2RowByRow) {
  const Matrix x = matrix(2, 7,
                          {0.1, 7.3, -2.2, 4.4, 9.9, -3.1, 1e5,  //
                           1e-3, 2e-3, 5e-4, -7e-3, 3e-3, 1e-3, 0.5});
  const Matrix s = centsize(x);
  for (Eigen::Index i = 0; i < x.rows(); ++i) {
    const Matrix one = x.row(i);
    EXPECT_EQ(s(i, 0), centsize2(one)) << "row " << i;
    EXPECT_EQ(s(i, 0), centsize2(Matrix(one.transpose()))) << "row " << i << " as column";
  }
}

TEST(Centsize, NoRowsGiveAnEmptyColumn) {
  const Matrix s = centsize(Matrix(0, 9));
  EXPECT_EQ(s.rows(), 0);
  EXPECT_EQ(s.cols(), 1);
}

}  // namespace
}  // namespace qiv
