#pragma once
// The natural button of an edit box: its ReturnButton property names, by Tag, the pushbutton
// that Return typed in the box presses ("Line between" boxes press "Add line").
#include "platform/graphics/graphics.h"

namespace qiv {

// The pushbutton of edit's own figure whose Tag is edit's ReturnButton; kNoHandle when the
// property is empty, edit is gone, or the figure has no pushbutton of that Tag. Whether the
// button is enabled is for the caller to decide.
Handle return_button(const Graphics& g, Handle edit);

}  // namespace qiv
