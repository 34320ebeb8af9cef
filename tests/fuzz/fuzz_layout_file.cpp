// libFuzzer harness for the layout reader: any text either makes one figure with its
// children or fails with a message that names the file, and then creates nothing at all.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/failure.h"
#include "fuzz_support.h"
#include "platform/graphics/graphics.h"
#include "platform/layout_file.h"

namespace {

// Accepts the names of the program's two callback routes, as the real check does for the
// names it knows.
std::string check_callback(const std::vector<std::string>& words) {
  if (words[0] == "qivprotosw" || words[0] == "Qiv_proto") return "";
  return "\"" + words[0] + "\" is not a function that can be called";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static qiv::Graphics gfx;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string name = "fuzz.fig";
  const std::size_t figures = gfx.figures().size();
  qiv::Handle fig = qiv::kNoHandle;
  try {
    fig = qiv::hgload_text(gfx, text, name, check_callback);
  } catch (const qiv::Failure& f) {
    const std::string what = f.what();
    if (what.rfind("Layout file \"" + name + "\"", 0) != 0)
      qiv::fuzz::broken("a layout failure does not name the file");
    if (gfx.figures().size() != figures) qiv::fuzz::broken("a refused layout made a figure");
    return 0;
  }
  if (gfx.figures().size() != figures + 1 || gfx.type(fig) != qiv::ObjType::kFigure ||
      gfx.current_figure() != fig)
    qiv::fuzz::broken("a read layout did not make exactly one current figure");
  for (qiv::Handle h : gfx.findall(fig)) (void)gfx.pixel_position(h);
  gfx.close(fig);
  return 0;
}
