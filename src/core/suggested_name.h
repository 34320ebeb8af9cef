#pragma once
// The name a save dialog starts with: what is saved, after the landmark file it comes from.
#include <string>

#include "core/shared_state.h"

namespace qiv {

// "leaves_protocol.txt" for what "protocol" and extension ".txt" after "Load" read
// leaves.txt (or leaves.tps); "protocol.txt" when no file is loaded.
std::string suggested_name(const SharedState& s, const std::string& what,
                           const std::string& extension);

}  // namespace qiv
