#pragma once
// Steps and checks shared by the actions of the target window. The checks show their
// message box and return false (or nothing) so that the action can end with nothing changed.
#include <optional>
#include <string>
#include <string_view>

#include "base/matrix.h"
#include "core/context.h"
#include "core/typed_number.h"
#include "target/block_text.h"

namespace qiv {

// Upper bound for block counts and block numbers typed by the user: far above any real
// protocol, low enough that the block list stays small in memory.
inline constexpr long long kMaxBlocks = 100000;

// "Block 2 holds 7, which is not a protocol line number from 1 to 4."
std::string bad_block_message(long long block, double value, long long m);

// Guards: each shows its message box and returns false.
bool require_blocks(Context& ctx);  // block and nblocks hold values
// Everything a drawing action needs: loaded data, a protocol that fits the mean shape.
bool require_drawable(Context& ctx);

// The window whose control called the action (else the current one): where the progress of
// long work shows.
Handle work_figure(const Context& ctx);
// Opens (or raises) a window of the target window's family from its layout in the home
// folder, as "CreateTarget" opens the target window; menufigh stays as it is.
Handle open_home_window(Context& ctx, const std::string& layout);

// Reads "CurrentBlockBox" as a block number from 1 to kMaxBlocks.
std::optional<long long> read_current_block(Context& ctx);
// Reads "BlockBox" as block c's list; refuses numbers that are not protocol lines.
std::optional<LineList> read_block_box(Context& ctx, long long c);

// Typed blocks that differ from `before` are no longer the block file's: blockfile is forgotten.
// Storing the lists as they were (a move between blocks after "LoadBlock") keeps the name.
void forget_block_file_if_changed(SharedState& s, const BlockStructure& before);

// The second line of "LengthBox": "%3.0f Lengths requested".
std::string lengths_text(long long m);

// Drawing into the main window: make figh current (and clear its axes); at the end make
// menufigh current again when it still names a window.
void enter_main_window(Context& ctx, bool clear);
void return_to_menu(Context& ctx);
// The numbered protocol drawing of proto on reference (nothing for an empty protocol).
void draw_protocol(Context& ctx, const std::string& label_color);
// Protocol line n in a block style, LineWidth 1.5, labelled n in the colour letter.
void draw_block_line(Context& ctx, double n, const std::string& style, const std::string& color);

}  // namespace qiv
