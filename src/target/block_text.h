#pragma once
// The current block's line numbers as the user edits them in "BlockBox", and the plot style
// of each block.
#include <string>
#include <string_view>
#include <vector>

#include "core/block_structure.h"

namespace qiv {

// Text to list: the numbers of the text (as str2num reads them) row by row, left to right,
// with every 0 dropped. Repeats, negative and fractional numbers are kept as they are and
// nothing is sorted. Text that holds no numbers, or only zeros, gives the empty list.
LineList block_text_to_list(std::string_view text);

// List to text: num2str of the list as one row ("1  2"); the empty list gives "".
std::string block_list_to_text(const LineList& list);

// The entries of a numeric text row by row, zeros kept: a line of a block structure file.
LineList numbers_row_by_row(std::string_view text);

// The twelve block styles: "r" "g" "b" "m" "y" "c" solid, then the same colours dotted.
// Block k (1-based) takes entry k; from block 13 on the table is used again from its start
// (13 like 1), so any number of blocks can be drawn.
const std::string& block_style(long long k);
// The colour letter of block k's style, used for its labels ("r" for blocks 1, 7, 13 ...).
std::string block_color(long long k);

}  // namespace qiv
