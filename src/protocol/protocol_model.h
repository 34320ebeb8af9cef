#pragma once
// The protocol as a value: three columns per line (stored number, first end, second end),
// the empty marker row (-1, -1, -1), the protocol file text, and the checks a protocol read
// from a file must pass before it replaces the one in use.
//
// Two forms count as a protocol without lines: the marker row (what "NewProto" makes; the
// actions recognise it by proto(1,1) == -1 alone) and a matrix of no rows (what deleting the
// only line leaves, and what an empty protocol file loads as). Both draw no lines and take
// their next line as row 1.
#include <optional>
#include <string>

#include "base/matrix.h"

namespace qiv {

inline constexpr double kEmptyMarker = -1;

// The single row (-1, -1, -1).
Matrix empty_protocol();

// A protocol of no rows: 0 x 3.
Matrix protocol_without_rows();

// True for the marker form (row 1, column 1 is -1) and for a matrix of no rows.
bool is_empty_protocol(const Matrix& proto);

// The number of lines the user works with: 0 for either empty form, else the row count.
Eigen::Index protocol_lines(const Matrix& proto);

// True when a row of proto joins a and b, in either orientation. Every row is examined; an
// empty protocol holds no line.
bool has_line(const Matrix& proto, double a, double b);

// Writes (number, a, b) into row `row` (0-based); row == rows() appends. The marker row, if
// present, is replaced only when row is 0.
void put_line(Matrix& proto, Eigen::Index row, double number, double a, double b);

// Removes row `row` (0-based), keeping the order of the others; column 1 is not renumbered.
void remove_line(Matrix& proto, Eigen::Index row);

// The protocol file: one text line "%i %i %i \n" per row, top row first. The marker saves as
// "-1 -1 -1 \n", a protocol of no rows as no text at all. Values are whole numbers.
std::string protocol_file_text(const Matrix& proto);

// True for a finite number without a fractional part.
bool is_whole(double v);

// Checks a table read from the protocol file `name` against a mean shape of k landmarks.
// Accepted: no rows at all; the single marker row; rows of three numbers whose first is a
// whole number not below 0 and whose ends are whole numbers from 1 to k. Returns the text of
// the refusal, which names the file and the first bad line, or nothing when the table is a
// protocol.
std::optional<std::string> check_protocol_table(const Matrix& table, Eigen::Index k,
                                                const std::string& name);

// The first row whose ends do not name landmarks 1 to k, as a refusal text; nothing when the
// protocol fits the mean shape. Empty protocols always fit.
std::optional<std::string> check_protocol_fits(const Matrix& proto, Eigen::Index k);

}  // namespace qiv
