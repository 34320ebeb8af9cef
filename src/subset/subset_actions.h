#pragma once
// The subset actions of the dispatcher; each runs one user action to its end.
#include "core/context.h"

namespace qiv {

void make_subset(Context& ctx);         // "MakeSubset"
void show_this_landmark(Context& ctx);  // "ShowThisLandmark"
void invert_subset(Context& ctx);       // "InvertSubset"
void show_subset(Context& ctx);         // "ShowSubset"
void add_lm_to_subset(Context& ctx);    // "AddLMtoSubset"
void show_all(Context& ctx);            // "ShowAll"
void save_subset(Context& ctx);         // "SaveSubset"

}  // namespace qiv
