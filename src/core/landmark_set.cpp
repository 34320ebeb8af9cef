#include "core/landmark_set.h"

#include <algorithm>
#include <cmath>

#include "base/matrix.h"
#include "core/typed_number.h"
#include "platform/text.h"

namespace qiv {

std::vector<double> landmark_list(std::string_view text) {
  const Matrix m = str2num(text);
  std::vector<double> list;
  if (m.rows() > 1) {
    for (Eigen::Index i = 0; i < m.rows(); ++i)
      for (Eigen::Index j = 0; j < m.cols(); ++j)
        if (m(i, j) != 0) list.push_back(m(i, j));
  } else {
    list.assign(m.data(), m.data() + m.size());
  }
  return list;
}

bool is_landmark_number(double v, long k) {
  return v >= 1 && v <= static_cast<double>(k) && v == std::floor(v);
}

std::string left_out_text(const std::vector<double>& list, long k) {
  std::vector<std::string> named;
  for (double v : list) {
    if (is_landmark_number(v, k)) continue;
    std::string n = num2str(v);
    if (std::find(named.begin(), named.end(), n) == named.end()) named.push_back(std::move(n));
  }
  if (named.empty()) return "";
  std::string out = "Left out: ";
  for (std::size_t i = 0; i < named.size(); ++i) out += (i ? ", " : "") + named[i];
  return out + " (landmarks are 1\u2013" + std::to_string(k) + ")";
}

std::vector<bool> landmark_flags(const std::vector<double>& list, long k) {
  std::vector<bool> flags(static_cast<std::size_t>(k > 0 ? k : 0), false);
  for (double v : list)
    if (is_landmark_number(v, k)) flags[static_cast<std::size_t>(v) - 1] = true;
  return flags;
}

std::vector<long> flagged_landmarks(const std::vector<bool>& flags) {
  std::vector<long> out;
  for (std::size_t j = 0; j < flags.size(); ++j)
    if (flags[j]) out.push_back(static_cast<long>(j) + 1);
  return out;
}

namespace {

std::string_view drop_trailing_space(std::string_view s) {
  while (!s.empty()) {
    const char c = s.back();
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f') break;
    s.remove_suffix(1);
  }
  return s;
}

}  // namespace

std::string strcat_text(std::string_view a, std::string_view b) {
  std::string out(drop_trailing_space(a));
  out += drop_trailing_space(b);
  return out;
}

std::string inverted_subset_text(const std::vector<bool>& flags) {
  std::string text = "  ";
  for (std::size_t j = 0; j < flags.size(); ++j) {
    if (!flags[j]) text = strcat_text(text, sprintf_str(" %i ", static_cast<int>(j + 1)));
  }
  return text;
}

std::optional<long> single_landmark_number(std::string_view text, long k) {
  const std::optional<double> j = whole_number_in(text, 1, static_cast<double>(k));
  if (!j) return std::nullopt;
  return static_cast<long>(*j);
}

std::string landmark_range_message(long k) {
  return "Enter a landmark number from 1 to " + std::to_string(k) + ".";
}

}  // namespace qiv
