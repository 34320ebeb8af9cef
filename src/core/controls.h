#pragma once
// Controls are found by tag every time an action needs them (in any open window, the first
// one in walk order); no control handle is kept from one action to the next. A tag that no
// open window holds reads as empty text and ignores writes, as a search that finds nothing
// does.
#include <cstddef>
#include <string>
#include <vector>

#include "core/context.h"

namespace qiv {

Handle find_control(const Context& ctx, const std::string& tag);  // kNoHandle when none

// The longest text an action reads from a control: far beyond any list of landmark or line
// numbers, short enough that reading it never stalls the program.
inline constexpr std::size_t kMaxControlText = 100000;

// The String of the control as one text; a list of lines is joined with "\n". A text longer
// than kMaxControlText throws Failure naming the box by its tooltip, the words the user sees
// when pointing at it: "The box "Landmarks of the subset" holds 250000 characters; a box holds
// at most 100000.".
std::string control_text(const Context& ctx, const std::string& tag);
void set_control_text(Context& ctx, const std::string& tag, const std::string& text);
// Sets the String to a list of lines (a multi-line text control).
void set_control_lines(Context& ctx, const std::string& tag, const std::vector<std::string>& lines);

double control_value(const Context& ctx, const std::string& tag);  // 0 when absent
void set_control_enable(Context& ctx, const std::string& tag, bool on);

// The whole text of a String property value (string, list of strings, or numbers).
std::string value_text(const Value& v);

}  // namespace qiv
