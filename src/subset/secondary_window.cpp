#include "subset/secondary_window.h"

#include <filesystem>
#include <system_error>

#include "guikit/figure_files.h"

namespace qiv {
namespace {

// Restores the current directory when the action leaves, by any path.
class DirectoryRestorer {
 public:
  DirectoryRestorer() : saved_(std::filesystem::current_path()) {}
  ~DirectoryRestorer() {
    std::error_code ignored;
    std::filesystem::current_path(saved_, ignored);
  }
  DirectoryRestorer(const DirectoryRestorer&) = delete;
  DirectoryRestorer& operator=(const DirectoryRestorer&) = delete;

 private:
  std::filesystem::path saved_;
};

}  // namespace

Handle open_secondary_window(Context& ctx, const std::string& layout) {
  DirectoryRestorer restore;
  if (ctx.state.figdir) std::filesystem::current_path(*ctx.state.figdir);
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
