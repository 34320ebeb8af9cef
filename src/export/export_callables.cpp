#include "export/export_callables.h"

#include "export/big_image.h"

namespace qiv {

// Both take one input, which they ignore, and give no output.
Outputs copy_big_image_callable(Context& ctx, const Args&, int) {
  copy_big_image(ctx);
  return {};
}

Outputs save_big_image_callable(Context& ctx, const Args&, int) {
  save_big_image(ctx);
  return {};
}

}  // namespace qiv
