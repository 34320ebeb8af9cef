#include "protocol/protocol_model.h"

#include <cassert>
#include <cmath>
#include <cstdio>

#include "platform/text.h"

namespace qiv {

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

std::string protocol_file_text(const Protocol& protocol) {
  const Matrix proto = protocol.table();
  std::string out;
  for (Eigen::Index i = 0; i < proto.rows(); ++i) {
    out += integer_text(proto(i, 0)) + ' ' + integer_text(proto(i, 1)) + ' ' +
           integer_text(proto(i, 2)) + " \n";
  }
  return out;
}

std::optional<std::string> check_protocol_table(const Matrix& table, Eigen::Index k,
                                                const std::string& name) {
  if (table.rows() == 0) return std::nullopt;
  if (table.cols() != 3) {
    return "Line 1 of " + name + " holds " + count_text(table.cols()) +
           "; a protocol line holds three: its number and its two landmark numbers.";
  }
  if (table.rows() == 1 && table(0, 0) == -1 && table(0, 1) == -1 && table(0, 2) == -1)
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

std::optional<std::string> check_protocol_fits(const Protocol& proto, Eigen::Index k) {
  for (Eigen::Index i = 0; i < proto.count(); ++i) {
    const ProtocolLine& l = proto.line(i);
    if (!is_landmark(l.first, k) || !is_landmark(l.second, k)) {
      return "Protocol line " + std::to_string(static_cast<long long>(i + 1)) + " joins " +
             num2str(l.first) + " and " + num2str(l.second) +
             "; the mean shape has landmarks 1 to " + std::to_string(static_cast<long long>(k)) +
             ".";
    }
  }
  return std::nullopt;
}

}  // namespace qiv
