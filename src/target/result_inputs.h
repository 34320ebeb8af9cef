#pragma once
// What a shown modularity result was computed from: the data, the protocol and the blocks.
// The result line names the data file; the saved report names all three files; and the target
// window keeps, beside the line, a record of the inputs, so that after any later action the
// line says when one of them has changed since. A saved report is never rewritten.
#include <string>

#include "core/context.h"

namespace qiv {

// The line shown for a result: "leaves.txt: " before the summary when the data came from a
// named file, else the summary as it is.
std::string result_line(const SharedState& s, const std::string& summary);

// The report's closing lines, "data,NAME", "protocol,NAME" and "blocks,NAME" (CSV fields):
// the landmark file ("none" without one), the protocol file and the block structure file
// ("unsaved" for a protocol or blocks never read from or written to a file).
std::string result_inputs_report(const SharedState& s);

// Keeps, on the "ModularityText" control, the line just shown there and what it came from.
void remember_result_inputs(Context& ctx, const std::string& shown);

// mark_result_out_of_date (target_actions.h) checks the record after every action.

}  // namespace qiv
