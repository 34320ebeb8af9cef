// Axis limits: the extent of the data, automatic limits rounded out to "nice" ticks, and
// manual limits.
#include <cmath>

#include "base/failure.h"
#include "platform/graphics/graphics.h"
#include "platform/graphics/graphics_internal.h"

namespace qiv {

void Graphics::Impl::update_extent(Heavy& a) const {
  if (!a.extent_dirty) return;
  double xmin = std::numeric_limits<double>::infinity(), xmax = -xmin;
  double ymin = xmin, ymax = -xmin;
  for (Handle c : a.children) {
    const Slot& s = slot(c);
    if (s.type != ObjType::kLine) continue;
    const LineData& l = lines[s.index];
    if (!l.visible) continue;
    const double* xs = xs_of(l);
    const double* ys = ys_of(l);
    for (std::uint32_t i = 0; i < l.n; ++i) {
      double x = xs[i], y = ys[i];
      if (std::isfinite(x) && std::isfinite(y)) {
        xmin = std::min(xmin, x);
        xmax = std::max(xmax, x);
        ymin = std::min(ymin, y);
        ymax = std::max(ymax, y);
      }
    }
  }
  a.has_extent = xmin <= xmax;
  if (a.has_extent) {
    a.extent[0] = xmin;
    a.extent[1] = xmax;
    a.extent[2] = ymin;
    a.extent[3] = ymax;
  }
  a.extent_dirty = false;
}

Limits Graphics::Impl::limits(Handle ax) {
  Heavy& a = heavy(ax);
  Limits lim = a.manual;
  if (!a.xmanual || !a.ymanual) {
    update_extent(a);
    std::array<double, 2> xl{0, 1}, yl{0, 1};
    if (a.has_extent) {
      xl = Graphics::nice_limits(a.extent[0], a.extent[1]);
      yl = Graphics::nice_limits(a.extent[2], a.extent[3]);
    }
    if (!a.xmanual) {
      lim[0] = xl[0];
      lim[1] = xl[1];
    }
    if (!a.ymanual) {
      lim[2] = yl[0];
      lim[3] = yl[1];
    }
  }
  return lim;
}

Limits Graphics::axis() { return impl_->limits(gca()); }

void Graphics::axis(const Limits& lim) {
  Handle ax = gca();
  Heavy& a = impl_->heavy(ax);
  if (!(lim[0] < lim[1]) || !(lim[2] < lim[3])) throw Failure("Axis limits must be increasing.");
  a.manual = lim;
  a.xmanual = a.ymanual = true;
  impl_->notify_changed(ax, "xlim");
}

void Graphics::axis_auto() {
  Handle ax = gca();
  Heavy& a = impl_->heavy(ax);
  a.xmanual = a.ymanual = false;
  impl_->notify_changed(ax, "xlimmode");
}

void Graphics::axis_equal() {
  Handle ax = gca();
  impl_->heavy(ax).equal = true;
  impl_->notify_changed(ax, "dataaspectratiomode");
}

Limits Graphics::axis_of(Handle ax) const {
  impl_->require(ax, ObjType::kAxes);
  return impl_->limits(ax);
}

bool Graphics::axis_is_equal(Handle ax) const {
  return impl_->is(ax, ObjType::kAxes) && impl_->heavy(ax).equal;
}

double Graphics::nice_step(double lo, double hi) {
  double range = hi - lo;
  if (!(range > 0) || !std::isfinite(range)) return 1;
  double raw = range / 5.0;
  double mag = std::pow(10.0, std::floor(std::log10(raw)));
  double f = raw / mag;
  double nice = f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10;
  return nice * mag;
}

// Rule: the data range is rounded outward to whole multiples of a tick step of 1, 2 or 5
// times a power of ten, chosen so that about five steps span the data. A single value v gets
// [v - 1, v + 1].
std::array<double, 2> Graphics::nice_limits(double lo, double hi) {
  if (!std::isfinite(lo) || !std::isfinite(hi)) return {0, 1};
  if (lo == hi) return {lo - 1, hi + 1};
  double step = nice_step(lo, hi);
  double a = std::floor(lo / step + 1e-9) * step;
  double b = std::ceil(hi / step - 1e-9) * step;
  if (a == b) b = a + step;
  return {a, b};
}

}  // namespace qiv
