#pragma once
// The TPS landmark file, read and written.
//
// A record is a line "LM=k" followed by k lines "x y", then any of the lines "IMAGE=",
// "ID=", "SCALE=", "COMMENT=", "VARIABLES=" in any order, up to the next "LM=" line. Keys are
// read in any case, with blanks allowed around "="; blank lines may stand anywhere between
// lines of records; numbers are separated by blanks, tabs or commas. A "CURVES=c" line and
// its "POINTS=p" blocks (p lines of points each) are skipped: only landmarks are loaded, and
// one note says how many curve points were left out. Any other "KEY=value" line is skipped.
//
// Every record must have as many landmarks as the first. Coordinates are read as written;
// each record's SCALE is kept in SpecimenData::scales, for settle_units (specimen_file.h) to
// apply when every record has one. A record's name is its ID, else its IMAGE without folder
// and extension, else its number from 1.
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix.h"
#include "data/specimen_file.h"

namespace qiv {

// Reads a TPS text (no byte order mark). Throws Failure "Cannot read NAME: ..." naming the
// record (its name) and the line for: a landmark count unlike the first record's, fewer
// coordinate lines than the count, more coordinate lines, a line of coordinates that is not
// x and y, a token that is not a number, an "LM=" value that is not a count, a SCALE that is
// not a finite number, a short POINTS block, and any "LM3=" (3-D) record.
SpecimenData parse_tps(std::string_view text, const std::string& fname);

// The TPS text of table (m x 2p + 1: coordinates of unit centroid size, then the size): per
// specimen "LM=p", its p points as "x y" with the coordinates multiplied by the size, and
// "ID=" its name (names[i], or i + 1 where names is shorter); every number in the shortest
// form that reads back as the same double. Lines end with a line feed.
std::string format_tps(const Matrix& table, const std::vector<std::string>& names);

// Whether a line opens a TPS record: "LM=" or "LM3=" in any case, blanks allowed.
bool is_tps_record_start(std::string_view line);

// Whether a file name asks for TPS: it ends in ".tps", in any case.
bool is_tps_name(std::string_view name);

}  // namespace qiv
