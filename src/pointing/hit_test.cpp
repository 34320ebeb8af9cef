#include "pointing/hit_test.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <set>

namespace qiv {
namespace {

using Segment = std::array<double, 4>;

// The segment with its lower end first, so both drawing directions compare equal.
Segment normalized(double x0, double y0, double x1, double y1) {
  if (std::make_pair(x1, y1) < std::make_pair(x0, y0)) return {x1, y1, x0, y0};
  return {x0, y0, x1, y1};
}

double segment_distance(PixelPoint p, PixelPoint a, PixelPoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

bool is_landmark(double v, long k) {
  return std::isfinite(v) && v == std::floor(v) && v >= 1 && v <= static_cast<double>(k);
}

}  // namespace

PickTargets pick_targets(const SharedState& state, const Graphics& gfx, Handle axes) {
  PickTargets t;
  if (!state.reference || !gfx.ishandle(axes)) return t;
  const Matrix& ref = *state.reference;
  const long k = static_cast<long>(ref.size() >= 1 ? (ref.size() - 1) / 2 : 0);
  const double* r = ref.data();
  t.landmarks.reserve(static_cast<std::size_t>(k));
  for (long j = 1; j <= k; ++j) t.landmarks.push_back({j, r[2 * j - 2], r[2 * j - 1]});
  if (!state.proto) return t;

  std::set<Segment> drawn;
  gfx.for_each_drawn(
      axes,
      [&](const LineView& l) {
        if (l.visible && l.n == 2 && l.style != LineStyle::kNone)
          drawn.insert(normalized(l.x[0], l.y[0], l.x[1], l.y[1]));
      },
      [](const TextView&) {});
  const Protocol& proto = *state.proto;
  for (Eigen::Index i = 0; i < proto.count(); ++i) {
    const double a = proto.line(i).first, b = proto.line(i).second;
    if (!is_landmark(a, k) || !is_landmark(b, k)) continue;
    const auto ia = static_cast<long>(a), ib = static_cast<long>(b);
    PickLine line{static_cast<long>(i + 1),
                  ia,
                  ib,
                  r[2 * ia - 2],
                  r[2 * ia - 1],
                  r[2 * ib - 2],
                  r[2 * ib - 1]};
    if (drawn.count(normalized(line.x0, line.y0, line.x1, line.y1))) t.lines.push_back(line);
  }
  return t;
}

Hit hit_test(const PickTargets& targets, const PlotMap& map, PixelPoint p, HitFilter filter) {
  Hit best;
  if (!map.usable()) return best;
  if (filter.landmarks) {
    for (const PickLandmark& lm : targets.landmarks) {
      const PixelPoint q = map.to_pixel(lm.x, lm.y);
      const double d = std::hypot(q.x - p.x, q.y - p.y);
      if (!(d <= kLandmarkReachPx)) continue;  // also skips NaN
      const bool better = best.kind == Hit::Kind::kNothing || d < best.distance_px ||
                          (d == best.distance_px && lm.number < best.landmark.number);
      if (better) {
        best.kind = Hit::Kind::kLandmark;
        best.landmark = lm;
        best.distance_px = d;
      }
    }
    if (best.kind != Hit::Kind::kNothing) return best;
  }
  if (filter.lines) {
    for (const PickLine& line : targets.lines) {
      const double d =
          segment_distance(p, map.to_pixel(line.x0, line.y0), map.to_pixel(line.x1, line.y1));
      if (!(d <= kLineReachPx)) continue;
      const bool better = best.kind == Hit::Kind::kNothing || d < best.distance_px ||
                          (d == best.distance_px && line.number < best.line.number);
      if (better) {
        best.kind = Hit::Kind::kLine;
        best.line = line;
        best.distance_px = d;
      }
    }
  }
  return best;
}

std::string describe_hit(const Hit& hit) {
  char buf[160];
  switch (hit.kind) {
    case Hit::Kind::kLandmark:
      std::snprintf(buf, sizeof buf, "landmark %ld  (%.3f, %.3f)", hit.landmark.number,
                    hit.landmark.x, hit.landmark.y);
      return buf;
    case Hit::Kind::kLine:
      std::snprintf(buf, sizeof buf, "line %ld: %ld\u2013%ld", hit.line.number, hit.line.a,
                    hit.line.b);
      return buf;
    case Hit::Kind::kNothing:
      break;
  }
  return "";
}

}  // namespace qiv
