// Positions in the units of an object (pixels, normalized, characters, points, inches,
// centimeters) and in pixels.
#include "platform/graphics/graphics.h"
#include "platform/graphics/graphics_internal.h"

namespace qiv {

std::array<double, 2> Graphics::Impl::screen_size() const {
  const Value& v = heavies[0].props.at("screensize");
  return {v.matrix()(0, 2), v.matrix()(0, 3)};
}

std::array<double, 2> Graphics::Impl::reference_size(Handle h) const {
  const Slot& s = slot(h);
  if (s.type == ObjType::kFigure || s.parent < 0) return screen_size();
  auto p = pixel_position(s.parent);
  return {p[2], p[3]};
}

namespace {

// The pixels in one unit of `units`: across (left, width) and up (bottom, height). Normalized
// units are fractions of the reference rectangle ref; unknown units are pixels.
std::array<double, 2> pixels_per_unit(const std::string& units, std::array<double, 2> ref) {
  if (units == "normalized") return ref;
  if (units == "characters") return {kCharWidthPx, kCharHeightPx};
  if (units == "points") return {96.0 / 72.0, 96.0 / 72.0};
  if (units == "inches") return {96.0, 96.0};
  if (units == "centimeters") return {96.0 / 2.54, 96.0 / 2.54};
  return {1.0, 1.0};
}

}  // namespace

std::array<double, 4> Graphics::Impl::to_pixels(const Matrix& pos, const std::string& units,
                                                std::array<double, 2> ref) {
  std::array<double, 4> p{0, 0, 0, 0};
  for (int i = 0; i < 4 && i < pos.size(); ++i) p[static_cast<std::size_t>(i)] = pos.data()[i];
  const auto scale = pixels_per_unit(units, ref);
  p[0] *= scale[0];
  p[2] *= scale[0];
  p[1] *= scale[1];
  p[3] *= scale[1];
  return p;
}

Matrix Graphics::Impl::from_pixels(const std::array<double, 4>& px, const std::string& units,
                                   std::array<double, 2> ref) {
  std::array<double, 4> p = px;
  const auto scale = pixels_per_unit(units, ref);
  p[0] /= scale[0];
  p[2] /= scale[0];
  p[1] /= scale[1];
  p[3] /= scale[1];
  return row({p[0], p[1], p[2], p[3]});
}

std::string Graphics::Impl::units_of(Handle h) const {
  auto it = heavy(h).props.find("units");
  return it != heavy(h).props.end() && it->second.is_string() ? it->second.str() : "pixels";
}

std::array<double, 4> Graphics::Impl::pixel_position(Handle h) const {
  const Heavy& o = heavy(h);
  auto it = o.props.find("position");
  if (it == o.props.end() || !it->second.is_matrix()) return {0, 0, 0, 0};
  return to_pixels(it->second.matrix(), units_of(h), reference_size(h));
}

std::array<double, 4> Graphics::pixel_position(Handle h) const {
  const ObjType t = impl_->require(h).type;
  if (is_light(t)) return {0, 0, 0, 0};
  if (t == ObjType::kRoot) {
    auto s = impl_->screen_size();
    return {0, 0, s[0], s[1]};
  }
  return impl_->pixel_position(h);
}

}  // namespace qiv
