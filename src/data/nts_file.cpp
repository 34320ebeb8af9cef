#include "data/nts_file.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "base/failure.h"
#include "data/number_text.h"
#include "data/text_fields.h"
#include "geometry/landmark_row.h"
#include "platform/input_file.h"

namespace qiv {
namespace {

bool is_comment(std::string_view line) {
  const std::string_view s = trim_blanks(line);
  return !s.empty() && s.front() == '"';
}

std::optional<long> whole(std::string_view v) {
  long n = 0;
  const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  if (v.empty() || ec != std::errc() || end != v.data() + v.size()) return std::nullopt;
  return n;
}

// The tokens of the text after a given line, comment lines skipped.
class Tokens {
 public:
  explicit Tokens(LineReader lines) : lines_(lines) {}

  bool next(std::string_view& token) {
    for (;;) {
      while (p_ != end_ && is_separator(*p_)) ++p_;
      if (p_ != end_) {
        const char* start = p_;
        p_ = token_end(p_, end_);
        token = std::string_view(start, static_cast<std::size_t>(p_ - start));
        return true;
      }
      std::string_view line;
      do {
        if (!lines_.next(line)) return false;
      } while (is_comment(line));
      p_ = line.data();
      end_ = p_ + line.size();
    }
  }
  std::size_t line_number() const { return lines_.line_number(); }

 private:
  LineReader lines_;
  const char* p_ = nullptr;
  const char* end_ = nullptr;
};

}  // namespace

std::optional<NtsHeader> parse_nts_header(std::string_view line) {
  // Blanks around "=" go, so that "DIM = 2" is one field.
  std::string s;
  s.reserve(line.size());
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '=') {
      while (!s.empty() && is_blank_char(s.back())) s.pop_back();
      s += '=';
      while (i + 1 < line.size() && is_blank_char(line[i + 1])) ++i;
    } else {
      s += line[i];
    }
  }
  NtsHeader h;
  std::vector<std::string_view> fields;
  const char* p = s.data();
  const char* const end = p + s.size();
  while (p != end) {
    while (p != end && is_separator(*p)) ++p;
    if (p == end) break;
    const char* start = p;
    p = token_end(p, end);
    const std::string_view f(start, static_cast<std::size_t>(p - start));
    if (f.size() > 4 && ascii_upper(f.substr(0, 4)) == "DIM=") {
      const std::optional<long> d = whole(f.substr(4));
      if (!d || h.dim) return std::nullopt;
      h.dim = *d;
    } else {
      fields.push_back(f);
    }
  }
  if (fields.size() != 4 && fields.size() != 5) return std::nullopt;
  h.fields = static_cast<int>(fields.size());
  const std::optional<long> type = whole(fields[0]);
  if (!type) return std::nullopt;
  h.type = *type;
  auto dimension = [](std::string_view f, long& value, bool& labels) {
    labels = !f.empty() && (f.back() == 'L' || f.back() == 'l');
    if (labels) f.remove_suffix(1);
    const std::optional<long> v = whole(f);
    if (!v || *v < 0) return false;
    value = *v;
    return true;
  };
  if (!dimension(fields[1], h.rows, h.row_labels)) return std::nullopt;
  if (!dimension(fields[2], h.cols, h.col_labels)) return std::nullopt;
  const std::optional<long> flag = whole(fields[3]);
  if (!flag || (*flag != 0 && *flag != 1)) return std::nullopt;
  h.missing = static_cast<int>(*flag);
  if (fields.size() == 5) {
    double code = 0;
    const char* b = fields[4].data();
    const char* e = b + fields[4].size();
    if (read_number(b, e, code) != e) return std::nullopt;
    h.code = code;
    h.code_text = std::string(fields[4]);
  }
  return h;
}

SpecimenData parse_nts(std::string_view text, const std::string& fname) {
  const std::string head = "Cannot read " + std::filesystem::path(fname).filename().string() + ": ";
  LineReader lines(text);
  std::string_view line;
  bool found = false;
  while (lines.next(line)) {
    if (is_blank_text(line) || is_comment(line)) continue;
    found = true;
    break;
  }
  if (!found) {
    throw Failure(head + "the file holds no NTS header (type, rows, columns, missing-data flag).");
  }
  const std::string at = "line " + std::to_string(lines.line_number()) + ": ";
  const std::optional<NtsHeader> h = parse_nts_header(line);
  if (!h) {
    throw Failure(head + at + "\"" + quoted_token(line.data(), line.data() + line.size()) +
                  "\" is not an NTS header (type, rows, columns, missing-data flag).");
  }
  if (h->type != 1) {
    throw Failure(head + at + "an NTS matrix of type " + std::to_string(h->type) +
                  " cannot be loaded; landmark data are a type 1 matrix.");
  }
  if (h->dim && *h->dim != 2) {
    throw Failure(head + at + "DIM=" + std::to_string(*h->dim) +
                  ": only 2-D landmarks can be loaded.");
  }
  if (h->cols == 0 || h->cols % 2 != 0) {
    throw Failure(head + at + "the header announces " + std::to_string(h->cols) +
                  " columns; landmark data need x and y of each landmark, an even number of "
                  "columns.");
  }
  if (h->rows == 0) throw Failure(head + at + "the header announces no rows, so no specimens.");
  if (h->missing == 1 && !h->code) {
    throw Failure(head + at + "the missing-data flag is 1, but no missing-data code follows it.");
  }

  Tokens tokens(lines);
  std::string_view token;
  auto labels = [&](long count, const char* what) {
    std::vector<std::string> out;
    out.reserve(std::min(static_cast<std::size_t>(count), text.size()));
    for (long i = 0; i < count; ++i) {
      if (!tokens.next(token)) {
        throw Failure(head + "the file ends after " + std::to_string(i) + " of the " +
                      std::to_string(count) + " " + what + " labels.");
      }
      out.emplace_back(token);
    }
    return out;
  };
  SpecimenData out;
  if (h->row_labels) out.names = labels(h->rows, "row");
  if (h->col_labels) labels(h->cols, "column");

  const auto m = static_cast<Eigen::Index>(h->rows);
  const auto c = static_cast<Eigen::Index>(h->cols);
  const Eigen::Index k = c / 2;
  const std::string announced = "the header announces " + std::to_string(m) +
                                (m == 1 ? " row of " : " rows of ") + std::to_string(c) +
                                " numbers";
  // Every number takes two bytes at least: a header that announces more cannot be right, and
  // no room is taken for it before the numbers are counted.
  const bool plausible = m <= static_cast<Eigen::Index>(text.size() / 2 + 1) / c;
  Matrix table(plausible ? m : 0, c + 1);
  Eigen::Index count = 0;
  const Eigen::Index total = plausible ? m * c : -1;
  while (tokens.next(token)) {
    double v = 0;
    const char* b = token.data();
    const char* e = b + token.size();
    if (read_number(b, e, v) != e) {
      const auto r = static_cast<std::size_t>(count / c);
      const std::string name = r < out.names.size() ? out.names[r] : std::to_string(r + 1);
      throw Failure(head + "specimen " + name + ", line " + std::to_string(tokens.line_number()) +
                    ": \"" + quoted_token(b, e) + "\" is not a number.");
    }
    if (count == total) {
      throw Failure(head + "line " + std::to_string(tokens.line_number()) + ": " + announced +
                    ", but more follow.");
    }
    if (plausible) table(count / c, count % c) = v;
    ++count;
  }
  if (!plausible || count != m * c) {
    throw Failure(head + announced + ", but only " + std::to_string(count) +
                  (count == 1 ? " number follows." : " numbers follow."));
  }
  if (!h->row_labels) out.names = numbered_names(m);
  out.numbered_names = !h->row_labels;
  for (Eigen::Index i = 0; i < m; ++i) {
    double* row = table.data() + i * (c + 1);
    if (h->missing == 1) {
      for (Eigen::Index j = 0; j < c; ++j) {
        if (row[j] == *h->code) {
          throw Failure(head + "specimen " + out.names[static_cast<std::size_t>(i)] +
                        " has missing data (" + h->code_text + " as number " +
                        std::to_string(j + 1) + "); only complete specimens can be loaded.");
        }
      }
    }
    row[c] = landmark_row::centroid_size(row, k);
  }
  out.table = std::move(table);
  return out;
}

namespace {

// The tokens of the lines that `from` has not given yet, comment lines not counted.
std::size_t count_tokens(LineReader from) {
  std::size_t count = 0;
  std::string_view line;
  while (from.next(line)) {
    if (is_comment(line)) continue;
    const char* p = line.data();
    const char* const end = p + line.size();
    for (;;) {
      while (p != end && is_separator(*p)) ++p;
      if (p == end) break;
      p = token_end(p, end);
      ++count;
    }
  }
  return count;
}

// An NTS header and a line of the program's own file can look alike only when the header is
// five plain numbers (type 1, rows, columns, flag 0 or 1, code): an own file's line holds an
// odd count of numbers, so four fields, an "L", a "DIM=" field or a comment line before it
// make a header, and so does no other line. Five plain numbers make a header only when the
// file holds exactly rows x columns numbers after that line (not counting comment lines);
// otherwise the file is the program's own, of two landmarks per line.
bool claims_nts(std::string_view text) {
  LineReader lines(text);
  std::string_view line;
  bool comment = false;
  while (lines.next(line)) {
    if (is_blank_text(line)) continue;
    if (is_comment(line)) {
      comment = true;
      continue;
    }
    const std::optional<NtsHeader> h = parse_nts_header(line);
    if (!h) return comment;
    if (comment || h->row_labels || h->col_labels || h->dim || h->fields == 4) return true;
    // Five plain numbers: a header only when the numbers it announces follow.
    const auto announced =
        static_cast<unsigned long long>(h->rows) * static_cast<unsigned long long>(h->cols);
    return h->type == 1 && h->rows > 0 && h->cols > 0 &&
           h->rows <= static_cast<long>(text.size()) && h->cols <= static_cast<long>(text.size()) &&
           announced == count_tokens(lines);
  }
  return comment;
}

}  // namespace

const LandmarkFormat& nts_landmark_format() {
  static const LandmarkFormat f{
      "NTS",
      claims_nts,
      parse_nts,
      nullptr,
      ".nts",
      "NTS files (*.nts)",
      "NTS (a header of rows and columns, then the coordinates)",
      "| NTS | a header `1 rows cols missing`, maybe after comment lines starting with `\"` | "
      "the coordinates; names from the row labels | no |",
  };
  return f;
}

}  // namespace qiv
