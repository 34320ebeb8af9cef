#include <cmath>

#include "base/failure.h"
#include "platform/graphics/graphics.h"
#include "platform/graphics/graphics_internal.h"

namespace qiv {

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
  if (!impl_->valid(ax) || impl_->slot(ax).type != ObjType::kAxes) throw invalid_handle();
  return impl_->limits(ax);
}

bool Graphics::axis_is_equal(Handle ax) const {
  return impl_->valid(ax) && impl_->slot(ax).type == ObjType::kAxes && impl_->heavy(ax).equal;
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
