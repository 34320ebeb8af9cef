#include "platform/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace qiv {
namespace {

struct ParseCase {
  const char* name;
  const char* text;
  int rows;
  std::vector<double> values;  // row by row
};

class Str2numAccepts : public ::testing::TestWithParam<ParseCase> {};

TEST_P(Str2numAccepts, GivesTheMatrix) {
  const ParseCase& c = GetParam();
  Matrix m = str2num(c.text);
  ASSERT_EQ(m.rows(), c.rows) << c.text;
  ASSERT_EQ(static_cast<std::size_t>(m.size()), c.values.size()) << c.text;
  for (Eigen::Index i = 0; i < m.rows(); ++i)
    for (Eigen::Index j = 0; j < m.cols(); ++j) {
      double want = c.values[static_cast<std::size_t>(i * m.cols() + j)];
      if (std::isnan(want)) {
        EXPECT_TRUE(std::isnan(m(i, j)));
      } else {
        EXPECT_EQ(m(i, j), want) << c.text << " at " << i << "," << j;
      }
    }
}

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Texts, Str2numAccepts,
    ::testing::Values(ParseCase{"blanks", "1 2 3", 1, {1, 2, 3}},
                      ParseCase{"commas", "1,2, 3", 1, {1, 2, 3}},
                      ParseCase{"tabs_and_padding", "\t 4\t5  ", 1, {4, 5}},
                      ParseCase{"semicolon_rows", "1 2; 3 4", 2, {1, 2, 3, 4}},
                      ParseCase{"newline_rows", "1 2\n3 4\n", 2, {1, 2, 3, 4}},
                      ParseCase{"crlf_rows", "1 2\r\n3 4\r\n", 2, {1, 2, 3, 4}},
                      ParseCase{"brackets", "[1 2 3]", 1, {1, 2, 3}},
                      ParseCase{"range", "1:4", 1, {1, 2, 3, 4}},
                      ParseCase{"stepped_range", "1:2:7", 1, {1, 3, 5, 7}},
                      ParseCase{"descending_range", "5:-2:1", 1, {5, 3, 1}},
                      ParseCase{"range_among_numbers", "9 1:3 0", 1, {9, 1, 2, 3, 0}},
                      ParseCase{"empty_range", "3:1", 0, {}},
                      ParseCase{"notations", "-1.5e2 +2 .5 3.", 1, {-150, 2, 0.5, 3}},
                      ParseCase{"inf_nan", "Inf -inf NaN", 1, {inf, -inf, nan}},
                      ParseCase{"huge_saturates", "1e400 -1e400", 1, {inf, -inf}},
                      ParseCase{"negative_zero", "-0", 1, {-0.0}},
                      ParseCase{"blank_rows_skipped", "1 2\n\n3 4", 2, {1, 2, 3, 4}},
                      ParseCase{"empty", "", 0, {}}, ParseCase{"only_blanks", "   ", 0, {}}),
    [](const auto& info) { return info.param.name; });

TEST(Str2num, RefusedTextsGiveNoValue) {
  const char* refused[] = {"abc",     "1 2 x", "1 2; 3", "[1 2",     "1..2",   "1e",    "--1",
                           "1:2:3:4", "1:x",   "0x10",   "infinity", "nan(1)", "1:1e7", "1:100001"};
  for (const char* t : refused) {
    Matrix m = str2num(t);
    EXPECT_EQ(m.size(), 0) << "\"" << t << "\"";
  }
}

TEST(Num2str, Forms) {
  struct Case {
    Matrix m;
    const char* want;
  };
  std::vector<Case> cases{
      {scalar(7), "7"},
      {scalar(-3), "-3"},
      {scalar(0.5), "0.5"},
      {scalar(1.0 / 3), "0.33333"},
      {scalar(-0.0), "0"},
      {row({1, 2}), "1  2"},
      {row({3, 10}), "3  10"},
      {row({1, 2, 3}), "1  2  3"},
      {row({std::nan(""), inf, -inf}), "NaN   Inf  -Inf"},
      {Matrix(), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(num2str(c.m), c.want);
  Matrix two(2, 2);
  two << 1, 2, 3, 40;
  // The numbers share one width; the blank that every row has in front goes.
  EXPECT_EQ(num2str(two), "1   2\n3  40");
}

TEST(Format, HelpersWriteExactText) {
  EXPECT_EQ(sprintf_str("File: %s \n %3.0f Specimens", "a.txt", 25.0),
            "File: a.txt \n  25 Specimens");
  EXPECT_EQ(format_g17(2.8284271247461903), "2.8284271247461903");
  EXPECT_EQ(format_g17(0.1), "0.10000000000000001");
  EXPECT_EQ(escape_newlines("a\nb"), "a\\nb");
  EXPECT_TRUE(is_blank(" \t\n"));
  EXPECT_FALSE(is_blank(" x "));
}

}  // namespace
}  // namespace qiv
