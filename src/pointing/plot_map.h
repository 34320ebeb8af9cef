#pragma once
// Where an axes draws inside its figure at the figure's current pixel size, and the mapping
// between data coordinates and those pixels. Pixels here have a top-left origin (as mouse
// positions do), measured in the figure's inner rectangle.
#include <array>
#include <optional>

#include "platform/graphics/graphics.h"

namespace qiv {

struct PixelPoint {
  double x = 0;
  double y = 0;
};

struct PlotMap {
  // The axes' Position rectangle and the plot box inside it (the same rectangle, letterboxed
  // when the data aspect is equal), both [left top width height] in figure pixels.
  std::array<double, 4> position{};
  std::array<double, 4> box{};
  Limits limits{};

  // False when the box has no area or the limits are empty: nothing can be pointed at.
  bool usable() const;
  bool contains(PixelPoint p) const;  // inside the Position rectangle
  PixelPoint to_pixel(double x, double y) const;
  // The data point under a pixel; the inverse of to_pixel.
  std::array<double, 2> to_data(PixelPoint p) const;
};

// The map of axes at its figure's current size, with the axes' own limits, or with `view`
// limits instead (a zoomed view that leaves the model untouched).
PlotMap plot_map(const Graphics& gfx, Handle axes, const std::optional<Limits>& view = {});

// The main plot: the axes tagged "MainAxes" in the figure, else its first axes; kNoHandle.
Handle main_axes(const Graphics& gfx, Handle figure);

}  // namespace qiv
