#pragma once
// Controls are found by tag every time an action needs them (in any open window, the first
// one in walk order); no control handle is kept from one action to the next. A tag that no
// open window holds reads as empty text and ignores writes, as a search that finds nothing
// does.
#include <string>
#include <vector>

#include "core/context.h"

namespace qiv {

Handle find_control(const Context& ctx, const std::string& tag);  // kNoHandle when none

// The String of the control as one text; a list of lines is joined with "\n".
std::string control_text(const Context& ctx, const std::string& tag);
void set_control_text(Context& ctx, const std::string& tag, const std::string& text);
// Sets the String to a list of lines (a multi-line text control).
void set_control_lines(Context& ctx, const std::string& tag, const std::vector<std::string>& lines);

double control_value(const Context& ctx, const std::string& tag);  // 0 when absent
void set_control_enable(Context& ctx, const std::string& tag, bool on);

// The whole text of a String property value (string, list of strings, or numbers).
std::string value_text(const Value& v);

}  // namespace qiv
