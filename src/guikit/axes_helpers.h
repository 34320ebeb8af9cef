#pragma once
// cla empties the current axes before a redraw; ylabel writes the y-axis label, which serves
// as the status line of the main window's plot.
#include <string>

#include "platform/graphics/graphics.h"
#include "platform/runtime.h"

namespace qiv {

// Deletes everything drawn in the current axes (created when there is none) and keeps their
// label texts. Returns the axes.
Handle cla(Graphics& gfx);

// Sets the current axes' y label: the axes' font angle, name, size and weight, then the
// text, then the extra name/value pairs in order. An odd number of extra inputs fails with
// "Incorrect number of input arguments" and changes nothing. Returns the label text.
Handle ylabel(Graphics& gfx, const std::string& text, const Args& extra = {});

}  // namespace qiv
