#include "data/data_actions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/application.h"
#include "base/failure.h"
#include "core/controls.h"
#include "geometry/consensus.h"
#include "platform/headless_ui.h"
#include "support/files.h"

namespace qiv {
namespace {

using ScratchDir = test_support::ScratchTest;

// Three specimens of three landmarks, each a slightly different triangle.
const char* const kThreeByThree =
    "0 0 1 0 0 1 1.5\n"
    "0.1 0 1 0.1 0 1.1 2.5\n"
    "0 -0.1 1.1 0 0 1 3.5\n";

struct Drawn {
  std::vector<LineView> lines;
  struct Label {
    double x, y;
    std::string text;
  };
  std::vector<Label> labels;
};

Drawn drawn(const Graphics& gfx, Handle ax) {
  Drawn d;
  gfx.for_each_drawn(
      ax, [&d](const LineView& l) { d.lines.push_back(l); },
      [&d](const TextView& t) {
        d.labels.push_back({t.x, t.y, *t.text});
      });
  return d;
}

// A main window as the layout gives it, reduced to what the data actions touch.
class DataActions : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    main_ = app_.gfx.new_figure();
    axes_ = app_.gfx.new_axes(main_);
    for (const char* tag : {"FileBox", "ProtoPointBox"}) {
      Handle c = app_.gfx.new_uicontrol(main_);
      app_.gfx.set(c, "Style", Value("text"));
      app_.gfx.set(c, "Tag", Value(tag));
      app_.gfx.set(c, "String", Value("initial"));
    }
  }

  void load_file(const std::string& name, const std::string& bytes) {
    ui_.answer_path(write(name, bytes));
    load(app_.ctx);
  }

  std::string file_box() const { return control_text(app_.ctx, "FileBox"); }

  HeadlessUi ui_;
  Application app_{ui_};
  Handle main_ = kNoHandle;
  Handle axes_ = kNoHandle;
};

TEST_F(DataActions, LoadShowsCountsFitsDrawsAndNumbers) {
  load_file("data/three.txt", kThreeByThree);
  EXPECT_THAT(ui_.messages(), ::testing::IsEmpty());
  EXPECT_EQ(file_box(), "File: three.txt \n   3 Specimens \n   3 Landmarks");

  Matrix raw(3, 7);
  raw << 0, 0, 1, 0, 0, 1, 1.5, 0.1, 0, 1, 0.1, 0, 1.1, 2.5, 0, -0.1, 1.1, 0, 0, 1, 3.5;
  Consensus want = getconsensus(raw);
  ASSERT_TRUE(app_.state.data && app_.state.reference);
  EXPECT_EQ(*app_.state.data, want.xpt);
  EXPECT_EQ(*app_.state.reference, want.y);
  EXPECT_EQ(app_.state.figh, main_);
  EXPECT_EQ(app_.state.lineh, kNoHandle);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir_ / "data"));

  // Nine green stars in specimen order, then three red pluses, all of marker size 3.
  Drawn d = drawn(app_.gfx, axes_);
  ASSERT_EQ(d.lines.size(), 12u);
  for (std::size_t i = 0; i < 12; ++i) {
    const Matrix& src = i < 9 ? want.xpt : want.y;
    const Eigen::Index r = i < 9 ? static_cast<Eigen::Index>(i / 3) : 0;
    const Eigen::Index j = static_cast<Eigen::Index>(i % 3);
    ASSERT_EQ(d.lines[i].n, 1u);
    EXPECT_EQ(d.lines[i].x[0], src(r, 2 * j));
    EXPECT_EQ(d.lines[i].y[0], src(r, 2 * j + 1));
    EXPECT_EQ(d.lines[i].marker, i < 9 ? Marker::kStar : Marker::kPlus);
    EXPECT_EQ(d.lines[i].color, i < 9 ? (Rgb{0, 1, 0}) : (Rgb{1, 0, 0}));
    EXPECT_EQ(d.lines[i].marker_size, 3.0f);
  }

  // The limits were widened from those read after drawing; the numbers were offset by a
  // hundredth of those same limits.
  const Limits wide = app_.gfx.axis_of(axes_);
  const Limits drawn_lim{wide[0] / 1.03, wide[1] / 1.03, wide[2] / 1.03, wide[3] / 1.03};
  EXPECT_EQ(app_.gfx.get(axes_, "XLimMode"), Value("manual"));
  EXPECT_TRUE(app_.gfx.axis_is_equal(axes_));
  ASSERT_EQ(d.labels.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(d.labels[i].text, std::to_string(i + 1));
    EXPECT_DOUBLE_EQ(d.labels[i].x, want.y(0, 2 * i) + (drawn_lim[1] - drawn_lim[0]) / 100);
    EXPECT_DOUBLE_EQ(d.labels[i].y, want.y(0, 2 * i + 1) + (drawn_lim[3] - drawn_lim[2]) / 100);
  }
}

TEST_F(DataActions, CountsAreRightAlignedInThreePlaces) {
  std::string many;
  for (int i = 0; i < 125; ++i) many += "0 0 1 0 0 1 1 1 0.5 " + std::to_string(1 + i % 7) + " 9\n";
  load_file("many.txt", many);
  EXPECT_EQ(file_box(), "File: many.txt \n 125 Specimens \n   5 Landmarks");
}

struct Refused {
  const char* name;
  std::string bytes;  // written to sub/bad.txt; nothing written for "missing"
  std::string message;
  int cancel_at = 0;  // the Cancel of the progress, at its n-th advance: no message
};

TEST_F(DataActions, ARefusedFileChangesNothing) {
  const std::vector<Refused> cases{
      {"missing", "", "Cannot open bad.txt."},
      {"line that does not parse", "0 0 1 0 0 1 1\n0 0 1 x 0 1 1\n",
       "Cannot read bad.txt: line 2: \"x\" is not a number."},
      {"different count", "0 0 1 0 0 1 1\n0 0 1 0 0 1 1\n0 0 1 0 0 1\n",
       "Cannot read bad.txt: line 3 has 6 numbers, line 1 has 7."},
      {"header", "x1 y1 x2 y2 x3 y3 cs\n0 0 1 0 0 1 1\n",
       "Cannot read bad.txt: line 1: \"x1\" is not a number."},
      {"empty file", "", "Cannot load bad.txt: the file holds no data."},
      {"even column count", "0 0 1 0 0 1\n",
       "Cannot load bad.txt: line 1 has 6 numbers; a landmark file has x and y of each "
       "landmark, then the centroid size, an odd count of at least 3."},
      {"one column", "5\n",
       "Cannot load bad.txt: line 1 has 1 number; a landmark file has x and y of each "
       "landmark, then the centroid size, an odd count of at least 3."},
      {"NaN", "0 0 1 0 0 1 1\n0 0 1 0 NaN 1 1\n",
       "Cannot load bad.txt: line 2 holds NaN as number 5, which is not a finite number."},
      {"Inf", "0 0 1 0 0 1 1\n0 0 1 0 0 1 1\n0 0 1 0 0 1 -inf\n",
       "Cannot load bad.txt: line 3 holds -Inf as number 7, which is not a finite number."},
      {"coincident landmarks", "0 0 1 0 0 1 1\n2 3 2 3 2 3 1\n",
       "Cannot load bad.txt: the landmarks of line 2 all coincide, so the specimen cannot be "
       "fitted."},
      {"coordinates too large", "0 0 1 0 0 1 1\n0 0 1e300 0 0 1e300 1\n",
       "Cannot load bad.txt: the coordinates of line 2 are too large to be fitted."},
      {"a single landmark", "1 2 3\n",
       "Cannot load bad.txt: the landmarks of line 1 all coincide, so the specimen cannot be "
       "fitted."},
      {"Cancel while reading", kThreeByThree, "", 1},
      {"Cancel during the fit", kThreeByThree, "", 2},
  };
  load_file("good/three.txt", kThreeByThree);
  app_.state.lineh = 42;
  app_.state.proto = Protocol::from_table(row({1, 1, 2}));
  const std::string box = file_box();
  const SharedState state = app_.state;
  const auto cwd = std::filesystem::current_path();
  const Limits lim = app_.gfx.axis_of(axes_);
  const std::size_t lines = app_.gfx.line_count(axes_);

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(path("sub/bad.txt"));
    if (std::string(c.name) == "missing")
      ui_.answer_path(path("sub/bad.txt"));
    else
      ui_.answer_path(write("sub/bad.txt", c.bytes));
    ui_.clear_records();
    ui_.cancel_progress_after(c.cancel_at);
    load(app_.ctx);
    EXPECT_EQ(ui_.messages(),
              c.cancel_at ? std::vector<std::string>{} : std::vector<std::string>{c.message});
    EXPECT_EQ(file_box(), box);
    EXPECT_EQ(std::filesystem::current_path(), cwd);
    EXPECT_EQ(app_.gfx.axis_of(axes_), lim);
    EXPECT_EQ(app_.gfx.line_count(axes_), lines);
    for (const auto& member : shared_state_members())
      EXPECT_EQ(describe_member(app_.state, member), describe_member(state, member)) << member;
  }
}

TEST_F(DataActions, LoadReadsTpsAndNtsWithNamesAndTheRealSizes) {
  load_file("w.tps",
            "LM=3\r\n0 0\r\n4 0\r\n0 3\r\nCURVES=1\r\nPOINTS=2\r\n1 1\r\n2 2\r\nSCALE=1\r\n"
            "ID=gorf_011\r\n"
            "\r\nLM=3\r\n0 0\r\n8 0\r\n0 6\r\nSCALE=0.5\r\nID=gorf_012\r\n");
  EXPECT_THAT(ui_.messages(), ::testing::IsEmpty());
  EXPECT_THAT(ui_.console_lines(),
              ::testing::ElementsAre("w.tps: 2 curve points were left out; only landmarks are "
                                     "loaded."));
  EXPECT_EQ(file_box(), "File: w.tps \n   2 Specimens \n   3 Landmarks");
  EXPECT_EQ(describe_member(app_.state, "names"), "gorf_011\ngorf_012");
  // The trailing column: the centroid size of (0,0) (4,0) (0,3), the second after SCALE.
  const double size = std::sqrt(16.0 + 9.0 - (16.0 + 9.0) / 3.0);
  EXPECT_NEAR((*app_.state.data)(0, 6), size, 1e-12);
  EXPECT_NEAR((*app_.state.data)(1, 6), size, 1e-12);
  ASSERT_EQ(ui_.dialogs().size(), 1u);
  EXPECT_EQ(ui_.dialogs()[0].filter,
            "All files (*);;Landmark data (*.txt);;TPS files (*.tps);;CSV files (*.csv);;NTS "
            "files (*.nts)");
  EXPECT_EQ(ui_.dialogs()[0].title, "Enter file to Load?");

  ui_.clear_records();
  load_file("w.nts", "\" two\n1 2L 6 0\nleft\nright\n0 0 4 0 0 3 0 0 4 0 0 3\n");
  EXPECT_THAT(ui_.messages(), ::testing::IsEmpty());
  EXPECT_EQ(describe_member(app_.state, "names"), "left\nright");
  EXPECT_EQ(file_box(), "File: w.nts \n   2 Specimens \n   3 Landmarks");

  load_file("three.txt", kThreeByThree);
  EXPECT_EQ(describe_member(app_.state, "names"), "1\n2\n3");
  EXPECT_EQ((*app_.state.data)(2, 6), 3.5);  // the own file's trailing value as it is
}

TEST_F(DataActions, SeveralFilesLoadAsTheOneFileHoldingThemAll) {
  const std::string a =
      "LM=3\n0 0\n4 0\n0 3\nSCALE=2\nID=a1\nLM=3\n0 0\n5 0\n0 3\nSCALE=2\nID=a2\n";
  const std::string b = "LM=3\n1 0\n4 1\n0 3\nSCALE=0.5\nCURVES=1\nPOINTS=1\n2 2\nID=b1\n";
  ui_.answer_paths({write("a.tps", a), write("b.tps", b)});
  load(app_.ctx);
  EXPECT_THAT(ui_.messages(), ::testing::IsEmpty());
  EXPECT_EQ(file_box(), "File: a.tps (+1 more) \n   3 Specimens \n   3 Landmarks");
  EXPECT_EQ(ui_.statuses().back().text,
            "Loaded a.tps (+1 more): 3 specimens, 3 landmarks; 1 curve point left out");
  const SharedState joined = app_.state;
  load_file("ab.tps", a + b);
  for (const char* member : {"data", "reference", "names"})
    EXPECT_EQ(describe_member(app_.state, member), describe_member(joined, member)) << member;

  // Own files name their specimens FILESTEM:ROW; some records without SCALE keep every record
  // in the files' units and say so once.
  ui_.clear_records();
  ui_.answer_paths({write("x.txt", "0 0 1 0 0 1 1\n0 0 2 0 0 1 1\n"), path("b.tps")});
  load(app_.ctx);
  EXPECT_EQ(describe_member(app_.state, "names"), "x:1\nx:2\nb1");
  EXPECT_THAT(ui_.messages(),
              ::testing::ElementsAre("2 of 3 specimens have no SCALE (first: x:1); all "
                                     "coordinates are taken in the file's units."));
  EXPECT_DOUBLE_EQ((*app_.state.data)(2, 6), std::sqrt(40.0 / 3));  // b1 without its SCALE
}

TEST_F(DataActions, LoadNamesTheFirstProtocolLineBeyondTheLandmarksLoaded) {
  struct Row {
    Matrix proto;
    const char* tail;  // after "Loaded three.txt: 3 specimens, 3 landmarks"
  } const rows[] = {
      {Matrix(0, 3), ""},
      {Matrix{{1, 1, 2}, {2, 2, 3}}, ""},
      {Matrix{{1, 1, 2}, {2, 3, 5}, {3, 1, 4}},
       "; protocol line 2 joins landmark 5, beyond the "
       "3 landmarks loaded"},
      {Matrix{{7, 4, 1}}, "; protocol line 1 joins landmark 4, beyond the 3 landmarks loaded"},
  };
  for (const Row& r : rows) {
    app_.state.proto = Protocol::from_table(r.proto);
    load_file("three.txt", kThreeByThree);
    EXPECT_EQ(ui_.statuses().back().text,
              std::string("Loaded three.txt: 3 specimens, 3 landmarks") + r.tail);
    EXPECT_THAT(ui_.messages(), ::testing::IsEmpty());
    EXPECT_EQ(app_.state.proto, Protocol::from_table(r.proto));  // the protocol stays
  }
}

TEST_F(DataActions, RefusalsOfTpsAndNtsFilesNameTheSpecimen) {
  const std::vector<Refused> cases{
      {"a second file of other landmarks", "",
       "Cannot load bad.tps: its specimens have 2 landmarks, but those of three.txt have 3 "
       "landmarks; "
       "files loaded together need the same landmarks."},
      {"coincident landmarks", "LM=2\n0 0\n1 0\nID=a\nLM=2\n3 3\n3 3\nID=gorf_012\n",
       "Cannot load bad.tps: the landmarks of specimen gorf_012 all coincide, so the specimen "
       "cannot be fitted."},
      {"not finite", "LM=2\n0 0\n1 0\nID=a\nLM=2\n0 0\ninf 0\nID=b\n",
       "Cannot load bad.tps: specimen b holds Inf as number 3, which is not a finite number."},
      {"too large", "LM=2\n0 0\n1e300 0\nID=big\n",
       "Cannot load bad.tps: the coordinates of specimen big are too large to be fitted."},
      {"a reader's refusal", "1 2L 4 0\nu v\n0 0 1 0 0 0 x 0\n",
       "Cannot read bad.tps: specimen v, line 3: \"x\" is not a number."},
  };
  load_file("good/three.txt", kThreeByThree);
  const SharedState state = app_.state;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ui_.clear_records();
    if (c.bytes.empty())
      ui_.answer_paths({path("good/three.txt"), write("sub/bad.tps", "LM=2\n0 0\n1 0\n")});
    else
      ui_.answer_path(write("sub/bad.tps", c.bytes));
    load(app_.ctx);
    EXPECT_THAT(ui_.messages(), ::testing::ElementsAre(c.message));
    EXPECT_THAT(ui_.console_lines(), ::testing::IsEmpty());
    for (const auto& member : shared_state_members())
      EXPECT_EQ(describe_member(app_.state, member), describe_member(state, member)) << member;
  }
}

TEST_F(DataActions, ACancelledDialogChangesNothing) {
  load_file("good/three.txt", kThreeByThree);
  std::filesystem::current_path(dir_);  // elsewhere than the loaded file's folder
  const std::size_t lines = app_.gfx.line_count(axes_);
  const Matrix data = *app_.state.data;
  ui_.clear_records();
  ui_.answer_cancel();
  load(app_.ctx);
  EXPECT_THAT(ui_.messages(), ::testing::IsEmpty());
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir_));
  EXPECT_EQ(file_box(), "File: three.txt \n   3 Specimens \n   3 Landmarks");
  EXPECT_EQ(app_.gfx.line_count(axes_), lines);
  EXPECT_EQ(*app_.state.data, data);
}

TEST_F(DataActions, LoadThroughTheDispatcherReportsNothingOnTheConsole) {
  ui_.answer_path(write("three.txt", kThreeByThree));
  app_.action("Load");
  EXPECT_THAT(ui_.console_lines(), ::testing::IsEmpty());
  EXPECT_TRUE(app_.state.reference.has_value());
}

TEST_F(DataActions, ReplotRedrawsWithoutNumbersOrWidening) {
  load_file("three.txt", kThreeByThree);
  replot(app_.ctx);
  Drawn d = drawn(app_.gfx, axes_);
  EXPECT_EQ(d.lines.size(), 12u);
  EXPECT_TRUE(d.labels.empty());
  EXPECT_EQ(app_.gfx.get(axes_, "XLimMode"), Value("auto"));
  EXPECT_EQ(app_.gfx.get(axes_, "YLimMode"), Value("auto"));
  EXPECT_TRUE(app_.gfx.axis_is_equal(axes_));
}

TEST_F(DataActions, FiftyReplotsKeepTheStoreOfTheFirst) {
  load_file("three.txt", kThreeByThree);
  replot(app_.ctx);
  const std::size_t store = app_.gfx.slots_in_store();
  const Drawn first = drawn(app_.gfx, axes_);
  for (int i = 1; i < 50; ++i) replot(app_.ctx);
  EXPECT_EQ(app_.gfx.slots_in_store(), store);
  const Drawn last = drawn(app_.gfx, axes_);
  EXPECT_EQ(last.lines.size(), first.lines.size());
}

TEST_F(DataActions, ClearForgetsWhatItNamesAndLoadThenWorksAsTheFirstTime) {
  load_file("three.txt", kThreeByThree);
  const Drawn first = drawn(app_.gfx, axes_);
  const Limits first_lim = app_.gfx.axis_of(axes_);
  const std::string first_box = file_box();

  app_.state.proto = Protocol::from_table(row({1, 1, 2}));
  app_.state.protoname = "p.txt";
  app_.state.menufigh = 99;
  app_.state.lineh = 7;
  app_.state.markerh = 8;
  app_.state.rdata = row({1, 2, 3});
  app_.state.blocks = BlockStructure(BlockList{{1}}, 1);
  app_.state.tmatrix = row({1});
  const std::optional<std::string> figdir = app_.state.figdir;

  clear(app_.ctx);
  EXPECT_EQ(app_.gfx.line_count(axes_), 0u);
  EXPECT_EQ(file_box(), "    ");
  EXPECT_EQ(control_text(app_.ctx, "ProtoPointBox"), "    ");
  EXPECT_EQ(app_.gfx.get(app_.gfx.axes_labels(axes_)[1], "String"), Value("No Protocol Available"));
  EXPECT_FALSE(app_.state.data || app_.state.reference || app_.state.proto || app_.state.menufigh ||
               app_.state.protoname || app_.state.blocks.has_lists() || app_.state.names);
  EXPECT_EQ(app_.state.figh, main_);
  EXPECT_EQ(app_.state.lineh, 7);
  EXPECT_EQ(app_.state.markerh, 8);
  EXPECT_EQ(app_.state.rdata, row({1, 2, 3}));
  EXPECT_EQ(app_.state.blocks.count(), 1);
  EXPECT_EQ(app_.state.tmatrix, row({1}));
  EXPECT_EQ(app_.state.figdir, figdir);

  ui_.answer_path(path("three.txt"));
  load(app_.ctx);
  const Drawn again = drawn(app_.gfx, axes_);
  EXPECT_EQ(file_box(), first_box);
  EXPECT_EQ(app_.gfx.axis_of(axes_), first_lim);
  EXPECT_EQ(app_.state.lineh, kNoHandle);
  ASSERT_EQ(again.lines.size(), first.lines.size());
  ASSERT_EQ(again.labels.size(), first.labels.size());
  for (std::size_t i = 0; i < first.labels.size(); ++i) {
    EXPECT_EQ(again.labels[i].x, first.labels[i].x);
    EXPECT_EQ(again.labels[i].y, first.labels[i].y);
    EXPECT_EQ(again.labels[i].text, first.labels[i].text);
  }
}

TEST_F(DataActions, PlotMeanDrawsIntoTheMainWindowAndLeavesTheOtherCurrent) {
  load_file("three.txt", kThreeByThree);
  const Limits before = app_.gfx.axis_of(axes_);
  const Handle other = app_.gfx.new_figure();
  plot_mean(app_.ctx);
  EXPECT_EQ(app_.gfx.current_figure(), other);
  EXPECT_TRUE(app_.gfx.children(other).empty());

  Drawn d = drawn(app_.gfx, axes_);
  ASSERT_EQ(d.lines.size(), 15u);
  ASSERT_EQ(d.labels.size(), 6u);
  const Matrix& r = *app_.state.reference;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(d.lines[12 + i].marker, Marker::kPlus);
    // The new numbers use the limits read before the mean shape was drawn again.
    EXPECT_EQ(d.labels[3 + i].text, std::to_string(i + 1));
    EXPECT_DOUBLE_EQ(d.labels[3 + i].x, r(0, 2 * i) + (before[1] - before[0]) / 100);
    EXPECT_DOUBLE_EQ(d.labels[3 + i].y, r(0, 2 * i + 1) + (before[3] - before[2]) / 100);
  }
  EXPECT_EQ(app_.gfx.get(axes_, "XLimMode"), Value("manual"));
}

TEST_F(DataActions, ReplotAndPlotMeanNeedLoadedData) {
  EXPECT_THROW(replot(app_.ctx), Failure);
  EXPECT_THROW(plot_mean(app_.ctx), Failure);
  app_.action("Replot");
  EXPECT_THAT(ui_.console_lines(), ::testing::ElementsAre("Load a landmark data file first."));
}

struct ShapeCase {
  const char* name;
  Args args;
  std::size_t points;
  Marker marker;
  Rgb color;
};

TEST_F(DataActions, ShowshapeDrawsTheWholeLandmarksOfEachRow) {
  const std::vector<ShapeCase> cases{
      {"7 values", {Value(row({1, 2, 3, 4, 5, 6, 7})), Value("g*")}, 3, Marker::kStar, {0, 1, 0}},
      {"6 values", {Value(row({1, 2, 3, 4, 5, 6})), Value("r+")}, 2, Marker::kPlus, {1, 0, 0}},
      {"1 value", {Value(row({1})), Value("ro")}, 0, Marker::kCircle, {1, 0, 0}},
      {"default style", {Value(row({1, 2, 3}))}, 1, Marker::kPoint, {0, 0, 0}},
      {"text input from the command line",
       {Value("[1 2 3 4 5]"), Value("k.")},
       2,
       Marker::kPoint,
       {0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    app_.gfx.clear_axes(axes_);
    app_.gfx.axis(Limits{0, 1, 0, 1});
    EXPECT_EQ(app_.rt.call("showshape", c.args, 1), Outputs{Value(1.0)});
    Drawn d = drawn(app_.gfx, axes_);
    ASSERT_EQ(d.lines.size(), c.points);
    for (const auto& l : d.lines) {
      EXPECT_EQ(l.marker, c.marker);
      EXPECT_EQ(l.color, c.color);
      EXPECT_EQ(l.marker_size, 3.0f);
    }
    EXPECT_EQ(app_.gfx.get(axes_, "XLimMode"), Value("auto"));
    EXPECT_TRUE(app_.gfx.axis_is_equal(axes_));
  }
}

}  // namespace
}  // namespace qiv
