#pragma once
// The length of every protocol line in every specimen, in the units of the original file:
// the distance between the line's two landmarks in the superimposed coordinates times the
// specimen's trailing value (its centroid size).
#include <optional>
#include <string>
#include <vector>

#include "base/matrix.h"
#include "core/protocol.h"

namespace qiv {

// data: n specimens by 2k + 1 columns; proto: every end a landmark from 1 to k. Returns n
// rows by one column per line, in protocol order.
Matrix line_lengths(const Matrix& data, const Protocol& proto);

// The first protocol line (from 1) naming a landmark outside 1..k, with that landmark.
struct LineOutsideData {
  long long line;
  double landmark;
};
std::optional<LineOutsideData> find_line_outside_data(const Protocol& proto, long long k);
// "Protocol line 2 joins landmark 4, which the data lack: they have landmarks 1 to 3."
std::string line_outside_data_message(const LineOutsideData& bad, long long k);

// The label of protocol line l (0-based) in files meant for spreadsheets: "L1_a-b", the line's
// position from 1 and its two landmarks.
std::string line_label(const Protocol& proto, Eigen::Index l);

// A text as one CSV field: as it is, or in double quotes (inner quotes doubled) when it holds a
// comma, a double quote or a line end.
std::string csv_field(const std::string& text);

// The CSV text: "specimen,L1_a-b,...", then per specimen its label and each length as
// "%.10g", "\n" line ends. The label is the row number from 1, or row_labels[row] when given
// (one per specimen, through csv_field).
std::string lengths_csv(const Protocol& proto, const Matrix& lengths,
                        const std::vector<std::string>* row_labels = nullptr);

}  // namespace qiv
