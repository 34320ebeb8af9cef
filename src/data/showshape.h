#pragma once
// Drawing landmark configurations into the current axes.
#include <string>

#include "base/matrix.h"
#include "platform/graphics/graphics.h"

namespace qiv {

// Draws every landmark of every row of x (x1 y1 ... xk yk, then one trailing value that is
// never drawn; k is the whole part of (columns - 1) / 2) as one point object with the style
// and "MarkerSize" 3, row by row, landmark by landmark; keeps earlier drawings (hold on);
// then sets automatic limits and equal scaling. Fails for a text that is not a style.
void showshape(Graphics& gfx, const Matrix& x, const std::string& style = "k.");

// Labels landmark i of the row r with the text i at (x + ox, y + oy), where ox and oy are a
// hundredth of the width and height of the limits lim, in the default text appearance.
void number_landmarks(Graphics& gfx, const Matrix& r, const Limits& lim);

// Multiplies each of the four current limits by 1.03 (the limits, not the range), then sets
// equal scaling.
void widen_axes(Graphics& gfx);

}  // namespace qiv
