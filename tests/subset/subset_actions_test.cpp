#include "subset/subset_actions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/graphics/style.h"
#include "support/loaded_session.h"

namespace qiv {
namespace {

using test_support::DrawnLine;
using test_support::LoadedSession;
using test_support::make_specimens;

constexpr int kLandmarks = 8;

class SubsetActions : public ::testing::Test {
 protected:
  void SetUp() override {
    s.load(make_specimens(4, kLandmarks));
    s.open_window({"PointBox", "SubsetBox"});
  }
  double ref_x(long j) const { return (*s.app.state.reference)(0, 2 * j - 2); }
  double ref_y(long j) const { return (*s.app.state.reference)(0, 2 * j - 1); }
  Rgb color(const char* style) const { return parse_plot_style(style)->color; }

  LoadedSession s;
};

TEST_F(SubsetActions, ShowSubsetStarsAndNumbersTheSubsetInAscendingOrder) {
  s.set_text("SubsetBox", "3 1 3 7");
  const Limits before = s.app.gfx.axis_of(s.main_axes());
  show_subset(s.app.ctx);

  const auto lines = s.lines();
  ASSERT_EQ(lines.size(), 3u);  // the specimens and the mean shape are gone
  const long expected[] = {1, 3, 7};
  const auto texts = s.texts();
  ASSERT_EQ(texts.size(), 3u);
  for (int c = 0; c < 3; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(lines[c].marker, Marker::kStar);
    EXPECT_EQ(lines[c].color, color("m"));
    EXPECT_THAT(lines[c].x, ::testing::ElementsAre(ref_x(expected[c])));
    EXPECT_THAT(lines[c].y, ::testing::ElementsAre(ref_y(expected[c])));
    EXPECT_EQ(texts[c].text, std::to_string(c + 1));
    EXPECT_EQ(texts[c].x, ref_x(expected[c]) + 0.01);
    EXPECT_EQ(texts[c].y, ref_y(expected[c]) + 0.01);
  }
  // cla keeps the limits of the last display; they grow by 1.03.
  const Limits after = s.app.gfx.axis_of(s.main_axes());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(after[i], before[i] * 1.03);
  EXPECT_TRUE(s.app.gfx.axis_is_equal(s.main_axes()));
  EXPECT_EQ(s.app.gfx.current_figure(), s.main_fig);
}

TEST_F(SubsetActions, ShowSubsetWithNothingValidLeavesEmptyAxes) {
  for (const char* text : {"", "0 99 2.5", "words"}) {
    s.set_text("SubsetBox", text);
    show_subset(s.app.ctx);
    EXPECT_TRUE(s.lines().empty()) << text;
    EXPECT_TRUE(s.texts().empty()) << text;
  }
}

TEST_F(SubsetActions, ShowAllNumbersEveryLandmarkAndFillsTheSubset) {
  s.set_text("SubsetBox", "4 2\n9 0");  // two rows: the zero is dropped, 9 is above k
  const Limits kept = s.app.gfx.axis_of(s.main_axes());
  show_all(s.app.ctx);

  const auto lines = s.lines();
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kLandmarks + 2));
  std::vector<long> filled;
  int pluses = 0;
  for (const DrawnLine& l : lines) {
    if (l.marker == Marker::kPlus) {
      ++pluses;
      EXPECT_EQ(l.color, color("r"));
      continue;
    }
    EXPECT_EQ(l.marker, Marker::kCircle);
    EXPECT_EQ(l.color, color("k"));
    EXPECT_EQ(l.face, color("k"));
    EXPECT_EQ(l.marker_size, 9.0f);
    for (long j = 1; j <= kLandmarks; ++j)
      if (l.x[0] == ref_x(j) && l.y[0] == ref_y(j)) filled.push_back(j);
  }
  EXPECT_EQ(pluses, kLandmarks);
  EXPECT_THAT(filled, ::testing::ElementsAre(2, 4));

  // Label offsets come from the limits as they are right after clearing.
  const double ox = (kept[1] - kept[0]) / 100;
  const double oy = (kept[3] - kept[2]) / 100;
  const auto texts = s.texts();
  ASSERT_EQ(texts.size(), static_cast<std::size_t>(kLandmarks));
  for (long j = 1; j <= kLandmarks; ++j) {
    EXPECT_EQ(texts[j - 1].text, std::to_string(j));
    EXPECT_EQ(texts[j - 1].x, ref_x(j) + ox);
    EXPECT_EQ(texts[j - 1].y, ref_y(j) + oy);
  }
  EXPECT_TRUE(s.app.gfx.axis_is_equal(s.main_axes()));
  EXPECT_EQ(s.app.gfx.current_figure(), s.window);  // the figure current before
}

TEST_F(SubsetActions, ShowAllWithEmptySubsetFillsNothing) {
  show_all(s.app.ctx);
  for (const DrawnLine& l : s.lines()) EXPECT_EQ(l.marker, Marker::kPlus);
  EXPECT_EQ(s.texts().size(), static_cast<std::size_t>(kLandmarks));
}

TEST_F(SubsetActions, ShowThisLandmarkHidesThePreviousMark) {
  const std::size_t drawn = s.lines().size();
  s.set_text("PointBox", "2");
  show_this_landmark(s.app.ctx);
  const Handle first = *s.app.state.markerh;
  EXPECT_EQ(s.app.gfx.current_figure(), s.window);
  s.set_text("PointBox", "5");
  show_this_landmark(s.app.ctx);

  const auto lines = s.lines();
  ASSERT_EQ(lines.size(), drawn + 2);  // the first mark is hidden, not deleted
  const DrawnLine& a = lines[drawn];
  const DrawnLine& b = lines[drawn + 1];
  EXPECT_FALSE(a.visible);
  EXPECT_TRUE(b.visible);
  EXPECT_EQ(a.x[0], ref_x(2));
  EXPECT_EQ(b.x[0], ref_x(5));
  EXPECT_EQ(b.y[0], ref_y(5));
  EXPECT_EQ(b.marker, Marker::kCircle);
  EXPECT_EQ(b.face, color("k"));
  EXPECT_EQ(b.marker_size, 9.0f);
  EXPECT_NE(*s.app.state.markerh, first);
  EXPECT_EQ(s.app.gfx.get(*s.app.state.markerh, "Visible").str(), "on");
  EXPECT_EQ(s.app.gfx.current_figure(), s.window);
}

TEST_F(SubsetActions, ShowThisLandmarkAfterTheAxesWereClearedHidesNothing) {
  s.set_text("PointBox", "3");
  show_this_landmark(s.app.ctx);
  show_subset(s.app.ctx);  // deletes the mark
  show_this_landmark(s.app.ctx);
  const auto lines = s.lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0].visible);
}

TEST_F(SubsetActions, ShowThisLandmarkRefusesATextThatNamesNoLandmark) {
  s.set_text("PointBox", "4");
  show_this_landmark(s.app.ctx);
  const Handle mark = *s.app.state.markerh;
  const std::size_t drawn = s.lines().size();
  for (const char* text : {"0", "9", "2.5", "", "four", "1 2"}) {
    s.ui.clear_records();
    s.set_text("PointBox", text);
    show_this_landmark(s.app.ctx);
    EXPECT_THAT(s.ui.messages(), ::testing::ElementsAre("Enter a landmark number from 1 to 8."))
        << text;
    EXPECT_EQ(*s.app.state.markerh, mark);
    EXPECT_EQ(s.lines().size(), drawn);
    EXPECT_TRUE(s.lines().back().visible);
  }
}

TEST_F(SubsetActions, AddLandmarkAppendsOneBlankAndTheText) {
  struct Row {
    const char* subset;
    const char* point;
    const char* result;
  };
  for (const Row& r : {Row{"1 2", "4", "1 2 4"}, Row{"", "7", " 7"}, Row{"1 2", "1", "1 2 1"},
                       Row{"3", "x", "3 x"}}) {
    s.set_text("SubsetBox", r.subset);
    s.set_text("PointBox", r.point);
    add_lm_to_subset(s.app.ctx);
    EXPECT_EQ(s.text("SubsetBox"), r.result);
  }
}

TEST_F(SubsetActions, InvertSubsetWritesTheOtherLandmarks) {
  s.set_text("SubsetBox", "2 99 8 8");
  invert_subset(s.app.ctx);
  EXPECT_EQ(s.text("SubsetBox"), " 1 3 4 5 6 7");
  invert_subset(s.app.ctx);
  EXPECT_EQ(s.text("SubsetBox"), " 2 8");
}

TEST(SubsetActionsBeforeLoad, RefuseAndChangeNothing) {
  struct Row {
    const char* name;
    void (*action)(Context&);
  };
  for (const Row& r :
       {Row{"ShowThisLandmark", show_this_landmark}, Row{"InvertSubset", invert_subset},
        Row{"ShowSubset", show_subset}, Row{"ShowAll", show_all}, Row{"SaveSubset", save_subset}}) {
    LoadedSession s;
    s.open_window({"PointBox", "SubsetBox"});
    s.set_text("SubsetBox", "1 2");
    s.set_text("PointBox", "1");
    s.ui.answer_path("/tmp/never_written.txt");
    r.action(s.app.ctx);
    EXPECT_THAT(s.ui.messages(), ::testing::ElementsAre("Load a landmark data file first."))
        << r.name;
    EXPECT_TRUE(s.ui.dialogs().empty()) << r.name;
    EXPECT_EQ(s.text("SubsetBox"), "1 2") << r.name;
    EXPECT_EQ(*s.app.state.markerh, kNoHandle) << r.name;
    EXPECT_EQ(s.app.gfx.figures().size(), 1u) << r.name;  // no main window was made
  }
}

}  // namespace
}  // namespace qiv
