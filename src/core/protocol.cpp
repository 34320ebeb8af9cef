#include "core/protocol.h"

#include <cassert>

namespace qiv {
namespace {

constexpr double kStartedMarker = -1;

}  // namespace

Protocol Protocol::started() {
  Protocol p;
  p.started_ = true;
  return p;
}

Protocol Protocol::from_table(const Matrix& table) {
  Protocol p;
  if (table.rows() == 0 || table.cols() == 0) return p;
  assert(table.cols() == 3);
  if (table(0, 0) == kStartedMarker) return started();
  p.lines_.reserve(static_cast<std::size_t>(table.rows()));
  for (Eigen::Index i = 0; i < table.rows(); ++i)
    p.lines_.push_back({table(i, 0), table(i, 1), table(i, 2)});
  return p;
}

Matrix Protocol::table() const {
  if (started_) return row({kStartedMarker, kStartedMarker, kStartedMarker});
  Matrix t(count(), 3);
  for (Eigen::Index i = 0; i < count(); ++i) {
    const ProtocolLine& l = line(i);
    t(i, 0) = l.number;
    t(i, 1) = l.first;
    t(i, 2) = l.second;
  }
  return t;
}

bool Protocol::has_line(double a, double b) const {
  for (const ProtocolLine& l : lines_)
    if ((l.first == a && l.second == b) || (l.first == b && l.second == a)) return true;
  return false;
}

void Protocol::put(Eigen::Index i, const ProtocolLine& line) {
  assert(i >= 0 && i <= count());
  started_ = false;
  if (i == count())
    lines_.push_back(line);
  else
    lines_[static_cast<std::size_t>(i)] = line;
}

void Protocol::remove(Eigen::Index i) {
  assert(i >= 0 && i < count());
  lines_.erase(lines_.begin() + i);
}

}  // namespace qiv
