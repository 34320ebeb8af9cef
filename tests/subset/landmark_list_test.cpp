#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/landmark_set.h"

namespace qiv {
namespace {

using ::testing::ElementsAreArray;

struct ListCase {
  const char* name;
  const char* text;
  std::vector<double> list;
};

class LandmarkListTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(LandmarkListTest, ParsesByTheRowRule) {
  EXPECT_THAT(landmark_list(GetParam().text), ElementsAreArray(GetParam().list));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LandmarkListTest,
    ::testing::Values(ListCase{"OneRowKeptAsTyped", "3 1 3 7", {3, 1, 3, 7}},
                      ListCase{"OneRowKeepsZeros", "0 5", {0, 5}},
                      ListCase{"TwoRowsDropZeros", "1 2 3\n4 5 0", {1, 2, 3, 4, 5}},
                      ListCase{"TwoRowsRowByRow", "3 5\n7 0", {3, 5, 7}},
                      ListCase{"RowsBySemicolon", "9 8; 0 1", {9, 8, 1}},
                      ListCase{"AddedWithBlanks", " 7  12 ", {7, 12}}, ListCase{"Empty", "", {}},
                      ListCase{"Blanks", "   ", {}}, ListCase{"NotNumbers", "one two", {}},
                      ListCase{"RaggedRows", "1 2 3\n4 5", {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct FlagCase {
  const char* name;
  std::vector<double> list;
  long k;
  std::vector<long> members;
};

class LandmarkFlagsTest : public ::testing::TestWithParam<FlagCase> {};

TEST_P(LandmarkFlagsTest, KeepsWholeNumbersFromOneToK) {
  const auto& c = GetParam();
  const auto flags = landmark_flags(c.list, c.k);
  EXPECT_EQ(flags.size(), static_cast<std::size_t>(c.k));
  EXPECT_THAT(flagged_landmarks(flags), ElementsAreArray(c.members));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, LandmarkFlagsTest,
    ::testing::Values(FlagCase{"RepeatsCountOnce", {3, 1, 3, 7}, 8, {1, 3, 7}},
                      FlagCase{"AboveKIgnored", {2, 99}, 5, {2}},
                      FlagCase{"LastLandmarkKept", {5}, 5, {5}},
                      FlagCase{"ZeroNegativeAndFractionIgnored", {0, -1, 2.5, 4}, 5, {4}},
                      FlagCase{"NotANumberIgnored", {std::nan(""), 1}, 5, {1}},
                      FlagCase{"Empty", {}, 5, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct InvertCase {
  const char* name;
  const char* text;
  const char* inverted;
};

class InvertedTextTest : public ::testing::TestWithParam<InvertCase> {};

// strcat drops the trailing blanks of "  " and of each " %i ", so one blank stands before
// every number and none follows the last; with nothing to list the two blanks stay.
TEST_P(InvertedTextTest, ListsTheOtherLandmarksAscending) {
  const auto flags = landmark_flags(landmark_list(GetParam().text), 5);
  EXPECT_EQ(inverted_subset_text(flags), GetParam().inverted);
}

INSTANTIATE_TEST_SUITE_P(FiveLandmarks, InvertedTextTest,
                         ::testing::Values(InvertCase{"WithNumberAboveK", "2 99", " 1 3 4 5"},
                                           InvertCase{"EmptyText", "", " 1 2 3 4 5"},
                                           InvertCase{"EveryLandmark", "5 4 3 2 1", "  "},
                                           InvertCase{"UnorderedWithRepeats", "5 3 3", " 1 2 4"},
                                           InvertCase{"InvalidNumbersOnly", "0 2.5 -1",
                                                      " 1 2 3 4 5"},
                                           InvertCase{"TwoRows", "1 2\n3 0", " 4 5"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(InvertedText, InvertingTwiceGivesTheSubsetAscendingWithoutRepeats) {
  const auto once = inverted_subset_text(landmark_flags(landmark_list("4 2 4 99"), 5));
  const auto twice = inverted_subset_text(landmark_flags(landmark_list(once), 5));
  EXPECT_EQ(twice, " 2 4");
}

TEST(StrcatText, DropsTrailingWhiteSpaceOfEachPieceOnly) {
  EXPECT_EQ(strcat_text("  ", " 1 "), " 1");
  EXPECT_EQ(strcat_text(" 1", " 2 "), " 1 2");
  EXPECT_EQ(strcat_text("a \t\n\r\v\f", "  b  "), "a  b");
  EXPECT_EQ(strcat_text("", ""), "");
}

struct NumberCase {
  const char* name;
  const char* text;
  std::optional<long> number;
};

class SingleLandmarkNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(SingleLandmarkNumberTest, AcceptsExactlyOneLandmarkNumber) {
  EXPECT_EQ(single_landmark_number(GetParam().text, 5), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(Texts, SingleLandmarkNumberTest,
                         ::testing::Values(NumberCase{"First", "1", 1L},
                                           NumberCase{"Last", "5", 5L},
                                           NumberCase{"Padded", " 3 ", 3L},
                                           NumberCase{"Zero", "0", std::nullopt},
                                           NumberCase{"AboveK", "6", std::nullopt},
                                           NumberCase{"Fraction", "2.5", std::nullopt},
                                           NumberCase{"Empty", "", std::nullopt},
                                           NumberCase{"Word", "four", std::nullopt},
                                           NumberCase{"TwoNumbers", "1 2", std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LandmarkRangeMessage, NamesTheRange) {
  EXPECT_EQ(landmark_range_message(12), "Enter a landmark number from 1 to 12.");
}

}  // namespace
}  // namespace qiv
