#pragma once
// Everything an action may touch, and nothing else.
#include "core/history.h"
#include "core/shared_state.h"
#include "platform/graphics/graphics.h"
#include "platform/runtime.h"
#include "platform/ui.h"

namespace qiv {

struct Context {
  SharedState& state;
  Graphics& gfx;
  Ui& ui;
  Runtime& rt;
  History& history;  // the steps Undo and Redo take back and do again
};

// Runs another action of the dispatcher by name, as a button would, through the runtime:
// the actions live in the folders below the dispatcher and reach it only this way. A
// failure of that action propagates to the caller.
inline void run_action(Context& ctx, const std::string& action) {
  ctx.rt.call("qivprotosw", {Value(action)}, 0);
}

}  // namespace qiv
