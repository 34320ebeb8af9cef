#pragma once
// Landmark data in the three kinds of file that "Load" reads, told apart by their content,
// never by the file name:
//
//  - TPS: the first line that is not blank starts with "LM=" or "LM3=" (any case, blanks
//    around "=" allowed). Read by parse_tps (data/tps_file.h).
//  - NTS: after any blank lines and comment lines (first character that is not a blank a
//    double quote), the first line is an NTS header: type, rows, columns, missing-data flag
//    and, when the flag is set, the missing-data code; rows and columns may carry an "L"
//    (labels follow) and a "DIM=d" field may stand anywhere on the line. Read by parse_nts
//    (data/nts_file.h).
//  - Otherwise the program's own landmark data file, read as dload reads it.
//
// An NTS header and a line of the program's own file can look alike only when the header is
// five plain numbers (type 1, rows, columns, flag 0 or 1, code): an own file's line holds an
// odd count of numbers, so four fields, an "L", a "DIM=" field or a comment line before it
// make a header, and so does no other line. Five plain numbers make a header only when the
// file holds exactly rows x columns numbers after that line (not counting comment lines);
// otherwise the file is the program's own, of two landmarks per line.
//
// Every reader gives the same table: one specimen per row, x1 y1 ... xk yk, then the trailing
// value. For the own file the trailing value is the file's; for TPS and NTS it is the
// centroid size of the specimen's coordinates as read (after a TPS SCALE).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix.h"

namespace qiv {

enum class SpecimenFormat { kOwn, kTps, kNts };

struct SpecimenData {
  SpecimenFormat format = SpecimenFormat::kOwn;
  Matrix table;                    // m x 2k + 1
  std::vector<std::string> names;  // one per row: TPS ID or image, NTS row label, or 1..m
  std::vector<std::string> notes;  // console lines about what was read and left out
};

// The kind of the text, by the rules above.
SpecimenFormat specimen_format(std::string_view text);

// Reads text (after any UTF-8 byte order mark) as its kind. fname names the file in
// messages (without its folder). Throws Failure "Cannot read NAME: ..." for what the reader of
// that kind refuses.
SpecimenData parse_specimen_text(std::string_view text, const std::string& fname);

// Reads the file through read_input_file. Nothing when it cannot be opened (missing, no
// permission); Failure for what read_input_file (a folder, FIFO or device, as for dload) or
// the reader refuses.
std::optional<SpecimenData> read_specimen_file(const std::string& path);

// The names 1..m, for the program's own files.
std::vector<std::string> numbered_names(Eigen::Index m);

}  // namespace qiv
