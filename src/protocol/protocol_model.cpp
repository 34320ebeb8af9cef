#include "protocol/protocol_model.h"

#include <cassert>
#include <cmath>
#include <cstdio>

#include "platform/text.h"

namespace qiv {

Matrix empty_protocol() { return row({kEmptyMarker, kEmptyMarker, kEmptyMarker}); }

Matrix protocol_without_rows() { return Matrix(0, 3); }

bool is_empty_protocol(const Matrix& proto) {
  return proto.rows() == 0 || proto.cols() == 0 || proto(0, 0) == kEmptyMarker;
}

Eigen::Index protocol_lines(const Matrix& proto) {
  return is_empty_protocol(proto) ? 0 : proto.rows();
}

bool has_line(const Matrix& proto, double a, double b) {
  if (is_empty_protocol(proto)) return false;
  bool present = false;
  for (Eigen::Index i = 0; i < proto.rows(); ++i) {
    if ((proto(i, 1) == a && proto(i, 2) == b) || (proto(i, 1) == b && proto(i, 2) == a))
      present = true;
  }
  return present;
}

void put_line(Matrix& proto, Eigen::Index row_index, double number, double a, double b) {
  assert(proto.cols() == 3 && row_index >= 0 && row_index <= proto.rows());
  if (row_index == proto.rows()) proto.conservativeResize(proto.rows() + 1, Eigen::NoChange);
  proto(row_index, 0) = number;
  proto(row_index, 1) = a;
  proto(row_index, 2) = b;
}

void remove_line(Matrix& proto, Eigen::Index row_index) {
  assert(row_index >= 0 && row_index < proto.rows());
  const Eigen::Index below = proto.rows() - row_index - 1;
  if (below > 0) proto.middleRows(row_index, below) = proto.bottomRows(below).eval();
  proto.conservativeResize(proto.rows() - 1, Eigen::NoChange);
}

namespace {

// One value of the file as an integer, whatever its magnitude ("%.0f" of a whole number is
// its exact digits; adding 0.0 turns -0 into 0).
std::string integer_text(double v) {
  assert(is_whole(v));
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.0f", v + 0.0);
  return buf;
}

std::string count_text(Eigen::Index n) {
  if (n == 1) return "1 number";
  return std::to_string(static_cast<long long>(n)) + " numbers";
}

bool is_landmark(double v, Eigen::Index k) {
  return is_whole(v) && v >= 1 && v <= static_cast<double>(k);
}

}  // namespace

std::string protocol_file_text(const Matrix& proto) {
  std::string out;
  for (Eigen::Index i = 0; i < proto.rows(); ++i) {
    out += integer_text(proto(i, 0)) + ' ' + integer_text(proto(i, 1)) + ' ' +
           integer_text(proto(i, 2)) + " \n";
  }
  return out;
}

bool is_whole(double v) { return std::isfinite(v) && std::floor(v) == v; }

std::optional<std::string> check_protocol_table(const Matrix& table, Eigen::Index k,
                                                const std::string& name) {
  if (table.rows() == 0) return std::nullopt;
  if (table.cols() != 3) {
    return "Line 1 of " + name + " holds " + count_text(table.cols()) +
           "; a protocol line holds three: its number and its two landmark numbers.";
  }
  if (table.rows() == 1 && table(0, 0) == kEmptyMarker && table(0, 1) == kEmptyMarker &&
      table(0, 2) == kEmptyMarker)
    return std::nullopt;
  for (Eigen::Index i = 0; i < table.rows(); ++i) {
    const std::string line =
        "Line " + std::to_string(static_cast<long long>(i + 1)) + " of " + name;
    if (!is_whole(table(i, 0)) || table(i, 0) < 0) {
      return line + " starts with " + num2str(table(i, 0)) +
             "; a protocol line starts with its number, a whole number not below 0.";
    }
    if (!is_landmark(table(i, 1), k) || !is_landmark(table(i, 2), k)) {
      return line + " joins " + num2str(table(i, 1)) + " and " + num2str(table(i, 2)) +
             "; landmark numbers are whole numbers from 1 to " +
             std::to_string(static_cast<long long>(k)) + ".";
    }
  }
  return std::nullopt;
}

std::optional<std::string> check_protocol_fits(const Matrix& proto, Eigen::Index k) {
  if (is_empty_protocol(proto)) return std::nullopt;
  for (Eigen::Index i = 0; i < proto.rows(); ++i) {
    if (!is_landmark(proto(i, 1), k) || !is_landmark(proto(i, 2), k)) {
      return "Protocol line " + std::to_string(static_cast<long long>(i + 1)) + " joins " +
             num2str(proto(i, 1)) + " and " + num2str(proto(i, 2)) +
             "; the mean shape has landmarks 1 to " + std::to_string(static_cast<long long>(k)) +
             ".";
    }
  }
  return std::nullopt;
}

}  // namespace qiv
