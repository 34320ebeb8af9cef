#include "core/confirm.h"

namespace qiv {

void confirm(Context& ctx, const std::string& text) {
  Handle fig = ctx.gfx.callback_figure();
  if (fig == kNoHandle || !ctx.gfx.ishandle(fig)) fig = ctx.gfx.current_figure();
  ctx.ui.status(text, fig);
}

std::string counted(long long n, const std::string& singular, const std::string& plural) {
  return std::to_string(n) + ' ' + (n == 1 ? singular : plural);
}

}  // namespace qiv
