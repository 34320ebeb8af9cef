// The pick rule on made-up axes: a 400 x 400 pixel plot box over data 0..100 in both
// directions (4 pixels per data unit), so distances in pixels are easy to state.
#include "pointing/hit_test.h"

#include <gtest/gtest.h>

#include "platform/graphics/graphics.h"
#include "pointing/plot_map.h"

namespace qiv {
namespace {

PlotMap square_map() {
  PlotMap m;
  m.position = {50, 20, 400, 400};
  m.box = m.position;
  m.limits = {0, 100, 0, 100};
  return m;
}

// Pixel of a data point in square_map: x to the right from 50, y down from 420.
PixelPoint px(double x, double y) { return {50 + 4 * x, 420 - 4 * y}; }

PickTargets targets() {
  PickTargets t;
  t.landmarks = {{1, 10, 10}, {2, 20, 10}, {3, 50, 50}, {4, 15, 60}};
  // Line 1 runs from landmark 1 to 3, line 2 from landmark 2 to 4.
  t.lines = {{1, 1, 3, 10, 10, 50, 50}, {2, 2, 4, 20, 10, 15, 60}};
  return t;
}

TEST(PlotMap, PixelsAndDataAreInverse) {
  const PlotMap m = square_map();
  const PixelPoint p = m.to_pixel(25, 75);
  EXPECT_DOUBLE_EQ(p.x, 150);
  EXPECT_DOUBLE_EQ(p.y, 120);
  const auto d = m.to_data({150, 120});
  EXPECT_DOUBLE_EQ(d[0], 25);
  EXPECT_DOUBLE_EQ(d[1], 75);
}

TEST(PlotMap, EqualAspectLetterboxesLikeThePainter) {
  Graphics g;
  const Handle fig = g.new_figure();
  g.set(fig, "Units", Value("pixels"));
  g.set(fig, "Position", row({0, 0, 600, 400}));
  const Handle ax = g.new_axes(fig);
  g.set(ax, "Units", Value("pixels"));
  g.set(ax, "Position", row({100, 50, 400, 300}));
  g.axis({0, 10, 0, 10});
  g.axis_equal();
  const PlotMap m = plot_map(g, ax);
  // Position top = 400 - 50 - 300 = 50; the square data fit a 300 x 300 box in its middle.
  const std::array<double, 4> position{100, 50, 400, 300};
  const std::array<double, 4> box{150, 50, 300, 300};
  EXPECT_EQ(m.position, position);
  EXPECT_EQ(m.box, box);
  // A zoomed view replaces the limits and nothing else.
  const PlotMap z = plot_map(g, ax, Limits{0, 5, 0, 5});
  EXPECT_EQ(z.box, box);
  EXPECT_DOUBLE_EQ(z.to_pixel(5, 5).x, 450);
}

TEST(HitTest, RuleOnNamedClicks) {
  struct Case {
    const char* name;
    PixelPoint at;
    HitFilter filter;
    Hit::Kind kind;
    long number;
  };
  const HitFilter all{}, landmarks{true, false}, lines{false, true};
  const Case cases[] = {
      {"on landmark 3", px(50, 50), all, Hit::Kind::kLandmark, 3},
      {"9 px right of landmark 3", {px(50, 50).x + 9, px(50, 50).y}, all, Hit::Kind::kLandmark, 3},
      {"exactly 10 px away still reaches",
       {px(50, 50).x, px(50, 50).y + 10},
       all,
       Hit::Kind::kLandmark,
       3},
      {"10.5 px from 3, away from the line: nothing",
       {px(50, 50).x + 10.5, px(50, 50).y},
       all,
       Hit::Kind::kNothing,
       0},
      {"nearer of two: 1 at 8 px, 2 at 32 px",
       {px(10, 10).x + 8, px(10, 10).y},
       all,
       Hit::Kind::kLandmark,
       1},
      {"halfway between 1 and 2 is 20 px from each: nothing", px(15, 10), landmarks,
       Hit::Kind::kNothing, 0},
      {"line 1 at 5 px off its middle",
       {px(30, 30).x + 3, px(30, 30).y + 4},
       all,
       Hit::Kind::kLine,
       1},
      {"line 1 at 7 px: nothing",
       {px(30, 30).x + 7 / 1.41421356, px(30, 30).y + 7 / 1.41421356},
       all,
       Hit::Kind::kNothing,
       0},
      {"a landmark within reach wins over a nearer line",
       {px(10, 10).x + 6, px(10, 10).y - 6},
       all,
       Hit::Kind::kLandmark,
       1},
      {"lines only: the line at a landmark's end",
       {px(50, 50).x - 2, px(50, 50).y - 2},
       lines,
       Hit::Kind::kLine,
       1},
      {"landmarks only: a line is nothing",
       {px(30, 30).x + 3, px(30, 30).y + 4},
       landmarks,
       Hit::Kind::kNothing,
       0},
      {"far from everything", px(90, 90), all, Hit::Kind::kNothing, 0},
  };
  for (const Case& c : cases) {
    const Hit h = hit_test(targets(), square_map(), c.at, c.filter);
    EXPECT_EQ(h.kind, c.kind) << c.name;
    const long number = h.kind == Hit::Kind::kLandmark ? h.landmark.number
                        : h.kind == Hit::Kind::kLine   ? h.line.number
                                                       : 0;
    EXPECT_EQ(number, c.number) << c.name;
  }
}

TEST(HitTest, TiesGoToTheLowerNumber) {
  PickTargets t;
  // Landmarks 5 and 2 lie 8 px apart; the click is 4 px from each.
  t.landmarks = {{5, 12, 10}, {2, 10, 10}};
  const Hit lm = hit_test(t, square_map(), px(11, 10));
  ASSERT_EQ(lm.kind, Hit::Kind::kLandmark);
  EXPECT_EQ(lm.landmark.number, 2);
  // Lines 4 and 3 run at y = 46 and 44 data units: a click at y = 45 is 4 px from each.
  t.lines = {{4, 1, 2, 0, 46, 100, 46}, {3, 1, 2, 0, 44, 100, 44}};
  const Hit line = hit_test(t, square_map(), px(70, 45), HitFilter{false, true});
  ASSERT_EQ(line.kind, Hit::Kind::kLine);
  EXPECT_EQ(line.line.number, 3);
}

TEST(HitTest, NothingOnAnUnusableMap) {
  PlotMap m = square_map();
  m.limits = {0, 0, 0, 100};
  EXPECT_EQ(hit_test(targets(), m, px(50, 50)).kind, Hit::Kind::kNothing);
}

TEST(DescribeHit, Texts) {
  Hit lm;
  lm.kind = Hit::Kind::kLandmark;
  lm.landmark = {7, 0.1234, -0.0451};
  EXPECT_EQ(describe_hit(lm), "landmark 7  (0.123, -0.045)");
  Hit line;
  line.kind = Hit::Kind::kLine;
  line.line = {3, 1, 7, 0, 0, 1, 1};
  EXPECT_EQ(describe_hit(line), "line 3: 1\u20137");
  EXPECT_EQ(describe_hit(Hit{}), "");
}

TEST(PickTargets, OnlyProtocolLinesTheAxesShow) {
  Graphics g;
  const Handle fig = g.new_figure();
  const Handle ax = g.new_axes(fig);
  SharedState s;
  Matrix ref(1, 7);
  ref << 0, 0, 10, 0, 10, 10, 1.0;  // three landmarks and the centroid size
  s.reference = ref;
  Matrix proto(4, 3);
  proto << 1, 1, 2,  //
      2, 2, 3,       // drawn backwards
      3, 1, 3,       // drawn but hidden
      4, 1, 9;       // names no landmark
  s.proto = Protocol::from_table(proto);
  g.hold_on();
  g.plot({0, 10}, {0, 0}, "k");
  g.plot({10, 10}, {10, 0}, "k");
  const Handle hidden = g.plot({0, 10}, {0, 10}, "k");
  g.set(hidden, "Visible", Value("off"));
  g.plot({0}, {0}, "r+");
  const PickTargets t = pick_targets(s, g, ax);
  ASSERT_EQ(t.landmarks.size(), 3u);
  EXPECT_EQ(t.landmarks[2].number, 3);
  EXPECT_EQ(t.landmarks[2].x, 10);
  EXPECT_EQ(t.landmarks[2].y, 10);
  ASSERT_EQ(t.lines.size(), 2u);
  EXPECT_EQ(t.lines[0].number, 1);
  EXPECT_EQ(t.lines[1].number, 2);
  EXPECT_EQ(t.lines[1].a, 2);
  EXPECT_EQ(t.lines[1].b, 3);
  // Without a mean shape nothing can be pointed at.
  EXPECT_TRUE(pick_targets(SharedState{}, g, ax).landmarks.empty());
}

}  // namespace
}  // namespace qiv
