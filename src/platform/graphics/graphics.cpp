#include "platform/graphics/graphics.h"

#include <sys/mman.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <limits>

#include "base/failure.h"
#include "platform/graphics/graphics_internal.h"
#include "platform/memory_advice.h"
#include "platform/text.h"

namespace qiv {

Handle Graphics::Impl::figure_of(Handle h) const {
  while (h >= 0 && valid(h) && slot(h).type != ObjType::kFigure) h = slot(h).parent;
  return h >= 0 && valid(h) ? h : kNoHandle;
}

void Graphics::Impl::walk(Handle h, std::vector<Handle>& out) const {
  out.push_back(h);
  const Slot& s = slot(h);
  if (is_light(s.type)) return;
  const Heavy& o = heavies[s.index];
  if (s.type == ObjType::kAxes)
    for (Handle l : o.labels)
      if (l >= 0) out.push_back(l);
  for (Handle c : o.children) walk(c, out);
}

Graphics::Graphics() : impl_(std::make_unique<Impl>()) {
  impl_->add_heavy(ObjType::kRoot, kNoHandle, Impl::initial_props(ObjType::kRoot));
}

Graphics::~Graphics() = default;

bool Graphics::ishandle(Handle h) const { return impl_->valid(h); }

ObjType Graphics::type(Handle h) const { return impl_->require(h).type; }

Handle Graphics::parent(Handle h) const { return impl_->require(h).parent; }

std::vector<Handle> Graphics::children(Handle h) const {
  const ObjType t = impl_->require(h).type;
  if (is_light(t)) return {};
  return impl_->heavy(h).children;
}

Handle Graphics::figure_of(Handle h) const { return impl_->figure_of(h); }

Handle Graphics::gcf() {
  if (impl_->current_figure == kNoHandle || !impl_->valid(impl_->current_figure)) new_figure();
  return impl_->current_figure;
}

Handle Graphics::gca() {
  Handle fig = gcf();
  Heavy& f = impl_->heavy(fig);
  if (f.current_axes == kNoHandle || !impl_->valid(f.current_axes)) return new_axes(fig);
  return f.current_axes;
}

Handle Graphics::current_figure() const {
  return impl_->valid(impl_->current_figure) ? impl_->current_figure : kNoHandle;
}

void Graphics::figure(Handle fig) {
  impl_->require(fig, ObjType::kFigure, "The handle is not a figure.");
  impl_->current_figure = fig;
  for (auto* o : impl_->observers) o->figure_raised(fig);
}

std::vector<Handle> Graphics::figures() const { return impl_->heavies[0].children; }

Handle Graphics::callback_figure() const {
  return callback_object_ >= 0 ? impl_->figure_of(callback_object_) : kNoHandle;
}

void Graphics::hold_on() {
  Handle ax = gca();
  impl_->heavy(ax).props["nextplot"] = Value("add");
  impl_->heavy(impl_->figure_of(ax)).props["nextplot"] = Value("add");
}

void Graphics::cla() { clear_axes(gca()); }

namespace {

// Whether props holds the given Tag.
bool tag_is(const PropMap& props, std::string_view tag) {
  auto t = props.find("tag");
  return t != props.end() && t->second.is_string() && t->second.str() == tag;
}

Failure no_such_property(std::string_view given, ObjType t) {
  return Failure("There is no " + std::string(given) + " property on the " + type_name(t) +
                 " class.");
}

}  // namespace

Value Graphics::get(Handle h, std::string_view name_in) const {
  const ObjType t = impl_->require(h).type;
  const PropertyRule* rule = find_property(t, name_in);
  if (!rule) throw no_such_property(name_in, t);
  if (const Accessor* a = accessor(rule); a && a->get) return a->get(*impl_, *this, h);
  const std::string key = to_lower(rule->name);
  const PropMap* stored = nullptr;
  if (!is_light(t)) {
    stored = &impl_->heavy(h).props;
  } else if (auto it = impl_->light_extras.find(h); it != impl_->light_extras.end()) {
    stored = &it->second;
  }
  if (stored) {
    auto it = stored->find(key);
    if (it != stored->end()) return it->second;
  }
  return rule->initial;
}

bool Graphics::has_property(Handle h, std::string_view name) const {
  return impl_->valid(h) && find_property(impl_->slot(h).type, name) != nullptr;
}

void Graphics::set(Handle h, std::string_view name_in, const Value& v) {
  const Slot s = impl_->require(h);
  const PropertyRule* rule = find_property(s.type, name_in);
  if (!rule) throw no_such_property(name_in, s.type);
  if (rule->read_only) throw Failure("The property " + std::string(name_in) + " cannot be set.");
  const Value checked = checked_value(*rule, v, name_in);
  const std::string key = to_lower(rule->name);
  if (const Accessor* a = accessor(rule); a && a->set) {
    a->set(*impl_, *this, h, checked);
  } else if (is_light(s.type)) {
    impl_->light_extras[h][key] = checked;
  } else {
    impl_->heavy(h).props[key] = checked;
  }
  impl_->notify_changed(h, key);
  if (is_light(s.type) && rule->affects != Affects::kData) impl_->notify_content(s.parent);
}

std::vector<Handle> Graphics::findobj_tag(std::string_view tag) const {
  std::vector<Handle> out;
  for (Handle f : impl_->heavies[0].children) {
    std::vector<Handle> walk;
    // Lines and texts only carry tags when someone set one; skip them otherwise.
    if (impl_->tagged_light == 0) {
      walk.push_back(f);
      for (Handle c : impl_->heavy(f).children) walk.push_back(c);
    } else {
      impl_->walk(f, walk);
    }
    for (Handle h : walk) {
      const Slot& s = impl_->slot(h);
      if (is_light(s.type)) {
        auto it = impl_->light_extras.find(h);
        if (it != impl_->light_extras.end() && tag_is(it->second, tag)) out.push_back(h);
      } else if (tag_is(impl_->heavies[s.index].props, tag)) {
        out.push_back(h);
      }
    }
  }
  return out;
}

std::vector<Handle> Graphics::findall(Handle root) const {
  impl_->require(root);
  std::vector<Handle> out;
  impl_->walk(root, out);
  return out;
}

void Graphics::setappdata(Handle h, const std::string& name, Value v) {
  impl_->require(h);
  impl_->appdata[h][name] = std::move(v);
}

Value Graphics::getappdata(Handle h, const std::string& name) const {
  impl_->require(h);
  auto it = impl_->appdata.find(h);
  if (it == impl_->appdata.end()) return Value();
  auto v = it->second.find(name);
  return v == it->second.end() ? Value() : v->second;
}

bool Graphics::isappdata(Handle h, const std::string& name) const {
  auto it = impl_->appdata.find(h);
  return it != impl_->appdata.end() && it->second.count(name) > 0;
}

std::size_t Graphics::line_count(Handle ax) const {
  std::size_t n = 0;
  for (Handle c : impl_->heavy(ax).children)
    if (impl_->slot(c).type == ObjType::kLine) ++n;
  return n;
}

std::size_t Graphics::slots_in_store() const { return impl_->slots.size(); }

void Graphics::for_each_drawn(Handle ax, const std::function<void(const LineView&)>& on_line,
                              const std::function<void(const TextView&)>& on_text) const {
  if (!impl_->is(ax, ObjType::kAxes)) return;
  for (Handle c : impl_->heavy(ax).children) {
    const Slot& s = impl_->slot(c);
    if (s.type == ObjType::kLine) {
      const LineData& l = impl_->lines[s.index];
      Rgb fill = kNoColor;
      if (l.filled) fill = as_color(impl_->light_extras.at(c).at("facecolor"));
      on_line(LineView{impl_->xs_of(l), impl_->ys_of(l), l.n, impl_->palette[l.color],
                       impl_->palette[l.face], l.marker, l.style, l.marker_size, l.line_width,
                       l.visible, fill});
    } else {
      on_text(text_view(c));
    }
  }
}

TextView Graphics::text_view(Handle h) const {
  const TextData& t = impl_->text(h);
  return TextView{t.x,       t.y,    &t.str,   t.color,  t.font_size,
                  t.visible, t.bold, t.italic, t.halign, t.valign};
}

std::array<Handle, 3> Graphics::axes_labels(Handle ax) const {
  impl_->require(ax, ObjType::kAxes);
  return impl_->heavy(ax).labels;
}

void Graphics::add_observer(GraphicsObserver* o) { impl_->observers.push_back(o); }

void Graphics::remove_observer(GraphicsObserver* o) {
  auto& v = impl_->observers;
  v.erase(std::remove(v.begin(), v.end(), o), v.end());
}

}  // namespace qiv
