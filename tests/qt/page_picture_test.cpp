// Pictures for a page: exact widths in every format, text at the chosen points, and the
// frame and the y label left out on request.
#include "qt/page_picture.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRegularExpression>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/graphics/graphics.h"
#include "platform/text.h"
#include "qt/qt_app.h"
#include "support/files.h"

namespace qiv {
namespace {

namespace fs = std::filesystem;

struct Page {
  Graphics g;
  Handle fig, ax;
  // A window of its own size, with numbered points and a y label.
  explicit Page(double window_width) {
    qt_test::qt_app();
    fig = g.new_figure();
    g.set(fig, "Position", row({0, 0, window_width, 400}));
    ax = g.new_axes(fig);
    g.hold_on();
    for (int i = 0; i < 12; ++i) g.plot_point(ax, i, i % 5, *parse_plot_style("g*"), 3);
    g.text(3, 2, "7");
    g.set(g.axes_labels(ax)[1], "String", Value("proto.txt"));
    g.axis_equal();
  }
  std::string file(const PictureOptions& o, const char* ext) {
    const test_support::ScratchDir dir;
    const fs::path p = dir / ("qiv_page_" + std::to_string(::getpid()) + ext);
    qt::save_page_file(g, fig, p.string(), o);
    return test_support::read_bytes(p);
  }
};

double captured(const std::string& text, const char* pattern, int n = 1) {
  const auto m = QRegularExpression(pattern).match(QString::fromLatin1(text.data(), text.size()));
  return m.hasMatch() ? m.captured(n).toDouble() : -1;
}

struct SizeCase {
  double width_mm, dpi, window;
  int png_width;   // width_mm / 25.4 * dpi, rounded
  int pdf_points;  // width_mm / 25.4 * 72, rounded: Qt writes whole points
};

class PageSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PageSizeTest, EveryFormatIsTheChosenWidth) {
  const SizeCase& c = GetParam();
  Page p(c.window);
  PictureOptions o;
  o.width_mm = c.width_mm;
  o.dpi = c.dpi;
  const std::string svg = p.file(o, ".svg");
  EXPECT_EQ(captured(svg, "<svg width=\"([0-9.]+)mm\""), c.width_mm);
  const double height_mm = captured(svg, "height=\"([0-9.]+)mm\"");
  QImage png;
  const std::string png_bytes = p.file(o, ".png");
  ASSERT_TRUE(png.loadFromData(reinterpret_cast<const uchar*>(png_bytes.data()),
                               static_cast<int>(png_bytes.size())));
  EXPECT_EQ(png.width(), c.png_width);
  EXPECT_EQ(png.height(), std::lround(height_mm / 25.4 * c.dpi));
  EXPECT_NEAR(png.dotsPerMeterX() * 0.0254, c.dpi, 0.5);
  const std::string pdf = p.file(o, ".pdf");
  EXPECT_EQ(captured(pdf, "/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"), c.pdf_points);
  EXPECT_EQ(captured(pdf, "/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]", 2),
            std::round(height_mm / 25.4 * 72));
}

// The window's width changes nothing.
INSTANTIATE_TEST_SUITE_P(Widths, PageSizeTest,
                         ::testing::Values(SizeCase{85, 300, 560, 1004, 241},
                                           SizeCase{85, 600, 1400, 2008, 241},
                                           SizeCase{170, 300, 300, 2008, 482},
                                           SizeCase{170, 600, 560, 4016, 482}));

// The point sizes of the texts the SVG holds, from its font-size in view-box units and its
// width in millimetres.
std::vector<double> text_points(const std::string& svg) {
  const double mm = captured(svg, "<svg width=\"([0-9.]+)mm\"");
  const double units = captured(svg, "viewBox=\"0 0 ([0-9.]+) ");
  std::vector<double> out;
  QRegularExpression re("font-size=\"([0-9.]+)\"[^>]*>\\s*<text");
  for (auto it = re.globalMatch(QString::fromStdString(svg)); it.hasNext();)
    out.push_back(it.next().captured(1).toDouble() * mm / units / 25.4 * 72);
  return out;
}

TEST(PagePicture, EveryTextHasTheChosenPointSize) {
  for (double font : {8.0, 11.5}) {
    Page p(900);
    PictureOptions o;
    o.font_pt = font;
    o.label = true;
    const std::vector<double> points = text_points(p.file(o, ".svg"));
    ASSERT_GE(points.size(), 2u) << "the groups of tick labels, number and label";
    for (double pt : points) EXPECT_NEAR(pt, font, 0.01);
  }
}

TEST(PagePicture, AxesAndLabelCanBeLeftOut) {
  Page p(560);
  PictureOptions o;  // the label is off unless asked for
  const std::string plain = p.file(o, ".svg");
  EXPECT_FALSE(plain.find(">proto.txt</text>") != std::string::npos);
  o.label = true;
  EXPECT_TRUE(p.file(o, ".svg").find(">proto.txt</text>") != std::string::npos);
  o.axes = false;
  const std::string bare = p.file(o, ".svg");
  EXPECT_EQ(QString::fromStdString(bare).count("<text"), 1) << "only the number, no ticks";
  // The model is as before.
  EXPECT_EQ(p.g.get(p.ax, "Visible").str(), "on");
  EXPECT_EQ(p.g.get(p.ax, "FontSize").scalar_value(), 10);
  EXPECT_EQ(p.g.get(p.ax, "Units").str(), "normalized");
}

TEST(PagePicture, TooManyPixelsAreRefused) {
  Page p(560);
  PictureOptions o;
  o.width_mm = 500;
  o.dpi = 1200;
  EXPECT_THROW(p.file(o, ".png"), Failure);
}

}  // namespace
}  // namespace qiv
