#include "analysis/line_lengths.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "analysis/analysis_actions.h"
#include "app/qivprotosw.h"
#include "support/loaded_session.h"

namespace qiv {
namespace {

using test_support::LoadedSession;
using test_support::make_specimens;
using test_support::read_bytes;
using test_support::ScratchDir;
using ::testing::ElementsAre;

// Two specimens of three landmarks; the second is the first shrunk ten times with a trailing
// value of 2.5, so its lengths are a quarter of the first's.
Matrix hand_data() { return Matrix{{0, 0, 3, 4, 0, 1, 1}, {0, 0, 0.3, 0.4, 0, 0.1, 2.5}}; }

TEST(LineLengths, DistanceTimesTrailingValue) {
  const Matrix lengths =
      line_lengths(hand_data(), Protocol::from_table(Matrix{{1, 1, 2}, {2, 2, 3}, {3, 3, 1}}));
  ASSERT_EQ(lengths.rows(), 2);
  ASSERT_EQ(lengths.cols(), 3);
  EXPECT_DOUBLE_EQ(lengths(0, 0), 5);
  EXPECT_DOUBLE_EQ(lengths(0, 1), std::sqrt(18.0));
  EXPECT_DOUBLE_EQ(lengths(0, 2), 1);
  EXPECT_DOUBLE_EQ(lengths(1, 0), 1.25);
  EXPECT_DOUBLE_EQ(lengths(1, 1), std::sqrt(0.18) * 2.5);
  EXPECT_DOUBLE_EQ(lengths(1, 2), 0.25);
}

TEST(LengthsCsv, NumbersAreWrittenAsPrintfWritesThem) {
  // One column of awkward values: each must read as "%.10g" writes it.
  const std::vector<double> values{0,
                                   -0.0,
                                   1,
                                   0.1,
                                   1e-5,
                                   123456789012.0,
                                   1e10,
                                   1e-300,
                                   5e-324,
                                   2.5e15,
                                   0.30000000000000004,
                                   -7.25,
                                   1.0 / 3,
                                   99999.99999,
                                   9999999999.5};
  Matrix lengths(static_cast<Eigen::Index>(values.size()), 1);
  std::string expected = "specimen,L1_1-2\n";
  for (std::size_t i = 0; i < values.size(); ++i) {
    lengths(static_cast<Eigen::Index>(i), 0) = values[i];
    char buf[64];
    std::snprintf(buf, sizeof buf, "%zu,%.10g\n", i + 1, values[i]);
    expected += buf;
  }
  EXPECT_EQ(lengths_csv(Protocol::from_table(Matrix{{1, 1, 2}}), lengths), expected);
}

TEST(LengthsCsv, RowLabelsWhenGiven) {
  const std::vector<std::string> names{"leaf a", "leaf, \"b\""};
  EXPECT_EQ(lengths_csv(Protocol::from_table(Matrix{{1, 1, 2}, {2, 3, 1}}), Matrix{{1, 2}, {3, 4}},
                        &names),
            "specimen,L1_1-2,L2_3-1\nleaf a,1,2\n\"leaf, \"\"b\"\"\",3,4\n");
}

class SaveLengths : public ::testing::Test {
 protected:
  void SetUp() override {
    s.load(make_specimens(4, 3));
    s.app.state.data = hand_data();
    s.app.state.proto = Protocol::from_table(Matrix{{1, 1, 2}, {2, 2, 3}});
  }
  LoadedSession s;
  ScratchDir dir;
};

TEST_F(SaveLengths, WritesTheHeaderAndOneRowPerSpecimen) {
  s.ui.answer_path(dir.file("lengths.csv"));
  qivprotosw(s.app.ctx, "SaveLengths");
  EXPECT_EQ(read_bytes(dir.file("lengths.csv")),
            "specimen,L1_1-2,L2_2-3\n1,5,4.242640687\n2,1.25,1.060660172\n");
  ASSERT_EQ(s.ui.dialogs().size(), 1u);
  EXPECT_TRUE(s.ui.dialogs()[0].save);
  EXPECT_EQ(s.ui.dialogs()[0].filter, "*.csv");
  EXPECT_TRUE(s.ui.messages().empty());
}

TEST_F(SaveLengths, NamesTheSpecimensByTheirFile) {
  s.app.state.names = std::vector<std::string>{"gorf_001", "gorf_002"};
  s.ui.answer_path(dir.file("lengths.csv"));
  qivprotosw(s.app.ctx, "SaveLengths");
  EXPECT_EQ(read_bytes(dir.file("lengths.csv")),
            "specimen,L1_1-2,L2_2-3\ngorf_001,5,4.242640687\ngorf_002,1.25,1.060660172\n");
}

TEST_F(SaveLengths, CancelWritesNothing) {
  s.ui.answer_cancel();
  save_lengths(s.app.ctx);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  EXPECT_TRUE(s.ui.messages().empty());
}

TEST(SaveLengthsRefuses, WithAMessageAndWritesNothing) {
  struct Row {
    const char* name;
    void (*prepare)(SharedState&);
    const char* message;
  };
  const Row rows[] = {
      {"NoData", [](SharedState& st) { st.data.reset(); }, "Load a landmark data file first."},
      {"NoProtocol", [](SharedState& st) { st.proto.reset(); },
       "Load a protocol file or start a new protocol first."},
      {"EmptyProtocol",
       [](SharedState& st) {
         st.proto = Protocol::from_table(Matrix{{-1, -1, -1}});
       },
       "The protocol has no lines: add lines before saving their lengths."},
      {"LandmarkTheDataLack",
       [](SharedState& st) {
         st.proto = Protocol::from_table(Matrix{{1, 1, 2}, {2, 4, 1}});
       },
       "Protocol line 2 joins landmark 4, which the data lack: they have landmarks 1 to 3."},
  };
  ScratchDir dir;
  for (const Row& r : rows) {
    LoadedSession s;
    s.load(make_specimens(4, 3));
    s.app.state.data = hand_data();
    s.app.state.proto = Protocol::from_table(Matrix{{1, 1, 2}, {2, 2, 3}});
    r.prepare(s.app.state);
    s.ui.answer_path(dir.file("never.csv"));
    save_lengths(s.app.ctx);
    EXPECT_THAT(s.ui.messages(), ElementsAre(r.message)) << r.name;
    EXPECT_TRUE(s.ui.dialogs().empty()) << r.name;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << r.name;
  }
}

}  // namespace
}  // namespace qiv
