#include "export/export_callables.h"

#include "platform/failure.h"

namespace qiv {

Outputs copy_big_image_callable(Context&, const Args&, int) { throw Failure("Function CopyBigImage is not available yet"); }
Outputs save_big_image_callable(Context&, const Args&, int) { throw Failure("Function SaveBigImage is not available yet"); }

}  // namespace qiv
