// "Show correlations": the correlation matrix of the line lengths, ordered by block, in a
// window of its own, kept in step with the blocks; copied and saved like the main picture.
#include <string>

#include "analysis/modularity.h"
#include "base/failure.h"
#include "core/confirm.h"
#include "core/controls.h"
#include "core/guards.h"
#include "core/tags.h"
#include "platform/text.h"
#include "protocol/protocol_model.h"
#include "target/correlation_picture.h"
#include "target/modularity_inputs.h"
#include "target/target_actions.h"
#include "target/target_files.h"
#include "target/target_support.h"

namespace qiv {
namespace {

constexpr const char* kShownKey = "qiv_correlations_shown";
// Each cell is one filled object: beyond this many lines the picture would cost hundreds of
// megabytes and show cells smaller than a pixel.
constexpr long long kMaxPictureLines = 300;

// What the picture is drawn from, as one text: the blocks in use, the protocol and the data
// (their size and sum, enough to see another file loaded). Equal texts draw equal pictures.
std::string picture_key(const SharedState& s) {
  std::string key;
  if (s.blocks.in_use()) {
    key += "blocks " + std::to_string(s.blocks.count()) + ":";
    for (long long k = 1; k <= s.blocks.count(); ++k)
      key += block_list_to_text(s.blocks.at(k)) + ";";
  }
  if (s.proto) key += "\nproto " + describe_member(s, "proto");
  if (s.data)
    key += sprintf_str("\ndata %lldx%lld %.17g", static_cast<long long>(s.data->rows()),
                       static_cast<long long>(s.data->cols()), s.data->sum());
  return key;
}

// The correlations and their order, or why there are none (for a message box).
struct Drawable {
  Matrix r;
  LineOrder order;
  std::string why;
};
Drawable drawable(const Context& ctx) {
  const SharedState& s = ctx.state;
  if (!s.data || !s.reference) return {{}, {}, "Load a landmark data file first."};
  if (!s.proto) return {{}, {}, "Load a protocol file or start a new protocol first."};
  const long long m = s.proto->count();
  if (m < 2) return {{}, {}, "The protocol needs at least two lines for a correlation."};
  if (m > kMaxPictureLines)
    return {{},
            {},
            "The correlation picture shows at most 300 lines; the protocol has " +
                std::to_string(m) + "."};
  const BlockList none;
  const BlockList& block = s.blocks.in_use() ? s.blocks.lists() : none;
  const long long nblocks = s.blocks.in_use() ? s.blocks.count() : 0;
  if (auto bad = find_bad_line(block, nblocks, m))
    return {{}, {}, bad_block_message(bad->block, bad->value, m)};
  if (auto why = lengths_unfit(ctx)) return {{}, {}, *why};
  std::string why;
  const std::optional<Matrix> lengths = varying_lengths(ctx, &why);
  if (!lengths) return {{}, {}, why};
  return {correlation_matrix(*lengths), block_order(block, nblocks, m), ""};
}

Handle picture_axes(const Context& ctx) {
  const Handle ax = find_control(ctx, tags::kCorrelationAxes);
  return ax != kNoHandle && ctx.gfx.type(ax) == ObjType::kAxes ? ax : kNoHandle;
}

void draw(Context& ctx, Handle ax, const Drawable& d) {
  if (d.why.empty())
    draw_correlation_picture(ctx.gfx, ax, d.r, d.order);
  else
    draw_no_correlations(ctx.gfx, ax, d.why);
  ctx.gfx.setappdata(ax, kShownKey, Value(picture_key(ctx.state)));
}

// The picture's window, or nothing with a message when it is not open.
std::optional<Handle> picture_window(Context& ctx) {
  const Handle ax = picture_axes(ctx);
  if (ax != kNoHandle) return ctx.gfx.figure_of(ax);
  ctx.ui.msgbox("Show the correlations first.");
  return std::nullopt;
}

}  // namespace

void show_correlations(Context& ctx) {
  const Drawable d = drawable(ctx);
  if (!d.why.empty()) {
    ctx.ui.msgbox(d.why);
    return;
  }
  open_home_window(ctx, "qiv_correlations");
  const Handle ax = picture_axes(ctx);
  if (ax == kNoHandle) throw Failure("The correlations window has no axes tagged CorrelationAxes.");
  draw(ctx, ax, d);
  confirm(ctx, "Correlations of " +
                   counted(static_cast<long long>(d.order.lines.size()), "line", "lines"));
}

void refresh_correlations(Context& ctx) {
  const Handle ax = picture_axes(ctx);
  if (ax == kNoHandle) return;
  const Value shown = ctx.gfx.getappdata(ax, kShownKey);
  if (shown.is_string() && shown.str() == picture_key(ctx.state)) return;
  draw(ctx, ax, drawable(ctx));
}

void copy_correlations(Context& ctx) {
  const auto fig = picture_window(ctx);
  if (!fig) return;
  ctx.ui.copy_figure(ctx.gfx, *fig);
  confirm(ctx, "Copied the picture to the clipboard");
}

void save_correlations(Context& ctx) {
  const auto fig = picture_window(ctx);
  if (!fig) return;
  const FileChoice file =
      ctx.ui.put_file("*.svg;*.png;*.pdf", "Save Picture As", "correlations.svg");
  if (file.cancelled) return;
  try {
    ctx.ui.save_figure(ctx.gfx, *fig, file.dir + file.name);
  } catch (const Failure& f) {
    ctx.ui.msgbox(f.what());
    return;
  }
  confirm(ctx, "Saved " + file.name);
}

}  // namespace qiv
