#include "subset/subset_actions.h"

#include "platform/failure.h"

namespace qiv {

void make_subset(Context&) { throw Failure("Action MakeSubset is not available yet"); }
void show_this_landmark(Context&) { throw Failure("Action ShowThisLandmark is not available yet"); }
void invert_subset(Context&) { throw Failure("Action InvertSubset is not available yet"); }
void show_subset(Context&) { throw Failure("Action ShowSubset is not available yet"); }
void add_lm_to_subset(Context&) { throw Failure("Action AddLMtoSubset is not available yet"); }
void show_all(Context&) { throw Failure("Action ShowAll is not available yet"); }
void save_subset(Context&) { throw Failure("Action SaveSubset is not available yet"); }

}  // namespace qiv
