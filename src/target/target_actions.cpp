// The target window itself: opening it, loading the protocol whose lines are grouped,
// highlighting one line, and resetting the window.
#include "target/target_actions.h"

#include <filesystem>
#include <system_error>

#include "base/failure.h"
#include "core/confirm.h"
#include "core/controls.h"
#include "core/folder_visit.h"
#include "core/guards.h"
#include "core/tags.h"
#include "data/landmark_file.h"
#include "data/showshape.h"
#include "guikit/figure_files.h"
#include "platform/text.h"
#include "protocol/protocol_drawing.h"
#include "protocol/protocol_file.h"
#include "protocol/protocol_model.h"
#include "protocol/protocol_status.h"
#include "target/target_support.h"

namespace qiv {
namespace {

namespace fs = std::filesystem;

}  // namespace

void create_target(Context& ctx) {
  // The layout lies in the home folder, whatever folder the last file dialog made current.
  std::error_code ec;
  fs::path home = ctx.state.figdir ? fs::path(*ctx.state.figdir) : fs::current_path(ec);
  FolderVisit visit(home);
  ctx.state.menufigh = openfig(ctx, "qiv_target", "reuse");
}

void load_proto_t(Context& ctx) {
  if (!require_loaded(ctx)) return;
  std::optional<ChosenProtocol> chosen =
      choose_protocol_file(ctx, landmark_count(*ctx.state.reference));
  if (!chosen) return;
  ctx.state.proto = std::move(chosen->proto);
  ctx.state.protoname = chosen->name;
  ctx.state.saved_proto = ctx.state.proto;
  const long long m = ctx.state.proto->count();
  set_control_lines(ctx, tags::kLengthBox, {chosen->name, lengths_text(m)});

  enter_main_window(ctx, true);
  showshape(ctx.gfx, *ctx.state.reference, "ro");
  draw_protocol(ctx, "r");
  show_protocol_status(ctx, &chosen->name);
  ctx.state.lineh = kNoHandle;
  return_to_menu(ctx);
  set_control_enable(ctx, tags::kLoadProtoButton, false);
  confirm(ctx, "Loaded " + chosen->name + ": " + counted(m, "line", "lines"));
}

void show_m_line(Context& ctx) {
  if (!require_drawable(ctx)) return;
  const long long m = ctx.state.proto->count();
  const std::string typed = control_text(ctx, tags::kTargetLineBox);
  auto i = whole_number_in(typed, 1, static_cast<double>(m));
  if (!i) {
    ctx.ui.msgbox(m == 0 ? std::string("The protocol has no lines to show.")
                         : "The line to show must be a whole number from 1 to " +
                               std::to_string(m) + " (not " + quote_typed(typed) + ").");
    return;
  }
  enter_main_window(ctx, false);
  // The earlier highlight is hidden, not deleted; after a redraw it no longer exists.
  const auto& old = ctx.state.lineh;
  if (old && *old != kNoHandle && ctx.gfx.ishandle(*old) && ctx.gfx.type(*old) == ObjType::kLine)
    ctx.gfx.set(*old, "Visible", Value("off"));
  const auto row = static_cast<Eigen::Index>(*i) - 1;
  const ProtocolLine& line = ctx.state.proto->line(row);
  Handle h = draw_segment(ctx.gfx, *ctx.state.reference, line.first, line.second, "M");
  ctx.state.lineh = h;
  ctx.gfx.set(h, "LineWidth", Value(1.5));
  return_to_menu(ctx);
}

void clear_target(Context& ctx) {
  ctx.state.proto.reset();
  ctx.state.blocks.clear();
  ctx.state.blockfile.reset();
  set_control_enable(ctx, tags::kSetBlocks, true);
  set_control_text(ctx, tags::kMaxBlockBox, " ");
  set_control_text(ctx, tags::kBlockBox, " ");
  set_control_enable(ctx, tags::kLoadProtoButton, false);
  set_control_text(ctx, tags::kLengthBox, " ");
  show_protocol_status(ctx);
  confirm(ctx, "Started again: no protocol and no blocks");
}

}  // namespace qiv
