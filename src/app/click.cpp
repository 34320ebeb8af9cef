#include "app/click.h"

#include "app/qiv_proto.h"

namespace qiv {

void run_callback(Context& ctx, Handle control) {
  Value cb = ctx.gfx.get(control, "Callback");
  Args args;
  if (cb.is_list()) {
    args = cb.list();
  } else if (cb.is_string() && !cb.str().empty()) {
    args.emplace_back(cb.str());
  }
  if (args.empty()) return;
  // A click makes its window the current figure.
  const Handle fig = ctx.gfx.figure_of(control);
  if (fig != kNoHandle && ctx.gfx.current_figure() != fig) ctx.gfx.figure(fig);
  const Handle previous = ctx.gfx.callback_object();
  ctx.gfx.set_callback_object(control);
  Qiv_proto(ctx, args, 0);
  ctx.gfx.set_callback_object(ctx.gfx.ishandle(previous) ? previous : kNoHandle);
}

}  // namespace qiv
