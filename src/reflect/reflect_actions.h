#pragma once
// The reflect actions of the dispatcher; each runs one user action to its end.
#include "core/context.h"

namespace qiv {

void do_back_reflect(Context& ctx);   // "DoBackReflect"
void add_midline(Context& ctx);       // "AddMidline"
void show_midline(Context& ctx);      // "ShowMidline"
void show_all_midline(Context& ctx);  // "ShowAllMidline"
void midline_reflect(Context& ctx);   // "MidlineReflect"
void save_reflected(Context& ctx);    // "SaveReflected"

}  // namespace qiv
