#include "subset/landmark_marker.h"

#include <cassert>

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

}  // namespace qiv
