#include "target/target_support.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "core/controls.h"
#include "core/folder_visit.h"
#include "core/guards.h"
#include "data/landmark_file.h"
#include "guikit/axes_helpers.h"
#include "guikit/figure_files.h"
#include "platform/text.h"
#include "protocol/protocol_drawing.h"
#include "protocol/protocol_model.h"
#include "target/target_files.h"

namespace qiv {
namespace {

bool is_whole_in(double v, double lo, double hi) { return is_whole(v) && v >= lo && v <= hi; }

}  // namespace

long long protocol_line_count(const Matrix& proto) { return protocol_lines(proto); }

std::optional<double> typed_whole_number(std::string_view text, double lo, double hi) {
  Matrix m = str2num(text);
  if (m.size() != 1 || !is_whole_in(m(0, 0), lo, hi)) return std::nullopt;
  return m(0, 0);
}

std::string quote_typed(std::string_view text) {
  std::size_t b = text.find_first_not_of(" \t\r\n");
  std::size_t e = text.find_last_not_of(" \t\r\n");
  std::string_view t = b == std::string_view::npos ? std::string_view() : text.substr(b, e - b + 1);
  return "\"" + std::string(t) + "\"";
}

std::string bad_block_message(long long block, double value, long long m) {
  std::string head = "Block " + std::to_string(block) + " holds " + num2str(value);
  if (m == 0) return head + ", but the protocol has no lines.";
  return head + ", which is not a protocol line number from 1 to " + std::to_string(m) + ".";
}

bool require_blocks(Context& ctx) {
  if (ctx.state.block && ctx.state.nblocks) return true;
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
  std::string text = control_text(ctx, "CurrentBlockBox");
  auto c = typed_whole_number(text, 1, static_cast<double>(kMaxBlocks));
  if (!c) {
    ctx.ui.msgbox("The current block must be a whole number from 1 to " +
                  std::to_string(kMaxBlocks) + " (not " + quote_typed(text) + ").");
    return std::nullopt;
  }
  return static_cast<long long>(*c);
}

std::optional<LineList> read_block_box(Context& ctx, long long c) {
  LineList list = block_text_to_list(control_text(ctx, "BlockBox"));
  const long long m = protocol_line_count(*ctx.state.proto);
  if (auto bad = first_bad_line(list, m)) {
    ctx.ui.msgbox(bad_block_message(c, *bad, m));
    return std::nullopt;
  }
  return list;
}

void store_block(SharedState& s, long long c, LineList list) {
  if (!s.block) s.block = BlockList{};
  const auto i = static_cast<std::size_t>(c - 1);
  if (s.block->size() <= i) s.block->resize(i + 1);
  (*s.block)[i] = std::move(list);
}

LineList block_at(const SharedState& s, long long c) {
  if (!s.block || c < 1 || static_cast<std::size_t>(c) > s.block->size()) return {};
  return (*s.block)[static_cast<std::size_t>(c - 1)];
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
  if (protocol_line_count(*ctx.state.proto) == 0) return;
  draw_numbered_protocol(ctx.gfx, *ctx.state.proto, *ctx.state.reference, label_color);
}

void draw_block_line(Context& ctx, double n, const std::string& style, const std::string& color) {
  const Matrix& proto = *ctx.state.proto;
  const Matrix& reference = *ctx.state.reference;
  const auto row = static_cast<Eigen::Index>(n) - 1;
  const double a = proto(row, 1), b = proto(row, 2);
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

}  // namespace qiv
