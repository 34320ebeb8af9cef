#include "reflect/reflect_actions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "core/landmark_set.h"
#include "data/landmark_file.h"
#include "data/specimen_file.h"
#include "geometry/basereg.h"
#include "geometry/consensus.h"
#include "platform/file_io.h"
#include "platform/graphics/style.h"
#include "reflect/back_reflection.h"
#include "support/loaded_session.h"

namespace qiv {
namespace {

using test_support::DrawnLine;
using test_support::LoadedSession;
using test_support::make_specimens;
using test_support::read_bytes;
using test_support::ScratchDir;
using ::testing::ElementsAre;

constexpr const char* kSaveTitle = "Please Enter Filename for Backreflected Data";

class ReflectActions : public ::testing::Test {
 protected:
  void SetUp() override {
    s.load(make_specimens(5, kLandmarks));
    s.open_window({"ActiveLMBox", "MidBox"});
  }
  Matrix reflect(const std::string& midline) {
    s.set_text("MidBox", midline);
    midline_reflect(s.app.ctx);
    return *s.app.state.rdata;
  }

  static constexpr int kLandmarks = 10;
  LoadedSession s;
};

TEST_F(ReflectActions, MidlineReflectSuperimposesTheReflectedSet) {
  const Matrix data = *s.app.state.data;
  const Matrix rdata = reflect(" 1  2  5 ");
  ASSERT_EQ(rdata.rows(), data.rows());
  ASSERT_EQ(rdata.cols(), 35);
  const Consensus fit = getconsensus(back_reflect(data, {1, 2, 5}));
  EXPECT_EQ(rdata, fit.xpt);
  EXPECT_EQ(rdata.col(34), data.col(20));
  EXPECT_EQ(*s.app.state.data, data);  // data itself is untouched
  EXPECT_TRUE(s.ui.messages().empty());
}

TEST_F(ReflectActions, MidlineReflectShowsTheSetWithLandmarksNumberedOneToKPlusF) {
  const Matrix rdata = reflect("1 2 5");
  const Matrix rref = getconsensus(back_reflect(*s.app.state.data, {1, 2, 5})).y;

  const auto lines = s.lines();
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(rdata.rows() * 17 + 17));
  EXPECT_EQ(lines.front().marker, Marker::kStar);
  EXPECT_EQ(lines.back().marker, Marker::kPlus);

  // Offsets from the limits after the specimens were drawn, before the consensus.
  double lo_x = rdata(0, 0), hi_x = lo_x, lo_y = rdata(0, 1), hi_y = lo_y;
  for (Eigen::Index r = 0; r < rdata.rows(); ++r) {
    for (Eigen::Index j = 0; j < 17; ++j) {
      lo_x = std::min(lo_x, rdata(r, 2 * j));
      hi_x = std::max(hi_x, rdata(r, 2 * j));
      lo_y = std::min(lo_y, rdata(r, 2 * j + 1));
      hi_y = std::max(hi_y, rdata(r, 2 * j + 1));
    }
  }
  const auto xl = Graphics::nice_limits(lo_x, hi_x);
  const auto yl = Graphics::nice_limits(lo_y, hi_y);
  const auto texts = s.texts();
  ASSERT_EQ(texts.size(), 17u);
  for (int i = 0; i < 17; ++i) {
    EXPECT_EQ(texts[i].text, std::to_string(i + 1));
    EXPECT_DOUBLE_EQ(texts[i].x, rref(0, 2 * i) + (xl[1] - xl[0]) / 100);
    EXPECT_DOUBLE_EQ(texts[i].y, rref(0, 2 * i + 1) + (yl[1] - yl[0]) / 100);
  }
  const Limits shown = s.app.gfx.axis_of(s.main_axes());
  EXPECT_DOUBLE_EQ(shown[0], xl[0] * 1.03);
  EXPECT_DOUBLE_EQ(shown[3], yl[1] * 1.03);
  EXPECT_TRUE(s.app.gfx.axis_is_equal(s.main_axes()));
  EXPECT_EQ(s.app.gfx.current_figure(), s.window);
}

TEST_F(ReflectActions, SwappedBaselineGivesTheSameSetTurnedHalfARound) {
  const Matrix a = reflect("1 5");
  const Matrix b = reflect("5 1");
  ASSERT_EQ(a.cols(), b.cols());
  const Eigen::Index n = a.cols() - 1;
  EXPECT_TRUE(b.leftCols(n).isApprox(-a.leftCols(n), 1e-9));
  EXPECT_EQ(b.col(n), a.col(n));
}

TEST_F(ReflectActions, RepeatedMidlineEntryChangesNothing) {
  const Matrix once = reflect("1 2 5");
  EXPECT_EQ(reflect("1 2 5 5"), once);
  EXPECT_EQ(reflect("1 2 5 2"), once);
  EXPECT_EQ(reflect("1 2\n5 0"), once);
}

// Numbers above k after the two baseline entries mark nothing: the list reflects as the list
// without them, to the last bit of every saved value.
TEST_F(ReflectActions, NumbersAboveKAfterTheBaselineMarkNothing) {
  struct Row {
    const char* with_extra;
    const char* without;
  };
  ScratchDir dir;
  for (const Row& r : {Row{"1 2 11", "1 2"}, Row{"5 1 99", "5 1"}, Row{"1 2 11 5 1000000", "1 2 5"},
                       Row{"3 4\n12 7", "3 4 7"}}) {
    const Matrix with_extra = reflect(r.with_extra);
    s.ui.answer_path(dir.file("a.txt"));
    save_reflected(s.app.ctx);
    EXPECT_EQ(with_extra, reflect(r.without)) << r.with_extra;
    s.ui.answer_path(dir.file("b.txt"));
    save_reflected(s.app.ctx);
    EXPECT_EQ(read_bytes(dir.file("a.txt")), read_bytes(dir.file("b.txt"))) << r.with_extra;
    EXPECT_TRUE(s.ui.messages().empty()) << r.with_extra;
  }
}

TEST(MidlineReflect, EveryLandmarkOnTheMidlineMirrorsNothing) {
  LoadedSession s;
  s.load(make_specimens(4, 4));
  s.open_window({"ActiveLMBox", "MidBox"});
  s.set_text("MidBox", "2 4 1 3");
  midline_reflect(s.app.ctx);
  const Matrix expected = getconsensus(basereg(*s.app.state.data, 2, 4)).xpt;
  EXPECT_EQ(*s.app.state.rdata, expected);
  EXPECT_EQ(s.texts().size(), 4u);
}

struct Refusal {
  const char* name;
  const char* midline;
  const char* message;
};

class MidlineReflectRefuses : public ReflectActions,
                              public ::testing::WithParamInterface<Refusal> {};

TEST_P(MidlineReflectRefuses, AndChangesNothing) {
  Matrix data = *s.app.state.data;
  data(2, 6) = data(2, 0);  // specimen 3: landmark 4 onto landmark 1
  data(2, 7) = data(2, 1);
  s.app.state.data = data;
  s.app.state.rdata = Matrix{{42}};
  s.app.state.names = std::vector<std::string>{"s_1", "s_2", "s_3", "s_4", "s_5"};
  s.app.gfx.figure(s.window);
  const std::size_t lines = s.lines().size();
  const std::size_t texts = s.texts().size();
  s.set_text("MidBox", GetParam().midline);
  midline_reflect(s.app.ctx);
  EXPECT_THAT(s.ui.messages(), ElementsAre(GetParam().message));
  EXPECT_EQ(*s.app.state.rdata, Matrix{{42}});
  EXPECT_EQ(s.lines().size(), lines);
  EXPECT_EQ(s.texts().size(), texts);
  EXPECT_EQ(s.app.gfx.current_figure(), s.window);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, MidlineReflectRefuses,
    ::testing::Values(
        Refusal{"Empty", "", "There must be at least two midline points to backreflect"},
        Refusal{"OnePoint", " 3 ", "There must be at least two midline points to backreflect"},
        Refusal{"NotNumbers", "one two",
                "There must be at least two midline points to backreflect"},
        Refusal{"ZeroInOneRow", "0 5",
                "Midline landmark 0 is not a landmark number: use whole numbers from 1 to 10."},
        Refusal{"FirstAboveK", "11 2",
                "Midline landmark 11 is not a landmark number: use whole numbers from 1 to 10."},
        Refusal{"SecondAboveK", "1 11 2",
                "Midline landmark 11 is not a landmark number: use whole numbers from 1 to 10."},
        Refusal{"ZeroAfterTheBaseline", "1 2 11 0",
                "Midline landmark 0 is not a landmark number: use whole numbers from 1 to 10."},
        Refusal{"FractionAboveK", "1 2 11.5",
                "Midline landmark 11.5 is not a landmark number: use whole numbers from 1 to 10."},
        Refusal{"Fraction", "1 2.5",
                "Midline landmark 2.5 is not a landmark number: use whole numbers from 1 to 10."},
        Refusal{"Negative", "1 2 -3",
                "Midline landmark -3 is not a landmark number: use whole numbers from 1 to 10."},
        Refusal{"SameBaselineLandmark", "3 3 5",
                "The first two midline landmarks are both landmark 3: the midline needs two "
                "different landmarks."},
        Refusal{"CoincidentInOneSpecimen", "4 1 2",
                "Midline landmarks 4 and 1 lie at the same point in specimen s_3: they cannot "
                "define the midline."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReflectBeforeLoad, EveryDataActionAsksForAFileFirst) {
  struct Row {
    const char* name;
    void (*action)(Context&);
  };
  for (const Row& r :
       {Row{"MidlineReflect", midline_reflect}, Row{"ShowMidline", show_midline},
        Row{"ShowAllMidline", show_all_midline}, Row{"SaveReflected", save_reflected}}) {
    LoadedSession s;
    s.open_window({"ActiveLMBox", "MidBox"});
    s.set_text("MidBox", "1 2");
    s.set_text("ActiveLMBox", "1");
    s.ui.answer_path("/tmp/never_written.txt");
    r.action(s.app.ctx);
    EXPECT_THAT(s.ui.messages(), ElementsAre("Load a landmark data file first.")) << r.name;
    EXPECT_TRUE(s.ui.dialogs().empty()) << r.name;
    EXPECT_FALSE(s.app.state.rdata.has_value()) << r.name;
    EXPECT_EQ(*s.app.state.markerh, kNoHandle) << r.name;
    EXPECT_EQ(s.app.gfx.figures().size(), 1u) << r.name;
  }
}

TEST_F(ReflectActions, AddMidlineAppendsTheActiveTextFramedByBlanks) {
  s.set_text("ActiveLMBox", "7");
  add_midline(s.app.ctx);
  EXPECT_EQ(s.text("MidBox"), " 7 ");
  s.set_text("ActiveLMBox", "12");
  add_midline(s.app.ctx);
  EXPECT_EQ(s.text("MidBox"), " 7  12 ");
  EXPECT_THAT(landmark_list(s.text("MidBox")), ElementsAre(7, 12));
  s.set_text("ActiveLMBox", "x");
  add_midline(s.app.ctx);
  EXPECT_EQ(s.text("MidBox"), " 7  12  x ");
}

TEST_F(ReflectActions, ShowMidlineKeepsOneVisibleMark) {
  const std::size_t drawn = s.lines().size();
  s.set_text("ActiveLMBox", "3");
  show_midline(s.app.ctx);
  s.set_text("ActiveLMBox", "10");
  show_midline(s.app.ctx);
  const auto lines = s.lines();
  ASSERT_EQ(lines.size(), drawn + 2);
  EXPECT_FALSE(lines[drawn].visible);
  EXPECT_TRUE(lines[drawn + 1].visible);
  const Matrix& ref = *s.app.state.reference;
  EXPECT_EQ(lines[drawn + 1].x[0], ref(0, 18));
  EXPECT_EQ(lines[drawn + 1].y[0], ref(0, 19));
  EXPECT_EQ(lines[drawn + 1].marker, Marker::kCircle);
  EXPECT_EQ(lines[drawn + 1].marker_size, 9.0f);
  EXPECT_EQ(lines[drawn + 1].face, *parse_color("k"));
  EXPECT_EQ(s.app.gfx.current_figure(), s.window);

  for (const char* text : {"0", "11", "", "1.5"}) {
    s.ui.clear_records();
    s.set_text("ActiveLMBox", text);
    show_midline(s.app.ctx);
    EXPECT_THAT(s.ui.messages(), ElementsAre("Enter a landmark number from 1 to 10.")) << text;
    EXPECT_EQ(s.lines().size(), drawn + 2);
    EXPECT_TRUE(s.lines().back().visible);
  }
}

TEST_F(ReflectActions, ShowAllMidlineFillsEveryListedLandmark) {
  const Handle mark = *s.app.state.markerh;
  const std::size_t drawn = s.lines().size();
  s.set_text("MidBox", "5 1\n2 0");
  show_all_midline(s.app.ctx);
  const auto lines = s.lines();
  ASSERT_EQ(lines.size(), drawn + 3);
  const Matrix& ref = *s.app.state.reference;
  const long expected[] = {5, 1, 2};
  for (int c = 0; c < 3; ++c) {
    const DrawnLine& l = lines[drawn + c];
    EXPECT_EQ(l.x[0], ref(0, 2 * expected[c] - 2));
    EXPECT_EQ(l.y[0], ref(0, 2 * expected[c] - 1));
    EXPECT_EQ(l.marker, Marker::kCircle);
    EXPECT_EQ(l.marker_size, 9.0f);
    EXPECT_EQ(l.face, *parse_color("k"));
  }
  EXPECT_EQ(*s.app.state.markerh, mark);
  EXPECT_EQ(s.app.gfx.current_figure(), s.window);

  s.app.gfx.figure(s.main_fig);
  s.set_text("MidBox", "");
  show_all_midline(s.app.ctx);
  EXPECT_EQ(s.lines().size(), drawn + 3);
  EXPECT_EQ(s.app.gfx.current_figure(), s.window);

  s.set_text("MidBox", "1 0");
  show_all_midline(s.app.ctx);
  // Showing still refuses a number above k anywhere in the list, unlike reflecting.
  s.set_text("MidBox", "1 2 11");
  show_all_midline(s.app.ctx);
  EXPECT_THAT(s.ui.messages(),
              ElementsAre("Midline landmark 0 is not a landmark number: use whole numbers from 1 "
                          "to 10.",
                          "Midline landmark 11 is not a landmark number: use whole numbers from 1 "
                          "to 10."));
  EXPECT_EQ(s.lines().size(), drawn + 3);
}

class SaveReflected : public ReflectActions {
 protected:
  ScratchDir dir;
};

TEST_F(SaveReflected, WritesEveryValueFramedByBlanks) {
  s.app.state.rdata = Matrix{{0.25, -1, 12.5}, {1e-7, -3.1234564, 2.0000005}};
  s.ui.answer_path(dir.file("r.txt"));
  save_reflected(s.app.ctx);
  EXPECT_EQ(read_bytes(dir.file("r.txt")),
            " 0.250000  -1.000000  12.500000 \n 0.000000  -3.123456  2.000001 \n");
  ASSERT_EQ(s.ui.dialogs().size(), 1u);
  EXPECT_TRUE(s.ui.dialogs()[0].save);
  EXPECT_EQ(s.ui.dialogs()[0].filter,
            "Landmark data (*.txt);;TPS files (*.tps);;CSV files (*.csv)");
  EXPECT_EQ(s.ui.dialogs()[0].title, kSaveTitle);
  EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), dir.path()));
}

TEST_F(SaveReflected, SavedFileLoadsAgainWithKPlusFLandmarks) {
  const Matrix rdata = reflect("1 2 5");
  s.ui.answer_path(dir.file("reflected.txt"));
  save_reflected(s.app.ctx);
  const auto loaded = dload(dir.file("reflected.txt"));
  ASSERT_TRUE(loaded.has_value());
  EXPECT_EQ(loaded->rows(), rdata.rows());
  EXPECT_EQ(loaded->cols(), 35);
  EXPECT_LT((*loaded - rdata).cwiseAbs().maxCoeff(), 5.1e-7);
}

// For a .tps name: shapes at each specimen's own size, named, which read back as the
// reflected data with the trailing sizes.
TEST_F(SaveReflected, TpsNameWritesNamedShapesThatReadBackAsRdata) {
  s.app.state.names = std::vector<std::string>{"a", "b", "c", "d", "e"};
  const Matrix rdata = reflect("1 2 5");
  s.ui.answer_path(dir.file("reflected.Tps"));
  save_reflected(s.app.ctx);
  EXPECT_TRUE(s.ui.messages().empty());
  const std::optional<SpecimenData> back = read_specimen_file(dir.file("reflected.Tps"));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->format, landmark_format_named("TPS"));
  EXPECT_EQ(back->names, *s.app.state.names);
  ASSERT_EQ(back->table.rows(), rdata.rows());
  ASSERT_EQ(back->table.cols(), 35);
  for (Eigen::Index i = 0; i < rdata.rows(); ++i) {
    const double size = rdata(i, 34);
    EXPECT_NEAR(back->table(i, 34), size, 1e-9 * size);
    for (Eigen::Index j = 0; j < 34; ++j)
      EXPECT_NEAR(back->table(i, j) / size, rdata(i, j), 1e-12) << i << " " << j;
  }
}

TEST_F(SaveReflected, RefusesBeforeAnyReflection) {
  s.ui.answer_path(dir.file("none.txt"));
  save_reflected(s.app.ctx);
  EXPECT_THAT(s.ui.messages(), ElementsAre("Reflect the data across the midline first: there is no "
                                           "back-reflected data set to save."));
  EXPECT_TRUE(s.ui.dialogs().empty());
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(SaveReflected, CancelWritesNothingAndFailureKeepsTheOldFile) {
  s.app.state.rdata = Matrix{{1, 2, 3}};
  const auto before = std::filesystem::current_path();
  s.ui.answer_cancel();
  save_reflected(s.app.ctx);
  EXPECT_EQ(std::filesystem::current_path(), before);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

  s.ui.answer_path(dir.file("old.txt"));
  save_reflected(s.app.ctx);
  const std::string old = read_bytes(dir.file("old.txt"));
  s.app.state.rdata = Matrix{{4, 5, 6}};
  set_write_fault_for_testing(5);
  s.ui.answer_path(dir.file("old.txt"));
  save_reflected(s.app.ctx);
  set_write_fault_for_testing(-1);
  EXPECT_THAT(s.ui.messages(), ElementsAre("Failure on File Open"));
  EXPECT_EQ(read_bytes(dir.file("old.txt")), old);
}

}  // namespace
}  // namespace qiv
