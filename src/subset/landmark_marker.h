#pragma once
// Filled black circles on the mean shape: the one tracked mark (markerh) of the subset and
// back-reflection windows, and the untracked circles of "ShowAll" and "ShowAllMidline".
#include "app/context.h"
#include "platform/matrix.h"

namespace qiv {

// Draws landmark j (1-based) of the row r into the current axes with the style "ko", then
// sets its "MarkerSize" to 9 and its "MarkerFaceColor" to "k". Returns the line.
Handle draw_filled_circle(Graphics& gfx, const Matrix& r, long j);

// In the current axes: hides (does not delete) the tracked mark when markerh still names an
// object, draws landmark j of reference as a filled circle and tracks it in markerh.
void mark_landmark(Context& ctx, long j);

}  // namespace qiv
