#pragma once
// The one routine that draws a figure's axes (never its controls) with a QPainter. Windows,
// SVG, PNG, PDF and the clipboard all go through it, so every picture shows what the window
// shows.
//
// Coordinates: the painter works in the figure's own pixels, top-left origin (the model's
// positions have a bottom-left origin and are flipped here). To draw larger or smaller, scale
// the painter; marker sprites and fonts follow the scale.
#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QSizeF>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/graphics/graphics.h"
#include "qt/markers.h"

class QPainter;

namespace qiv::qt {

// Pixels per typographic point on every device this program paints on (96 dpi).
constexpr double kPxPerPt = 96.0 / 72.0;

// Where an axes draws, in figure pixels with a top-left origin.
struct AxesFrame {
  QRectF position;  // the axes' Position rectangle
  QRectF box;       // the plot box: the position, letterboxed when the aspect is equal
  Limits limits;
};
// Maps data coordinates to figure pixels inside a plot box.
struct DataMap {
  QRectF box;
  Limits lim;
  double sx, sy;
  DataMap(const QRectF& b, const Limits& l) : box(b), lim(l) {
    sx = b.width() / (l[1] - l[0]);
    sy = b.height() / (l[3] - l[2]);
  }
  double x(double v) const { return box.left() + (v - lim[0]) * sx; }
  double y(double v) const { return box.bottom() - (v - lim[2]) * sy; }
};

// With `view`, the axes are placed as if their limits were those (a zoomed view).
AxesFrame axes_frame(const Graphics& gfx, Handle axes, const QSizeF& figure_size,
                     const std::optional<Limits>& view = std::nullopt);

struct PaintOptions {
  // Draws markers by blitting sprites into the painter's QImage when it is one (a raster
  // device with a plain scale and translation); otherwise each marker is one path, which is
  // what vector pictures need (one element per marker).
  MarkerSprites* sprites = nullptr;
  bool background = true;  // fill with the figure's colour first
  // A window's zoomed view of one axes: drawn with these limits instead of the model's, and
  // everything, texts too, cut at the plot box. Pictures never have one.
  Handle view_axes = kNoHandle;
  Limits view{};
};

// Draws the figure's background and every visible axes of the figure, in the figure's pixel
// size (see above).
void paint_figure(QPainter& p, const Graphics& gfx, Handle fig, const PaintOptions& opt);
// One axes.
void paint_axes(QPainter& p, const Graphics& gfx, Handle axes, const QSizeF& figure_size,
                const PaintOptions& opt);

// Texts inside an axes (the landmark numbers) are outlined this wide, in figure pixels, in
// a light colour, so that they stay readable over the stars.
constexpr double kHaloPx = 1.5;
// White space around a picture's ink, in figure pixels.
constexpr double kPictureMargin = 4.0;

// The figure's size in pixels.
QSizeF figure_size(const Graphics& gfx, Handle fig);
// What an axes draws besides its data, in figure pixels: the plot box, tick labels, axis
// labels and title, and its texts whole, with their halo. Empty when it draws nothing.
QRectF axes_ink_rect(const Graphics& gfx, Handle axes, const QSizeF& figure_size);
// The rectangle a picture of the figure covers, in whole figure pixels: its axes and their
// labels with kPictureMargin around (no window margins; axes placed past the figure's edges
// are not cut), or the whole figure when it has nothing to draw.
QRectF picture_rect(const Graphics& gfx, Handle fig);

QColor to_qcolor(const Rgb& c);

// A text or number property of h, or the fallback when h lacks it or holds another kind.
std::string string_prop(const Graphics& gfx, Handle h, const char* name, const char* fallback = "");
double number_prop(const Graphics& gfx, Handle h, const char* name, double fallback);
bool is_on(const Graphics& gfx, Handle h, const char* name);

}  // namespace qiv::qt
