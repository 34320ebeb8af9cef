#include "data/data_callables.h"

#include "platform/failure.h"

namespace qiv {

Outputs dload_callable(Context&, const Args&, int) { throw Failure("Function dload is not available yet"); }
Outputs mfload_callable(Context&, const Args&, int) { throw Failure("Function mfload is not available yet"); }
Outputs showshape_callable(Context&, const Args&, int) { throw Failure("Function showshape is not available yet"); }

}  // namespace qiv
