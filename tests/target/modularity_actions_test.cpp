// "TestModularity" and "SaveMatrixCSV" of the target window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "target/target_fixture.h"

namespace qiv {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Four specimens whose landmarks 1..5 lie on the x axis, so that the four protocol lines
// (1-2, 2-3, 3-4, 4-5) have the lengths of the columns of `lengths`; landmark 6 lies one unit
// past landmark 5, the trailing value is 1.
Matrix specimens_with_lengths(const Matrix& lengths) {
  Matrix data = Matrix::Zero(lengths.rows(), 13);
  for (Eigen::Index s = 0; s < lengths.rows(); ++s) {
    double x = 0;
    for (Eigen::Index l = 0; l < 4; ++l) data(s, 2 * (l + 1)) = x += lengths(s, l);
    data(s, 10) = x + 1;
    data(s, 12) = 1;
  }
  return data;
}

// Correlations R12 = 0.6, R24 = 0.48, R34 = 0.8, all other pairs 0 (three orthogonal
// contrasts of the specimens, see tests/analysis/modularity_test.cpp).
Matrix hand_lengths() {
  return Matrix{{15, 17, 15, 17}, {15, 9, 5, 3}, {5, 11, 5, 9}, {5, 3, 15, 11}};
}

class Modularity : public TargetFixture {
 protected:
  void SetUp() override {
    TargetFixture::SetUp();
    control("PermBox", "edit");
    control("SeedBox", "edit");
    control("ModularityText", "text");
    reset();
  }
  void reset() {
    type("PermBox", "999");
    type("SeedBox", "1");
    ready({{1, 2}, {3, 4}}, 2);
    app.state.data = specimens_with_lengths(hand_lengths());
    ui.clear_records();
  }
};

// r = 0.836... from the hand computation of the analysis tests; p = 344 / 1000 from an exact
// count of the 999 relabellings of seed 1 by a separate implementation.
const char* const kHandReport =
    "specimens,4\nlines,4\nblocks,2\npairs_within,2\npairs_between,4\nr,0.8362872111\n"
    "p,0.344\npermutations,999\nseed,1\navg_within,0.7\navg_between,0.12\n"
    "avg_ratio,5.833333333\navg_within_block_1,0.6\navg_within_block_2,0.8\n";

TEST_F(Modularity, ShowsPrintsAndWritesTheReport) {
  ui.answer_path(path("report.txt"));
  run("TestModularity");
  EXPECT_THAT(ui.messages(), IsEmpty());
  EXPECT_EQ(box("ModularityText"), "r = 0.836, p = 0.344 (999 permutations)");
  EXPECT_THAT(ui.console_lines(),
              ElementsAre("Modularity test: r = 0.8362872111, p = 0.344 (999 permutations, "
                          "seed 1); mean correlation within blocks 0.7000, between blocks 0.1200"));
  ASSERT_EQ(ui.dialogs().size(), 1u);
  EXPECT_TRUE(ui.dialogs()[0].save);
  EXPECT_EQ(ui.dialogs()[0].filter, "*.txt");
  EXPECT_EQ(ui.dialogs()[0].title, "Enter Name for Modularity Report File");
  EXPECT_EQ(read("report.txt"), kHandReport);
}

TEST_F(Modularity, CancelledDialogWritesNothingButTheResultStays) {
  ui.answer_cancel();
  run("TestModularity");
  EXPECT_EQ(box("ModularityText"), "r = 0.836, p = 0.344 (999 permutations)");
  EXPECT_EQ(ui.console_lines().size(), 1u);
  EXPECT_TRUE(std::filesystem::is_empty(dir_));
}

TEST_F(Modularity, TypedNumbersWithBlanksAndOtherSeeds) {
  type("PermBox", " 20 ");
  type("SeedBox", "7");
  ui.answer_path(path("report.txt"));
  run("TestModularity");
  EXPECT_EQ(box("ModularityText"), "r = 0.836, p = 0.381 (20 permutations)");
  EXPECT_THAT(read("report.txt"), ::testing::HasSubstr("\np,0.380952381\npermutations,20\n"
                                                       "seed,7\n"));
  EXPECT_EQ(app.state.tmatrix, std::nullopt);  // the test leaves the saved matrix alone
}

TEST_F(Modularity, RefusesWithItsMessageAndLeavesNoResult) {
  struct Row {
    const char* name;
    void (*prepare)(SharedState&, Context&);
    const char* message;
  };
  using S = SharedState;
  using C = Context;
  const Row rows[] = {
      {"NoData", [](S& s, C&) { s.data.reset(); }, "Load a landmark data file first."},
      {"NoProtocol", [](S& s, C&) { s.proto.reset(); },
       "Load a protocol file or start a new protocol first."},
      {"NoBlocks", [](S& s, C&) { s.block.reset(); },
       "Set the number of blocks or load a block structure file first."},
      {"BlockWithoutSuchLine",
       [](S& s, C&) {
         s.block = BlockList{{1, 9}, {3, 4}};
       },
       "Block 1 holds 9, which is not a protocol line number from 1 to 4."},
      {"NoPairWithin",
       [](S& s, C&) {
         s.block = BlockList{{1}, {2}};
       },
       "No two lines share a block: put at least two lines into one block."},
      {"NoPairBetween",
       [](S& s, C&) {
         s.block = BlockList{{1, 2, 3, 4}, {}};
       },
       "Every pair of lines shares a block: the test needs lines in different blocks."},
      {"LineBeyondTheData",
       [](S& s, C&) {
         s.proto = Matrix{{1, 1, 2}, {2, 2, 3}, {3, 3, 4}, {4, 4, 7}};
       },
       "Protocol line 4 joins landmark 7, which the data lack: they have landmarks 1 to 6."},
      {"TwoSpecimens", [](S& s, C&) { s.data = Matrix(s.data->topRows(2)); },
       "The modularity test needs at least 3 specimens; the data have 2."},
      {"ZeroPermutations", [](S&, C& c) { set_control_text(c, "PermBox", "0"); },
       "The number of permutations must be a whole number from 1 to 1000000 (not \"0\")."},
      {"TooManyPermutations", [](S&, C& c) { set_control_text(c, "PermBox", " 1000001 "); },
       "The number of permutations must be a whole number from 1 to 1000000 (not "
       "\"1000001\")."},
      {"FractionalPermutations", [](S&, C& c) { set_control_text(c, "PermBox", "99.5"); },
       "The number of permutations must be a whole number from 1 to 1000000 (not \"99.5\")."},
      {"WordsForPermutations", [](S&, C& c) { set_control_text(c, "PermBox", "many"); },
       "The number of permutations must be a whole number from 1 to 1000000 (not \"many\")."},
      {"FractionalSeed", [](S&, C& c) { set_control_text(c, "SeedBox", "1.5"); },
       "The seed must be a whole number (not \"1.5\")."},
      {"EmptySeed", [](S&, C& c) { set_control_text(c, "SeedBox", ""); },
       "The seed must be a whole number (not \"\")."},
      {"TwoSeeds", [](S&, C& c) { set_control_text(c, "SeedBox", "1 2"); },
       "The seed must be a whole number (not \"1 2\")."},
      {"InfiniteSeed", [](S&, C& c) { set_control_text(c, "SeedBox", "Inf"); },
       "The seed must be a whole number (not \"Inf\")."},
      {"NegativeSeed", [](S&, C& c) { set_control_text(c, "SeedBox", "-1"); },
       "The seed must be a whole number (not \"-1\")."},
      {"SeedPast2To53", [](S&, C& c) { set_control_text(c, "SeedBox", "1e308"); },
       "The seed must be a whole number (not \"1e308\")."},
      {"FixedLength",
       [](S& s, C&) {
         Matrix l{{15, 17, 10, 17}, {15, 9, 10, 3}, {5, 11, 10, 9}, {5, 3, 10, 11}};
         s.data = specimens_with_lengths(l);
       },
       "Line 3 (L3_3-4) has the same length in every specimen, so it has no correlation with "
       "the other lines."},
      {"EqualCorrelations",
       [](S& s, C&) {
         Matrix l{{11, 12, 13, 14}, {9, 8, 7, 6}, {11, 12, 13, 14}, {9, 8, 7, 6}};
         s.data = specimens_with_lengths(l);
       },
       "The line lengths all correlate equally with one another, so the correlations cannot "
       "follow the blocks."},
  };
  for (const Row& r : rows) {
    reset();
    type("ModularityText", "r = 0.5, p = 0.1 (9 permutations)");
    r.prepare(app.state, app.ctx);
    run("TestModularity");  // no dialog answer queued: a dialog asked would be recorded
    EXPECT_THAT(ui.messages(), ElementsAre(r.message)) << r.name;
    EXPECT_EQ(box("ModularityText"), "") << r.name;
    EXPECT_THAT(ui.console_lines(), IsEmpty()) << r.name;
    EXPECT_THAT(ui.dialogs(), IsEmpty()) << r.name;
    EXPECT_TRUE(std::filesystem::is_empty(dir_)) << r.name;
  }
}

class MatrixCsv : public TargetFixture {
 protected:
  void SetUp() override {
    TargetFixture::SetUp();
    ready({{1, 3}, {2}, {}}, 3);
  }
};

TEST_F(MatrixCsv, LabelledRowsAndColumns) {
  ui.answer_path(path("matrix.csv"));
  run("SaveMatrixCSV");
  EXPECT_THAT(ui.messages(), IsEmpty());
  ASSERT_EQ(ui.dialogs().size(), 1u);
  EXPECT_EQ(ui.dialogs()[0].filter, "*.csv");
  EXPECT_EQ(read("matrix.csv"),
            ",L1_1-2,L2_2-3,L3_3-4,L4_4-5\n"
            "L1_1-2,1,0,1,0\n"
            "L2_2-3,0,1,0,0\n"
            "L3_3-4,1,0,1,0\n"
            "L4_4-5,0,0,0,1\n");
  EXPECT_EQ(member("tmatrix"), "<no value>");  // an export, not a save: the state stays
}

TEST_F(MatrixCsv, CancelWritesNothing) {
  ui.answer_cancel();
  run("SaveMatrixCSV");
  EXPECT_TRUE(std::filesystem::is_empty(dir_));
  EXPECT_THAT(ui.messages(), IsEmpty());
}

TEST_F(MatrixCsv, Refusals) {
  struct Row {
    const char* name;
    void (*prepare)(SharedState&);
    const char* message;
  };
  const Row rows[] = {
      {"NoProtocol", [](SharedState& s) { s.proto.reset(); },
       "Load a protocol file or start a new protocol first."},
      {"NoBlocks", [](SharedState& s) { s.nblocks.reset(); },
       "Set the number of blocks or load a block structure file first."},
      {"EmptyProtocol",
       [](SharedState& s) {
         s.proto = Matrix{{-1, -1, -1}};
         s.block = BlockList{{}, {}};
       },
       "The protocol has no lines: add lines before exporting the matrix."},
      {"BlockWithoutSuchLine",
       [](SharedState& s) {
         s.block = BlockList{{1, 3}, {2, 5}};
       },
       "Block 2 holds 5, which is not a protocol line number from 1 to 4."},
  };
  for (const Row& r : rows) {
    ready({{1, 3}, {2}, {}}, 3);
    ui.clear_records();
    r.prepare(app.state);
    run("SaveMatrixCSV");  // no dialog answer queued: a dialog asked would be recorded
    EXPECT_THAT(ui.messages(), ElementsAre(r.message)) << r.name;
    EXPECT_THAT(ui.dialogs(), IsEmpty()) << r.name;
    EXPECT_TRUE(std::filesystem::is_empty(dir_)) << r.name;
  }
}

}  // namespace
}  // namespace qiv
