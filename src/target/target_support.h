#pragma once
// Steps and checks shared by the actions of the target window. The checks show their
// message box and return false (or nothing) so that the action can end with nothing changed.
#include <optional>
#include <string>
#include <string_view>

#include "base/matrix.h"
#include "core/context.h"
#include "target/block_text.h"

namespace qiv {

// Upper bound for block counts and block numbers typed by the user: far above any real
// protocol, low enough that the block list stays small in memory.
inline constexpr long long kMaxBlocks = 100000;

// The number of protocol lines the blocks may name (0 for an empty protocol).
long long protocol_line_count(const Matrix& proto);

// The single number of a typed text when it is a whole number from lo to hi.
std::optional<double> typed_whole_number(std::string_view text, double lo, double hi);

// A typed text in double quotes, without surrounding blanks, for messages.
std::string quote_typed(std::string_view text);

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

// Stores a list as block c, growing `block` (new blocks empty) when it holds fewer.
void store_block(SharedState& s, long long c, LineList list);
// Block c's list, the empty list when `block` does not hold it.
LineList block_at(const SharedState& s, long long c);

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
