#pragma once
// The analysis actions of the dispatcher, beside the 41 of the other windows.
#include "core/context.h"

namespace qiv {

// "SaveLengths": the length of every protocol line in every specimen as a CSV file.
void save_lengths(Context& ctx);

}  // namespace qiv
