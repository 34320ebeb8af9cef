#pragma once
// The correlation matrix of the line lengths as a picture: a grid of coloured cells, the lines
// ordered by block, block boundaries, line numbers on the left and on top, and a colour bar.
// Drawn into an axes of the object model, so a headless run builds the same picture.
//
// Data coordinates: with m lines, the cell of the lines at places a (row, from the top) and
// b (column) of the order covers x in [b, b + 1], y in [m - a - 1, m - a]. The colour bar
// stands right of the matrix.
#include <vector>

#include "base/matrix.h"
#include "core/shared_state.h"
#include "platform/graphics/graphics.h"

namespace qiv {

// The lines (0-based) in the picture's order: block 1's lines in the order listed, then block
// 2's, ... (a line listed again, in the same or a later block, keeps its first place), then
// the lines in no block from the lowest. group_ends: the place after each non-empty group.
struct LineOrder {
  std::vector<int> lines;
  std::vector<int> group_ends;
  std::vector<long long> group_blocks;  // the block of each group, 0 for the lines in none
};
LineOrder block_order(const BlockList& block, long long nblocks, long long m);

// The diverging scale, readable with every common colour vision deficiency: ColorBrewer's
// red-blue stops, -1 dark blue (#053061) through white at 0 to +1 dark red (#67001F),
// linear between stops; values beyond [-1, 1] take the end colours.
Rgb correlation_color(double r);

// Clears the axes and draws the picture of r (m x m, in protocol line order) in `order`.
void draw_correlation_picture(Graphics& gfx, Handle axes, const Matrix& r, const LineOrder& order);

// Clears the axes and shows only a sentence saying why there is no picture.
void draw_no_correlations(Graphics& gfx, Handle axes, const std::string& why);

}  // namespace qiv
