// "TestModularity", "SaveMatrixCSV", "CompareBlocks" and "ShowCorrelations" of the target window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "target/correlation_picture.h"
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
    control("ModularityTable", "listbox");
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
  EXPECT_EQ(ui.dialogs()[0].filter, "*.csv");  // key,value lines
  EXPECT_EQ(ui.dialogs()[0].title, "Enter Name for Modularity Report File");
  // The present lines first, then each block's test: r and the means by hand (block 1 holds
  // the pair 0.6 of (0.6 0 0 0 0.48 0.8), block 2 the pair 0.8); p near 1/3 and 1/6, the
  // exact shares over the 24 relabellings (0.344 and 0.18).
  EXPECT_EQ(read("report.txt"),
            std::string(kHandReport) +
                "block_1_r,0.3921262472\nblock_1_p,0.344\nblock_1_avg_within,0.6\n"
                "block_1_avg_between,0.256\nblock_1_avg_ratio,2.34375\n"
                "block_2_r,0.6657026988\nblock_2_p,0.18\nblock_2_avg_within,0.8\n"
                "block_2_avg_between,0.216\nblock_2_avg_ratio,3.703703704\n"
                "data,none\nprotocol,proto.txt\nblocks,unsaved\n");
  EXPECT_EQ(box("ModularityTable"),
            "block  lines       r      p  within between  ratio\n"
            "all        4   0.836  0.344   0.700   0.120   5.83\n"
            "1          2   0.392  0.344   0.600   0.256   2.34\n"
            "2          2   0.666   0.18   0.800   0.216    3.7");
}

// The line names the data file, the report every input's file; a later change of an input
// marks the shown line, after any action, and only the shown one.
TEST_F(Modularity, TheResultNamesItsInputsAndSaysWhenTheyChange) {
  struct Row {
    const char* name;
    void (*change)(SharedState&, Context&);
    const char* then;  // the action run after the change
    const char* mark;
  };
  using S = SharedState;
  using C = Context;
  const Row rows[] = {
      {"SameBlocksStored", [](S&, C& c) { set_control_text(c, "BlockBox", "1 2"); }, "BlockEnter",
       ""},
      {"BlocksTyped", [](S&, C& c) { set_control_text(c, "BlockBox", "1 3"); }, "BlockEnter",
       " (out of date: the blocks changed)"},
      {"ProtocolEdited",
       [](S& s, C&) {
         s.proto->put(3, {4, 4, 6});
       },
       "ReplotM", " (out of date: the protocol changed)"},
      {"OtherData", [](S& s, C&) { s.data = specimens_with_lengths(hand_lengths() * 2); },
       "ReplotM", " (out of date: the data changed)"},
      {"AllThree", [](S& s, C&) { s.data.reset(); }, "ClearTarget",
       " (out of date: the data, the protocol and the blocks changed)"},
  };
  for (const Row& r : rows) {
    reset();
    app.state.datafile = "leaves.txt";
    app.state.blockfile = "blocks.txt";
    ui.answer_path(path("report.csv"));
    run("TestModularity");
    const std::string line = "leaves.txt: r = 0.836, p = 0.344 (999 permutations)";
    EXPECT_EQ(box("ModularityText"), line) << r.name;
    EXPECT_THAT(read("report.csv"),
                ::testing::EndsWith("\nblock_2_avg_ratio,3.703703704\ndata,leaves.txt\n"
                                    "protocol,proto.txt\nblocks,blocks.txt\n"));
    r.change(app.state, app.ctx);
    run(r.then);
    EXPECT_EQ(box("ModularityText"), line + r.mark) << r.name;
    run(r.then);  // marked once
    EXPECT_EQ(box("ModularityText"), line + r.mark) << r.name;
  }
  run("TestModularity");  // refused, the line cleared: nothing marks the empty box
  run("BlockEnter");
  EXPECT_EQ(box("ModularityText"), "");
}

// The block file the report names: the one LoadBlock read or SaveMatrix wrote, forgotten
// when the blocks are cleared or typed otherwise, kept when typing stores them as they were.
TEST_F(Modularity, TheBlockFileIsForgottenWhenTheBlocksChange) {
  write("proto.txt", kFourLinesFile);
  write("a.txt", "proto.txt \n 1  2 \n 3  4 \n");
  struct Row {
    const char* action;
    const char* box;  // typed into MaxBlockBox or BlockBox first
    const char* answer;
    std::optional<std::string> file;
  } const rows[] = {
      {"LoadBlock", nullptr, "a.txt", "a.txt"},
      {"BlockEnter", "1 2", nullptr, "blocks.txt"},
      {"BlockUp", "1 2", nullptr, "blocks.txt"},
      {"BlockUp", "2", nullptr, std::nullopt},
      {"BlockEnter", "2 1", nullptr, std::nullopt},
      {"ShowAllBlock", "1", nullptr, std::nullopt},
      {"SetBlocks", "2", nullptr, "blocks.txt"},  // block 2 was empty already
      {"SetBlocks", "3", nullptr, std::nullopt},
      {"AddBlocks", "2", nullptr, std::nullopt},
      {"SaveMatrix", nullptr, "saved.txt", "saved.txt"},
      {"ClearTarget", nullptr, nullptr, std::nullopt},
      {"Clear", nullptr, nullptr, std::nullopt},
  };
  for (const Row& r : rows) {
    ready({{1, 2}, {}}, 2);
    app.state.blockfile = "blocks.txt";
    type("CurrentBlockBox", "1");
    const std::string a = r.action;
    if (r.box) type(a == "SetBlocks" || a == "AddBlocks" ? "MaxBlockBox" : "BlockBox", r.box);
    if (r.answer) ui.answer_path(path(r.answer));
    if (a == "SaveMatrix") ui.answer_cancel();  // no matrix file
    run(a);
    EXPECT_EQ(app.state.blockfile, r.file) << a << " " << (r.box ? r.box : "");
    EXPECT_EQ(ui.pending_answers(), 0u) << a;
  }
}

TEST_F(Modularity, CancelLeavesEverythingAsItWas) {
  ui.answer_path(path("report.txt"));
  run("TestModularity");
  ui.answer_path(path("report2.txt"));
  type("SeedBox", "5");
  const Snapshot before = snapshot();
  const std::string text = box("ModularityText"), table = box("ModularityTable");
  ui.cancel_progress_after(2);
  EXPECT_THROW(run("TestModularity"), Cancelled);
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(box("ModularityText"), text);
  EXPECT_EQ(box("ModularityTable"), table);
  EXPECT_EQ(ui.pending_answers(), 1u);  // no report dialog
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
      {"NoBlocks", [](S& s, C&) { s.blocks.forget_lists(); },
       "Set the number of blocks or load a block structure file first."},
      {"BlockWithoutSuchLine",
       [](S& s, C&) {
         s.blocks = BlockStructure(BlockList{{1, 9}, {3, 4}}, 2);
       },
       "Block 1 holds 9, which is not a protocol line number from 1 to 4."},
      {"NoPairWithin",
       [](S& s, C&) {
         s.blocks = BlockStructure(BlockList{{1}, {2}}, 2);
       },
       "No two lines share a block: put at least two lines into one block."},
      {"NoPairBetween",
       [](S& s, C&) {
         s.blocks = BlockStructure(BlockList{{1, 2, 3, 4}, {}}, 2);
       },
       "Every pair of lines shares a block: the test needs lines in different blocks."},
      {"LineBeyondTheData",
       [](S& s, C&) {
         s.proto = Protocol::from_table(Matrix{{1, 1, 2}, {2, 2, 3}, {3, 3, 4}, {4, 4, 7}});
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
      {"NoBlocks",
       [](SharedState& s) { s.blocks = BlockStructure(s.blocks.lists(), std::nullopt); },
       "Set the number of blocks or load a block structure file first."},
      {"EmptyProtocol",
       [](SharedState& s) {
         s.proto = Protocol::started();
         s.blocks = BlockStructure(BlockList{{}, {}}, s.blocks.count());
       },
       "The protocol has no lines: add lines before exporting the matrix."},
      {"BlockWithoutSuchLine",
       [](SharedState& s) {
         s.blocks = BlockStructure(BlockList{{1, 3}, {2, 5}}, s.blocks.count());
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

// Three hypotheses on the hand case: pairs {12, 34} (0.6, 0.8), {13, 24} (0, 0.48) and
// {14, 23} (0, 0), chosen in the order c, a, b and ranked a, b, c; r and the means by hand.
class CompareBlocks : public Modularity {
 protected:
  void SetUp() override {
    Modularity::SetUp();
    write("a.txt", "proto.txt \n 1  2 \n 3  4 \n");
    write("b.txt", "proto.txt \n 1  3 \n 2  4 \n");
    write("c.txt", "proto.txt \n 1  4 \n 2  3 \n \n");
    app.state.datafile = "leaves.txt";
  }
};

TEST_F(CompareBlocks, RanksTheFilesByRAndWritesTheTable) {
  ui.answer_paths({path("c.txt"), path("a.txt"), path("b.txt")});
  ui.answer_path(path("compared.csv"));
  run("CompareBlocks");
  EXPECT_THAT(ui.messages(), IsEmpty());
  ASSERT_EQ(ui.dialogs().size(), 2u);
  EXPECT_EQ(ui.dialogs()[1].filter, "*.csv");
  EXPECT_EQ(ui.dialogs()[1].suggested, "leaves_comparison.csv");
  EXPECT_EQ(read("compared.csv"),
            "hypothesis,blocks,lines_in_blocks,r,p,avg_within,avg_between,avg_ratio\n"
            "a.txt,2,4,0.8362872111,0.344,0.7,0.12,5.833333333\n"
            "b.txt,2,4,-0.1586061952,0.651,0.24,0.35,0.6857142857\n"
            "c.txt,3,4,-0.6776810159,1,0,0.47,0\n");
  const Handle table = find_control(app.ctx, "ComparisonTable");
  ASSERT_NE(table, kNoHandle);
  EXPECT_THAT(box("ComparisonTable"), ::testing::HasSubstr("\na.txt  "));
  EXPECT_EQ(app.state.blocks.lists(), (BlockList{{1, 2}, {3, 4}}));  // the blocks in use stay
}

TEST_F(CompareBlocks, RefusesAFileThatDoesNotFitAndWritesNothing) {
  write("d.txt", "proto.txt \n 1  2 \n 3  9 \n");
  write("e.txt", "proto.txt \n 1  2 3 4 \n");
  struct Row {
    const char* file;
    const char* message;
  } const rows[] = {
      {"d.txt",
       "The block structure file d.txt, line 3, holds 9, which is not a protocol line "
       "number from 1 to 4."},
      {"e.txt", "The block structure file e.txt puts every pair of lines in one block."},
  };
  for (const Row& r : rows) {
    ui.clear_records();
    ui.answer_paths({path("a.txt"), path(r.file), path("b.txt")});
    ui.answer_path(path("compared.csv"));
    run("CompareBlocks");
    EXPECT_THAT(ui.messages(), ElementsAre(r.message));
    EXPECT_EQ(ui.pending_answers(), 1u) << r.file;  // no save dialog
    EXPECT_FALSE(exists("compared.csv"));
    ui.put_file("", "");  // takes the unused answer
  }
  ui.cancel_progress_after(3);
  ui.answer_paths({path("a.txt"), path("b.txt")});
  EXPECT_THROW(run("CompareBlocks"), Cancelled);
  EXPECT_EQ(find_control(app.ctx, "ComparisonTable"), kNoHandle);
}

// "ShowCorrelations": the picture's cells in block order, following the blocks.
class ShowCorrelations : public Modularity {
 protected:
  void SetUp() override {
    Modularity::SetUp();
    set_blocks({{3, 4}, {1}}, 2);
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
  app.state.blocks.clear();
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
         s.proto = Protocol();
         for (int l = 0; l < 301; ++l) s.proto->put(l, {l + 1.0, 1, 2});
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
