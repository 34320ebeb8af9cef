#include "data/landmark_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/failure.h"

namespace qiv {
namespace {

// The whole file in memory. Files are read in one piece so that parsing runs over one buffer
// with no per-line allocation.
struct FileBytes {
  std::unique_ptr<char[]> bytes;
  std::size_t size = 0;
};

std::optional<FileBytes> read_whole_file(const std::string& fname) {
  std::FILE* f = std::fopen(fname.c_str(), "r");
  if (!f) return std::nullopt;
  std::size_t capacity = 1 << 16;
  struct stat info {};
  if (fstat(fileno(f), &info) == 0) {
    if (S_ISDIR(info.st_mode)) {  // a folder opens but holds no text
      std::fclose(f);
      return std::nullopt;
    }
    // One byte more than the size, so that reaching the end needs no second buffer.
    if (S_ISREG(info.st_mode)) capacity = static_cast<std::size_t>(info.st_size) + 1;
  }
  FileBytes out;
  out.bytes = std::make_unique_for_overwrite<char[]>(capacity);
  for (;;) {
    if (out.size == capacity) {
      // The file grew since its size was taken, or it has no size (a pipe).
      auto bigger = std::make_unique_for_overwrite<char[]>(capacity * 2);
      std::memcpy(bigger.get(), out.bytes.get(), out.size);
      out.bytes = std::move(bigger);
      capacity *= 2;
    }
    std::size_t got = std::fread(out.bytes.get() + out.size, 1, capacity - out.size, f);
    out.size += got;
    if (got == 0) break;
  }
  const bool failed = std::ferror(f) != 0;  // e.g. a directory opens but does not read
  std::fclose(f);
  if (failed) return std::nullopt;
  return out;
}

std::string base_name(const std::string& fname) {
  return std::filesystem::path(fname).filename().string();
}

// Blanks, tabs and commas separate numbers; a carriage return before the line feed (and any
// other stray control blank) counts as a blank, so CR LF files read like LF files.
inline bool is_separator(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\v' || c == '\f';
}

std::string count_text(std::size_t count) {
  if (count == 0) return "no numbers";
  if (count == 1) return "1 number";
  return std::to_string(count) + " numbers";
}

// Parses the numbers of one line [p, end) and hands each to put(index, value). Returns the
// count, or throws for text that is not a number.
template <typename Put>
std::size_t parse_line(const char* p, const char* end, std::size_t line_no,
                       const std::string& fname, Put put) {
  std::size_t count = 0;
  for (;;) {
    while (p != end && is_separator(*p)) ++p;
    if (p == end) return count;
    const char* token = p;
    if (*p == '+' && p + 1 != end && p[1] != '-' && p[1] != '+') ++p;
    double v = 0.0;
    auto [next, ec] = std::from_chars(p, end, v);
    const bool ends_token = next == end || is_separator(*next);
    if (ec == std::errc::result_out_of_range && ends_token && next != p) {
      // Beyond the range of doubles: strtod gives the infinity or the (sub)normal value.
      std::string text(p, next);
      v = std::strtod(text.c_str(), nullptr);
    } else if (ec != std::errc() || !ends_token) {
      const char* stop = token;
      while (stop != end && !is_separator(*stop)) ++stop;
      throw Failure("Cannot read " + base_name(fname) + ": line " + std::to_string(line_no) +
                    ": \"" + std::string(token, stop) + "\" is not a number.");
    }
    put(count, v);
    ++count;
    p = next;
  }
}

}  // namespace

std::optional<Matrix> dload(const std::string& fname) {
  std::optional<FileBytes> file = read_whole_file(fname);
  if (!file) return std::nullopt;
  const char* p = file->bytes.get();
  const char* const end = p + file->size;
  if (p == end) return Matrix(0, 0);

  // The first line fixes the number of columns.
  const char* eol = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
  const char* line_end = eol ? eol : end;
  std::vector<double> first;
  parse_line(p, line_end, 1, fname, [&first](std::size_t, double v) { first.push_back(v); });
  if (first.empty())
    throw Failure("Cannot read " + base_name(fname) + ": line 1 has no numbers.");
  const std::size_t n = first.size();

  // Every further line is at most one row: the line feeds bound the row count.
  std::size_t max_rows = 1;
  for (const char* q = line_end; q != end;) {
    q = static_cast<const char*>(std::memchr(q, '\n', static_cast<std::size_t>(end - q)));
    if (!q) break;
    ++q;
    if (q != end) ++max_rows;
  }
  Matrix out(static_cast<Eigen::Index>(max_rows), static_cast<Eigen::Index>(n));
  std::memcpy(out.data(), first.data(), n * sizeof(double));

  std::size_t rows = 1;
  p = eol ? eol + 1 : end;
  while (p != end) {
    eol = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    line_end = eol ? eol : end;
    // A line of exactly one character, its terminator included, ends the data: in practice a
    // lone line feed. A lone CR LF is the same empty line written with a two-character end.
    const std::size_t length = static_cast<std::size_t>(line_end - p) + (eol ? 1 : 0);
    if (length == 1 || (length == 2 && eol && *p == '\r')) break;
    const std::size_t line_no = rows + 1;
    double* row = out.data() + rows * n;
    const std::size_t count = parse_line(p, line_end, line_no, fname, [row, n](std::size_t i, double v) {
      if (i < n) row[i] = v;
    });
    if (count != n) {
      throw Failure("Cannot read " + base_name(fname) + ": line " + std::to_string(line_no) +
                    " has " + count_text(count) + ", line 1 has " + std::to_string(n) + ".");
    }
    ++rows;
    p = eol ? eol + 1 : end;
  }
  if (rows != max_rows) out.conservativeResize(static_cast<Eigen::Index>(rows), Eigen::NoChange);
  return out;
}

FileChoice choose_data_file(Context& ctx) {
  return ctx.ui.get_file(kLoadFilter, kLoadTitle);
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
