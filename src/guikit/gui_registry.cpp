#include "guikit/gui_registry.h"

#include <cmath>

#include "base/failure.h"
#include "guikit/identifiers.h"

namespace qiv {

namespace {
const char* kBadHandle = "H must be the handle to a figure or figure descendent.";
const char* kGuiDataName = "UsedByGUIData_m";
}  // namespace

Handle get_parent_fig(const Graphics& gfx, Handle h) {
  while (h != kNoHandle && gfx.ishandle(h) && gfx.type(h) != ObjType::kFigure) {
    h = gfx.parent(h);
  }
  return h != kNoHandle && gfx.ishandle(h) ? h : kNoHandle;
}

Handle handle_from_value(const Graphics& gfx, const Value& v) {
  if (!v.is_scalar()) return kNoHandle;
  double d = v.scalar_value();
  if (!(d >= 0) || d != std::floor(d) || d > 9e15) return kNoHandle;
  Handle h = static_cast<Handle>(d);
  return gfx.ishandle(h) ? h : kNoHandle;
}

Value guihandles(Graphics& gfx, const std::optional<Value>& hv) {
  Handle fig;
  if (hv) {
    Handle h = handle_from_value(gfx, *hv);
    fig = h == kNoHandle ? kNoHandle : get_parent_fig(gfx, h);
    if (fig == kNoHandle) throw Failure(kBadHandle);
  } else {
    fig = gfx.gcf();
  }
  Record reg;
  for (Handle h : gfx.findall(fig)) {
    Value tag = gfx.get(h, "Tag");
    if (!tag.is_string() || tag.str().empty() || !isvarname(tag.str())) continue;
    bool added = false;
    for (Field& f : reg) {
      if (f.name == tag.str()) {
        Matrix& m = f.value.matrix();
        m.conservativeResize(m.rows() + 1, 1);
        m(m.rows() - 1, 0) = static_cast<double>(h);
        added = true;
        break;
      }
    }
    if (!added) reg.push_back(Field{tag.str(), Value(static_cast<double>(h))});
  }
  if (reg.empty()) return Value(Matrix());
  return Value(std::move(reg));
}

static Handle gui_figure(const Graphics& gfx, const Value& hv) {
  Handle h = handle_from_value(gfx, hv);
  Handle fig = h == kNoHandle ? kNoHandle : get_parent_fig(gfx, h);
  if (fig == kNoHandle) throw Failure(kBadHandle);
  return fig;
}

Value guidata_get(const Graphics& gfx, const Value& hv) {
  Value v = gfx.getappdata(gui_figure(gfx, hv), kGuiDataName);
  return v.is_none() ? Value(Matrix()) : v;
}

void guidata_set(Graphics& gfx, const Value& hv, Value data) {
  gfx.setappdata(gui_figure(gfx, hv), kGuiDataName, std::move(data));
}

}  // namespace qiv
