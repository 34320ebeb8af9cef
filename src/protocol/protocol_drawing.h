#pragma once
// Protocol lines on the mean shape: landmark j lies at (reference(2j-1), reference(2j)).
#include <string>

#include "base/matrix.h"
#include "core/protocol.h"
#include "platform/graphics/graphics.h"

namespace qiv {

// Draws the two-point line from landmark a to landmark b of the consensus row into the
// current axes with a style ("k", "M", "r:", ...). Returns its handle.
Handle draw_segment(Graphics& gfx, const Matrix& reference, double a, double b,
                    const std::string& style);

// Places the text `label` at the midpoint of the segment a-b in the colour letter given.
Handle label_segment(Graphics& gfx, const Matrix& reference, double a, double b,
                     const std::string& label, const std::string& color);

// The numbered protocol drawing: for each line i of proto, the segment between its two end
// landmarks in black, and the text i at its midpoint in the label colour. Adds to what the
// axes show.
void draw_numbered_protocol(Graphics& gfx, const Protocol& proto, const Matrix& reference,
                            const std::string& label_color);

}  // namespace qiv
