#pragma once
// The secondary windows of the subset and back-reflection tools: opening one from its layout
// in the home directory, and handing the focus back to it after drawing in the main window.
#include <string>

#include "core/context.h"

namespace qiv {

// Changes to the home directory (figdir; the current one when figdir holds no value), opens
// the layout with the reuse policy, stores the window in menufigh, sets markerh to -1 (no
// mark tracked), and returns to the directory it came from, also when opening fails.
Handle open_secondary_window(Context& ctx, const std::string& layout);

// Makes menufigh current when it names an open figure; otherwise the current figure stays.
void make_menu_window_current(Context& ctx);

}  // namespace qiv
