#include "protocol/protocol_status.h"

#include "core/controls.h"
#include "guikit/axes_helpers.h"
#include "platform/text.h"
#include "protocol/protocol_model.h"

namespace qiv {

void show_protocol_status(Context& ctx, const std::string* loaded_name) {
  // No protocol at all shows four blanks, as after "Clear".
  set_control_text(ctx, "ProtoPointBox",
                   ctx.state.proto
                       ? std::to_string(static_cast<long long>(protocol_lines(*ctx.state.proto)))
                       : std::string("    "));
  if (loaded_name) ylabel(ctx.gfx, sprintf_str("Loaded Protocol is : %s", loaded_name->c_str()));
}

}  // namespace qiv
