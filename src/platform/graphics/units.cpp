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

std::array<double, 4> Graphics::Impl::to_pixels(const Matrix& pos, const std::string& units,
                                                std::array<double, 2> ref) {
  std::array<double, 4> p{0, 0, 0, 0};
  for (int i = 0; i < 4 && i < pos.size(); ++i) p[static_cast<std::size_t>(i)] = pos.data()[i];
  if (units == "normalized") {
    p[0] *= ref[0];
    p[2] *= ref[0];
    p[1] *= ref[1];
    p[3] *= ref[1];
  } else if (units == "characters") {
    p[0] *= kCharWidthPx;
    p[2] *= kCharWidthPx;
    p[1] *= kCharHeightPx;
    p[3] *= kCharHeightPx;
  } else if (units == "points") {
    for (double& v : p) v *= 96.0 / 72.0;
  } else if (units == "inches") {
    for (double& v : p) v *= 96.0;
  } else if (units == "centimeters") {
    for (double& v : p) v *= 96.0 / 2.54;
  }
  return p;
}

Matrix Graphics::Impl::from_pixels(const std::array<double, 4>& px, const std::string& units,
                                   std::array<double, 2> ref) {
  std::array<double, 4> p = px;
  if (units == "normalized") {
    p[0] /= ref[0];
    p[2] /= ref[0];
    p[1] /= ref[1];
    p[3] /= ref[1];
  } else if (units == "characters") {
    p[0] /= kCharWidthPx;
    p[2] /= kCharWidthPx;
    p[1] /= kCharHeightPx;
    p[3] /= kCharHeightPx;
  } else if (units == "points") {
    for (double& v : p) v /= 96.0 / 72.0;
  } else if (units == "inches") {
    for (double& v : p) v /= 96.0;
  } else if (units == "centimeters") {
    for (double& v : p) v /= 96.0 / 2.54;
  }
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
  if (t == ObjType::kLine || t == ObjType::kText) return {0, 0, 0, 0};
  if (t == ObjType::kRoot) {
    auto s = impl_->screen_size();
    return {0, 0, s[0], s[1]};
  }
  return impl_->pixel_position(h);
}

}  // namespace qiv
