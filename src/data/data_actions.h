#pragma once
// The data actions of the dispatcher; each runs one user action to its end.
#include "core/context.h"

namespace qiv {

void load(Context& ctx);       // "Load"
void replot(Context& ctx);     // "Replot"
void clear(Context& ctx);      // "Clear"
void plot_mean(Context& ctx);  // "PlotMean"

}  // namespace qiv
