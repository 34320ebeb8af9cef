#include "guikit/figure_files.h"

#include "platform/failure.h"

namespace qiv {

Handle openfig(Context&, const std::string&, const std::string&) {
  throw Failure("Function openfig is not available yet");
}

void movegui(Context&, const Args&) { throw Failure("Function movegui is not available yet"); }

}  // namespace qiv
