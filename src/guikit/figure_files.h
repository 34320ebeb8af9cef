#pragma once
// Opening windows from layout files and keeping them on the screen.
#include <string>

#include "app/context.h"
#include "platform/runtime.h"

namespace qiv {

// Opens a window from a layout file with the policy "new" or "reuse"; returns its handle.
Handle openfig(Context& ctx, const std::string& filename, const std::string& policy = "new");

// Moves a window (given by any object inside it) to a named or [x y] position; the inputs
// come as from a call by name.
void movegui(Context& ctx, const Args& in);

}  // namespace qiv
