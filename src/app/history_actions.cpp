#include "app/history_actions.h"

#include "core/confirm.h"
#include "data/landmark_file.h"
#include "data/showshape.h"
#include "guikit/axes_helpers.h"
#include "protocol/protocol_drawing.h"
#include "protocol/protocol_model.h"

namespace qiv {
namespace {

// The main window shows again what the restored members would have it show: the specimens
// and the mean shape (as "Replot") when the data came back, the mean shape and the protocol
// (as "Redraw protocol") when the protocol did. The target window's boxes came back with the
// step; its blocks draw on the next press of one of its buttons.
void redraw(Context& ctx, const Changed& changed) {
  if (!changed.data && !changed.protocol) return;
  const auto& figh = ctx.state.figh;
  if (!figh || !ctx.gfx.ishandle(*figh)) return;
  const Handle before = ctx.gfx.current_figure();
  ctx.gfx.figure(*figh);
  cla(ctx.gfx);
  if (ctx.state.data && changed.data) {
    showshape(ctx.gfx, *ctx.state.data, "g*");
    showshape(ctx.gfx, *ctx.state.reference, "r+");
  } else if (ctx.state.reference) {
    showshape(ctx.gfx, *ctx.state.reference, "ro");
  }
  // A protocol kept across a Load of fewer landmarks may not fit the mean shape: "Redraw
  // protocol" says so when pressed; the redraw here leaves it off.
  if (ctx.state.reference && ctx.state.proto && !ctx.state.proto->empty() &&
      !check_protocol_fits(*ctx.state.proto, landmark_count(*ctx.state.reference)))
    draw_numbered_protocol(ctx.gfx, *ctx.state.proto, *ctx.state.reference, "r");
  ctx.state.lineh = kNoHandle;
  if (before != kNoHandle && ctx.gfx.ishandle(before)) ctx.gfx.figure(before);
}

// One step back (Undo) or forward (Redo), said in the status bar.
void step(Context& ctx, bool back) {
  History& h = ctx.history;
  if (!(back ? h.can_undo() : h.can_redo())) {
    confirm(ctx, back ? "Nothing to undo." : "Nothing to redo.");
    return;
  }
  const std::string what = back ? h.undo_name() : h.redo_name();
  redraw(ctx, back ? h.undo(ctx.state, ctx.gfx) : h.redo(ctx.state, ctx.gfx));
  confirm(ctx, (back ? "Undone: " : "Redone: ") + what);
}

}  // namespace

void undo(Context& ctx) { step(ctx, true); }

void redo(Context& ctx) { step(ctx, false); }

}  // namespace qiv
