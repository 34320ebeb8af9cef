#include "export/big_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "base/failure.h"
#include "platform/headless_ui.h"

namespace qiv {
namespace {

// What the axes and the figure looked like while the picture was drawn.
struct Seen {
  Limits limits{};
  std::string axes_units;
  Matrix axes_position;
  std::string figure_units;
  Matrix figure_position;
  std::string path;
};

Seen look(Graphics& g, Handle fig) {
  Handle ax = g.get(fig, "CurrentAxes").scalar_value();
  return Seen{g.axis_of(ax),
              g.get(ax, "Units").str(),
              g.get(ax, "Position").matrix(),
              g.get(fig, "Units").str(),
              g.get(fig, "Position").matrix(),
              ""};
}

void expect_row(const Matrix& m, std::vector<double> want, const std::string& what) {
  ASSERT_EQ(m.size(), static_cast<Eigen::Index>(want.size())) << what;
  for (std::size_t i = 0; i < want.size(); ++i)
    EXPECT_NEAR(m.data()[i], want[i], 1e-9) << what << " element " << i;
}

struct Fixture {
  HeadlessUi ui;
  Application app{ui};
  Handle fig = kNoHandle;
  Handle ax = kNoHandle;
  std::vector<Seen> seen;

  // A figure of the given pixel size holding two points, the limits set by hand.
  Fixture(double width_px, double height_px, Limits lim) {
    Graphics& g = app.gfx;
    fig = g.new_figure();
    g.set(fig, "Position", row({100, 50, width_px, height_px}));
    ax = g.new_axes(fig);
    g.plot({lim[0] + 1, lim[1] - 1}, {lim[2] + 1, lim[3] - 1}, "g*");
    g.axis(lim);
    ui.set_painter([this](Graphics& gg, Handle f, const PictureOptions*) {
      seen.push_back(look(gg, f));
      return Picture{"<svg/>", {}};
    });
    ui.set_file_writer(
        [this](Graphics& gg, Handle f, const std::string& path, const PictureOptions*) {
          seen.push_back(look(gg, f));
          seen.back().path = path;
          if (path.find("locked") != std::string::npos) throw Failure("Failure on File Open");
        });
  }
};

struct SizeCase {
  std::string name;
  double width_px, height_px;
  Limits lim;
  Limits widened;
  std::vector<double> axes_chars;
};

class CopyBigImageTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(CopyBigImageTest, PictureIsTakenWithWidenedLimitsAndEnlargedAxes) {
  const SizeCase& c = GetParam();
  Fixture f(c.width_px, c.height_px, c.lim);
  Graphics& g = f.app.gfx;
  const Matrix before = g.get(f.ax, "Position").matrix();

  f.app.call("CopyBigImage");

  ASSERT_EQ(f.ui.clipboard_copies(), 1);
  ASSERT_EQ(f.seen.size(), 1u);
  const Seen& s = f.seen[0];
  for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(s.limits[i], c.widened[i], 1e-12) << i;
  EXPECT_EQ(s.axes_units, "characters");
  EXPECT_EQ(s.figure_units, "characters");
  expect_row(s.axes_position, c.axes_chars, "axes during the copy");
  expect_row(s.figure_position, {100.0 / 7, 50.0 / 16, c.width_px / 7, c.height_px / 16},
             "figure during the copy");
  EXPECT_EQ(f.ui.clipboard().svg, "<svg/>");

  // Units and position come back; the limits become automatic with equal scaling.
  EXPECT_EQ(g.get(f.fig, "Units").str(), "pixels");
  EXPECT_EQ(g.get(f.ax, "Units").str(), "normalized");
  expect_row(g.get(f.ax, "Position").matrix(),
             {before(0, 0), before(0, 1), before(0, 2), before(0, 3)}, "axes after");
  expect_row(g.get(f.fig, "Position").matrix(), {100, 50, c.width_px, c.height_px}, "figure after");
  EXPECT_EQ(g.get(f.ax, "XLimMode").str(), "auto");
  EXPECT_EQ(g.get(f.ax, "YLimMode").str(), "auto");
  EXPECT_TRUE(g.axis_is_equal(f.ax));
  EXPECT_TRUE(f.ui.console_lines().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, CopyBigImageTest,
    ::testing::Values(
        // 100 x 30 characters: the worked example.
        SizeCase{
            "HundredByThirty", 700, 480, {0, 10, -5, 5}, {-0.3, 10.3, -5.3, 5.3}, {12, 3, 95, 26}},
        SizeCase{"Offset", 560, 420, {2, 4, 100, 200}, {1.94, 4.06, 97, 203}, {12, 3, 75, 22.25}},
        SizeCase{"Narrow", 140, 160, {-1, 1, -1, 1}, {-1.06, 1.06, -1.06, 1.06}, {12, 3, 15, 6}}),
    [](const auto& info) { return info.param.name; });

TEST(CopyBigImage, RestoresUnitsSetInOtherUnits) {
  Fixture f(700, 480, {0, 10, -5, 5});
  Graphics& g = f.app.gfx;
  g.set(f.fig, "Units", Value("normalized"));
  g.set(f.ax, "Units", Value("pixels"));
  g.set(f.ax, "Position", row({40, 30, 600, 400}));
  const Matrix fig_before = g.get(f.fig, "Position").matrix();

  copy_big_image(f.app.ctx);

  ASSERT_EQ(f.seen.size(), 1u);
  expect_row(f.seen[0].axes_position, {12, 3, 95, 26}, "axes during the copy");
  EXPECT_EQ(g.get(f.fig, "Units").str(), "normalized");
  EXPECT_EQ(g.get(f.ax, "Units").str(), "pixels");
  expect_row(g.get(f.ax, "Position").matrix(), {40, 30, 600, 400}, "axes after");
  expect_row(g.get(f.fig, "Position").matrix(),
             {fig_before(0, 0), fig_before(0, 1), fig_before(0, 2), fig_before(0, 3)},
             "figure after");
}

TEST(CopyBigImage, WorksOnTheCurrentFigure) {
  Fixture f(700, 480, {0, 10, -5, 5});
  Graphics& g = f.app.gfx;
  Handle other = g.new_figure();
  g.set(other, "Position", row({0, 0, 350, 160}));
  g.new_axes(other);
  g.plot({0, 1}, {0, 1}, "r+");

  f.app.call("CopyBigImage", {Value("ignored")});

  ASSERT_EQ(f.seen.size(), 1u);
  expect_row(f.seen[0].axes_position, {12, 3, 45, 6}, "axes of the current figure");
  EXPECT_EQ(g.get(f.ax, "XLimMode").str(), "manual") << "the other figure is untouched";
}

struct ArityCase {
  std::string name;
  std::string function;
  Args in;
  int nout;
  std::string message;
};

class ExportArityTest : public ::testing::TestWithParam<ArityCase> {};

TEST_P(ExportArityTest, ExtraInputsOrOutputsFail) {
  const ArityCase& c = GetParam();
  Fixture f(700, 480, {0, 10, -5, 5});
  f.app.call(c.function, c.in, c.nout);
  EXPECT_TRUE(f.seen.empty());
  ASSERT_EQ(f.ui.console_lines().size(), 1u);
  EXPECT_EQ(f.ui.console_lines()[0], c.message);
  EXPECT_EQ(f.app.gfx.get(f.ax, "XLimMode").str(), "manual");
}

INSTANTIATE_TEST_SUITE_P(
    Calls, ExportArityTest,
    ::testing::Values(
        ArityCase{"CopyTwoInputs",
                  "CopyBigImage",
                  {Value("a"), Value("b")},
                  0,
                  "Run-time Error: File: CopyBigImage Line: 1 Column: 1 The function "
                  "\"CopyBigImage\" was called with more than the declared number of inputs (1)."},
        ArityCase{"CopyOneOutput",
                  "CopyBigImage",
                  {},
                  1,
                  "Run-time Error: File: CopyBigImage Line: 1 Column: 1 The function "
                  "\"CopyBigImage\" was called with more than the declared number of outputs (0)."},
        ArityCase{"SaveTwoInputs",
                  "SaveBigImage",
                  {Value("a"), Value("b")},
                  0,
                  "Run-time Error: File: SaveBigImage Line: 1 Column: 1 The function "
                  "\"SaveBigImage\" was called with more than the declared number of inputs (1)."},
        ArityCase{
            "SaveOneOutput",
            "SaveBigImage",
            {Value("a")},
            1,
            "Run-time Error: File: SaveBigImage Line: 1 Column: 1 The function "
            "\"SaveBigImage\" was called with more than the declared number of outputs (0)."}),
    [](const auto& info) { return info.param.name; });

TEST(SaveBigImage, WritesTheEnlargedPictureToTheChosenFile) {
  Fixture f(700, 480, {0, 10, -5, 5});
  f.ui.answer(FileChoice::chosen("plot.pdf", "/tmp/pictures/"));

  f.app.call("SaveBigImage", {Value(1.0)});

  ASSERT_EQ(f.ui.dialogs().size(), 1u);
  EXPECT_TRUE(f.ui.dialogs()[0].save);
  EXPECT_EQ(f.ui.dialogs()[0].filter, "*.svg;*.png;*.pdf");
  EXPECT_EQ(f.ui.dialogs()[0].title, "Save Picture As");
  ASSERT_EQ(f.seen.size(), 1u);
  EXPECT_EQ(f.seen[0].path, "/tmp/pictures/plot.pdf");
  for (std::size_t i = 0; i < 4; ++i)
    EXPECT_NEAR(f.seen[0].limits[i], (Limits{-0.3, 10.3, -5.3, 5.3})[i], 1e-12);
  expect_row(f.seen[0].axes_position, {12, 3, 95, 26}, "axes while saving");
  EXPECT_TRUE(f.ui.messages().empty());
  EXPECT_EQ(f.ui.clipboard_copies(), 0) << "saving leaves the clipboard alone";
}

TEST(SaveBigImage, CancelledDialogChangesNothing) {
  Fixture f(700, 480, {0, 10, -5, 5});
  f.ui.answer_cancel();

  f.app.call("SaveBigImage");

  EXPECT_TRUE(f.seen.empty());
  EXPECT_TRUE(f.ui.messages().empty());
  EXPECT_EQ(f.app.gfx.get(f.ax, "XLimMode").str(), "manual");
  const Limits lim = f.app.gfx.axis_of(f.ax);
  EXPECT_EQ(lim, (Limits{0, 10, -5, 5}));
}

TEST(SaveBigImage, UnwritableFileShowsTheMessageAndRestoresTheAxes) {
  Fixture copied(700, 480, {0, 10, -5, 5});
  copied.app.call("CopyBigImage");
  Fixture f(700, 480, {0, 10, -5, 5});
  f.ui.answer(FileChoice::chosen("plot.svg", "/locked/"));

  f.app.call("SaveBigImage");

  ASSERT_EQ(f.ui.messages().size(), 1u);
  EXPECT_EQ(f.ui.messages()[0], "Failure on File Open");
  EXPECT_TRUE(f.ui.console_lines().empty());
  Graphics& g = f.app.gfx;
  Graphics& h = copied.app.gfx;
  for (const char* p : {"Units", "XLimMode", "YLimMode"})
    EXPECT_EQ(g.get(f.ax, p), h.get(copied.ax, p)) << p;
  EXPECT_EQ(g.get(f.ax, "Position"), h.get(copied.ax, "Position"));
  EXPECT_EQ(g.get(f.fig, "Units"), h.get(copied.fig, "Units"));
  EXPECT_EQ(g.axis_of(f.ax), h.axis_of(copied.ax));
  EXPECT_EQ(g.axis_is_equal(f.ax), h.axis_is_equal(copied.ax));
}

TEST(SaveBigImage, WithoutAPainterTheFailureIsShown) {
  HeadlessUi ui;
  Application app(ui);
  app.gfx.new_figure();
  app.gfx.plot({0, 1}, {0, 1}, "k.");
  ui.answer(FileChoice::chosen("plot.png", "/tmp/"));
  app.call("SaveBigImage");
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0], "Pictures cannot be drawn in this run.");
}

}  // namespace
}  // namespace qiv
