#include "target/correlation_picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "platform/text.h"

namespace qiv {
namespace {

// ColorBrewer RdBu (11 classes), from 0 outwards; the middle is pure white.
constexpr std::array<std::array<int, 3>, 6> kPositive{{{255, 255, 255},
                                                       {253, 219, 199},
                                                       {244, 165, 130},
                                                       {214, 96, 77},
                                                       {178, 24, 43},
                                                       {103, 0, 31}}};
constexpr std::array<std::array<int, 3>, 6> kNegative{{{255, 255, 255},
                                                       {209, 229, 240},
                                                       {146, 197, 222},
                                                       {67, 147, 195},
                                                       {33, 102, 172},
                                                       {5, 48, 97}}};

constexpr int kBarSteps = 64;

void rectangle(Graphics& gfx, Handle ax, double x0, double y0, double x1, double y1,
               const Rgb& face) {
  const double x[4] = {x0, x1, x1, x0};
  const double y[4] = {y0, y0, y1, y1};
  gfx.patch(ax, x, y, 4, face);
}

void segment(Graphics& gfx, Handle ax, double x0, double y0, double x1, double y1, double width) {
  const double x[2] = {x0, x1};
  const double y[2] = {y0, y1};
  const Handle h = gfx.patch(ax, x, y, 2, Rgb{0, 0, 0, true});
  gfx.set(h, "LineStyle", Value("-"));
  gfx.set(h, "LineWidth", Value(width));
}

Handle label(Graphics& gfx, Handle ax, double x, double y, const std::string& s, double size,
             const char* halign, const char* valign) {
  const Handle t = gfx.text_in(ax, x, y, s);
  gfx.set(t, "FontSize", Value(size));
  gfx.set(t, "HorizontalAlignment", Value(halign));
  gfx.set(t, "VerticalAlignment", Value(valign));
  return t;
}

// Prepares the axes of the picture: cleared, without ticks or frame. Nothing here makes its
// window current: a redraw after a block edit must not take the user from the target window.
void start(Graphics& gfx, Handle ax) {
  gfx.clear_axes(ax);
  gfx.set(ax, "Visible", Value("off"));
}

void limits(Graphics& gfx, Handle ax, double x0, double x1, double y0, double y1) {
  gfx.set(ax, "XLim", Value(row({x0, x1})));
  gfx.set(ax, "YLim", Value(row({y0, y1})));
}

}  // namespace

LineOrder block_order(const BlockList& block, long long nblocks, long long m) {
  LineOrder o;
  std::vector<bool> placed(static_cast<std::size_t>(std::max(0LL, m)), false);
  for (long long k = 1; k <= nblocks && static_cast<std::size_t>(k) <= block.size(); ++k) {
    const std::size_t before = o.lines.size();
    for (double n : block[static_cast<std::size_t>(k - 1)]) {
      const auto i = static_cast<long long>(n) - 1;
      if (n != std::floor(n) || i < 0 || i >= m || placed[static_cast<std::size_t>(i)]) continue;
      placed[static_cast<std::size_t>(i)] = true;
      o.lines.push_back(static_cast<int>(i));
    }
    if (o.lines.size() > before) {
      o.group_ends.push_back(static_cast<int>(o.lines.size()));
      o.group_blocks.push_back(k);
    }
  }
  const std::size_t before = o.lines.size();
  for (long long i = 0; i < m; ++i)
    if (!placed[static_cast<std::size_t>(i)]) o.lines.push_back(static_cast<int>(i));
  if (o.lines.size() > before) {
    o.group_ends.push_back(static_cast<int>(o.lines.size()));
    o.group_blocks.push_back(0);
  }
  return o;
}

Rgb correlation_color(double r) {
  if (std::isnan(r)) r = 0;
  const auto& stops = r < 0 ? kNegative : kPositive;
  const double t = std::min(1.0, std::fabs(r)) * 5;
  const auto i = static_cast<std::size_t>(std::min(4.0, std::floor(t)));
  const double f = t - static_cast<double>(i);
  const auto mix = [&](std::size_t c) {
    return static_cast<float>((stops[i][c] + f * (stops[i + 1][c] - stops[i][c])) / 255.0);
  };
  return Rgb{mix(0), mix(1), mix(2)};
}

void draw_correlation_picture(Graphics& gfx, Handle ax, const Matrix& r, const LineOrder& order) {
  start(gfx, ax);
  const auto m = static_cast<double>(order.lines.size());
  const std::size_t n = order.lines.size();
  for (std::size_t a = 0; a < n; ++a)
    for (std::size_t b = 0; b < n; ++b)
      rectangle(gfx, ax, static_cast<double>(b), m - static_cast<double>(a) - 1,
                static_cast<double>(b) + 1, m - static_cast<double>(a),
                correlation_color(r(order.lines[a], order.lines[b])));

  // Boundaries between the groups, and the frame around the whole.
  for (int end : order.group_ends) {
    if (end >= static_cast<int>(n)) continue;
    segment(gfx, ax, end, 0, end, m, 1.5);
    segment(gfx, ax, 0, m - end, m, m - end, 1.5);
  }
  segment(gfx, ax, 0, 0, m, 0, 1);
  segment(gfx, ax, m, 0, m, m, 1);
  segment(gfx, ax, m, m, 0, m, 1);
  segment(gfx, ax, 0, m, 0, 0, 1);

  // Line numbers: every one up to 60 lines, else as many as leave room to read them.
  const double margin = std::max(1.2, m * 0.08);
  const std::size_t every = std::max<std::size_t>(1, (n + 59) / 60);
  const double size = n <= 20 ? 9 : n <= 60 ? 7 : 6;
  for (std::size_t a = 0; a < n; a += every) {
    const std::string s = std::to_string(order.lines[a] + 1);
    const double mid = static_cast<double>(a) + 0.5;
    label(gfx, ax, -0.15, m - mid, s, size, "right", "middle");
    label(gfx, ax, mid, m + 0.15, s, size, "center", "bottom");
  }
  // The groups named under the matrix.
  int start_at = 0;
  for (std::size_t g = 0; g < order.group_ends.size(); ++g) {
    const long long k = order.group_blocks[g];
    label(gfx, ax, (start_at + order.group_ends[g]) / 2.0, -0.2,
          k == 0 ? "none" : "block " + std::to_string(k), size, "center", "top");
    start_at = order.group_ends[g];
  }

  // The colour bar: from -1 at the bottom to +1 at the top, right of the matrix.
  const double gap = std::max(0.6, m * 0.05), width = std::max(0.6, m * 0.05);
  const double x0 = m + gap, x1 = x0 + width;
  for (int s = 0; s < kBarSteps; ++s) {
    const double lo = m * s / kBarSteps, hi = m * (s + 1) / kBarSteps;
    rectangle(gfx, ax, x0, lo, x1, hi, correlation_color(-1 + 2 * (s + 0.5) / kBarSteps));
  }
  segment(gfx, ax, x0, 0, x1, 0, 0.5);
  segment(gfx, ax, x1, 0, x1, m, 0.5);
  segment(gfx, ax, x1, m, x0, m, 0.5);
  segment(gfx, ax, x0, m, x0, 0, 0.5);
  for (double v : {-1.0, -0.5, 0.0, 0.5, 1.0}) {
    const double y = m * (v + 1) / 2;
    segment(gfx, ax, x1, y, x1 + width * 0.3, y, 0.5);
    label(gfx, ax, x1 + width * 0.45, y, num2str(v), size, "left", "middle");
  }
  label(gfx, ax, m / 2, m + margin, "Correlations of the line lengths, by block", size + 1,
        "center", "bottom");
  limits(gfx, ax, -margin, x1 + 3 * width + margin * 0.5, -margin, m + margin * 1.6);
  gfx.set(ax, "DataAspectRatioMode", Value("manual"));
}

void draw_no_correlations(Graphics& gfx, Handle ax, const std::string& why) {
  start(gfx, ax);
  label(gfx, ax, 0.5, 0.5, why, 10, "center", "middle");
  limits(gfx, ax, 0, 1, 0, 1);
}

}  // namespace qiv
