#include "pointing/plot_map.h"

#include <algorithm>

namespace qiv {

bool PlotMap::usable() const {
  return box[2] > 0 && box[3] > 0 && limits[1] > limits[0] && limits[3] > limits[2];
}

bool PlotMap::contains(PixelPoint p) const {
  return p.x >= position[0] && p.x <= position[0] + position[2] && p.y >= position[1] &&
         p.y <= position[1] + position[3];
}

PixelPoint PlotMap::to_pixel(double x, double y) const {
  const double sx = box[2] / (limits[1] - limits[0]);
  const double sy = box[3] / (limits[3] - limits[2]);
  return {box[0] + (x - limits[0]) * sx, box[1] + box[3] - (y - limits[2]) * sy};
}

std::array<double, 2> PlotMap::to_data(PixelPoint p) const {
  const double sx = box[2] / (limits[1] - limits[0]);
  const double sy = box[3] / (limits[3] - limits[2]);
  return {limits[0] + (p.x - box[0]) / sx, limits[2] + (box[1] + box[3] - p.y) / sy};
}

PlotMap plot_map(const Graphics& gfx, Handle axes, const std::optional<Limits>& view) {
  PlotMap m;
  const auto fig = gfx.pixel_position(gfx.figure_of(axes));
  const double fig_h = std::max(1.0, fig[3]);
  const auto p = gfx.pixel_position(axes);
  m.position = {p[0], fig_h - p[1] - p[3], p[2], p[3]};
  m.box = m.position;
  m.limits = view ? *view : gfx.axis_of(axes);
  if (!gfx.axis_is_equal(axes) || m.box[2] <= 0 || m.box[3] <= 0) return m;
  const double dw = m.limits[1] - m.limits[0];
  const double dh = m.limits[3] - m.limits[2];
  if (!(dw > 0 && dh > 0)) return m;
  // Equal aspect: one data unit is as long across as up; the box is centred in the position.
  const double data_aspect = dw / dh;
  if (data_aspect > m.box[2] / m.box[3]) {
    const double h = m.box[2] / data_aspect;
    m.box[1] += (m.box[3] - h) / 2;
    m.box[3] = h;
  } else {
    const double w = m.box[3] * data_aspect;
    m.box[0] += (m.box[2] - w) / 2;
    m.box[2] = w;
  }
  return m;
}

Handle main_axes(const Graphics& gfx, Handle figure) {
  if (!gfx.ishandle(figure) || gfx.type(figure) != ObjType::kFigure) return kNoHandle;
  Handle first = kNoHandle;
  for (Handle c : gfx.children(figure)) {
    if (gfx.type(c) != ObjType::kAxes) continue;
    const Value tag = gfx.get(c, "Tag");
    if (tag.is_string() && tag.str() == "MainAxes") return c;
    if (first == kNoHandle) first = c;
  }
  return first;
}

}  // namespace qiv
