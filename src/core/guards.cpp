#include "core/guards.h"

namespace qiv {

bool require_loaded(Context& ctx) {
  if (ctx.state.data && ctx.state.reference && ctx.state.figh && ctx.gfx.ishandle(*ctx.state.figh))
    return true;
  ctx.ui.msgbox("Load a landmark data file first.");
  return false;
}

bool require_protocol(Context& ctx) {
  if (ctx.state.proto) return true;
  ctx.ui.msgbox("Load a protocol file or start a new protocol first.");
  return false;
}

}  // namespace qiv
