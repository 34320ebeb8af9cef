#include "data/data_callables.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "base/failure.h"
#include "data/landmark_file.h"
#include "data/showshape.h"
#include "data/specimen_file.h"

namespace qiv {

// Reads all three kinds of landmark file, as "Load" does; a TPS or NTS file gives the same
// matrix form, with each specimen's centroid size last.
// A file it cannot open gives -1, its specified output; the reason goes to standard error, so
// that the output stays as it is.
Outputs dload_callable(Context&, const Args& in, int) {
  const std::string path = string_arg(in, 0, "dload");
  std::optional<SpecimenData> m = read_specimen_file(path);
  if (!m) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const std::string why = fd < 0 ? std::strerror(errno) : "it could not be read";
    if (fd >= 0) ::close(fd);
    std::cerr << "Cannot open " << path << ": " << why << ".\n";
    return {Value(-1.0)};
  }
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
