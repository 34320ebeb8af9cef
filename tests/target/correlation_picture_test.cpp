// The correlation picture: its colour scale, its order of lines, and "ShowCorrelations"
// drawing it and following the blocks.
#include "target/correlation_picture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "analysis/modularity.h"
#include "target/target_fixture.h"

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
      {-1, rgb(5, 48, 97)},
      {-2, rgb(5, 48, 97)},
      {0, rgb(255, 255, 255)},
      {-0.0, rgb(255, 255, 255)},
      {1, rgb(103, 0, 31)},
      {1.5, rgb(103, 0, 31)},
      {0.2, rgb(253, 219, 199)},
      {-0.6, rgb(67, 147, 195)},
      {0.5, Rgb{(244 + 214) / 510.0f, (165 + 96) / 510.0f, (130 + 77) / 510.0f}},
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

class ShowCorrelations : public TargetFixture {
 protected:
  void SetUp() override {
    TargetFixture::SetUp();
    ready({{3, 4}, {1}}, 2);
    app.state.data = Matrix(4, 13);
    const Matrix lengths{{15, 17, 15, 17}, {15, 9, 5, 3}, {5, 11, 5, 9}, {5, 3, 15, 11}};
    for (Eigen::Index s = 0; s < 4; ++s) {  // landmarks on the x axis, lines 1-2 ... 4-5
      double x = 0;
      app.state.data->row(s).setZero();
      for (Eigen::Index l = 0; l < 4; ++l) (*app.state.data)(s, 2 * (l + 1)) = x += lengths(s, l);
      (*app.state.data)(s, 10) = x + 1;
      (*app.state.data)(s, 12) = 1;
    }
  }
  // The fill colours of the first n x n cells, row by row from the top.
  std::vector<Rgb> cells(std::size_t n) {
    const Handle ax = find_control(app.ctx, "CorrelationAxes");
    std::vector<Rgb> out;
    for (Handle h : app.gfx.children(ax))
      if (app.gfx.type(h) == ObjType::kLine && out.size() < n * n)
        out.push_back(*color_from_matrix(app.gfx.get(h, "FaceColor").matrix()));
    return out;
  }
  // The expected colours for lines in this order (R of the hand case: R12 0.6, R24 0.48,
  // R34 0.8, the rest 0).
  static std::vector<Rgb> expected(const std::vector<int>& order) {
    const Matrix r{{1, 0.6, 0, 0}, {0.6, 1, 0, 0.48}, {0, 0, 1, 0.8}, {0, 0.48, 0.8, 1}};
    std::vector<Rgb> out;
    for (int a : order)
      for (int b : order) out.push_back(correlation_color(r(a, b)));
    return out;
  }
  static void near(const std::vector<Rgb>& got, const std::vector<Rgb>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i)
      EXPECT_TRUE(std::abs(got[i].r - want[i].r) < 1e-6 && std::abs(got[i].g - want[i].g) < 1e-6 &&
                  std::abs(got[i].b - want[i].b) < 1e-6)
          << i;
  }
};

TEST_F(ShowCorrelations, CellsInBlockOrderAndRedrawnWhenTheBlocksChange) {
  run("ShowCorrelations");
  EXPECT_THAT(ui.messages(), ::testing::IsEmpty());
  near(cells(4), expected({2, 3, 0, 1}));
  type("CurrentBlockBox", "1");
  type("BlockBox", "2 1");
  run("BlockEnter");
  near(cells(4), expected({1, 0, 2, 3}));
  app.state.block.reset();
  app.state.nblocks.reset();
  run("ShowCorrelations");  // without blocks: every line in none, in protocol order
  near(cells(4), expected({0, 1, 2, 3}));
}

TEST_F(ShowCorrelations, RefusesWithoutOpeningTheWindow) {
  struct Row {
    void (*prepare)(SharedState&);
    const char* message;
  } const rows[] = {
      // each row adds to the one before
      {[](SharedState& s) {
         s.proto = Matrix(301, 3);
         for (int l = 0; l < 301; ++l) s.proto->row(l) << l + 1, 1, 2;
       },
       "The correlation picture shows at most 300 lines; the protocol has 301."},
      {[](SharedState& s) { s.data.reset(); }, "Load a landmark data file first."},
  };
  for (const Row& r : rows) {
    r.prepare(app.state);
    ui.clear_records();
    run("ShowCorrelations");
    EXPECT_THAT(ui.messages(), ElementsAre(r.message));
    EXPECT_EQ(find_control(app.ctx, "CorrelationAxes"), kNoHandle);
  }
}

}  // namespace
}  // namespace qiv
