// Landmark tables as spreadsheets and R write them (CSV), read and written.
//
// The first line that is not blank is a header of labels (at least one of them not a
// number); then one specimen per row: an optional first column of names, quoted or not, then
// x1, y1, ..., xk, yk, and optionally a last column labelled centroid_size. Fields are
// separated by commas, tabs or semicolons: whichever the header holds most of outside quotes
// (a tie goes to the tab, then the semicolon). With semicolons a decimal comma reads as a
// decimal point. A quoted field may hold the separator, and "" for a quote; blanks around a
// field are dropped. Rows of nothing but blanks and separators are skipped.
//
// The first column holds names when its label is empty (R's row names), when the first row's
// first field is not a number, or when the columns after it would otherwise not pair into x
// and y. Each specimen's trailing value is its centroid_size column when there is one (so
// that what the program writes reads back exactly), else the centroid size of its
// coordinates, as for TPS. Names that are empty become the specimen's number.
#include <charconv>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/failure.h"
#include "data/number_text.h"
#include "data/specimen_file.h"
#include "data/text_fields.h"
#include "geometry/landmark_row.h"
#include "platform/input_file.h"

namespace qiv {
namespace {

struct Field {
  std::string_view text;  // without blanks around it; a quoted field without its quotes
  bool quoted = false;
  bool escaped = false;  // holds "" for a quote
};

enum class SplitError { kNone, kOpenQuote, kAfterQuote };

// Splits one line into fields, calling put(field) for each. Returns the first error and the
// column (from 1) where it stands.
template <typename Put>
SplitError split_fields(std::string_view line, char sep, Put put, std::size_t& column) {
  const char* p = line.data();
  const char* const end = p + line.size();
  column = 0;
  auto blank = [sep](char c) { return c != sep && is_blank_char(c); };
  for (;;) {
    ++column;
    while (p != end && blank(*p)) ++p;
    Field f;
    if (p != end && *p == '"') {
      const char* const start = ++p;
      for (;;) {
        while (p != end && *p != '"') ++p;
        if (p == end) return SplitError::kOpenQuote;
        if (p + 1 != end && p[1] == '"') {
          f.escaped = true;
          p += 2;
          continue;
        }
        break;
      }
      f.text = std::string_view(start, static_cast<std::size_t>(p - start));
      f.quoted = true;
      ++p;
      while (p != end && blank(*p)) ++p;
      if (p != end && *p != sep) return SplitError::kAfterQuote;
    } else {
      const char* const start = p;
      while (p != end && *p != sep) ++p;
      const char* e = p;
      while (e != start && blank(e[-1])) --e;
      f.text = std::string_view(start, static_cast<std::size_t>(e - start));
    }
    put(f);
    if (p == end) return SplitError::kNone;
    ++p;  // the separator
  }
}

std::string unescaped(const Field& f) {
  if (!f.escaped) return std::string(f.text);
  std::string out;
  for (std::size_t i = 0; i < f.text.size(); ++i) {
    out += f.text[i];
    if (f.text[i] == '"') ++i;  // "" stands for one quote
  }
  return out;
}

// The separator the header uses, or 0 when it has none outside quotes.
char header_separator(std::string_view line) {
  std::size_t tabs = 0, semicolons = 0, commas = 0;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    tabs += c == '\t';
    semicolons += c == ';';
    commas += c == ',';
  }
  if (tabs == 0 && semicolons == 0 && commas == 0) return 0;
  if (tabs >= semicolons && tabs >= commas) return '\t';
  return semicolons >= commas ? ';' : ',';
}

// A field read as a number: any decimal notation, and with semicolons a decimal comma.
bool field_number(const Field& f, bool decimal_comma, double& v) {
  std::string_view t = f.text;
  if (t.empty()) return false;
  char buffer[128];
  if (decimal_comma && t.find(',') != std::string_view::npos) {
    if (t.size() >= sizeof buffer || t.find('.') != std::string_view::npos) return false;
    std::size_t commas = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
      buffer[i] = t[i] == ',' ? (++commas, '.') : t[i];
    }
    if (commas > 1) return false;
    t = std::string_view(buffer, t.size());
  }
  const char* b = t.data();
  const char* e = b + t.size();
  return read_number(b, e, v) == e;
}

// Whether a line holds nothing but blanks and separators: an empty spreadsheet row.
bool is_empty_row(std::string_view line, char sep) {
  for (char c : line)
    if (c != sep && !is_blank_char(c)) return false;
  return true;
}

bool next_row(LineReader& lines, std::string_view& line, char sep) {
  while (lines.next(line))
    if (!is_empty_row(line, sep)) return true;
  return false;
}

bool claims_csv(std::string_view text) {
  LineReader lines(text);
  std::string_view line;
  if (!next_row(lines, line, ' ')) return false;
  const char sep = header_separator(line);
  if (sep == 0) return false;
  std::size_t fields = 0;
  bool label = false;
  std::size_t column = 0;
  const bool decimal_comma = sep == ';';
  if (split_fields(
          line, sep,
          [&](const Field& f) {
            double v = 0;
            ++fields;
            label = label || f.quoted || !field_number(f, decimal_comma, v);
          },
          column) != SplitError::kNone ||
      fields < 2 || !label) {
    return false;
  }
  // A second row, if any, is split by the same separator.
  if (!next_row(lines, line, sep)) return true;
  // A row whose quotes the reader will refuse is taken as the file's: its message is the CSV
  // reader's.
  return split_fields(
             line, sep, [](const Field&) {}, column) != SplitError::kNone ||
         column >= 2;
}

std::string columns_text(std::size_t n) {
  return std::to_string(n) + (n == 1 ? " column" : " columns");
}

SpecimenData read_csv(std::string_view text, const std::string& fname) {
  const std::string head = "Cannot read " + std::filesystem::path(fname).filename().string() + ": ";
  LineReader lines(text);
  std::string_view line;
  next_row(lines, line, ' ');
  const char sep = header_separator(line);
  const bool decimal_comma = sep == ';';
  std::vector<std::string> labels;
  std::size_t column = 0;
  split_fields(
      line, sep, [&](const Field& f) { labels.push_back(unescaped(f)); }, column);
  const std::size_t c = labels.size();
  auto label_of = [&](std::size_t col) { return " (" + labels[col - 1] + ")"; };

  if (!next_row(lines, line, sep)) throw Failure(head + "the header is followed by no specimens.");
  const bool size_column = ascii_upper(trim_blanks(labels.back())) == "CENTROID_SIZE";
  bool names = labels.front().empty() || (c - size_column) % 2 == 1;
  if (!names) {
    double v = 0;
    bool first = true;
    split_fields(
        line, sep,
        [&](const Field& f) {
          if (first) names = !field_number(f, decimal_comma, v);
          first = false;
        },
        column);
  }
  const std::size_t coordinates = c - names - size_column;
  if (coordinates == 0 || coordinates % 2 == 1) {
    throw Failure(head + "the header has " + std::to_string(coordinates) +
                  " coordinate columns; landmark data need x and y of each landmark, an even "
                  "number of at least 2.");
  }
  const auto k = static_cast<Eigen::Index>(coordinates / 2);
  const Eigen::Index n = 2 * k + 1;

  SpecimenData out;
  Eigen::Index capacity = static_cast<Eigen::Index>(text.size() / (line.size() + 1) +
                                                    text.size() / (line.size() + 1) / 4 + 16);
  Matrix table(capacity, n);
  Eigen::Index rows = 0;
  do {
    if (rows == capacity) {
      capacity *= 2;
      table.conservativeResize(capacity, Eigen::NoChange);
    }
    double* row = table.data() + rows * n;
    std::size_t count = 0;
    std::string name;
    std::string problem;
    const SplitError e = split_fields(
        line, sep,
        [&](const Field& f) {
          const std::size_t col = ++count;
          if (!problem.empty() || col > c) return;
          if (names && col == 1) {
            name = unescaped(f);
            return;
          }
          double v = 0;
          if (!field_number(f, decimal_comma, v)) {
            problem = ", column " + std::to_string(col) + label_of(col) +
                      (f.text.empty() ? " is empty."
                                      : ": \"" + quoted_excerpt(f.text) + "\" is not a number.");
            return;
          }
          row[col - 1 - names] = v;
        },
        column);
    const std::string at = e != SplitError::kNone || count != c || !problem.empty()
                               ? "row " + std::to_string(lines.line_number())
                               : std::string();
    if (!problem.empty()) throw Failure(head + at + problem);
    if (e != SplitError::kNone) {
      throw Failure(head + at + ", column " + std::to_string(column) +
                    (e == SplitError::kOpenQuote
                         ? ": the quote that opens the field does not close."
                         : ": text follows the closing quote."));
    }
    if (count != c) {
      throw Failure(head + at + " has " + columns_text(count) + ", but the header has " +
                    std::to_string(c) + ".");
    }
    if (!size_column) row[2 * k] = landmark_row::centroid_size(row, k);
    ++rows;
    if (names) out.names.push_back(name.empty() ? std::to_string(rows) : std::move(name));
  } while (next_row(lines, line, sep));
  table.conservativeResize(rows, n);
  out.table = std::move(table);
  if (!names) {
    out.names = numbered_names(rows);
    out.numbered_names = true;
  }
  out.trailing_read = size_column;
  return out;
}

// A name as a CSV field: quoted when it holds what would end or split it.
void put_name(std::string& out, const std::string& name) {
  const bool quote = name.empty() || name.find_first_of(",;\t\"\r\n") != std::string::npos ||
                     is_blank_char(name.front()) || is_blank_char(name.back());
  if (!quote) {
    out += name;
    return;
  }
  out += '"';
  for (char ch : name) {
    if (ch == '"') out += '"';
    out += ch;
  }
  out += '"';
}

std::string write_csv(const Matrix& table, const std::vector<std::string>& names) {
  const Eigen::Index n = table.cols();
  const Eigen::Index p = (n - 1) / 2;
  std::string out = "specimen";
  for (Eigen::Index j = 1; j <= p; ++j) out += ",x" + std::to_string(j) + ",y" + std::to_string(j);
  out += ",centroid_size\n";
  char buffer[64];
  for (Eigen::Index i = 0; i < table.rows(); ++i) {
    const auto r = static_cast<std::size_t>(i);
    put_name(out, r < names.size() ? names[r] : std::to_string(i + 1));
    for (Eigen::Index j = 0; j < n; ++j) {
      const auto res = std::to_chars(buffer, buffer + sizeof buffer, table(i, j));
      out += ',';
      out.append(buffer, res.ptr);
    }
    out += '\n';
  }
  return out;
}

}  // namespace

const LandmarkFormat& csv_landmark_format() {
  static const LandmarkFormat f{
      "CSV",
      claims_csv,
      read_csv,
      write_csv,
      ".csv",
      "CSV files (*.csv)",
      "CSV (a header row of labels, names in the first column; commas, tabs or semicolons)",
      "| CSV | a first line of labels separated by commas, tabs or semicolons | the coordinates "
      "(with semicolons a decimal comma is a point), `centroid_size` as written; names from "
      "the first column | for a name ending in `.csv` |",
  };
  return f;
}

}  // namespace qiv
