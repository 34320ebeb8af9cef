#include "data/data_callables.h"

#include "base/failure.h"
#include "data/landmark_file.h"
#include "data/showshape.h"
#include "data/specimen_file.h"

namespace qiv {

// Reads all three kinds of landmark file, as "Load" does; a TPS or NTS file gives the same
// matrix form, with each specimen's centroid size last.
Outputs dload_callable(Context&, const Args& in, int) {
  std::optional<SpecimenData> m = read_specimen_file(string_arg(in, 0, "dload"));
  if (!m) return {Value(-1.0)};
  return {Value(std::move(m->table))};
}

// The input is ignored (callers pass 1). Outputs: the matrix read (no value on cancel), then
// the file name without its directory (the number 0 on cancel).
Outputs mfload_callable(Context& ctx, const Args&, int nout) {
  Mfload r = mfload(ctx);
  Outputs out;
  if (r.cancelled)
    out.emplace_back();
  else if (r.data)
    out.emplace_back(std::move(*r.data));
  else
    out.emplace_back(-1.0);
  if (nout >= 2) out.emplace_back(r.cancelled ? Value(0.0) : Value(r.name));
  return out;
}

Outputs showshape_callable(Context& ctx, const Args& in, int) {
  const Matrix x = numeric_arg(in, 0, "showshape");
  if (in.size() >= 2)
    showshape(ctx.gfx, x, string_arg(in, 1, "showshape"));
  else
    showshape(ctx.gfx, x);
  return {Value(1.0)};
}

}  // namespace qiv
