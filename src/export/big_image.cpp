#include "export/big_image.h"

#include "base/failure.h"
#include "core/confirm.h"
#include "core/suggested_name.h"

namespace qiv {

void with_big_image(Context& ctx, const std::function<void(Handle fig)>& draw) {
  Graphics& g = ctx.gfx;
  const Handle fig = g.gcf();
  const Handle ax = g.gca();

  Limits t = g.axis();
  const double trrx = t[1] - t[0];
  const double trry = t[3] - t[2];
  t[0] -= 0.03 * trrx;
  t[1] += 0.03 * trrx;
  t[2] -= 0.03 * trry;
  t[3] += 0.03 * trry;

  const Value iposition = g.get(ax, "Position");
  const Value iunits = g.get(ax, "Units");
  const Value ifunits = g.get(fig, "Units");

  g.set(fig, "Units", Value("characters"));
  const Matrix f = g.get(fig, "Position").matrix();
  const Matrix fposition = row({12, 3, f.data()[2] - 5, f.data()[3] - 4});
  const Value funits = g.get(fig, "Units");
  g.set(ax, "Units", funits);
  g.set(ax, "Position", Value(fposition));

  auto restore = [&] {
    g.set(fig, "Units", ifunits);
    g.set(ax, "Units", iunits);
    g.set(ax, "Position", iposition);
    g.axis_auto();
    g.axis_equal();
  };
  try {
    g.axis(t);
    g.axis_equal();
    draw(fig);
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void copy_big_image(Context& ctx) {
  with_big_image(ctx, [&ctx](Handle fig) { ctx.ui.copy_figure(ctx.gfx, fig, &ctx.state.picture); });
  confirm(ctx, "Copied the picture to the clipboard");
}

void save_big_image(Context& ctx) {
  const FileChoice file = ctx.ui.put_file("*.svg;*.png;*.pdf", "Save Picture As",
                                          suggested_name(ctx.state, "picture", ".pdf"));
  if (file.cancelled) return;
  const std::string path = file.dir + file.name;
  std::string failure;
  with_big_image(ctx, [&](Handle fig) {
    try {
      ctx.ui.save_figure(ctx.gfx, fig, path, &ctx.state.picture);
    } catch (const Failure& f) {
      failure = f.what();
    }
  });
  // The box comes once the window shows its plot again.
  if (!failure.empty()) {
    ctx.ui.msgbox(failure);
    return;
  }
  confirm(ctx, "Saved " + file.name);
}

}  // namespace qiv
