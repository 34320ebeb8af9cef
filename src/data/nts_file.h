#pragma once
// The NTS landmark file.
//
// Lines whose first character that is not a blank is a double quote are comments, anywhere.
// The header line reads "type rows cols missing [code] [DIM=d]": type 1 (a rectangular
// matrix); rows and cols whole numbers, either followed by "L" when labels follow; missing 1
// when the code after it marks missing values, else 0. Then, in free layout over any number
// of lines: the row labels (when rows has "L"), the column labels (when cols has "L"), and
// rows x cols numbers, one specimen per row: x1 y1 ... xk yk, so cols = 2k.
#include <optional>
#include <string>
#include <string_view>

#include "data/specimen_file.h"

namespace qiv {

struct NtsHeader {
  long type = 0;
  long rows = 0;
  long cols = 0;
  bool row_labels = false;
  bool col_labels = false;
  int missing = 0;             // the flag: 0 or 1
  std::optional<double> code;  // the field after the flag
  std::string code_text;       // as written, for messages
  std::optional<long> dim;     // from "DIM=d"
  int fields = 0;              // without the DIM field
};

// The header's fields, or nothing when the line is no NTS header: 4 or 5 fields besides an
// optional "DIM=d" (blanks around "=" allowed), the first a whole number, the second and third
// whole numbers from 0 with an optional "L" or "l", the fourth 0 or 1, the fifth a number.
std::optional<NtsHeader> parse_nts_header(std::string_view line);

// Reads an NTS text (no byte order mark). Throws Failure "Cannot read NAME: ..." for a
// missing or malformed header, a type other than 1, a DIM other than 2, an odd or zero
// column count, no rows, too few labels, a token that is not a number (naming the specimen
// and the line), too few or too many numbers, a set missing-data flag without a code, and a
// specimen that holds the missing-data code (naming it).
SpecimenData parse_nts(std::string_view text, const std::string& fname);

}  // namespace qiv
