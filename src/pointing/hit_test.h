#pragma once
// What lies under the mouse on the main plot. The rule: the nearest landmark of the mean
// shape within kLandmarkReachPx screen pixels; failing that, the nearest drawn protocol line
// within kLineReachPx pixels (distance to the segment). Distances are measured in the
// window's pixels at its current size, so the reach is the same however far the data are
// zoomed. On equal distances the lower number wins.
#include <string>
#include <vector>

#include "core/shared_state.h"
#include "pointing/plot_map.h"

namespace qiv {

constexpr double kLandmarkReachPx = 10.0;
constexpr double kLineReachPx = 6.0;

struct PickLandmark {
  long number;  // 1-based
  double x, y;  // data coordinates
};

struct PickLine {
  long number;  // row of the protocol, 1-based: what "Line number" takes
  long a, b;    // its end landmarks
  double x0, y0, x1, y1;
};

// The things a click can name on one axes.
struct PickTargets {
  std::vector<PickLandmark> landmarks;
  std::vector<PickLine> lines;
};

// The landmarks of the mean shape (state.reference) and the protocol lines that the axes
// currently show: a row of state.proto counts when a visible line through exactly its two
// end landmarks is drawn in the axes (as "Redraw protocol", "Add line" and the highlights
// draw them). Rows that name no landmark of the mean shape are left out.
PickTargets pick_targets(const SharedState& state, const Graphics& gfx, Handle axes);

struct Hit {
  enum class Kind { kNothing, kLandmark, kLine };
  Kind kind = Kind::kNothing;
  PickLandmark landmark{};
  PickLine line{};
  double distance_px = 0;
};

// Which kinds a window cares about.
struct HitFilter {
  bool landmarks = true;
  bool lines = true;
};

// The rule above at the pixel p (top-left origin, figure pixels).
Hit hit_test(const PickTargets& targets, const PlotMap& map, PixelPoint p, HitFilter filter = {});

// Status bar and tooltip text: "landmark 7  (0.123, -0.045)", "line 3: 1–7", or "" for
// nothing.
std::string describe_hit(const Hit& hit);

}  // namespace qiv
