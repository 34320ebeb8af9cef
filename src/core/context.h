#pragma once
// Everything an action may touch, and nothing else.
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
};

}  // namespace qiv
