#include "data/data_actions.h"

#include "platform/failure.h"

namespace qiv {

void load(Context&) { throw Failure("Action Load is not available yet"); }
void replot(Context&) { throw Failure("Action Replot is not available yet"); }
void clear(Context&) { throw Failure("Action Clear is not available yet"); }
void plot_mean(Context&) { throw Failure("Action PlotMean is not available yet"); }

}  // namespace qiv
