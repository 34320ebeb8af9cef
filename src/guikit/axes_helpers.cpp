#include "guikit/axes_helpers.h"

#include "base/failure.h"

namespace qiv {

Handle cla(Graphics& gfx) {
  Handle ax = gfx.gca();
  gfx.clear_axes(ax);
  return ax;
}

Handle ylabel(Graphics& gfx, const std::string& text, const Args& extra) {
  if (extra.size() % 2 != 0) throw Failure("Incorrect number of input arguments");
  for (std::size_t i = 0; i < extra.size(); i += 2)
    if (!extra[i].is_string()) throw Failure("Incorrect number of input arguments");
  Handle ax = gfx.gca();
  Handle label = gfx.axes_labels(ax)[1];
  for (const char* p : {"FontAngle", "FontName", "FontSize", "FontWeight"})
    gfx.set(label, p, gfx.get(ax, p));
  gfx.set(label, "String", Value(text));
  for (std::size_t i = 0; i < extra.size(); i += 2) gfx.set(label, extra[i].str(), extra[i + 1]);
  return label;
}

}  // namespace qiv
