#include "protocol/protocol_status.h"

#include "core/controls.h"
#include "core/tags.h"
#include "guikit/axes_helpers.h"
#include "platform/text.h"
#include "protocol/protocol_model.h"

namespace qiv {

void show_protocol_status(Context& ctx, const std::string* loaded_name) {
  // No protocol at all shows four blanks, as after "Clear".
  set_control_text(ctx, tags::kProtoPointBox,
                   ctx.state.proto
                       ? std::to_string(static_cast<long long>(ctx.state.proto->count()))
                       : std::string("    "));
  if (loaded_name) ylabel(ctx.gfx, sprintf_str("Loaded Protocol is : %s", loaded_name->c_str()));
}

}  // namespace qiv
