#pragma once
// How a figure's window fits smaller screens.
//
// A window may shrink to kSmallestShare of its layout's size in each direction. The
// controls keep their size and their distance from the window's top-left corner; when the
// window is too small to show them all, they scroll in a ControlArea on the window's left,
// while the plot (each normalized axes) gives up the pixels: below the layout's size an
// axes keeps the pixel margins it had at that size, so it never reaches under the controls.
// A window first shown larger than the screen, or partly off it, is made to fit.
#include <QRect>
#include <QScrollArea>
#include <QSize>
#include <array>
#include <map>

#include "platform/graphics/graphics.h"

namespace qiv::qt {

constexpr double kSmallestShare = 0.8;

// The smallest size of a window laid out at `layout` (kSmallestShare, rounded down).
QSize smallest_window_size(const QSize& layout);

// The window rectangle moved, and shrunk down to no less than `smallest`, to lie within
// `available` (the screen less its panels), as far as it can.
QRect fit_into(const QRect& window, const QSize& smallest, const QRect& available);

// Where a tool window whose frame is `tool` big opens, beside the main window's frame `main`
// (all in screen pixels, frames included): to its right when `available` has room, else to
// its left, else on the side where it covers less of `plot` (the main window's plot on the
// screen), kept within `available` from left to right. Its top is the main window's, moved
// up as far as the bottom of `available` asks, but never above its top.
QRect beside_main_window(const QSize& tool, const QRect& main, const QRect& plot,
                         const QRect& available);

// A normalized axes position [left bottom width height] for a figure of size `now`, given
// the position at the layout's size: unchanged when the figure is at least as large in that
// direction, else the axes keeps its pixel margins and shrinks (to no less than 1 pixel).
std::array<double, 4> anchored_axes_position(const std::array<double, 4>& at_layout,
                                             const QSizeF& layout, const QSizeF& now);

// The normalized axes of a figure, kept clear of the controls when the window is smaller
// than its layout (anchored_axes_position). An axes whose position someone else changed
// since is left alone from then on.
class AxesAnchors {
 public:
  // Remembers the figure's normalized axes' positions as those at the layout's size.
  void capture(const Graphics& gfx, Handle fig, const QSizeF& layout);
  // Places the remembered axes for the figure's present size.
  void apply(Graphics& gfx, Handle fig);

 private:
  struct Anchor {
    std::array<double, 4> at_layout;
    std::array<double, 4> last;  // as last placed
  };
  QSizeF layout_;
  std::map<Handle, Anchor> anchors_;
};

// A transparent scroll area over the left of a figure's canvas, holding the controls on
// its layer(). The controls are placed on the layer in canvas pixels. It covers the
// controls' extent (their right-most edge plus the left margin), the canvas' full height,
// and scrolls when the canvas is smaller than that extent.
class ControlArea : public QScrollArea {
  Q_OBJECT

 public:
  explicit ControlArea(QWidget* canvas);
  QWidget* layer() const { return layer_; }
  // Sets the area and the layer for the canvas' present size and the controls' places.
  void fit();
  // The controls' extent: the bottom-right corner of their union plus the top-left margin.
  QSize extent() const;

 private:
  QWidget* layer_;
};

}  // namespace qiv::qt
