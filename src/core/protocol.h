#pragma once
// The protocol: numbered lines, each joining two landmarks of the mean shape.
//
// A protocol without lines comes in two kinds, which differ only in their file form and in
// how a redraw treats them: the one "New" starts (saved as the single row "-1 -1 -1", and its
// redraw leaves the picture as it is) and the one an empty file or deleting the last line
// leaves (saved as no text, redrawn as a picture without lines). The -1 row exists only in
// the table form (table(), the file, `state proto`); the lines never hold it.
#include <vector>

#include "base/matrix.h"

namespace qiv {

// One line: the number stored with it (written to the file as it is, not renumbered when a
// line above goes) and the landmark numbers, from 1, of its two ends.
struct ProtocolLine {
  double number = 0;
  double first = 0;
  double second = 0;
  bool operator==(const ProtocolLine&) const = default;
};

class Protocol {
 public:
  // No lines, saved as no text.
  Protocol() = default;
  // What "New" starts: no lines, saved as "-1 -1 -1" until its first line.
  static Protocol started();
  // The protocol of a table of three columns (number, first end, second end), one row per
  // line. A table of no rows has no lines; one whose row 1 starts with -1 is started().
  static Protocol from_table(const Matrix& table);
  // The table form: a row per line; the row -1 -1 -1 for started(); 0 x 3 for no lines.
  Matrix table() const;

  const std::vector<ProtocolLine>& lines() const { return lines_; }
  // The number of lines the user works with.
  Eigen::Index count() const { return static_cast<Eigen::Index>(lines_.size()); }
  bool empty() const { return lines_.empty(); }
  // True for the protocol "New" started, before its first line.
  bool is_started() const { return started_; }
  // Line i, 0-based; i below count().
  const ProtocolLine& line(Eigen::Index i) const { return lines_[static_cast<std::size_t>(i)]; }

  // True when a line joins a and b, in either orientation.
  bool has_line(double a, double b) const;
  // Writes the line as line `i` (0-based): i == count() appends, a smaller i replaces.
  void put(Eigen::Index i, const ProtocolLine& line);
  // Removes line i (0-based), keeping the order of the others; numbers stay as they are.
  void remove(Eigen::Index i);

  bool operator==(const Protocol&) const = default;

 private:
  std::vector<ProtocolLine> lines_;
  bool started_ = false;
};

}  // namespace qiv
