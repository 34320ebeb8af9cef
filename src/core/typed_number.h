#pragma once
// Numbers typed into boxes. A box holds text; the actions that need one whole number from
// it (a line, a landmark, a block, a count, a seed) read it here, the same way everywhere:
// the text read as numbers (str2num) must be exactly one number, whole, from lo to hi. Each
// action then words its own refusal.
#include <optional>
#include <string>
#include <string_view>

#include "core/context.h"

namespace qiv {

// True for a finite number without a fractional part.
bool is_whole(double v);

// The single number of a text when it is a whole number from lo to hi.
std::optional<double> whole_number_in(std::string_view text, double lo, double hi);

// The same, read from the control tagged `tag` (an empty text when there is none).
std::optional<double> box_whole_number(const Context& ctx, const std::string& tag, double lo,
                                       double hi);

// A typed text in double quotes, without surrounding blanks, for messages.
std::string quote_typed(std::string_view text);

}  // namespace qiv
