#include "data/landmark_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "app/application.h"
#include "base/failure.h"
#include "platform/headless_ui.h"
#include "support/files.h"

namespace qiv {
namespace {

using ScratchDir = test_support::ScratchTest;

struct ReadCase {
  const char* name;
  std::string bytes;
  std::vector<std::vector<double>> rows;
};

Matrix from_rows(const std::vector<std::vector<double>>& rows) {
  if (rows.empty()) return Matrix(0, 0);
  Matrix m(static_cast<Eigen::Index>(rows.size()), static_cast<Eigen::Index>(rows[0].size()));
  for (std::size_t i = 0; i < rows.size(); ++i)
    for (std::size_t j = 0; j < rows[i].size(); ++j) m(i, j) = rows[i][j];
  return m;
}

class DloadReads : public ScratchDir {};

TEST_F(DloadReads, EveryLayoutOfTheSameTable) {
  const std::vector<std::vector<double>> two{{1, 2, 3}, {4, 5, 6}};
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<ReadCase> cases{
      {"LF", "1 2 3\n4 5 6\n", two},
      {"CR LF", "1 2 3\r\n4 5 6\r\n", two},
      {"no line end after the last line", "1 2 3\n4 5 6", two},
      {"CR LF, no line end after the last line", "1 2 3\r\n4 5 6", two},
      {"empty third line ends the data", "1 2 3\n4 5 6\n\n7 8 9\nnot numbers\n", two},
      {"empty CR LF third line ends the data", "1 2 3\r\n4 5 6\r\n\r\n7 8 9\r\n", two},
      {"commas", "1,2,3\n4, 5 ,6\n", two},
      {"tabs and runs of blanks", "\t1\t 2   3 \n  4\t5\t\t6\t\n", two},
      {"a last line of one character ends the data", "1 2 3\n4 5 6\n7", two},
      {"decimal notations", "-1.5e2 +2. .25\n1E-3 -0 7\n", {{-150, 2, 0.25}, {0.001, 0, 7}}},
      {"beyond the range of doubles", "1e400 -1e400 1e-400\n", {{inf, -inf, 0}}},
      {"empty file", "", {}},
      {"one row of one number", "42\n", {{42}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<Matrix> m = dload(write("f.txt", c.bytes));
    ASSERT_TRUE(m.has_value());
    const Matrix want = from_rows(c.rows);
    ASSERT_EQ(m->rows(), want.rows());
    ASSERT_EQ(m->cols(), want.cols());
    EXPECT_EQ(*m, want);
  }
}

// Every number must come out as the double that from_chars gives for its text, bit for bit,
// whichever notation and however many digits it has.
TEST_F(DloadReads, NumbersAreTheNearestDoubles) {
  std::mt19937_64 rng(7);
  std::uniform_int_distribution<int> digits(1, 20);
  std::uniform_int_distribution<int> exp10(-30, 30);
  std::uniform_int_distribution<int> digit(0, 9);
  std::uniform_int_distribution<int> form(0, 5);
  const int per_line = 11;
  std::string bytes;
  std::vector<std::string> tokens;
  for (int i = 0; i < 20 * per_line; ++i) {
    std::string t = (i % 3 == 0) ? "-" : "";
    const int nd = digits(rng);
    const int point = std::uniform_int_distribution<int>(0, nd)(rng);
    for (int d = 0; d < nd; ++d) {
      if (d == point && form(rng) < 4) t += '.';
      t += static_cast<char>('0' + digit(rng));
    }
    if (form(rng) < 2) t += (form(rng) < 3 ? "e" : "E") + std::to_string(exp10(rng));
    if (form(rng) == 0)
      t = std::to_string(std::uniform_int_distribution<long>(-99999, 99999)(rng)) + "." +
          std::to_string(std::uniform_int_distribution<int>(0, 999999)(rng));
    tokens.push_back(t);
    bytes += " " + t + " ";
    if (i % per_line == per_line - 1) bytes += "\n";
  }
  std::optional<Matrix> m = dload(write("f.txt", bytes));
  ASSERT_TRUE(m.has_value());
  ASSERT_EQ(m->size(), static_cast<Eigen::Index>(tokens.size()));
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    double want = 0;
    std::from_chars(tokens[i].data(), tokens[i].data() + tokens[i].size(), want);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(m->data()[i]), std::bit_cast<std::uint64_t>(want))
        << tokens[i];
  }
}

TEST_F(DloadReads, NotANumberAndInfinityAreValues) {
  std::optional<Matrix> m = dload(write("f.txt", "NaN inf -Inf\n"));
  ASSERT_TRUE(m.has_value());
  ASSERT_EQ(m->cols(), 3);
  EXPECT_TRUE(std::isnan((*m)(0, 0)));
  EXPECT_EQ((*m)(0, 1), std::numeric_limits<double>::infinity());
  EXPECT_EQ((*m)(0, 2), -std::numeric_limits<double>::infinity());
}

TEST_F(DloadReads, AFileThatCannotBeOpenedGivesNothing) {
  EXPECT_FALSE(dload(path("missing.txt")).has_value());
  EXPECT_EQ(test_support::failure_text([&] { dload(dir_.string()); }),
            "Cannot read " + dir_.filename().string() + ": it is not a regular file.")
      << "a folder was read";
}

struct RefusedCase {
  const char* name;
  std::string bytes;
  std::string message;  // after "Cannot read f.txt: "
};

TEST_F(DloadReads, RefusesBadLinesNamingFileAndLine) {
  const std::vector<RefusedCase> cases{
      {"short line", "1 2 3\n4 5 6\n7 8\n", "line 3 has 2 numbers, line 1 has 3."},
      {"long line", "1 2 3\n4 5 6 7\n", "line 2 has 4 numbers, line 1 has 3."},
      {"one number", "1 2 3\n45\n", "line 2 has 1 number, line 1 has 3."},
      {"blank line", "1 2 3\n   \n4 5 6\n", "line 2 has no numbers, line 1 has 3."},
      {"word", "1 2 3\n4 x 6\n", "line 2: \"x\" is not a number."},
      {"glued text", "1 2 3\r\n4 5 6abc\r\n", "line 2: \"6abc\" is not a number."},
      {"header line", "x1 y1 size\n1 2 3\n", "line 1: \"x1\" is not a number."},
      {"empty first line", "\n1 2 3\n", "line 1 has no numbers."},
      {"semicolon", "1 2 3\n4;5 6\n", "line 2: \"4;5\" is not a number."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = write("f.txt", c.bytes);
    EXPECT_EQ(test_support::failure_text([&] { dload(file); }), "Cannot read f.txt: " + c.message);
  }
}

class Mfloads : public ScratchDir {};

TEST_F(Mfloads, ReadsTheChosenFileAndEntersItsFolder) {
  HeadlessUi ui;
  Application app(ui);
  write("sub/d.txt", "1 2 3\n");
  ui.answer_path(path("sub/d.txt"));
  Mfload r = mfload(app.ctx);
  EXPECT_FALSE(r.cancelled);
  ASSERT_TRUE(r.data.has_value());
  EXPECT_EQ(*r.data, row({1, 2, 3}));
  EXPECT_EQ(r.name, "d.txt");
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir_ / "sub"));
  ASSERT_EQ(ui.dialogs().size(), 1u);
  EXPECT_EQ(ui.dialogs()[0].filter, "*.*");
  EXPECT_EQ(ui.dialogs()[0].title, "Enter file to Load?");
}

TEST_F(Mfloads, CancelReadsNothingAndStays) {
  HeadlessUi ui;
  Application app(ui);
  const auto before = std::filesystem::current_path();
  ui.answer_cancel();
  Mfload r = mfload(app.ctx);
  EXPECT_TRUE(r.cancelled);
  EXPECT_FALSE(r.data.has_value());
  EXPECT_EQ(std::filesystem::current_path(), before);
  // By name: no value, then the number 0.
  ui.answer_cancel();
  Outputs out = app.rt.call("mfload", {Value("1")}, 2);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_TRUE(out[0].is_none());
  EXPECT_EQ(out[1], Value(0.0));
}

TEST_F(Mfloads, ABadFileFailsBeforeTheFolderChanges) {
  HeadlessUi ui;
  Application app(ui);
  const auto before = std::filesystem::current_path();
  write("sub/bad.txt", "1 2 3\n4 5\n");
  ui.answer_path(path("sub/bad.txt"));
  EXPECT_THROW(mfload(app.ctx), Failure);
  EXPECT_EQ(std::filesystem::current_path(), before);
}

TEST_F(Mfloads, ByNameGivesMatrixThenName) {
  HeadlessUi ui;
  Application app(ui);
  write("e.txt", "1 2 3\n4 5 6\n");
  ui.answer_path(path("e.txt"));
  Outputs out = app.rt.call("mfload", {Value("1")}, 2);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], Value(from_rows({{1, 2, 3}, {4, 5, 6}})));
  EXPECT_EQ(out[1], Value("e.txt"));
}

TEST_F(DloadReads, ByNameGivesTheMatrixOrMinusOne) {
  HeadlessUi ui;
  Application app(ui);
  const std::string f = write("f.txt", "1 2 3\n");
  EXPECT_EQ(app.rt.call("dload", {Value(f)}, 1), Outputs{Value(row({1, 2, 3}))});
  EXPECT_EQ(app.rt.call("dload", {Value(path("none.txt"))}, 1), Outputs{Value(-1.0)});
}

}  // namespace
}  // namespace qiv
