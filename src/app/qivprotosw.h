#pragma once
// The action dispatcher: every user action in every window arrives here by name.
#include <span>
#include <string>
#include <vector>

#include "core/context.h"

namespace qiv {

using ActionFn = void (*)(Context&);
// How an action that Undo can take back names its step: a label ("Delete line") and the tag
// of a box whose text, as it was before the action, completes it ("Delete line 4").
struct UndoName {
  const char* label = nullptr;  // nullptr: the action is no step of the history
  const char* detail_tag = nullptr;
};

// One action: its name, its function, the tags of the controls it reads or writes
// (core/tags.h; the layout test checks that its window has them), how Undo names it, and
// whether it is one of the actions added beside the 41.
struct ActionEntry {
  const char* name;
  ActionFn run;
  std::vector<const char*> tags;
  UndoName undo = {};
  bool added = false;
};

// Every action, in the order the dispatcher tries them: the 41, then the added ones. Adding
// an action is one row here (app/qivprotosw.cpp) plus its function.
const std::vector<ActionEntry>& actions();
// The 41, and the added ones.
std::span<const ActionEntry> action_table();
std::span<const ActionEntry> added_action_table();
// The action of that exact name (whole string, case-sensitive), or nullptr.
const ActionEntry* find_action(const std::string& name);

// Runs the action whose name equals `action` exactly (whole string, case-sensitive). A name
// that matches none shows the message box "Fell through case" and changes nothing.
void qivprotosw(Context& ctx, const std::string& action);

// "SetHome": figdir becomes the current directory.
void set_home(Context& ctx);

}  // namespace qiv
