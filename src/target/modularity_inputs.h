#pragma once
// What the modularity actions ("TestModularity", "CompareBlocks", "ShowCorrelations") check
// before they compute anything from the line lengths. Each needs loaded data and a protocol.
#include <optional>
#include <string>

#include "base/matrix.h"
#include "core/context.h"

namespace qiv {

// Why the data cannot give the protocol's line lengths a correlation: a line joins a landmark
// the data lack, or there are fewer than 3 specimens. Nothing when they can.
std::optional<std::string> lengths_unfit(const Context& ctx);

// The line lengths (specimens x lines), or nothing with *why set when a line has the same
// length in every specimen.
std::optional<Matrix> varying_lengths(const Context& ctx, std::string* why);

}  // namespace qiv
