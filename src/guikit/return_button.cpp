#include "guikit/return_button.h"

#include <string>

namespace qiv {

Handle return_button(const Graphics& g, Handle edit) {
  if (!g.ishandle(edit) || g.type(edit) != ObjType::kUicontrol) return kNoHandle;
  const std::string tag = g.get(edit, "ReturnButton").str();
  if (tag.empty()) return kNoHandle;
  const Handle fig = g.figure_of(edit);
  for (Handle c : g.children(fig)) {
    if (c == edit || g.type(c) != ObjType::kUicontrol) continue;
    if (g.get(c, "Tag").str() == tag && g.get(c, "Style").str() == "pushbutton") return c;
  }
  return kNoHandle;
}

}  // namespace qiv
