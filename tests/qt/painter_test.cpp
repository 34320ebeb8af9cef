#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <string>

#include "qt/figure_painter.h"
#include "qt/figure_picture.h"
#include "qt/qt_app.h"

namespace qiv {
namespace {

using qt_test::qt_app;

int count(const QByteArray& text, const char* what) {
  return static_cast<int>(QString::fromUtf8(text).count(QString::fromLatin1(what)));
}

struct Scene {
  Graphics g;
  Handle fig;
  Handle ax;
  explicit Scene(double w = 400, double h = 300) {
    qt_app();
    fig = g.new_figure();
    g.set(fig, "Position", row({0, 0, w, h}));
    ax = g.new_axes(fig);
    g.hold_on();
  }
};

class MarkerKindTest : public ::testing::TestWithParam<const char*> {};

// Each visible marker inside the limits is one path element of the SVG; hidden lines and
// points outside the limits draw nothing.
TEST_P(MarkerKindTest, SvgHoldsOnePathPerVisibleMarker) {
  Scene s;
  const std::string style = std::string("b") + GetParam();
  s.g.plot(std::vector<double>{1, 2, 3}, std::vector<double>{1, 2, 3}, style);
  s.g.plot_point(s.ax, 2.5, 1.5, *parse_plot_style(style), 3);
  Handle hidden = s.g.plot(std::vector<double>{1.5, 2.5}, std::vector<double>{2, 2}, style);
  s.g.set(hidden, "Visible", Value("off"));
  s.g.plot(std::vector<double>{9}, std::vector<double>{9}, style);  // outside the limits
  s.g.axis({0, 4, 0, 4});

  const QByteArray svg = qt::figure_svg(s.g, s.fig);
  EXPECT_EQ(count(svg, "<path"), 4) << svg.toStdString();
}

std::string marker_case_name(const ::testing::TestParamInfo<const char*>& info) {
  static const char* names[] = {"point",  "circle",    "cross",   "plus", "star",
                                "square", "diamond",   "up",      "down", "left",
                                "right",  "pentagram", "hexagram"};
  return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(Markers, MarkerKindTest,
                         ::testing::Values(".", "o", "x", "+", "*", "s", "d", "^", "v", "<", ">",
                                           "p", "h"),
                         marker_case_name);

TEST(FigurePainter, SvgDrawsOverlappingMarkersOnceAndGroupsOneStyle) {
  Scene s;
  const PlotStyle star = *parse_plot_style("g*");
  for (int i = 0; i < 500; ++i) s.g.plot_point(s.ax, i * 0.01, 1, star, 3);
  for (int i = 0; i < 500; ++i) s.g.plot_point(s.ax, i * 0.01, 1, star, 3);  // the same again
  s.g.plot_point(s.ax, 2, 2, *parse_plot_style("r+"), 3);
  s.g.plot_point(s.ax, 2, 2, *parse_plot_style("r+"), 3);
  s.g.plot_point(s.ax, 2, 2, *parse_plot_style("ro"), 3);  // another style at the same place
  s.g.plot(std::vector<double>{0, 1, 2}, std::vector<double>{0, 1, 0}, "b-o");
  s.g.axis({-1, 6, -1, 3});
  const QByteArray svg = qt::figure_svg(s.g, s.fig);
  EXPECT_EQ(count(svg, "<path"), 500 + 1 + 1 + 3);
  EXPECT_LT(count(svg, "<g"), 30) << "no group of its own for each marker";
}

TEST(FigurePainter, SvgHoldsTheLabelAndTextsButNotHiddenOnes) {
  Scene s;
  s.g.plot({0, 1}, {0, 1}, "r+");
  for (int i = 1; i <= 5; ++i) s.g.text(i * 0.1, 0.5, std::to_string(10 + i));
  Handle secret = s.g.text(0.5, 0.5, "secret");
  s.g.set(secret, "Visible", Value("off"));
  s.g.set(s.g.axes_labels(s.ax)[1], "String", Value("No Protocol Available"));
  s.g.set(s.g.axes_labels(s.ax)[2], "String", Value("Mean shape"));

  const QString svg = QString::fromUtf8(qt::figure_svg(s.g, s.fig));
  EXPECT_TRUE(svg.contains(">No Protocol Available</text>"));
  EXPECT_TRUE(svg.contains(">Mean shape</text>"));
  for (int i = 1; i <= 5; ++i) EXPECT_TRUE(svg.contains(QString(">%1</text>").arg(10 + i))) << i;
  EXPECT_FALSE(svg.contains("secret"));
}

TEST(FigurePainter, TickNumbersFollowTheNiceStep) {
  Scene s;
  s.g.plot({0, 1}, {0, 1}, "k.");
  s.g.axis({0, 10, -5, 5});
  const QString svg = QString::fromUtf8(qt::figure_svg(s.g, s.fig));
  // Step 2 on both axes: 0 2 4 6 8 10 and -4 -2 0 2 4.
  for (const char* t : {">0<", ">2<", ">4<", ">6<", ">8<", ">10<", ">-4<", ">-2<"})
    EXPECT_TRUE(svg.contains(t)) << t;
  EXPECT_FALSE(svg.contains(">-5<"));
  EXPECT_FALSE(svg.contains(">1<"));
}

struct BoxCase {
  std::string name;
  double fig_w, fig_h;
  std::vector<double> position;  // normalized
  Limits limits;
  bool equal;
  QRectF box;  // top-left origin
};

class LetterboxTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(LetterboxTest, PlotBoxKeepsTheDataAspectWhenEqual) {
  const BoxCase& c = GetParam();
  Scene s(c.fig_w, c.fig_h);
  s.g.set(s.ax, "Position", row({c.position[0], c.position[1], c.position[2], c.position[3]}));
  s.g.axis(c.limits);
  if (c.equal) s.g.axis_equal();
  const qt::AxesFrame f = qt::axes_frame(s.g, s.ax, QSizeF(c.fig_w, c.fig_h));
  EXPECT_NEAR(f.box.left(), c.box.left(), 1e-9);
  EXPECT_NEAR(f.box.top(), c.box.top(), 1e-9);
  EXPECT_NEAR(f.box.width(), c.box.width(), 1e-9);
  EXPECT_NEAR(f.box.height(), c.box.height(), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Boxes, LetterboxTest,
                         ::testing::Values(BoxCase{"FreeAspectFillsTheRectangle",
                                                   400,
                                                   200,
                                                   {0, 0, 1, 1},
                                                   {0, 1, 0, 1},
                                                   false,
                                                   QRectF(0, 0, 400, 200)},
                                           BoxCase{"SquareDataInWideRectangle",
                                                   400,
                                                   200,
                                                   {0, 0, 1, 1},
                                                   {0, 1, 0, 1},
                                                   true,
                                                   QRectF(100, 0, 200, 200)},
                                           BoxCase{"WideDataInWideRectangle",
                                                   400,
                                                   200,
                                                   {0, 0, 1, 1},
                                                   {0, 4, 0, 1},
                                                   true,
                                                   QRectF(0, 50, 400, 100)},
                                           BoxCase{"TallDataOffsetRectangle",
                                                   400,
                                                   400,
                                                   {0.25, 0.5, 0.5, 0.25},
                                                   {0, 1, 0, 4},
                                                   true,
                                                   QRectF(187.5, 100, 25, 100)}),
                         [](const auto& info) { return info.param.name; });

QRect painted_bounds(const QImage& img, QRgb background) {
  QRect r;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) != background) r = r.united(QRect(x, y, 1, 1));
  return r;
}

class SpriteTest : public ::testing::TestWithParam<const char*> {};

// The blitted sprite lands where the stroked path does, at the same size.
TEST_P(SpriteTest, BlittedMarkerMatchesThePaintedPath) {
  Scene s(200, 200);
  s.g.set(s.ax, "Visible", Value("off"));
  s.g.set(s.ax, "Position", row({0, 0, 1, 1}));
  Handle l = s.g.plot_point(s.ax, 0.5, 0.5, *parse_plot_style(std::string("r") + GetParam()), 8);
  (void)l;
  s.g.axis({0, 1, 0, 1});
  s.g.set(s.fig, "Color", Value("w"));

  for (double scale : {1.0, 2.5}) {
    QImage blitted(QSize(200, 200) * scale, QImage::Format_ARGB32_Premultiplied);
    QImage stroked = blitted;
    for (QImage* img : {&blitted, &stroked}) {
      img->setDotsPerMeterX(3780);
      img->setDotsPerMeterY(3780);
      img->fill(Qt::white);
    }
    qt::MarkerSprites sprites;
    {
      QPainter p(&blitted);
      p.scale(scale, scale);
      qt::paint_figure(p, s.g, s.fig, qt::PaintOptions{&sprites, true});
    }
    {
      QPainter p(&stroked);
      p.scale(scale, scale);
      qt::paint_figure(p, s.g, s.fig, qt::PaintOptions{nullptr, true});
    }
    EXPECT_EQ(sprites.size(), 1u);
    const QRect a = painted_bounds(blitted, qRgb(255, 255, 255));
    const QRect b = painted_bounds(stroked, qRgb(255, 255, 255));
    ASSERT_FALSE(a.isEmpty());
    EXPECT_NEAR(a.center().x(), b.center().x(), 1.0) << scale;
    EXPECT_NEAR(a.center().y(), b.center().y(), 1.0) << scale;
    EXPECT_NEAR(a.width(), b.width(), 2.0) << scale;
    EXPECT_NEAR(a.height(), b.height(), 2.0) << scale;
  }
}

INSTANTIATE_TEST_SUITE_P(Markers, SpriteTest, ::testing::Values(".", "o", "+", "*", "s", "^", "p"),
                         [](const auto& info) { return "kind" + std::to_string(info.index); });

TEST(FigurePainter, BitmapLetterboxesAndSkipsHiddenMarkers) {
  Scene s(400, 200);
  s.g.set(s.ax, "Position", row({0, 0, 1, 1}));
  s.g.set(s.fig, "Color", row({0, 0, 1}));
  Handle shown = s.g.plot({0.5}, {0.5}, "g.");
  Handle hidden = s.g.plot({0.25}, {0.25}, "r.");
  s.g.set(hidden, "Visible", Value("off"));
  s.g.set(shown, "MarkerSize", Value(30.0));
  s.g.axis({0, 1, 0, 1});
  s.g.axis_equal();

  // As the window paints it: the figure's colour around the box.
  QImage img(400, 200, QImage::Format_ARGB32_Premultiplied);
  img.setDotsPerMeterX(3780);
  img.setDotsPerMeterY(3780);
  {
    qt::MarkerSprites sprites;
    QPainter p(&img);
    qt::paint_figure(p, s.g, s.fig, qt::PaintOptions{&sprites, true});
  }
  EXPECT_EQ(img.pixel(50, 100), qRgb(0, 0, 255)) << "left of the letterboxed box";
  EXPECT_EQ(img.pixel(350, 100), qRgb(0, 0, 255)) << "right of the box";
  EXPECT_EQ(img.pixel(150, 150), qRgb(255, 255, 255)) << "inside the box";
  EXPECT_EQ(qGreen(img.pixel(200, 100)), 255) << "the marker at the centre";
  EXPECT_EQ(qRed(img.pixel(200, 100)), 0);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      ASSERT_FALSE(qRed(img.pixel(x, y)) > 200 && qGreen(img.pixel(x, y)) < 50 &&
                   qBlue(img.pixel(x, y)) < 50)
          << "hidden red marker drawn at " << x << "," << y;
}

// Filled cells (FaceColor) take their colour edge to edge, with no seam where two meet; a
// cell whose FaceColor is set back to none leaves the axes' white.
TEST(FigurePainter, FilledCellsMeetWithoutASeam) {
  Scene s(200, 200);
  s.g.set(s.ax, "Position", row({0, 0, 1, 1}));
  s.g.axis({0, 2, 0, 2});
  const double x0[4] = {0, 1, 1, 0}, x1[4] = {1, 2, 2, 1}, y[4] = {0, 0, 2, 2};
  s.g.patch(s.ax, x0, y, 4, Rgb{1, 0, 0});
  const Handle right = s.g.patch(s.ax, x1, y, 4, Rgb{0, 0, 1});
  QImage img(200, 200, QImage::Format_ARGB32_Premultiplied);
  img.setDotsPerMeterX(3780);
  img.setDotsPerMeterY(3780);
  auto paint = [&] {
    QPainter p(&img);
    qt::paint_figure(p, s.g, s.fig, qt::PaintOptions{nullptr, true});
  };
  paint();
  for (int x = 20; x < 180; ++x)
    ASSERT_EQ(img.pixel(x, 100), x < 100 ? qRgb(255, 0, 0) : qRgb(0, 0, 255)) << x;
  s.g.set(right, "FaceColor", Value("none"));
  paint();
  EXPECT_EQ(img.pixel(150, 100), qRgb(255, 255, 255));
}

TEST(FigurePainter, PictureGrowsToHoldAxesPastTheFigureEdge) {
  Scene s(300, 200);
  s.g.plot({0, 1}, {0, 1}, "k+");
  const QRectF inside = qt::picture_rect(s.g, s.fig);
  EXPECT_LT(inside.width(), 300) << "the window's margins are cut";
  s.g.set(s.ax, "Units", Value("pixels"));
  s.g.set(s.ax, "Position", row({84, 48, 300, 136}));
  const QRectF r = qt::picture_rect(s.g, s.fig);
  EXPECT_LT(r.left(), 84) << "the tick labels";
  const double label = qt_test::axes_metrics().horizontalAdvance("0.5");
  EXPECT_GE(r.left(), 84 - 4 - label - qt::kPictureMargin - 1) << "but no window margin";
  EXPECT_GE(r.right(), 84 + 300);
  // The top tick label reaches half its height above the box at 16.
  EXPECT_LT(r.top(), 16 - qt::kPictureMargin);
  EXPECT_GT(r.top(), 0);
}

TEST(FigurePainter, FigureWithoutAxesIsPicturedWhole) {
  Scene s(300, 200);
  s.g.set(s.ax, "Visible", Value("off"));
  s.g.set(s.ax, "Position", row({0, 0, 0, 0}));
  EXPECT_EQ(qt::picture_rect(s.g, s.fig), QRectF(0, 0, 300, 200));
}

}  // namespace
}  // namespace qiv
