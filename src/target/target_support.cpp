#include "target/target_support.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "core/controls.h"
#include "core/folder_visit.h"
#include "core/guards.h"
#include "core/tags.h"
#include "data/landmark_file.h"
#include "guikit/axes_helpers.h"
#include "guikit/figure_files.h"
#include "platform/text.h"
#include "protocol/protocol_drawing.h"
#include "protocol/protocol_model.h"
#include "target/target_files.h"

namespace qiv {

std::string bad_block_message(long long block, double value, long long m) {
  std::string head = "Block " + std::to_string(block) + " holds " + num2str(value);
  if (m == 0) return head + ", but the protocol has no lines.";
  return head + ", which is not a protocol line number from 1 to " + std::to_string(m) + ".";
}

bool require_blocks(Context& ctx) {
  if (ctx.state.blocks.in_use()) return true;
  ctx.ui.msgbox("Set the number of blocks or load a block structure file first.");
  return false;
}

bool require_drawable(Context& ctx) {
  if (!require_loaded(ctx) || !require_protocol(ctx)) return false;
  // A protocol kept from before the mean shape was replaced may name landmarks it lacks.
  if (auto problem = check_protocol_fits(*ctx.state.proto, landmark_count(*ctx.state.reference))) {
    ctx.ui.msgbox(*problem);
    return false;
  }
  return true;
}

std::optional<long long> read_current_block(Context& ctx) {
  std::string text = control_text(ctx, tags::kCurrentBlockBox);
  auto c = whole_number_in(text, 1, static_cast<double>(kMaxBlocks));
  if (!c) {
    ctx.ui.msgbox("The current block must be a whole number from 1 to " +
                  std::to_string(kMaxBlocks) + " (not " + quote_typed(text) + ").");
    return std::nullopt;
  }
  return static_cast<long long>(*c);
}

std::optional<LineList> read_block_box(Context& ctx, long long c) {
  LineList list = block_text_to_list(control_text(ctx, tags::kBlockBox));
  const long long m = ctx.state.proto->count();
  if (auto bad = first_bad_line(list, m)) {
    ctx.ui.msgbox(bad_block_message(c, *bad, m));
    return std::nullopt;
  }
  return list;
}

std::string lengths_text(long long m) {
  return sprintf_str("%3.0f Lengths requested", static_cast<double>(m));
}

void enter_main_window(Context& ctx, bool clear) {
  ctx.gfx.figure(*ctx.state.figh);
  if (clear) cla(ctx.gfx);
}

void return_to_menu(Context& ctx) {
  const auto& h = ctx.state.menufigh;
  if (h && ctx.gfx.ishandle(*h) && ctx.gfx.type(*h) == ObjType::kFigure) ctx.gfx.figure(*h);
}

void draw_protocol(Context& ctx, const std::string& label_color) {
  if (ctx.state.proto->empty()) return;
  draw_numbered_protocol(ctx.gfx, *ctx.state.proto, *ctx.state.reference, label_color);
}

void draw_block_line(Context& ctx, double n, const std::string& style, const std::string& color) {
  const ProtocolLine& line = ctx.state.proto->line(static_cast<Eigen::Index>(n) - 1);
  const Matrix& reference = *ctx.state.reference;
  const double a = line.first, b = line.second;
  Handle h = draw_segment(ctx.gfx, reference, a, b, style);
  ctx.gfx.set(h, "LineWidth", Value(1.5));
  label_segment(ctx.gfx, reference, a, b, num2str(n), color);
}

Handle work_figure(const Context& ctx) {
  const Handle fig = ctx.gfx.callback_figure();
  return fig != kNoHandle && ctx.gfx.ishandle(fig) ? fig : ctx.gfx.current_figure();
}

Handle open_home_window(Context& ctx, const std::string& layout) {
  std::error_code ec;
  const std::filesystem::path home = ctx.state.figdir ? std::filesystem::path(*ctx.state.figdir)
                                                      : std::filesystem::current_path(ec);
  FolderVisit visit(home);
  return openfig(ctx, layout, "reuse");
}

void forget_block_file_if_changed(SharedState& s, const BlockStructure& before) {
  if (!(s.blocks == before)) s.blockfile.reset();
}

}  // namespace qiv
