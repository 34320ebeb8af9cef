#include "subset/landmark_marker.h"

#include <algorithm>
#include <cassert>

#include "core/controls.h"
#include "core/guards.h"
#include "core/landmark_set.h"
#include "data/landmark_file.h"
#include "subset/secondary_window.h"

namespace qiv {

Handle draw_filled_circle(Graphics& gfx, const Matrix& r, long j) {
  assert(j >= 1 && 2 * j <= r.size());
  const double* p = r.data();
  const Handle h = gfx.plot({p[2 * j - 2]}, {p[2 * j - 1]}, "ko");
  gfx.set(h, "MarkerSize", Value(9));
  gfx.set(h, "MarkerFaceColor", Value("k"));
  return h;
}

void mark_landmark(Context& ctx, long j) {
  auto& markerh = ctx.state.markerh;
  // A clearing of the axes deletes the mark; handles are never reused, so a stale one names
  // nothing and is skipped.
  if (markerh && *markerh != kNoHandle && ctx.gfx.ishandle(*markerh))
    ctx.gfx.set(*markerh, "Visible", Value("Off"));
  markerh = draw_filled_circle(ctx.gfx, *ctx.state.reference, j);
}

long common_landmark_count(const Context& ctx) {
  return static_cast<long>(
      std::min(landmark_count(*ctx.state.data), landmark_count(*ctx.state.reference)));
}

void mark_landmark_from_box(Context& ctx, const std::string& tag) {
  if (!require_loaded(ctx)) return;
  const long k = common_landmark_count(ctx);
  const auto j = single_landmark_number(control_text(ctx, tag), k);
  if (!j) {
    ctx.ui.msgbox(landmark_range_message(k));
    return;
  }
  ctx.gfx.figure(*ctx.state.figh);
  mark_landmark(ctx, *j);
  make_menu_window_current(ctx);
}

}  // namespace qiv
