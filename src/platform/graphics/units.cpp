#include "platform/graphics/graphics.h"
#include "platform/graphics/graphics_internal.h"

namespace qiv {

std::array<double, 4> Graphics::pixel_position(Handle h) const {
  if (!impl_->valid(h)) throw invalid_handle();
  ObjType t = impl_->slot(h).type;
  if (t == ObjType::kLine || t == ObjType::kText) return {0, 0, 0, 0};
  if (t == ObjType::kRoot) {
    auto s = impl_->screen_size();
    return {0, 0, s[0], s[1]};
  }
  return impl_->pixel_position(h);
}

}  // namespace qiv
