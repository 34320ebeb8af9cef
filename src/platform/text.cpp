#include "platform/text.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <vector>

namespace qiv {
namespace {

bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (to_lower(a[i]) != to_lower(b[i])) return false;
  return true;
}

// One number token, or false.
bool parse_number(std::string_view tok, double& out) {
  if (tok.empty()) return false;
  std::string_view body = tok;
  bool negative = false;
  if (body.front() == '+' || body.front() == '-') {
    negative = body.front() == '-';
    body.remove_prefix(1);
    if (body.empty() || body.front() == '+' || body.front() == '-') return false;
  }
  if (iequals(body, "inf")) {
    out = negative ? -std::numeric_limits<double>::infinity()
                   : std::numeric_limits<double>::infinity();
    return true;
  }
  if (iequals(body, "nan")) {
    out = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  // from_chars would also take "infinity" and "nan(...)"; only plain decimal notation here.
  for (char c : body) {
    bool ok = (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
    if (!ok) return false;
  }
  double v = 0;
  auto [ptr, ec] = std::from_chars(body.data(), body.data() + body.size(), v);
  if (ptr != body.data() + body.size()) return false;
  if (ec == std::errc::result_out_of_range) {
    // Overflow saturates to infinity and underflow to zero, as typed numbers like 1e400 mean.
    bool big = false;
    size_t e = body.find_first_of("eE");
    if (e != std::string_view::npos && e + 1 < body.size() && body[e + 1] != '-') big = true;
    v = big ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (ec != std::errc()) {
    return false;
  }
  out = negative ? -v : v;
  return true;
}

// A token that may be a range a:b or a:s:b. Appends its numbers to out.
bool parse_token(std::string_view tok, std::vector<double>& out) {
  size_t c1 = tok.find(':');
  if (c1 == std::string_view::npos) {
    double v;
    if (!parse_number(tok, v)) return false;
    out.push_back(v);
    return true;
  }
  std::vector<double> parts;
  size_t start = 0;
  while (true) {
    size_t c = tok.find(':', start);
    double v;
    if (!parse_number(tok.substr(start, c - start), v)) return false;
    parts.push_back(v);
    if (c == std::string_view::npos) break;
    start = c + 1;
  }
  if (parts.size() > 3) return false;
  double a = parts[0];
  double s = parts.size() == 3 ? parts[1] : 1.0;
  double b = parts.back();
  if (std::isnan(a) || std::isnan(s) || std::isnan(b) || std::isinf(a) || std::isinf(b)) {
    return false;
  }
  if (s == 0 || (s > 0 && a > b) || (s < 0 && a < b)) return true;  // empty run
  double n = std::floor((b - a) / s * (1 + 1e-12)) + 1;
  // A run long enough to exhaust memory is not something a user types on purpose.
  if (!(n <= 1e5)) return false;
  for (long i = 0; i < static_cast<long>(n); ++i) out.push_back(a + static_cast<double>(i) * s);
  return true;
}

}  // namespace

Matrix str2num(std::string_view text) {
  std::string_view t = text;
  auto trim = [](std::string_view s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string_view::npos) return std::string_view();
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
  };
  t = trim(t);
  if (!t.empty() && t.front() == '[') {
    if (t.back() != ']') return Matrix();
    t = trim(t.substr(1, t.size() - 2));
  }
  std::vector<std::vector<double>> rows;
  size_t pos = 0;
  while (pos <= t.size()) {
    size_t end = t.find_first_of(";\n\r", pos);
    std::string_view line = t.substr(pos, end == std::string_view::npos ? end : end - pos);
    std::vector<double> r;
    size_t p = 0;
    while (p < line.size()) {
      while (p < line.size() && (line[p] == ' ' || line[p] == '\t' || line[p] == ',')) ++p;
      if (p >= line.size()) break;
      size_t q = p;
      while (q < line.size() && line[q] != ' ' && line[q] != '\t' && line[q] != ',') ++q;
      if (!parse_token(line.substr(p, q - p), r)) return Matrix();
      p = q;
    }
    if (!r.empty()) rows.push_back(std::move(r));
    if (end == std::string_view::npos) break;
    pos = end + 1;
  }
  if (rows.empty()) return Matrix();
  size_t n = rows.front().size();
  for (const auto& r : rows)
    if (r.size() != n) return Matrix();
  Matrix m(static_cast<Eigen::Index>(rows.size()), static_cast<Eigen::Index>(n));
  for (size_t i = 0; i < rows.size(); ++i)
    for (size_t j = 0; j < n; ++j)
      m(static_cast<Eigen::Index>(i), static_cast<Eigen::Index>(j)) = rows[i][j];
  return m;
}

std::string num2str(double v) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v > 0 ? "Inf" : "-Inf";
  if (v == std::floor(v) && std::fabs(v) < 1e15) {
    return sprintf_str("%.0f", v == 0 ? 0.0 : v);
  }
  return sprintf_str("%.5g", v);
}

std::string num2str(const Matrix& m) {
  if (m.size() == 0) return "";
  std::vector<std::string> cells(static_cast<size_t>(m.size()));
  size_t width = 0;
  for (Eigen::Index i = 0; i < m.rows(); ++i)
    for (Eigen::Index j = 0; j < m.cols(); ++j) {
      std::string& c = cells[static_cast<size_t>(i * m.cols() + j)];
      c = num2str(m(i, j));
      width = std::max(width, c.size());
    }
  std::vector<std::string> lines;
  size_t common = std::string::npos;
  for (Eigen::Index i = 0; i < m.rows(); ++i) {
    std::string line;
    for (Eigen::Index j = 0; j < m.cols(); ++j) {
      if (j > 0) line += "  ";
      const std::string& c = cells[static_cast<size_t>(i * m.cols() + j)];
      line.append(width - c.size(), ' ');
      line += c;
    }
    common = std::min(common, line.find_first_not_of(' '));
    lines.push_back(std::move(line));
  }
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += '\n';
    out += lines[i].substr(common);
  }
  return out;
}

std::string sprintf_str(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(n));
  }
  va_end(args);
  return out;
}

std::string format_g17(double v) {
  // The C library writes "nan" or "-nan" by the sign bit; one spelling reads better.
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v > 0 ? "Inf" : "-Inf";
  return sprintf_str("%.17g", v);
}

std::string format_matrix_g17(const Matrix& m, const char* col_sep, const char* row_sep) {
  std::string out;
  for (Eigen::Index i = 0; i < m.rows(); ++i) {
    if (i > 0) out += row_sep;
    for (Eigen::Index j = 0; j < m.cols(); ++j) {
      if (j > 0) out += col_sep;
      out += format_g17(m(i, j));
    }
  }
  return out;
}

std::string escape_newlines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

bool is_blank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

std::string_view trim_blanks(std::string_view line) {
  constexpr std::string_view kBlanks = " \t\v\f";
  const std::size_t first = line.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return line.substr(first, line.find_last_not_of(kBlanks) - first + 1);
}

std::string quoted_excerpt(std::string_view text) {
  constexpr std::size_t kMax = 40;
  std::string out(text.substr(0, kMax));
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  if (text.size() > kMax) out += "...";
  return out;
}

char to_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string to_lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = to_lower(c);
  return out;
}

}  // namespace qiv
