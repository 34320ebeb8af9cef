#pragma once
// Filled black circles on the mean shape: the one tracked mark (markerh) of the subset and
// back-reflection windows, and the untracked circles of "ShowAll" and "ShowAllMidline".
#include <string>

#include "base/matrix.h"
#include "core/context.h"

namespace qiv {

// Draws landmark j (1-based) of the row r into the current axes with the style "ko", then
// sets its "MarkerSize" to 9 and its "MarkerFaceColor" to "k". Returns the line.
Handle draw_filled_circle(Graphics& gfx, const Matrix& r, long j);

// In the current axes: hides (does not delete) the tracked mark when markerh still names an
// object, draws landmark j of reference as a filled circle and tracks it in markerh.
void mark_landmark(Context& ctx, long j);

// Landmarks that both data and reference hold (they agree after "Load"); needs both.
long common_landmark_count(const Context& ctx);

// "ShowThisLandmark" and "ShowMidline": marks the landmark whose number the control tagged
// `tag` holds on the mean shape in the main window, then makes the secondary window opened
// last current. Before a file is loaded, or for a text that is not one landmark number, a
// message box and nothing changes.
void mark_landmark_from_box(Context& ctx, const std::string& tag);

}  // namespace qiv
