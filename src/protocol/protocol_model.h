#pragma once
// The protocol file text, and the checks a protocol read from a file must pass before it
// replaces the one in use (the Protocol type itself is in core/protocol.h).
#include <optional>
#include <string>

#include "base/matrix.h"
#include "core/protocol.h"
#include "core/typed_number.h"

namespace qiv {

// The protocol file: one text line "%i %i %i \n" per row of its table, top row first. A
// started protocol saves as "-1 -1 -1 \n", one without lines as no text at all.
std::string protocol_file_text(const Protocol& proto);

// Checks a table read from the protocol file `name` against a mean shape of k landmarks.
// Accepted: no rows at all; the single marker row; rows of three numbers whose first is a
// whole number not below 0 and whose ends are whole numbers from 1 to k. Returns the text of
// the refusal, which names the file and the first bad line, or nothing when the table is a
// protocol.
std::optional<std::string> check_protocol_table(const Matrix& table, Eigen::Index k,
                                                const std::string& name);

// The first row whose ends do not name landmarks 1 to k, as a refusal text; nothing when the
// protocol fits the mean shape. Empty protocols always fit.
std::optional<std::string> check_protocol_fits(const Protocol& proto, Eigen::Index k);

}  // namespace qiv
