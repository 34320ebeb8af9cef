#pragma once
// Landmark data in the kinds of file that "Load" reads, told apart by their content, never by
// the file name: the formats of landmark_formats() (data/landmark_format.h), tried in its
// order.
//
// Every reader gives the same table: one specimen per row, x1 y1 ... xk yk, then the trailing
// value. For the own file (and a CSV file with a centroid_size column) the trailing value is
// the file's; otherwise it is the centroid size of the specimen's coordinates as read (after
// a TPS SCALE, see settle_units).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix.h"
#include "data/landmark_format.h"

namespace qiv {

// Where rows of a (joined) data set come from, for messages about one specimen.
struct SpecimenSource {
  std::string file;             // without its folder
  Eigen::Index first_row = 0;   // its first row in the table
  bool rows_are_lines = false;  // the program's own file: specimens named by their line
  bool trailing_read = false;   // the trailing values are the file's, not computed
};

struct SpecimenData {
  const LandmarkFormat* format = nullptr;  // of the first file
  Matrix table;                            // m x 2k + 1
  std::vector<std::string> names;  // one per row: TPS ID or image, NTS row label, CSV name, 1..m
  std::vector<std::string> notes;  // console lines about what was read and left out
  // TPS: each record's SCALE, NaN where it has none; empty for files without SCALE lines.
  // Applied (or not) by settle_units.
  std::vector<double> scales;
  std::string units_note;  // set by settle_units when some records have no SCALE
  std::size_t curve_points = 0;
  bool numbered_names = false;          // the names are the rows' numbers 1..m
  bool rows_are_lines = false;          // see SpecimenSource
  bool trailing_read = false;           // see SpecimenSource
  std::vector<SpecimenSource> sources;  // set by parse_specimen_text and join_specimens
};

// The kind of the text.
const LandmarkFormat& specimen_format(std::string_view text);

// Reads text (after any UTF-8 byte order mark) as its kind, with its units settled. fname
// names the file in messages (without its folder). Throws Failure "Cannot read NAME: ..." for
// what the reader of that kind refuses.
SpecimenData parse_specimen_text(std::string_view text, const std::string& fname);
// The same with the coordinates as written: no SCALE applied yet.
SpecimenData parse_specimen_text_as_written(std::string_view text, const std::string& fname);

// Reads the file through read_input_file, units settled unless as_written. Nothing when it
// cannot be opened (missing, no permission); Failure for what read_input_file (a folder, FIFO
// or device, as for dload) or the reader refuses.
std::optional<SpecimenData> read_specimen_file(const std::string& path, bool as_written = false);

// Units that never mix: when every record has a SCALE, each record's coordinates are
// multiplied by it (and its trailing centroid size computed again); when some have one and
// others not, every record stays in the file's units and units_note says so; when none has
// one nothing changes. scales is emptied.
void settle_units(SpecimenData& d);

// Several files read as written, joined in order into one data set, units not yet settled.
// Every file must have the first's number of landmarks (else Failure "Cannot load NAME: ...",
// naming the first file that differs and both counts). When there are several, a file whose
// specimens are named by their numbers names them FILESTEM:ROW.
SpecimenData join_specimens(std::vector<SpecimenData> files);

// The names 1..m, for the program's own files.
std::vector<std::string> numbered_names(Eigen::Index m);

}  // namespace qiv
