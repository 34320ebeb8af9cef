#include "data/showshape.h"

#include "base/failure.h"
#include "data/landmark_file.h"
#include "platform/text.h"

namespace qiv {

void showshape(Graphics& gfx, const Matrix& x, const std::string& style) {
  auto plot_style = parse_plot_style(style);
  if (!plot_style) throw Failure("Invalid line style \"" + style + "\".");
  gfx.hold_on();
  Handle ax = gfx.gca();
  const Eigen::Index rows = x.rows();
  const Eigen::Index k = landmark_count(x);
  gfx.reserve_lines(ax, static_cast<std::size_t>(rows * k));
  for (Eigen::Index i = 0; i < rows; ++i) {
    const double* r = x.data() + i * x.cols();
    for (Eigen::Index j = 0; j < k; ++j)
      gfx.plot_point(ax, r[2 * j], r[2 * j + 1], *plot_style, 3.0f);
  }
  gfx.axis_auto();
  gfx.axis_equal();
}

void number_landmarks(Graphics& gfx, const Matrix& r, const Limits& lim) {
  const double ox = (lim[1] - lim[0]) / 100;
  const double oy = (lim[3] - lim[2]) / 100;
  const Eigen::Index k = r.size() >= 1 ? (r.size() - 1) / 2 : 0;
  Handle ax = gfx.gca();
  for (Eigen::Index i = 0; i < k; ++i) {
    gfx.text_in(ax, r.data()[2 * i] + ox, r.data()[2 * i + 1] + oy,
                std::to_string(static_cast<long long>(i + 1)));
  }
}

void widen_axes(Graphics& gfx) {
  Limits a = gfx.axis();
  gfx.axis(Limits{a[0] * 1.03, a[1] * 1.03, a[2] * 1.03, a[3] * 1.03});
  gfx.axis_equal();
}

}  // namespace qiv
