// The correlation picture's colour scale and its order of lines.
#include "target/correlation_picture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qiv {
namespace {

using ::testing::ElementsAre;

Rgb rgb(int r, int g, int b) {
  return Rgb{static_cast<float>(r / 255.0), static_cast<float>(g / 255.0),
             static_cast<float>(b / 255.0)};
}

TEST(CorrelationColor, EndsMiddleAndBetweenStops) {
  struct Row {
    double r;
    Rgb expected;
  } const rows[] = {
      // clang-format off
      {-1, rgb(5, 48, 97)},      {-2, rgb(5, 48, 97)},       {1, rgb(103, 0, 31)},
      {1.5, rgb(103, 0, 31)},    {0, rgb(255, 255, 255)},    {-0.0, rgb(255, 255, 255)},
      {0.2, rgb(253, 219, 199)}, {-0.6, rgb(67, 147, 195)},
      {0.5, Rgb{(244 + 214) / 510.0f, (165 + 96) / 510.0f, (130 + 77) / 510.0f}},
      // clang-format on
  };
  for (const Row& row : rows) {
    const Rgb c = correlation_color(row.r);
    EXPECT_NEAR(c.r, row.expected.r, 1e-6) << row.r;
    EXPECT_NEAR(c.g, row.expected.g, 1e-6) << row.r;
    EXPECT_NEAR(c.b, row.expected.b, 1e-6) << row.r;
    EXPECT_FALSE(c.none);
  }
}

TEST(CorrelationOrder, BlocksInTheirOrderThenTheRest) {
  const LineOrder o = block_order(BlockList{{3, 1}, {1, 4, 4}, {}, {2}}, 3, 6);
  EXPECT_THAT(o.lines, ElementsAre(2, 0, 3, 1, 4, 5));
  EXPECT_THAT(o.group_ends, ElementsAre(2, 3, 6));  // block 4 lies beyond nblocks
  EXPECT_THAT(o.group_blocks, ElementsAre(1, 2, 0));
}

}  // namespace
}  // namespace qiv
