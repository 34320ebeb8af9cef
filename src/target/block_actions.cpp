// Editing the block structure: the number of blocks, storing the text of "BlockBox" as the
// current block, moving between blocks, and drawing one block or all of them.
#include <string>

#include "core/controls.h"
#include "core/guards.h"
#include "core/tags.h"
#include "data/showshape.h"
#include "platform/text.h"
#include "target/target_actions.h"
#include "target/target_files.h"
#include "target/target_support.h"

namespace qiv {
namespace {

// Stores the current block as block c and shows block c + step, but only when c + step is a
// block between 1 and nblocks; otherwise nothing changes, not even the stored block.
void move_block(Context& ctx, int step) {
  if (!require_protocol(ctx) || !require_blocks(ctx)) return;
  auto c = read_current_block(ctx);
  if (!c) return;
  const bool moves = step > 0 ? *c < ctx.state.blocks.count() : *c > 1;
  if (!moves) return;
  auto list = read_block_box(ctx, *c);
  if (!list) return;
  const long long next = *c + step;
  set_control_text(ctx, tags::kCurrentBlockBox, std::to_string(next));  // "%i"
  const BlockStructure before = ctx.state.blocks;
  ctx.state.blocks.store(*c, std::move(*list));
  forget_block_file_if_changed(ctx.state, before);
  set_control_text(ctx, tags::kBlockBox, block_list_to_text(ctx.state.blocks.at(next)));
}

}  // namespace

void set_blocks(Context& ctx) {
  const std::string typed = control_text(ctx, tags::kMaxBlockBox);
  auto n = whole_number_in(typed, 0, static_cast<double>(kMaxBlocks));
  if (!n) {
    ctx.ui.msgbox("The number of blocks must be a whole number from 0 to " +
                  std::to_string(kMaxBlocks) + " (not " + quote_typed(typed) + ").");
    return;
  }
  const BlockStructure before = ctx.state.blocks;
  ctx.state.blocks.set_count(static_cast<long long>(*n));
  set_control_enable(ctx, tags::kSetBlocks, false);
  set_control_enable(ctx, tags::kLoadProtoButton, true);
  // Block nblocks becomes empty; blocks below it keep their lines, and so do blocks above.
  if (*n >= 1)
    ctx.state.blocks.store(static_cast<long long>(*n), {});
  else
    ctx.state.blocks.keep_lists();
  forget_block_file_if_changed(ctx.state, before);
}

void add_blocks(Context& ctx) {
  const std::string typed = control_text(ctx, tags::kMaxBlockBox);
  auto n = whole_number_in(typed, 0, static_cast<double>(kMaxBlocks - 1));
  if (!n) {
    ctx.ui.msgbox("To add a block, the number of blocks must be a whole number from 0 to " +
                  std::to_string(kMaxBlocks - 1) + " (not " + quote_typed(typed) + ").");
    return;
  }
  // The count comes from the box, not from the old nblocks.
  const double count = *n + 1;
  const BlockStructure before = ctx.state.blocks;
  ctx.state.blocks.set_count(static_cast<long long>(count));
  set_control_text(ctx, tags::kMaxBlockBox, num2str(count));
  ctx.state.blocks.store(static_cast<long long>(count), {});
  forget_block_file_if_changed(ctx.state, before);
}

void replot_m(Context& ctx) {
  if (!require_drawable(ctx)) return;
  enter_main_window(ctx, true);
  showshape(ctx.gfx, *ctx.state.reference, "r+");
  draw_protocol(ctx, "r");
  ctx.state.lineh = kNoHandle;
  return_to_menu(ctx);
}

void show_all_block(Context& ctx) {
  if (!require_drawable(ctx) || !require_blocks(ctx)) return;
  auto c = read_current_block(ctx);
  if (!c) return;
  auto list = read_block_box(ctx, *c);
  if (!list) return;
  const BlockStructure before = ctx.state.blocks;
  ctx.state.blocks.store(*c, *list);
  forget_block_file_if_changed(ctx.state, before);

  enter_main_window(ctx, true);
  draw_protocol(ctx, "r");
  showshape(ctx.gfx, *ctx.state.reference, "ro");
  for (double n : *list) draw_block_line(ctx, n, "g", "g");
  return_to_menu(ctx);
}

void show_block_structure(Context& ctx) {
  if (!require_drawable(ctx) || !require_blocks(ctx)) return;
  const long long nblocks = ctx.state.blocks.count();
  const long long m = ctx.state.proto->count();
  // Blocks read from a file were never checked; refuse before anything is cleared.
  if (auto bad = find_bad_line(ctx.state.blocks.lists(), nblocks, m)) {
    ctx.ui.msgbox(bad_block_message(bad->block, bad->value, m));
    return;
  }
  enter_main_window(ctx, true);
  showshape(ctx.gfx, *ctx.state.reference, "r+");
  draw_protocol(ctx, "k");
  showshape(ctx.gfx, *ctx.state.reference, "ro");
  for (long long k = 1; k <= nblocks; ++k)
    for (double n : ctx.state.blocks.at(k)) draw_block_line(ctx, n, block_style(k), block_color(k));
  return_to_menu(ctx);
}

void block_up(Context& ctx) { move_block(ctx, +1); }

void block_down(Context& ctx) { move_block(ctx, -1); }

void block_enter(Context& ctx) {
  if (!require_protocol(ctx) || !require_blocks(ctx)) return;
  auto c = read_current_block(ctx);
  if (!c) return;
  auto list = read_block_box(ctx, *c);
  if (!list) return;
  const BlockStructure before = ctx.state.blocks;
  ctx.state.blocks.store(*c, std::move(*list));
  forget_block_file_if_changed(ctx.state, before);
}

void add_lineto_block(Context& ctx) {
  if (!require_protocol(ctx)) return;
  const long long m = ctx.state.proto->count();
  const std::string typed = control_text(ctx, tags::kTargetLineBox);
  if (!whole_number_in(typed, 1, static_cast<double>(m))) {
    ctx.ui.msgbox(m == 0 ? std::string("The protocol has no lines to add.")
                         : "The line to add must be a whole number from 1 to " + std::to_string(m) +
                               " (not " + quote_typed(typed) + ").");
    return;
  }
  // "%s %s": the line is only added to the text; it reaches the block when the text is stored.
  set_control_text(ctx, tags::kBlockBox, control_text(ctx, tags::kBlockBox) + " " + typed);
}

}  // namespace qiv
