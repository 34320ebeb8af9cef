// The store behind handles: slots, the line and text pools, the palette; making, drawing,
// clearing and deleting objects.
#include <algorithm>
#include <cstdint>

#include "base/failure.h"
#include "platform/graphics/graphics.h"
#include "platform/graphics/graphics_internal.h"
#include "platform/text.h"

namespace qiv {

std::uint16_t Graphics::Impl::color_index(const Rgb& c) {
  if (last_color < palette.size() && palette[last_color] == c) return last_color;
  const std::array<float, 4> key{c.r, c.g, c.b, c.none ? 1.0f : 0.0f};
  auto it = palette_index.find(key);
  if (it != palette_index.end()) return last_color = it->second;
  if (palette.size() <= 0xffff) {
    palette.push_back(c);
    const auto i = static_cast<std::uint16_t>(palette.size() - 1);
    palette_index.emplace(key, i);
    return last_color = i;
  }
  std::size_t best = 0;
  float best_d = std::numeric_limits<float>::infinity();
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const Rgb& p = palette[i];
    const float d = p.none != c.none ? best_d
                                     : (p.r - c.r) * (p.r - c.r) + (p.g - c.g) * (p.g - c.g) +
                                           (p.b - c.b) * (p.b - c.b);
    if (d < best_d) {
      best_d = d;
      best = i;
    }
  }
  return last_color = static_cast<std::uint16_t>(best);
}

std::uint32_t Graphics::Impl::store_points(const double* x, const double* y, std::size_t n) {
  std::uint32_t bi;
  if (!free_big.empty()) {
    bi = free_big.back();
    free_big.pop_back();
  } else {
    big_points.emplace_back();
    bi = static_cast<std::uint32_t>(big_points.size() - 1);
  }
  auto& pts = big_points[bi];
  pts.assign(x, x + n);
  pts.insert(pts.end(), y, y + n);
  return bi;
}

Handle Graphics::Impl::add_slot(ObjType t, std::uint32_t index, Handle parent) {
  const Handle h = next_handle++;
  std::uint32_t si;
  if (free_slot_head != kNoSlot) {
    si = free_slot_head;
    free_slot_head = slots[si].index;
    --free_slot_count;
    slots[si] = Slot{t, index, parent};
  } else {
    si = static_cast<std::uint32_t>(slots.size());
    slots.push_back(Slot{t, index, parent});
  }
  const auto page = static_cast<std::size_t>(h / kPageSize);
  if (page == pages.size()) pages.push_back(std::make_unique<HandlePage>());
  pages[page]->slot[static_cast<std::size_t>(h % kPageSize)] = si;
  ++pages[page]->live;
  return h;
}

void Graphics::Impl::free_slot(Handle h) {
  const std::uint32_t si = slot_index(h);
  assert(si != kNoSlot);
  slots[si].index = free_slot_head;
  free_slot_head = si;
  ++free_slot_count;
  const auto page = static_cast<std::size_t>(h / kPageSize);
  pages[page]->slot[static_cast<std::size_t>(h % kPageSize)] = kNoSlot;
  const bool all_given_out = static_cast<Handle>(page + 1) * kPageSize <= next_handle;
  if (--pages[page]->live == 0 && all_given_out) pages[page].reset();
}

Handle Graphics::Impl::add_heavy(ObjType t, Handle parent, PropMap props) {
  heavies.push_back(Heavy{});
  heavies.back().props = std::move(props);
  Handle h = add_slot(t, static_cast<std::uint32_t>(heavies.size() - 1), parent);
  if (parent >= 0) heavy(parent).children.push_back(h);
  return h;
}

std::uint32_t Graphics::Impl::alloc_line() {
  if (free_line_head != kNoSlot) {
    const std::uint32_t i = free_line_head;
    free_line_head = lines[i].big;
    --free_line_count;
    return i;
  }
  lines.emplace_back();
  return static_cast<std::uint32_t>(lines.size() - 1);
}

LineData Graphics::Impl::line_record(const Rgb& color, Marker marker, LineStyle style,
                                     float marker_size, bool filled) {
  LineData l{};
  l.marker_size = marker_size;
  l.line_width = 0.5f;
  l.color = color_index(color);
  l.face = color_index(kNoColor);
  l.marker = marker;
  l.style = style;
  l.visible = true;
  l.filled = filled;
  return l;
}

Handle Graphics::Impl::add_line(Handle ax, LineData l, const double* x, const double* y,
                                std::size_t n) {
  l.n = static_cast<std::uint32_t>(n);
  if (n == 1) {
    l.x = x[0];
    l.y = y[0];
  } else if (n > 1) {
    l.big = store_points(x, y, n);
  }
  const std::uint32_t li = alloc_line();
  lines[li] = l;
  const Handle h = add_slot(ObjType::kLine, li, ax);
  Heavy& a = heavy(ax);
  a.children.push_back(h);
  a.extent_dirty = true;
  return h;
}

std::uint32_t Graphics::Impl::alloc_text() {
  if (!free_texts.empty()) {
    std::uint32_t i = free_texts.back();
    free_texts.pop_back();
    return i;
  }
  texts.emplace_back();
  return static_cast<std::uint32_t>(texts.size() - 1);
}

void Graphics::Impl::release_light(Handle h) {
  const Slot s = slot(h);
  free_slot(h);
  if (s.type == ObjType::kLine) {
    LineData& l = lines[s.index];
    if (l.n > 1) {
      big_points[l.big].clear();
      big_points[l.big].shrink_to_fit();
      free_big.push_back(l.big);
    }
    lines[s.index].big = free_line_head;
    free_line_head = s.index;
    ++free_line_count;
  } else {
    texts[s.index].str.clear();
    texts[s.index].str.shrink_to_fit();
    free_texts.push_back(s.index);
  }
  if (!light_extras.empty()) {
    auto it = light_extras.find(h);
    if (it != light_extras.end()) {
      auto tag = it->second.find("tag");
      if (tag != it->second.end() && tag->second.is_string() && !tag->second.str().empty())
        --tagged_light;
      light_extras.erase(it);
    }
  }
  appdata.erase(h);
}

void Graphics::Impl::clear_axes(Handle ax) {
  Heavy& a = heavy(ax);
  for (Handle c : a.children) release_light(c);
  // The child list, the line pool and the slots keep their room: the next drawing (a
  // redraw draws as much again) reuses it instead of allocating and copying it anew.
  a.children.clear();
  a.extent_dirty = true;
  notify_content(ax);
}

// The map of a new figure, axes or control: every stored property at its initial value.
PropMap Graphics::Impl::initial_props(ObjType t) {
  PropMap p;
  for (const PropertyRule& r : property_rules(t))
    if (!r.read_only && !r.initial.is_none()) p.emplace(to_lower(r.name), r.initial);
  return p;
}

Handle Graphics::new_figure() {
  Handle h = impl_->add_heavy(ObjType::kFigure, kScreen, Impl::initial_props(ObjType::kFigure));
  impl_->current_figure = h;
  impl_->notify_created(h);
  return h;
}

Handle Graphics::new_axes(Handle fig) {
  impl_->require(fig, ObjType::kFigure);
  Handle ax = impl_->add_heavy(ObjType::kAxes, fig, Impl::initial_props(ObjType::kAxes));
  // The three label texts belong to the axes but are not among its drawn children, so
  // clearing the axes keeps them.
  for (int i = 0; i < 3; ++i) {
    std::uint32_t ti = impl_->alloc_text();
    impl_->texts[ti] = TextData{0, 0, "", Rgb{0, 0, 0}, 10.0f, true, i == 2, false, 0, 0};
    impl_->heavy(ax).labels[static_cast<std::size_t>(i)] = impl_->add_slot(ObjType::kText, ti, ax);
  }
  impl_->heavy(fig).current_axes = ax;
  impl_->notify_created(ax);
  return ax;
}

Handle Graphics::new_uicontrol(Handle fig) {
  impl_->require(fig, ObjType::kFigure);
  Handle h = impl_->add_heavy(ObjType::kUicontrol, fig, Impl::initial_props(ObjType::kUicontrol));
  impl_->notify_created(h);
  return h;
}

void Graphics::delete_object(Handle h) {
  if (!impl_->valid(h) || h == kScreen) return;
  Slot& s = impl_->slot(h);
  Handle parent = s.parent;
  if (is_light(s.type)) {
    Heavy& a = impl_->heavy(parent);
    for (Handle l : a.labels)
      if (l == h) return;  // label texts live as long as their axes
    impl_->release_light(h);
    auto it = std::find(a.children.begin(), a.children.end(), h);
    if (it != a.children.end()) a.children.erase(it);
    a.extent_dirty = true;
    impl_->notify_content(parent);
    return;
  }
  impl_->notify_deleted(h);
  // Children first, depth first; copy because deletion edits the list.
  std::vector<Handle> kids = impl_->heavy(h).children;
  if (s.type == ObjType::kAxes) {
    for (Handle c : kids) impl_->release_light(c);
    for (Handle l : impl_->heavy(h).labels) impl_->release_light(l);
    impl_->heavy(h).children.clear();
  } else {
    for (Handle c : kids) delete_object(c);
  }
  impl_->heavy(h).props.clear();
  impl_->heavy(h).children.clear();
  impl_->heavy(h).children.shrink_to_fit();
  impl_->free_slot(h);
  impl_->appdata.erase(h);
  if (parent >= 0 && impl_->valid(parent)) {
    auto& pc = impl_->heavy(parent).children;
    auto it = std::find(pc.begin(), pc.end(), h);
    if (it != pc.end()) pc.erase(it);
    if (impl_->slot(parent).type == ObjType::kFigure && impl_->heavy(parent).current_axes == h) {
      impl_->heavy(parent).current_axes = kNoHandle;
      for (Handle c : pc)
        if (impl_->slot(c).type == ObjType::kAxes) impl_->heavy(parent).current_axes = c;
    }
  }
  if (impl_->current_figure == h) {
    impl_->current_figure = kNoHandle;
    const auto& figs = impl_->heavies[0].children;
    if (!figs.empty()) impl_->current_figure = figs.back();
  }
  if (callback_object_ >= 0 && !impl_->valid(callback_object_)) callback_object_ = kNoHandle;
}

void Graphics::close(Handle fig) {
  impl_->require(fig, ObjType::kFigure);
  delete_object(fig);
}

Handle Graphics::plot(const double* x, const double* y, std::size_t n,
                      const PlotStyle& plot_style) {
  Handle ax = gca();
  Heavy& a = impl_->heavy(ax);
  auto np = a.props.find("nextplot");
  if (np != a.props.end() && np->second.is_string() && np->second.str() == "replace") {
    impl_->clear_axes(ax);
    a.xmanual = a.ymanual = false;
    a.equal = false;
  }
  const LineData l =
      impl_->line_record(plot_style.color, plot_style.marker, plot_style.line, 6.0f, false);
  const Handle h = impl_->add_line(ax, l, x, y, n);
  impl_->notify_content(ax);
  return h;
}

Handle Graphics::plot(const std::vector<double>& x, const std::vector<double>& y,
                      std::string_view style) {
  auto plot_style = parse_plot_style(style);
  if (!plot_style) throw Failure("Invalid line style \"" + std::string(style) + "\".");
  if (x.size() != y.size()) throw Failure("Vectors must be the same length.");
  return plot(x.data(), y.data(), x.size(), *plot_style);
}

Handle Graphics::plot_point(Handle ax, double x, double y, const PlotStyle& plot_style,
                            float marker_size) {
  const LineData l =
      impl_->line_record(plot_style.color, plot_style.marker, plot_style.line, marker_size, false);
  // Callers drawing many points announce the axes once (reserve_lines/text).
  return impl_->add_line(ax, l, &x, &y, 1);
}

Handle Graphics::patch(Handle ax, const double* x, const double* y, std::size_t n,
                       const Rgb& face) {
  impl_->require(ax, ObjType::kAxes);
  const Handle h = impl_->add_line(
      ax, impl_->line_record(Rgb{}, Marker::kNone, LineStyle::kNone, 6.0f, !face.none), x, y, n);
  impl_->light_extras[h]["facecolor"] = face.none ? Value("none") : Value(color_to_matrix(face));
  impl_->notify_content(ax);
  return h;
}

void Graphics::reserve_lines(Handle ax, std::size_t n) {
  auto& children = impl_->heavy(ax).children;
  grow_for(children, children.size(), n);
  const auto beyond_free = [n](std::size_t free) { return n > free ? n - free : 0; };
  grow_for(impl_->lines, impl_->lines.size(), beyond_free(impl_->free_line_count));
  grow_for(impl_->slots, impl_->slots.size(), beyond_free(impl_->free_slot_count));
  if (n >= (std::size_t{1} << 16)) {
    advise_pool_huge_pages(children);
    advise_pool_huge_pages(impl_->lines);
    advise_pool_huge_pages(impl_->slots);
  }
  impl_->notify_content(ax);
}

Handle Graphics::text(double x, double y, std::string s) {
  return text_in(gca(), x, y, std::move(s));
}

Handle Graphics::text_in(Handle ax, double x, double y, std::string s) {
  std::uint32_t ti = impl_->alloc_text();
  impl_->texts[ti] = TextData{x, y, std::move(s), Rgb{0, 0, 0}, 10.0f, true, false, false, -1, 0};
  Handle h = impl_->add_slot(ObjType::kText, ti, ax);
  impl_->heavy(ax).children.push_back(h);
  impl_->notify_content(ax);
  return h;
}

void Graphics::clear_axes(Handle ax) {
  impl_->require(ax, ObjType::kAxes);
  impl_->clear_axes(ax);
}

}  // namespace qiv
