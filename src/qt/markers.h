#pragma once
// Markers ('o', '+', 'x', '*', 's', 'd', '^', ...): their outlines, the sprites raster
// pictures blit, and markers as paths for vector pictures. Sizes in figure pixels unless named
// in points.
#include <QBrush>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/graphics/graphics.h"

namespace qiv::qt {

// The outline of a marker centred at (0, 0), for a marker size in points.
QPainterPath marker_path(Marker m, double size_px);
// Marker size in pixels for a "MarkerSize" in points; the point marker draws at a third.
double marker_pixels(Marker m, float marker_size_pt);

QPen marker_pen(const LineView& l, double scale);
QBrush marker_brush(const LineView& l);

// Bitmaps of markers, one per (marker, size, colours, line width) on the device, so that a
// raster picture of millions of markers blits instead of stroking paths. Keep one per
// window: it is only valid for one painter scale.
class MarkerSprites {
 public:
  struct Sprite {
    QImage image;  // ARGB32 premultiplied
    int half = 0;  // offset from the image's top-left to the marker's centre pixel
    // The pixels that are not transparent, relative to the centre, for the blitter.
    struct Pixel {
      std::int16_t dx, dy;
      std::uint32_t argb;  // premultiplied
    };
    std::vector<Pixel> pixels;
  };
  const Sprite& get(const LineView& line, double scale);
  std::size_t size() const { return cache_.size(); }

  // The characters of numbers (digits, '.', '+', '-', blank) with their halo, as pixels
  // like the markers', so that a landmark or line number costs a few blits instead of a
  // stroked outline (axes_texts.cpp).
  struct Glyphs;
  Glyphs& glyphs();

 private:
  std::shared_ptr<Glyphs> glyphs_;
  // Marker, size and line width in quarter pixels; edge and face colours.
  using Key = std::pair<std::uint64_t, std::uint64_t>;
  std::map<Key, Sprite> cache_;
  const Sprite* last_ = nullptr;
  LineView last_line_{};
  double last_scale_ = 0;
};

// Markers as one path element each, for vector pictures. A marker of the same style at the
// same place as one already drawn adds nothing to the picture and is left out, which keeps
// pictures of tens of thousands of overlapping specimens small. "The same place" is a
// quarter pixel, or a whole pixel in plots of more than kDenseMarkers markers, where a
// marker is lost in its cloud anyway.
class PathMarkers {
 public:
  static constexpr std::size_t kDenseMarkers = 100000;
  explicit PathMarkers(std::size_t markers) : grid_(markers > kDenseMarkers ? 1.0 : 4.0) {}

  void draw(QPainter& p, const LineView& l, double fx, double fy) {
    if (!same_style(l)) {
      style_ = l;
      has_style_ = true;
      drawn_.clear();
      path_ = marker_path(l.marker, marker_pixels(l.marker, l.marker_size));
      p.setPen(l.marker == Marker::kPoint ? QPen(Qt::NoPen) : marker_pen(l, 1.0));
      p.setBrush(marker_brush(l));
    }
    const auto qx = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(fx * grid_)));
    const auto qy = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(fy * grid_)));
    if (!drawn_.insert(std::uint64_t{qx} << 32 | qy).second) return;
    p.drawPath(path_.translated(fx, fy));
  }

  // Someone else set the painter's pen: set the markers' again before the next one.
  void pen_changed() { has_style_ = false; }

 private:
  bool same_style(const LineView& l) const {
    return has_style_ && l.marker == style_.marker && l.marker_size == style_.marker_size &&
           l.line_width == style_.line_width && l.color == style_.color && l.face == style_.face;
  }
  double grid_;  // cells per pixel
  LineView style_{};
  bool has_style_ = false;
  QPainterPath path_;
  std::unordered_set<std::uint64_t> drawn_;
};

}  // namespace qiv::qt
