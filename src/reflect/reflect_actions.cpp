#include "reflect/reflect_actions.h"

#include "platform/failure.h"

namespace qiv {

void do_back_reflect(Context&) { throw Failure("Action DoBackReflect is not available yet"); }
void add_midline(Context&) { throw Failure("Action AddMidline is not available yet"); }
void show_midline(Context&) { throw Failure("Action ShowMidline is not available yet"); }
void show_all_midline(Context&) { throw Failure("Action ShowAllMidline is not available yet"); }
void midline_reflect(Context&) { throw Failure("Action MidlineReflect is not available yet"); }
void save_reflected(Context&) { throw Failure("Action SaveReflected is not available yet"); }

}  // namespace qiv
