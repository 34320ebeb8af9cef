#include "subset/secondary_window.h"

#include <filesystem>
#include <system_error>

#include "core/folder_visit.h"
#include "guikit/figure_files.h"

namespace qiv {

Handle open_secondary_window(Context& ctx, const std::string& layout) {
  std::error_code ec;
  FolderVisit visit(ctx.state.figdir ? std::filesystem::path(*ctx.state.figdir)
                                     : std::filesystem::current_path(ec));
  const Handle fig = openfig(ctx, layout, "reuse");
  ctx.state.menufigh = fig;
  ctx.state.markerh = kNoHandle;
  return fig;
}

void make_menu_window_current(Context& ctx) {
  const auto& menu = ctx.state.menufigh;
  if (menu && ctx.gfx.ishandle(*menu) && ctx.gfx.type(*menu) == ObjType::kFigure)
    ctx.gfx.figure(*menu);
}

}  // namespace qiv
