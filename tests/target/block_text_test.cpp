#include "target/block_text.h"

#include <gtest/gtest.h>

namespace qiv {
namespace {

struct TextRow {
  const char* name;
  const char* text;
  LineList list;
};

// Text to list: row by row, zeros dropped, nothing sorted or removed.
const TextRow kTextToList[] = {
    {"plain", "1 2", {1, 2}},
    {"zeros dropped", "3 0 5 0", {3, 5}},
    {"repeats kept unsorted", "5 2 5", {5, 2, 5}},
    {"negative and fractional kept", "-1 2.5", {-1, 2.5}},
    {"rows read row by row", "4 3; 2 1", {4, 3, 2, 1}},
    {"line breaks are rows", "7\n6", {7, 6}},
    {"commas and brackets", "[1,2 ,3]", {1, 2, 3}},
    {"ranges expand", "2:4", {2, 3, 4}},
    {"empty text", "", {}},
    {"blank text", " ", {}},
    {"only zeros", "0 0", {}},
    {"words", "abc", {}},
    {"numbers and words", "1 2 x", {}},
    {"rows of unequal length", "1 2; 3", {}},
};

TEST(BlockText, TextToList) {
  for (const TextRow& r : kTextToList)
    EXPECT_EQ(block_text_to_list(r.text), r.list) << r.name;
}

TEST(BlockText, NumbersRowByRowKeepZeros) {
  EXPECT_EQ(numbers_row_by_row(" 1  0  2 "), (LineList{1, 0, 2}));
  EXPECT_EQ(numbers_row_by_row(" "), LineList{});
}

TEST(BlockText, ListToTextIsNum2strOfTheRow) {
  const struct {
    LineList list;
    const char* text;
  } rows[] = {
      {{}, ""}, {{4}, "4"}, {{1, 2}, "1  2"}, {{10, 2}, "10   2"}, {{2.5, 1}, "2.5    1"},
  };
  for (const auto& r : rows) EXPECT_EQ(block_list_to_text(r.list), r.text) << r.text;
}

TEST(BlockText, TextSurvivesTheRoundTrip) {
  for (const LineList& l : {LineList{1, 2}, LineList{12, 3, 12}, LineList{}})
    EXPECT_EQ(block_text_to_list(block_list_to_text(l)), l);
}

TEST(BlockStyle, TwelveStylesThenAgainFromTheStart) {
  const char* expected[] = {"r", "g", "b", "m", "y", "c", "r:", "g:", "b:", "m:", "y:", "c:"};
  for (long long k = 1; k <= 36; ++k) {
    const std::string style = expected[(k - 1) % 12];
    EXPECT_EQ(block_style(k), style) << k;
    EXPECT_EQ(block_color(k), style.substr(0, 1)) << k;
  }
  EXPECT_EQ(block_style(13), "r");
  EXPECT_EQ(block_color(7), "r");
}

}  // namespace
}  // namespace qiv
