#pragma once
// Refusals shared by the actions: each shows its message box and returns false when what an
// action needs is missing, so the action can end with nothing changed.
#include "core/context.h"

namespace qiv {

// data, reference and figh hold values: "Load a landmark data file first."
bool require_loaded(Context& ctx);

// proto holds a value: "Load a protocol file or start a new protocol first."
bool require_protocol(Context& ctx);

}  // namespace qiv
