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
  for (const TextRow& r : kTextToList) EXPECT_EQ(block_text_to_list(r.text), r.list) << r.name;
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

}  // namespace
}  // namespace qiv
