#pragma once
// Functions of the data folder that are callable by name: inputs as values, outputs as
// many as requested (at most the declared count, which the runtime has checked).
#include "core/context.h"

namespace qiv {

Outputs dload_callable(Context& ctx, const Args& in, int nout);      // dload
Outputs mfload_callable(Context& ctx, const Args& in, int nout);     // mfload
Outputs showshape_callable(Context& ctx, const Args& in, int nout);  // showshape

}  // namespace qiv
