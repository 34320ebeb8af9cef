#pragma once
// The handle registry of a window (one field per valid tag, holding every object with that
// tag in walk order) and the GUI data stored on a window.
#include <optional>

#include "platform/graphics/graphics.h"
#include "platform/value.h"

namespace qiv {

// The figure that contains h (h itself for a figure); kNoHandle when the walk up the
// parents passes the screen object or h names no object.
Handle get_parent_fig(const Graphics& gfx, Handle h);

// The handle named by a value: a single whole number naming an existing object; otherwise
// kNoHandle.
Handle handle_from_value(const Graphics& gfx, const Value& v);

// With no window the current figure is used. Fails with "H must be the handle to a figure
// or figure descendent." for a value that names no object inside a figure. A window without
// any valid tag gives an empty matrix instead of a record. Field values are columns of
// handles.
Value guihandles(Graphics& gfx, const std::optional<Value>& h);

// GUI data of h's figure (application data "UsedByGUIData_m"); an empty matrix when none.
Value guidata_get(const Graphics& gfx, const Value& h);
void guidata_set(Graphics& gfx, const Value& h, Value data);

}  // namespace qiv
