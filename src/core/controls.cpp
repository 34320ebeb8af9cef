#include "core/controls.h"

#include "base/failure.h"
#include "platform/text.h"

namespace qiv {

Handle find_control(const Context& ctx, const std::string& tag) {
  auto found = ctx.gfx.findobj_tag(tag);
  return found.empty() ? kNoHandle : found.front();
}

std::string value_text(const Value& v) {
  if (v.is_string()) return v.str();
  if (v.is_matrix()) return num2str(v.matrix());
  if (v.is_list()) {
    std::string out;
    for (std::size_t i = 0; i < v.list().size(); ++i) {
      if (i > 0) out += '\n';
      out += value_text(v.list()[i]);
    }
    return out;
  }
  return "";
}

std::string control_text(const Context& ctx, const std::string& tag) {
  Handle h = find_control(ctx, tag);
  if (h == kNoHandle || !ctx.gfx.has_property(h, "String")) return "";
  std::string text = value_text(ctx.gfx.get(h, "String"));
  if (text.size() > kMaxControlText) {
    const Value tip =
        ctx.gfx.has_property(h, "TooltipString") ? ctx.gfx.get(h, "TooltipString") : Value();
    const std::string name = tip.is_string() && !tip.str().empty() ? tip.str() : tag;
    throw Failure("The box \"" + name + "\" holds " + std::to_string(text.size()) +
                  " characters; a box holds at most " + std::to_string(kMaxControlText) + ".");
  }
  return text;
}

void set_control_text(Context& ctx, const std::string& tag, const std::string& text) {
  Handle h = find_control(ctx, tag);
  if (h != kNoHandle) ctx.gfx.set(h, "String", Value(text));
}

void set_control_lines(Context& ctx, const std::string& tag,
                       const std::vector<std::string>& lines) {
  Handle h = find_control(ctx, tag);
  if (h == kNoHandle) return;
  List l;
  for (const auto& s : lines) l.emplace_back(s);
  ctx.gfx.set(h, "String", Value(std::move(l)));
}

double control_value(const Context& ctx, const std::string& tag) {
  Handle h = find_control(ctx, tag);
  if (h == kNoHandle || !ctx.gfx.has_property(h, "Value")) return 0;
  Value v = ctx.gfx.get(h, "Value");
  return v.is_scalar() ? v.scalar_value() : 0;
}

void set_control_enable(Context& ctx, const std::string& tag, bool on) {
  Handle h = find_control(ctx, tag);
  if (h != kNoHandle) ctx.gfx.set(h, "Enable", Value(on ? "on" : "off"));
}

}  // namespace qiv
