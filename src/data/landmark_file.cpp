#include "data/landmark_file.h"

#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "base/failure.h"
#include "data/landmark_format.h"
#include "data/number_text.h"
#include "platform/input_file.h"
#include "platform/memory_advice.h"

namespace qiv {
namespace {

std::string base_name(const std::string& fname) {
  return std::filesystem::path(fname).filename().string();
}

std::string count_text(std::size_t count) {
  if (count == 0) return "no numbers";
  if (count == 1) return "1 number";
  return std::to_string(count) + " numbers";
}

inline bool ends_token(const char* p, const char* end) {
  return p == end || is_line_end(*p) || is_separator(*p);
}

struct LineParse {
  std::size_t count;  // numbers on the line
  const char* next;   // the start of the next line, or the end of the text
};

// Parses the numbers of the line that starts at p (it ends at the next line end or at end)
// and hands each to put(index, value). Throws for text that is not a number.
template <typename Put>
LineParse parse_line(const char* p, const char* end, std::size_t line_no, const std::string& fname,
                     Put put) {
  std::size_t count = 0;
  for (;;) {
    while (p != end && is_separator(*p)) ++p;
    if (p == end) return {count, end};
    if (is_line_end(*p)) return {count, after_line_end(p, end)};
    const char* token = p;
    if (*p == '+' && p + 1 != end && p[1] != '-' && p[1] != '+') ++p;
    double v = 0.0;
    const char* plain = parse_plain_decimal(p, end, v);
    if (plain && ends_token(plain, end)) {
      put(count++, v);
      p = plain;
      continue;
    }
    auto [next, ec] = std::from_chars(p, end, v);
    if (ec == std::errc::result_out_of_range && ends_token(next, end) && next != p) {
      // Beyond the range of doubles: strtod gives the infinity or the (sub)normal value.
      std::string text(p, next);
      v = std::strtod(text.c_str(), nullptr);
    } else if (ec != std::errc() || !ends_token(next, end)) {
      const char* stop = token;
      while (!ends_token(stop, end)) ++stop;
      throw Failure(
          "Cannot read " + base_name(fname) + ": line " + std::to_string(line_no) + ": \"" +
          quoted_excerpt(std::string_view(token, static_cast<std::size_t>(stop - token))) +
          "\" is not a number.");
    }
    put(count++, v);
    p = next;
  }
}

// A line of exactly one character, its terminator included, ends the data: in practice an
// empty line, whatever its line end (LF, CR LF or CR alone).
inline bool is_end_marker(const char* p, const char* end) {
  return is_line_end(*p) || p + 1 == end;
}

}  // namespace

std::optional<Matrix> dload(const std::string& fname) {
  std::optional<InputBytes> file = read_input_file(fname);
  if (!file) return std::nullopt;
  return parse_landmark_table(file->view(), fname);
}

Matrix parse_landmark_table(std::string_view text, const std::string& fname) {
  text = skip_bom(text);
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  if (begin == end) return Matrix(0, 0);

  // The first line fixes the number of columns.
  std::vector<double> first;
  LineParse line =
      parse_line(begin, end, 1, fname, [&first](std::size_t, double v) { first.push_back(v); });
  if (first.empty()) throw Failure("Cannot read " + base_name(fname) + ": line 1 has no numbers.");
  const auto n = static_cast<Eigen::Index>(first.size());

  // Room for as many rows as lines of the first line's length fit in the file, and a quarter
  // more; the rare file of much shorter lines grows the matrix by doubling.
  const auto first_length = static_cast<std::size_t>(line.next - begin);
  Eigen::Index capacity =
      static_cast<Eigen::Index>(text.size() / first_length + text.size() / first_length / 4 + 16);
  Matrix out(capacity, n);
  advise_huge_pages(out.data(), static_cast<std::size_t>(out.size()) * sizeof(double));
  std::memcpy(out.data(), first.data(), first.size() * sizeof(double));

  Eigen::Index rows = 1;
  for (const char* p = line.next; p != end && !is_end_marker(p, end); p = line.next) {
    if (rows == capacity) {
      capacity *= 2;
      out.conservativeResize(capacity, Eigen::NoChange);
    }
    double* row = out.data() + rows * n;
    const auto line_no = static_cast<std::size_t>(rows) + 1;
    line = parse_line(p, end, line_no, fname, [row, n](std::size_t i, double v) {
      if (static_cast<Eigen::Index>(i) < n) row[i] = v;
    });
    if (static_cast<Eigen::Index>(line.count) != n) {
      throw Failure("Cannot read " + base_name(fname) + ": line " + std::to_string(line_no) +
                    " has " + count_text(line.count) + ", line 1 has " + std::to_string(n) + ".");
    }
    ++rows;
  }
  out.conservativeResize(rows, Eigen::NoChange);
  return out;
}

FileChoice choose_data_file(Context& ctx) { return ctx.ui.get_file(kLoadFilter, kLoadTitle); }

std::vector<FileChoice> choose_specimen_files(Context& ctx) {
  return ctx.ui.get_files(landmark_open_filter(), kLoadTitle);
}

void change_directory(const std::string& dir) {
  std::error_code ec;
  std::filesystem::current_path(dir, ec);
  if (ec) throw Failure("Cannot make " + dir + " the current directory.");
}

Mfload mfload(Context& ctx) {
  FileChoice c = choose_data_file(ctx);
  Mfload out;
  if (c.cancelled) return out;
  out.cancelled = false;
  out.name = c.name;
  out.dir = c.dir;
  out.data = dload(c.dir + c.name);  // a failure here leaves the directory as it was
  change_directory(c.dir);
  return out;
}

}  // namespace qiv
