#include "subset/subset_export.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "data/landmark_file.h"
#include "data/landmark_table_file.h"
#include "geometry/centroid.h"
#include "platform/file_io.h"
#include "platform/text.h"
#include "subset/subset_actions.h"
#include "support/loaded_session.h"

namespace qiv {
namespace {

using test_support::LoadedSession;
using test_support::make_specimens;
using test_support::read_bytes;
using test_support::ScratchDir;

constexpr const char* kTitle = "Please Enter Filename for Subset of Data";

// The lines of a written file, each parsed into numbers.
std::vector<Matrix> parsed_lines(const std::string& content) {
  std::vector<Matrix> rows;
  std::size_t start = 0;
  while (start < content.size()) {
    const std::size_t end = content.find('\n', start);
    rows.push_back(str2num(content.substr(start, end - start)));
    start = end == std::string::npos ? content.size() : end + 1;
  }
  return rows;
}

TEST(SubsetExport, KnownSpecimensGiveKnownNumbers) {
  // Landmarks (0,0) (3,0) (0,4) at size 2, and (1,1) (1,3) (5,1) at size 0.5.
  const Matrix data{{0, 0, 3, 0, 0, 4, 2}, {1, 1, 1, 3, 5, 1, 0.5}};
  const Matrix out = subset_export(data, {1, 2});
  // Row 1: (0,0) (6,0) after scaling by 2; centroid size sqrt(18); not re-centred.
  // Row 2: (0.5,0.5) (0.5,1.5); centroid size sqrt(0.5).
  EXPECT_EQ(format_landmark_table(out),
            " 0.000000  0.000000  1.414214  0.000000  4.242641 \n"
            " 0.707107  0.707107  0.707107  2.121320  0.707107 \n");
  EXPECT_EQ(first_unscalable_row(out), -1);
}

TEST(SubsetExport, FindsTheFirstSpecimenWithoutSize) {
  const Matrix data{{0, 0, 3, 0, 0, 4, 2}, {1, 1, 1, 1, 5, 1, 1}, {2, 2, 2, 2, 2, 2, 1}};
  EXPECT_EQ(first_unscalable_row(subset_export(data, {1, 2})), 1);
  EXPECT_EQ(first_unscalable_row(subset_export(data, {1, 3})), 2);
  EXPECT_EQ(first_unscalable_row(subset_export(data, {2, 3})), 2);
  const Matrix zero_size{{0, 0, 3, 0, 0, 4, 0}};
  EXPECT_EQ(first_unscalable_row(subset_export(zero_size, {1, 2})), 0);
}

TEST(LandmarkTableFormat, EveryValueFramedByBlanksWithSixDecimals) {
  EXPECT_EQ(format_landmark_table(Matrix{{0.25, -1}}), " 0.250000  -1.000000 \n");
  EXPECT_EQ(format_landmark_table(Matrix{{1234567.5, 1e-7, -2.5e-7, 0.0000005}}),
            " 1234567.500000  0.000000  -0.000000  0.000000 \n");
  EXPECT_EQ(format_landmark_table(Matrix(0, 3)), "");
}

class SaveSubset : public ::testing::Test {
 protected:
  void SetUp() override {
    s.load(make_specimens(6, kLandmarks));
    s.open_window({"PointBox", "SubsetBox"});
  }
  std::string save(const std::string& subset, const std::string& name) {
    s.set_text("SubsetBox", subset);
    s.ui.answer_path(dir.file(name));
    save_subset(s.app.ctx);
    return read_bytes(dir.file(name));
  }

  static constexpr int kLandmarks = 6;
  ScratchDir dir;
  LoadedSession s;
};

TEST_F(SaveSubset, OrderAndRepeatsOfTheTextDoNotMatter) {
  const std::string a = save("5 2", "a.txt");
  const std::string b = save("2 5 2", "b.txt");
  const std::string c = save("2\n5", "c.txt");
  EXPECT_FALSE(a.empty());
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, c);
  EXPECT_EQ(s.ui.dialogs().size(), 3u);
  EXPECT_TRUE(s.ui.dialogs()[0].save);
  EXPECT_EQ(s.ui.dialogs()[0].filter,
            "Landmark data (*.txt);;TPS files (*.tps);;CSV files (*.csv)");
  EXPECT_EQ(s.ui.dialogs()[0].title, kTitle);
  EXPECT_TRUE(s.ui.messages().empty());
}

TEST_F(SaveSubset, LinesHoldTheRescaledSubsetInTheRowOrderOfData) {
  const std::string content = save("6 1 3 99 0", "subset.txt");
  const Matrix& data = *s.app.state.data;
  const auto rows = parsed_lines(content);
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(data.rows()));
  const long members[] = {1, 3, 6};
  for (Eigen::Index r = 0; r < data.rows(); ++r) {
    SCOPED_TRACE(r);
    const Matrix& line = rows[static_cast<std::size_t>(r)];
    ASSERT_EQ(line.rows(), 1);
    ASSERT_EQ(line.cols(), 7);
    // The coordinates have unit centroid size, up to the six written decimals.
    EXPECT_NEAR(centsize2(line.leftCols(6)), 1.0, 5e-6);
    // They are the specimen's own landmarks, scaled by its size over the subset's size.
    const double factor = data(r, data.cols() - 1) / line(0, 6);
    for (int c = 0; c < 3; ++c) {
      EXPECT_NEAR(line(0, 2 * c), data(r, 2 * members[c] - 2) * factor, 1e-6);
      EXPECT_NEAR(line(0, 2 * c + 1), data(r, 2 * members[c] - 1) * factor, 1e-6);
    }
  }
}

TEST_F(SaveSubset, WrittenLinesAreBlankFramedFixedPointNumbers) {
  const std::string content = save("1 2", "fmt.txt");
  ASSERT_FALSE(content.empty());
  EXPECT_EQ(content.back(), '\n');
  EXPECT_EQ(content.find('\r'), std::string::npos);
  std::size_t start = 0;
  while (start < content.size()) {
    const std::size_t end = content.find('\n', start);
    const std::string line = content.substr(start, end - start);
    EXPECT_EQ(line.front(), ' ');
    EXPECT_EQ(line.back(), ' ');
    EXPECT_EQ(format_landmark_table(str2num(line)), line + "\n");
    start = end + 1;
  }
}

TEST_F(SaveSubset, TheChosenDirectoryBecomesCurrent) {
  save("1 2", "here.txt");
  EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), dir.path()));
}

TEST_F(SaveSubset, WrittenFileLoadsAgainWithTheSubsetsLandmarks) {
  save("2 5", "reload.txt");
  const auto loaded = dload(dir.file("reload.txt"));
  ASSERT_TRUE(loaded.has_value());
  EXPECT_EQ(loaded->rows(), s.app.state.data->rows());
  EXPECT_EQ(loaded->cols(), 5);
}

TEST_F(SaveSubset, RefusesFewerThanTwoLandmarksBeforeAnyDialog) {
  for (const char* text : {"", "3", "3 3 3", "0 99 -2 2.5", "4 0\n0 0"}) {
    s.ui.clear_records();
    s.set_text("SubsetBox", text);
    save_subset(s.app.ctx);
    EXPECT_THAT(s.ui.messages(), ::testing::ElementsAre(
                                     "A subset needs at least two landmarks. Nothing was written."))
        << text;
    EXPECT_TRUE(s.ui.dialogs().empty()) << text;
  }
}

TEST_F(SaveSubset, RefusesASpecimenWhoseSubsetLandmarksCoincide) {
  Matrix data = *s.app.state.data;
  data(3, 2) = data(3, 6);  // specimen 4: landmark 2 onto landmark 4
  data(3, 3) = data(3, 7);
  s.app.state.data = data;
  s.set_text("SubsetBox", "2 4");
  s.ui.answer_path(dir.file("never.txt"));
  save_subset(s.app.ctx);
  // Loaded from a TPS file, the specimen goes by its ID.
  s.app.state.names = std::vector<std::string>{"a", "b", "c", "gorf_012", "e", "f"};
  s.ui.answer_path(dir.file("never.txt"));
  save_subset(s.app.ctx);
  EXPECT_THAT(s.ui.messages(),
              ::testing::ElementsAre("The subset landmarks of specimen 4 all lie at one point, so "
                                     "it cannot be scaled to unit centroid size. Nothing was "
                                     "written.",
                                     "The subset landmarks of specimen gorf_012 all lie at one "
                                     "point, so it cannot be scaled to unit centroid size. "
                                     "Nothing was written."));
  EXPECT_TRUE(s.ui.dialogs().empty());
  EXPECT_FALSE(std::filesystem::exists(dir.file("never.txt")));
}

TEST_F(SaveSubset, CancelledDialogWritesNothingAndStaysInTheDirectory) {
  const auto before = std::filesystem::current_path();
  s.set_text("SubsetBox", "1 2");
  s.ui.answer_cancel();
  save_subset(s.app.ctx);
  EXPECT_EQ(s.ui.dialogs().size(), 1u);
  EXPECT_TRUE(s.ui.messages().empty());
  EXPECT_EQ(std::filesystem::current_path(), before);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(SaveSubset, FailedWriteShowsFailureOnFileOpenAndKeepsTheOldFile) {
  save("1 2", "keep.txt");
  const std::string old = read_bytes(dir.file("keep.txt"));
  set_write_fault_for_testing(10);
  s.set_text("SubsetBox", "1 2 3");
  s.ui.answer_path(dir.file("keep.txt"));
  save_subset(s.app.ctx);
  set_write_fault_for_testing(-1);
  EXPECT_THAT(s.ui.messages(), ::testing::ElementsAre("Failure on File Open"));
  EXPECT_EQ(read_bytes(dir.file("keep.txt")), old);

  s.ui.clear_records();
  s.ui.answer_path(dir.file("no_such_folder/x.txt"));
  save_subset(s.app.ctx);
  EXPECT_THAT(s.ui.messages(), ::testing::ElementsAre("Failure on File Open"));
}

}  // namespace
}  // namespace qiv
