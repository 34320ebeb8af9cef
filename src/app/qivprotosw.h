#pragma once
// The action dispatcher: every user action in every window arrives here by name.
#include <array>
#include <string>

#include "core/context.h"

namespace qiv {

using ActionFn = void (*)(Context&);
struct ActionEntry {
  const char* name;
  ActionFn run;
};

// The 41 actions in the order the dispatcher tries them.
const std::array<ActionEntry, 41>& action_table();

// Actions added beside the 41, tried after them: "SaveLengths".
const std::array<ActionEntry, 7>& added_action_table();

// Runs the action whose name equals `action` exactly (whole string, case-sensitive). A name
// that matches none shows the message box "Fell through case" and changes nothing.
void qivprotosw(Context& ctx, const std::string& action);

// "SetHome": figdir becomes the current directory.
void set_home(Context& ctx);

}  // namespace qiv
