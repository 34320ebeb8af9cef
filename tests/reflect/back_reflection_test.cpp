#include "reflect/back_reflection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "geometry/basereg.h"
#include "support/loaded_session.h"

namespace qiv {
namespace {

using test_support::make_specimens;

// Reflection of q across the line through p1 and p2, computed on its own.
std::array<double, 2> reflect_point(std::array<double, 2> q, std::array<double, 2> p1,
                                    std::array<double, 2> p2) {
  const double dx = p2[0] - p1[0];
  const double dy = p2[1] - p1[1];
  const double len2 = dx * dx + dy * dy;
  const double vx = q[0] - p1[0];
  const double vy = q[1] - p1[1];
  const double t = (vx * dx + vy * dy) / len2;
  return {p1[0] + 2 * t * dx - vx, p1[1] + 2 * t * dy - vy};
}

std::array<double, 2> point(const Matrix& m, Eigen::Index row, long j) {
  return {m(row, 2 * j - 2), m(row, 2 * j - 1)};
}

TEST(BackReflect, TenLandmarksWithMidlineOneTwoFive) {
  const Matrix data = make_specimens(5, 10);
  const Matrix out = back_reflect(data, {1, 2, 5});
  const Matrix registered = basereg(data, 1, 2);
  ASSERT_EQ(out.rows(), 5);
  ASSERT_EQ(out.cols(), 35);
  EXPECT_EQ(out.leftCols(20), registered.leftCols(20));
  const long sources[] = {3, 4, 6, 7, 8, 9, 10};
  for (int c = 0; c < 7; ++c) {
    SCOPED_TRACE(sources[c]);
    EXPECT_EQ(out.col(20 + 2 * c), registered.col(2 * sources[c] - 2));
    EXPECT_EQ(out.col(21 + 2 * c), -registered.col(2 * sources[c] - 1));
  }
  EXPECT_EQ(out.col(34), data.col(20));  // the trailing column, once and last, bit for bit
}

struct MidlineCase {
  const char* name;
  std::vector<long> midpts;
  std::vector<long> sources;  // the mirrored landmarks, in order
};

class MirroredLandmarks : public ::testing::TestWithParam<MidlineCase> {};

TEST_P(MirroredLandmarks, AreReflectionsAcrossTheLineThroughTheFirstTwo) {
  const auto& c = GetParam();
  const long k = 9;
  const Matrix out = back_reflect(make_specimens(6, k), c.midpts);
  ASSERT_EQ(out.cols(), static_cast<Eigen::Index>(2 * (k + c.sources.size()) + 1));
  for (Eigen::Index r = 0; r < out.rows(); ++r) {
    SCOPED_TRACE(r);
    const auto p1 = point(out, r, c.midpts[0]);
    const auto p2 = point(out, r, c.midpts[1]);
    EXPECT_NEAR(p1[0], 0, 1e-12);
    EXPECT_NEAR(p1[1], 0, 1e-12);
    EXPECT_NEAR(p2[0], 1, 1e-12);
    EXPECT_NEAR(p2[1], 0, 1e-12);
    for (std::size_t m = 0; m < c.sources.size(); ++m) {
      const auto expected = reflect_point(point(out, r, c.sources[m]), p1, p2);
      const auto mirrored = point(out, r, k + 1 + static_cast<long>(m));
      EXPECT_NEAR(mirrored[0], expected[0], 1e-12);
      EXPECT_NEAR(mirrored[1], expected[1], 1e-12);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Lists, MirroredLandmarks,
                         ::testing::Values(MidlineCase{"InOrder", {1, 2, 5}, {3, 4, 6, 7, 8, 9}},
                                           MidlineCase{"Unordered", {7, 3, 9}, {1, 2, 4, 5, 6, 8}},
                                           MidlineCase{"TwoOnly", {9, 1}, {2, 3, 4, 5, 6, 7, 8}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BackReflect, LaterMidlineLandmarksStayWhereTheyAre) {
  const Matrix data = make_specimens(4, 6);
  const Matrix out = back_reflect(data, {1, 2, 4});
  const Matrix registered = basereg(data, 1, 2);
  EXPECT_EQ(out.col(6), registered.col(6));
  EXPECT_EQ(out.col(7), registered.col(7));
  for (Eigen::Index r = 0; r < out.rows(); ++r) EXPECT_GT(std::abs(out(r, 7)), 1e-3);
  EXPECT_EQ(out.cols(), 2 * (6 + 3) + 1);
}

TEST(FirstCoincidentRow, FindsTheFirstSpecimenWithAZeroBaseline) {
  const Matrix data{{0, 0, 1, 0, 2, 2, 1}, {3, 3, 3, 3, 1, 1, 1}, {5, 5, 1, 0, 5, 5, 1}};
  struct Row {
    long b1, b2;
    Eigen::Index row;
  };
  for (const Row& c : {Row{1, 2, 1}, Row{2, 1, 1}, Row{1, 3, 2}, Row{2, 3, -1}, Row{3, 3, 0}})
    EXPECT_EQ(first_coincident_row(data, c.b1, c.b2), c.row) << c.b1 << " " << c.b2;
}

}  // namespace
}  // namespace qiv
