#pragma once
// Functions of the export folder that are callable by name: inputs as values, outputs as
// many as requested (at most the declared count, which the runtime has checked).
#include "core/context.h"

namespace qiv {

Outputs copy_big_image_callable(Context& ctx, const Args& in, int nout);  // CopyBigImage
Outputs save_big_image_callable(Context& ctx, const Args& in, int nout);  // SaveBigImage

}  // namespace qiv
