#pragma once
// "Undo" and "Redo": take back the last step of the history, do again the last one taken
// back (core/history.h), and redraw the main window as the step's own action would.
#include "core/context.h"

namespace qiv {

void undo(Context& ctx);  // "Undo"
void redo(Context& ctx);  // "Redo"

}  // namespace qiv
