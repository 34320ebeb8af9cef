#include "platform/graphics/graphics.h"

#include <sys/mman.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <limits>

#include "base/failure.h"
#include "platform/memory_advice.h"
#include "platform/text.h"

namespace qiv {

namespace {

// The pools of lines and handles are touched page by page while millions of points are drawn.
template <typename T>
void advise_pool_huge_pages(const std::vector<T>& v) {
  advise_huge_pages(v.data(), v.capacity() * sizeof(T));
}

using PropMap = std::map<std::string, Value>;

// One point per line is the common case ("Load" draws millions of them, 40 bytes each): the
// point lives inline, longer lines keep their points in a side pool. Colours are indices into
// the store's palette, which holds each colour used once.
struct LineData {
  double x, y;  // the point when n <= 1
  std::uint32_t n;
  std::uint32_t big;  // index into big_points when n > 1
  float marker_size;
  float line_width;
  std::uint16_t color;
  std::uint16_t face;
  Marker marker;
  LineStyle style;
  bool visible;
  bool filled;  // the points outline a polygon filled with the FaceColor kept in light_extras
};
static_assert(sizeof(LineData) <= 40, "a point costs 40 bytes");

struct TextData {
  double x, y;
  std::string str;
  Rgb color;
  float font_size;
  bool visible;
  bool bold;
  bool italic;
  std::int8_t halign;
  std::int8_t valign;
};

struct Slot {
  ObjType type;
  std::uint32_t index;  // into heavies, lines or texts by type
  Handle parent;
};

// Handles are given out in increasing order and never again, so the map from a handle to its
// slot is paged: a page for every kPageSize consecutive handles, dropped once every handle of
// it has been given out and deleted. A long session redrawing millions of points keeps only
// the pages of the objects alive now, plus one null pointer per page ever used.
constexpr Handle kPageSize = 4096;
constexpr std::uint32_t kNoSlot = 0xffffffffu;
struct HandlePage {
  std::array<std::uint32_t, kPageSize> slot;
  std::uint32_t live = 0;
  HandlePage() { slot.fill(kNoSlot); }
};

// Room for `more` elements beyond `in_use`, growing by half again at least, so that repeated
// drawing never copies the whole store once per drawing.
template <typename T>
void grow_for(std::vector<T>& v, std::size_t in_use, std::size_t more) {
  const std::size_t need = in_use + more;
  if (need <= v.capacity()) return;
  v.reserve(std::max(need, v.capacity() + v.capacity() / 2));
}

struct Heavy {
  PropMap props;
  std::vector<Handle> children;
  // Axes only.
  std::array<Handle, 3> labels{kNoHandle, kNoHandle, kNoHandle};
  bool extent_dirty = true;
  double extent[4] = {0, 0, 0, 0};
  bool has_extent = false;
  Limits manual{0, 1, 0, 1};
  bool xmanual = false;
  bool ymanual = false;
  bool equal = false;
  Handle current_axes = kNoHandle;  // figures only
};

constexpr Rgb kNoColor{0, 0, 0, true};

const char* halign_name(int a) { return a < 0 ? "left" : a == 0 ? "center" : "right"; }
const char* valign_name(int a) { return a < 0 ? "bottom" : a == 0 ? "middle" : "top"; }

}  // namespace

struct Graphics::Impl {
  // Freed slots and line records form lists threaded through themselves (a free slot's index,
  // a free line's big, name the next free one), so that clearing millions of points needs
  // no memory of its own: a redraw after "Load" keeps the peak of "Load".
  std::vector<Slot> slots;  // by slot index
  std::uint32_t free_slot_head = kNoSlot;
  std::size_t free_slot_count = 0;
  std::vector<std::unique_ptr<HandlePage>> pages;  // by handle / kPageSize
  Handle next_handle = 0;
  std::vector<Heavy> heavies;
  std::vector<LineData> lines;
  std::uint32_t free_line_head = kNoSlot;
  std::size_t free_line_count = 0;
  std::vector<TextData> texts;
  std::vector<std::uint32_t> free_texts;
  std::vector<std::vector<double>> big_points;  // x values then y values
  std::vector<Rgb> palette;                     // the colours of lines, each once; only grows
  std::map<std::array<float, 4>, std::uint16_t> palette_index;
  std::uint16_t last_color = 0;  // where the last colour looked up was found
  std::vector<std::uint32_t> free_big;
  std::unordered_map<Handle, PropMap> light_extras;  // rare properties of lines and texts
  std::unordered_map<Handle, std::map<std::string, Value>> appdata;
  std::vector<GraphicsObserver*> observers;
  Handle current_figure = kNoHandle;
  std::size_t tagged_light = 0;

  // The palette entry for c. Drawing many points looks up the same colour again and again,
  // so the last one found is tried first. A session that used 65,536 different colours gets
  // the nearest of them from then on.
  std::uint16_t color_index(const Rgb& c) {
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
  // The points of a line of n > 1 points, in a reused side record: its index.
  std::uint32_t store_points(const double* x, const double* y, std::size_t n) {
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
  const double* xs_of(const LineData& l) const { return l.n > 1 ? big_points[l.big].data() : &l.x; }
  const double* ys_of(const LineData& l) const {
    return l.n > 1 ? big_points[l.big].data() + l.n : &l.y;
  }

  // The slot index of a live handle, kNoSlot for any other number.
  std::uint32_t slot_index(Handle h) const {
    if (h < 0 || h >= next_handle) return kNoSlot;
    const auto page = static_cast<std::size_t>(h / kPageSize);
    if (!pages[page]) return kNoSlot;
    return pages[page]->slot[static_cast<std::size_t>(h % kPageSize)];
  }
  bool valid(Handle h) const { return slot_index(h) != kNoSlot; }
  Slot& slot(Handle h) { return slots[slot_index(h)]; }
  const Slot& slot(Handle h) const { return slots[slot_index(h)]; }
  Heavy& heavy(Handle h) { return heavies[slot(h).index]; }
  const Heavy& heavy(Handle h) const { return heavies[slot(h).index]; }
  LineData& line(Handle h) { return lines[slot(h).index]; }
  const LineData& line(Handle h) const { return lines[slot(h).index]; }
  TextData& text(Handle h) { return texts[slot(h).index]; }
  const TextData& text(Handle h) const { return texts[slot(h).index]; }

  Handle add_slot(ObjType t, std::uint32_t index, Handle parent) {
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

  // Ends handle h for good and gives its slot back for reuse.
  void free_slot(Handle h) {
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

  static PropMap initial_props(ObjType t);

  Handle add_heavy(ObjType t, Handle parent, PropMap props) {
    heavies.push_back(Heavy{});
    heavies.back().props = std::move(props);
    Handle h = add_slot(t, static_cast<std::uint32_t>(heavies.size() - 1), parent);
    if (parent >= 0) heavy(parent).children.push_back(h);
    return h;
  }

  std::uint32_t alloc_line() {
    if (free_line_head != kNoSlot) {
      const std::uint32_t i = free_line_head;
      free_line_head = lines[i].big;
      --free_line_count;
      return i;
    }
    lines.emplace_back();
    return static_cast<std::uint32_t>(lines.size() - 1);
  }

  std::uint32_t alloc_text() {
    if (!free_texts.empty()) {
      std::uint32_t i = free_texts.back();
      free_texts.pop_back();
      return i;
    }
    texts.emplace_back();
    return static_cast<std::uint32_t>(texts.size() - 1);
  }

  void notify_created(Handle h) {
    for (auto* o : observers) o->object_created(h);
  }
  void notify_deleted(Handle h) {
    for (auto* o : observers) o->object_deleted(h);
  }
  void notify_changed(Handle h, std::string_view n) {
    for (auto* o : observers) o->property_changed(h, n);
  }
  void notify_content(Handle axes) {
    for (auto* o : observers) o->content_changed(axes);
  }

  // Frees a line or text without touching its parent's child list.
  void release_light(Handle h) {
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

  void clear_axes(Handle ax) {
    Heavy& a = heavy(ax);
    for (Handle c : a.children) release_light(c);
    // The child list, the line pool and the slots keep their room: the next drawing (a
    // redraw draws as much again) reuses it instead of allocating and copying it anew.
    a.children.clear();
    a.extent_dirty = true;
    notify_content(ax);
  }

  void update_extent(Heavy& a) const {
    if (!a.extent_dirty) return;
    double xmin = std::numeric_limits<double>::infinity(), xmax = -xmin;
    double ymin = xmin, ymax = -xmin;
    for (Handle c : a.children) {
      const Slot& s = slot(c);
      if (s.type != ObjType::kLine) continue;
      const LineData& l = lines[s.index];
      if (!l.visible) continue;
      const double* xs = xs_of(l);
      const double* ys = ys_of(l);
      for (std::uint32_t i = 0; i < l.n; ++i) {
        double x = xs[i], y = ys[i];
        if (std::isfinite(x) && std::isfinite(y)) {
          xmin = std::min(xmin, x);
          xmax = std::max(xmax, x);
          ymin = std::min(ymin, y);
          ymax = std::max(ymax, y);
        }
      }
    }
    a.has_extent = xmin <= xmax;
    if (a.has_extent) {
      a.extent[0] = xmin;
      a.extent[1] = xmax;
      a.extent[2] = ymin;
      a.extent[3] = ymax;
    }
    a.extent_dirty = false;
  }

  Limits limits(Handle ax) {
    Heavy& a = heavy(ax);
    Limits lim = a.manual;
    if (!a.xmanual || !a.ymanual) {
      update_extent(a);
      std::array<double, 2> xl{0, 1}, yl{0, 1};
      if (a.has_extent) {
        xl = Graphics::nice_limits(a.extent[0], a.extent[1]);
        yl = Graphics::nice_limits(a.extent[2], a.extent[3]);
      }
      if (!a.xmanual) {
        lim[0] = xl[0];
        lim[1] = xl[1];
      }
      if (!a.ymanual) {
        lim[2] = yl[0];
        lim[3] = yl[1];
      }
    }
    return lim;
  }

  std::array<double, 2> screen_size() const {
    const Value& v = heavies[0].props.at("screensize");
    return {v.matrix()(0, 2), v.matrix()(0, 3)};
  }

  // Pixel size of the rectangle that h's position is relative to.
  std::array<double, 2> reference_size(Handle h) const {
    const Slot& s = slot(h);
    if (s.type == ObjType::kFigure || s.parent < 0) return screen_size();
    auto p = pixel_position(s.parent);
    return {p[2], p[3]};
  }

  static std::array<double, 4> to_pixels(const Matrix& pos, const std::string& units,
                                         std::array<double, 2> ref) {
    std::array<double, 4> p{0, 0, 0, 0};
    for (int i = 0; i < 4 && i < pos.size(); ++i) p[static_cast<std::size_t>(i)] = pos.data()[i];
    if (units == "normalized") {
      p[0] *= ref[0];
      p[2] *= ref[0];
      p[1] *= ref[1];
      p[3] *= ref[1];
    } else if (units == "characters") {
      p[0] *= kCharWidthPx;
      p[2] *= kCharWidthPx;
      p[1] *= kCharHeightPx;
      p[3] *= kCharHeightPx;
    } else if (units == "points") {
      for (double& v : p) v *= 96.0 / 72.0;
    } else if (units == "inches") {
      for (double& v : p) v *= 96.0;
    } else if (units == "centimeters") {
      for (double& v : p) v *= 96.0 / 2.54;
    }
    return p;
  }

  static Matrix from_pixels(const std::array<double, 4>& px, const std::string& units,
                            std::array<double, 2> ref) {
    std::array<double, 4> p = px;
    if (units == "normalized") {
      p[0] /= ref[0];
      p[2] /= ref[0];
      p[1] /= ref[1];
      p[3] /= ref[1];
    } else if (units == "characters") {
      p[0] /= kCharWidthPx;
      p[2] /= kCharWidthPx;
      p[1] /= kCharHeightPx;
      p[3] /= kCharHeightPx;
    } else if (units == "points") {
      for (double& v : p) v /= 96.0 / 72.0;
    } else if (units == "inches") {
      for (double& v : p) v /= 96.0;
    } else if (units == "centimeters") {
      for (double& v : p) v /= 96.0 / 2.54;
    }
    return row({p[0], p[1], p[2], p[3]});
  }

  std::string units_of(Handle h) const {
    auto it = heavy(h).props.find("units");
    return it != heavy(h).props.end() && it->second.is_string() ? it->second.str() : "pixels";
  }

  std::array<double, 4> pixel_position(Handle h) const {
    const Heavy& o = heavy(h);
    auto it = o.props.find("position");
    if (it == o.props.end() || !it->second.is_matrix()) return {0, 0, 0, 0};
    return to_pixels(it->second.matrix(), units_of(h), reference_size(h));
  }

  Handle figure_of(Handle h) const {
    while (h >= 0 && valid(h) && slot(h).type != ObjType::kFigure) h = slot(h).parent;
    return h >= 0 && valid(h) ? h : kNoHandle;
  }

  void walk(Handle h, std::vector<Handle>& out) const {
    out.push_back(h);
    const Slot& s = slot(h);
    if (s.type == ObjType::kLine || s.type == ObjType::kText) return;
    const Heavy& o = heavies[s.index];
    if (s.type == ObjType::kAxes)
      for (Handle l : o.labels)
        if (l >= 0) out.push_back(l);
    for (Handle c : o.children) walk(c, out);
  }
};

Graphics::Graphics() : impl_(std::make_unique<Impl>()) {
  impl_->add_heavy(ObjType::kRoot, kNoHandle, Impl::initial_props(ObjType::kRoot));
}

Graphics::~Graphics() = default;

bool Graphics::ishandle(Handle h) const { return impl_->valid(h); }

static Failure invalid_handle() { return Failure("Invalid or deleted object."); }

ObjType Graphics::type(Handle h) const {
  if (!impl_->valid(h)) throw invalid_handle();
  return impl_->slot(h).type;
}

Handle Graphics::parent(Handle h) const {
  if (!impl_->valid(h)) throw invalid_handle();
  return impl_->slot(h).parent;
}

std::vector<Handle> Graphics::children(Handle h) const {
  if (!impl_->valid(h)) throw invalid_handle();
  ObjType t = impl_->slot(h).type;
  if (t == ObjType::kLine || t == ObjType::kText) return {};
  return impl_->heavy(h).children;
}

Handle Graphics::figure_of(Handle h) const { return impl_->figure_of(h); }

Handle Graphics::new_figure() {
  Handle h = impl_->add_heavy(ObjType::kFigure, kScreen, Impl::initial_props(ObjType::kFigure));
  impl_->current_figure = h;
  impl_->notify_created(h);
  return h;
}

Handle Graphics::new_axes(Handle fig) {
  if (!impl_->valid(fig) || impl_->slot(fig).type != ObjType::kFigure) throw invalid_handle();
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
  if (!impl_->valid(fig) || impl_->slot(fig).type != ObjType::kFigure) throw invalid_handle();
  Handle h = impl_->add_heavy(ObjType::kUicontrol, fig, Impl::initial_props(ObjType::kUicontrol));
  impl_->notify_created(h);
  return h;
}

void Graphics::delete_object(Handle h) {
  if (!impl_->valid(h) || h == kScreen) return;
  Slot& s = impl_->slot(h);
  Handle parent = s.parent;
  if (s.type == ObjType::kLine || s.type == ObjType::kText) {
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
  if (!impl_->valid(fig) || impl_->slot(fig).type != ObjType::kFigure) throw invalid_handle();
  delete_object(fig);
}

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
  if (!impl_->valid(fig) || impl_->slot(fig).type != ObjType::kFigure)
    throw Failure("The handle is not a figure.");
  impl_->current_figure = fig;
  for (auto* o : impl_->observers) o->figure_raised(fig);
}

std::vector<Handle> Graphics::figures() const { return impl_->heavies[0].children; }

Handle Graphics::callback_figure() const {
  return callback_object_ >= 0 ? impl_->figure_of(callback_object_) : kNoHandle;
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
  std::uint32_t li = impl_->alloc_line();
  LineData& l = impl_->lines[li];
  l = LineData{0,
               0,
               static_cast<std::uint32_t>(n),
               0,
               6.0f,
               0.5f,
               impl_->color_index(plot_style.color),
               impl_->color_index(kNoColor),
               plot_style.marker,
               plot_style.line,
               true,
               false};
  if (n == 1) {
    l.x = x[0];
    l.y = y[0];
  } else if (n > 1) {
    impl_->lines[li].big = impl_->store_points(x, y, n);
  }
  Handle h = impl_->add_slot(ObjType::kLine, li, ax);
  impl_->heavy(ax).children.push_back(h);
  impl_->heavy(ax).extent_dirty = true;
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
  std::uint32_t li = impl_->alloc_line();
  impl_->lines[li] = LineData{x,
                              y,
                              1,
                              0,
                              marker_size,
                              0.5f,
                              impl_->color_index(plot_style.color),
                              impl_->color_index(kNoColor),
                              plot_style.marker,
                              plot_style.line,
                              true,
                              false};
  Handle h = impl_->add_slot(ObjType::kLine, li, ax);
  Heavy& a = impl_->heavy(ax);
  a.children.push_back(h);
  a.extent_dirty = true;
  return h;  // callers drawing many points announce the axes once (reserve_lines/text)
}

Handle Graphics::patch(Handle ax, const double* x, const double* y, std::size_t n,
                       const Rgb& face) {
  if (!impl_->valid(ax) || impl_->slot(ax).type != ObjType::kAxes) throw invalid_handle();
  std::uint32_t li = impl_->alloc_line();
  impl_->lines[li] = LineData{0,
                              0,
                              static_cast<std::uint32_t>(n),
                              0,
                              6.0f,
                              0.5f,
                              impl_->color_index(Rgb{}),
                              impl_->color_index(kNoColor),
                              Marker::kNone,
                              LineStyle::kNone,
                              true,
                              !face.none};
  if (n == 1) {
    impl_->lines[li].x = x[0];
    impl_->lines[li].y = y[0];
  } else if (n > 1) {
    impl_->lines[li].big = impl_->store_points(x, y, n);
  }
  const Handle h = impl_->add_slot(ObjType::kLine, li, ax);
  impl_->light_extras[h]["facecolor"] = face.none ? Value("none") : Value(color_to_matrix(face));
  Heavy& a = impl_->heavy(ax);
  a.children.push_back(h);
  a.extent_dirty = true;
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

void Graphics::hold_on() {
  Handle ax = gca();
  impl_->heavy(ax).props["nextplot"] = Value("add");
  impl_->heavy(impl_->figure_of(ax)).props["nextplot"] = Value("add");
}

void Graphics::cla() { clear_axes(gca()); }

void Graphics::clear_axes(Handle ax) {
  if (!impl_->valid(ax) || impl_->slot(ax).type != ObjType::kAxes) throw invalid_handle();
  impl_->clear_axes(ax);
}

Limits Graphics::axis() { return impl_->limits(gca()); }

void Graphics::axis(const Limits& lim) {
  Handle ax = gca();
  Heavy& a = impl_->heavy(ax);
  if (!(lim[0] < lim[1]) || !(lim[2] < lim[3])) throw Failure("Axis limits must be increasing.");
  a.manual = lim;
  a.xmanual = a.ymanual = true;
  impl_->notify_changed(ax, "xlim");
}

void Graphics::axis_auto() {
  Handle ax = gca();
  Heavy& a = impl_->heavy(ax);
  a.xmanual = a.ymanual = false;
  impl_->notify_changed(ax, "xlimmode");
}

void Graphics::axis_equal() {
  Handle ax = gca();
  impl_->heavy(ax).equal = true;
  impl_->notify_changed(ax, "dataaspectratiomode");
}

Limits Graphics::axis_of(Handle ax) const {
  if (!impl_->valid(ax) || impl_->slot(ax).type != ObjType::kAxes) throw invalid_handle();
  return impl_->limits(ax);
}

bool Graphics::axis_is_equal(Handle ax) const {
  return impl_->valid(ax) && impl_->slot(ax).type == ObjType::kAxes && impl_->heavy(ax).equal;
}

double Graphics::nice_step(double lo, double hi) {
  double range = hi - lo;
  if (!(range > 0) || !std::isfinite(range)) return 1;
  double raw = range / 5.0;
  double mag = std::pow(10.0, std::floor(std::log10(raw)));
  double f = raw / mag;
  double nice = f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10;
  return nice * mag;
}

// Rule: the data range is rounded outward to whole multiples of a tick step of 1, 2 or 5
// times a power of ten, chosen so that about five steps span the data. A single value v gets
// [v - 1, v + 1].
std::array<double, 2> Graphics::nice_limits(double lo, double hi) {
  if (!std::isfinite(lo) || !std::isfinite(hi)) return {0, 1};
  if (lo == hi) return {lo - 1, hi + 1};
  double step = nice_step(lo, hi);
  double a = std::floor(lo / step + 1e-9) * step;
  double b = std::ceil(hi / step - 1e-9) * step;
  if (a == b) b = a + step;
  return {a, b};
}

// ---------------------------------------------------------------------------------------
// Properties
//
// What each type has, and the checks of a value, are in the tables of properties.cpp. A
// property kept in the object's property map (or, for lines and texts, in their side table of
// rare properties) needs nothing here; the accessors below serve the ones kept elsewhere or
// computed, and those whose change moves something else along.

namespace {

using Getter = Value (*)(Graphics::Impl&, const Graphics&, Handle);
using Setter = void (*)(Graphics::Impl&, Graphics&, Handle, const Value&);

struct Accessor {
  ObjType type;
  const char* name;
  Getter get;  // nullptr: the stored value
  Setter set;  // nullptr: store the checked value
};

Rgb as_color(const Value& checked) {
  return checked.is_string() ? *parse_color(checked.str()) : *color_from_matrix(checked.matrix());
}
float as_float(const Value& checked) { return static_cast<float>(checked.scalar_value()); }
Value on_off(bool on) { return Value(on ? "on" : "off"); }
bool is_on(const Value& checked) { return checked.str() == "on"; }
Value handle_or_empty(Handle h) { return h >= 0 ? Value(static_cast<double>(h)) : Value(Matrix()); }

Value line_points(const Graphics::Impl& g, Handle h, bool y) {
  const LineData& l = g.line(h);
  const double* p = y ? g.ys_of(l) : g.xs_of(l);
  Matrix m(1, l.n);
  for (std::uint32_t i = 0; i < l.n; ++i) m(0, i) = p[i];
  return m;
}

// The tag of a line or text, counted so that a search by tag skips lines and texts while none
// has one.
void set_light_tag(Graphics::Impl& g, Graphics&, Handle h, const Value& v) {
  PropMap& extras = g.light_extras[h];
  auto old = extras.find("tag");
  const bool was = old != extras.end() && !old->second.str().empty();
  const bool now = !v.str().empty();
  if (was && !now) --g.tagged_light;
  if (!was && now) ++g.tagged_light;
  extras["tag"] = v;
}

// Units change the numbers that describe a rectangle, never the rectangle.
void set_units(Graphics::Impl& g, Graphics&, Handle h, const Value& v) {
  const auto px = g.pixel_position(h);
  g.heavy(h).props["units"] = v;
  g.heavy(h).props["position"] = Graphics::Impl::from_pixels(px, v.str(), g.reference_size(h));
}

void set_limits(Graphics::Impl& g, Handle h, const Value& v, std::size_t off) {
  Heavy& a = g.heavy(h);
  a.manual = g.limits(h);
  a.manual[off] = v.matrix().data()[0];
  a.manual[off + 1] = v.matrix().data()[1];
  (off == 0 ? a.xmanual : a.ymanual) = true;
}

void set_limit_mode(Graphics::Impl& g, Handle h, const Value& v, bool Heavy::*manual) {
  Heavy& a = g.heavy(h);
  if (v.str() == "manual") a.manual = g.limits(h);
  a.*manual = v.str() == "manual";
}

using Impl = Graphics::Impl;

const std::vector<Accessor>& accessors() {
  static const std::vector<Accessor> list = [] {
    std::vector<Accessor> a{
        // Lines
        {ObjType::kLine, "XData",
         [](Impl& g, const Graphics&, Handle h) { return line_points(g, h, false); }, nullptr},
        {ObjType::kLine, "YData",
         [](Impl& g, const Graphics&, Handle h) { return line_points(g, h, true); }, nullptr},
        {ObjType::kLine, "Color",
         [](Impl& g, const Graphics&, Handle h) {
           return Value(color_to_matrix(g.palette[g.line(h).color]));
         },
         [](Impl& g, Graphics&, Handle h, const Value& v) {
           g.line(h).color = g.color_index(as_color(v));
         }},
        {ObjType::kLine, "LineStyle",
         [](Impl& g, const Graphics&, Handle h) { return Value(line_style_name(g.line(h).style)); },
         [](Impl& g, Graphics&, Handle h, const Value& v) {
           g.line(h).style = *line_style_from_name(v.str());
         }},
        {ObjType::kLine, "LineWidth",
         [](Impl& g, const Graphics&, Handle h) {
           return Value(static_cast<double>(g.line(h).line_width));
         },
         [](Impl& g, Graphics&, Handle h, const Value& v) { g.line(h).line_width = as_float(v); }},
        {ObjType::kLine, "Marker",
         [](Impl& g, const Graphics&, Handle h) { return Value(marker_name(g.line(h).marker)); },
         [](Impl& g, Graphics&, Handle h, const Value& v) {
           g.line(h).marker = *marker_from_name(v.str());
         }},
        {ObjType::kLine, "MarkerSize",
         [](Impl& g, const Graphics&, Handle h) {
           return Value(static_cast<double>(g.line(h).marker_size));
         },
         [](Impl& g, Graphics&, Handle h, const Value& v) { g.line(h).marker_size = as_float(v); }},
        {ObjType::kLine, "MarkerFaceColor",
         [](Impl& g, const Graphics&, Handle h) {
           const Rgb& f = g.palette[g.line(h).face];
           return f.none ? Value("none") : Value(color_to_matrix(f));
         },
         [](Impl& g, Graphics&, Handle h, const Value& v) {
           g.line(h).face = g.color_index(as_color(v));
         }},
        {ObjType::kLine, "Visible",
         [](Impl& g, const Graphics&, Handle h) { return on_off(g.line(h).visible); },
         [](Impl& g, Graphics&, Handle h, const Value& v) {
           g.line(h).visible = is_on(v);
           g.heavy(g.slot(h).parent).extent_dirty = true;
         }},
        {ObjType::kLine, "FaceColor", nullptr,
         [](Impl& g, Graphics&, Handle h, const Value& v) {
           g.light_extras[h]["facecolor"] = v;
           g.line(h).filled = !v.is_string();  // "none" is the only word kept
         }},
        {ObjType::kLine, "Tag", nullptr, set_light_tag},
        // Texts
        {ObjType::kText, "String",
         [](Impl& g, const Graphics&, Handle h) { return Value(g.text(h).str); },
         [](Impl& g, Graphics&, Handle h, const Value& v) { g.text(h).str = v.str(); }},
        {ObjType::kText, "Position",
         [](Impl& g, const Graphics&, Handle h) {
           return Value(row({g.text(h).x, g.text(h).y, 0}));
         },
         [](Impl& g, Graphics&, Handle h, const Value& v) {
           g.text(h).x = v.matrix().data()[0];
           g.text(h).y = v.matrix().data()[1];
         }},
        {ObjType::kText, "Color",
         [](Impl& g, const Graphics&, Handle h) { return Value(color_to_matrix(g.text(h).color)); },
         [](Impl& g, Graphics&, Handle h, const Value& v) { g.text(h).color = as_color(v); }},
        {ObjType::kText, "FontSize",
         [](Impl& g, const Graphics&, Handle h) {
           return Value(static_cast<double>(g.text(h).font_size));
         },
         [](Impl& g, Graphics&, Handle h, const Value& v) { g.text(h).font_size = as_float(v); }},
        {ObjType::kText, "FontWeight",
         [](Impl& g, const Graphics&, Handle h) {
           return Value(g.text(h).bold ? "bold" : "normal");
         },
         [](Impl& g, Graphics&, Handle h, const Value& v) { g.text(h).bold = v.str() == "bold"; }},
        {ObjType::kText, "FontAngle",
         [](Impl& g, const Graphics&, Handle h) {
           return Value(g.text(h).italic ? "italic" : "normal");
         },
         [](Impl& g, Graphics&, Handle h, const Value& v) {
           g.text(h).italic = v.str() != "normal";
         }},
        {ObjType::kText, "Visible",
         [](Impl& g, const Graphics&, Handle h) { return on_off(g.text(h).visible); },
         [](Impl& g, Graphics&, Handle h, const Value& v) { g.text(h).visible = is_on(v); }},
        {ObjType::kText, "HorizontalAlignment",
         [](Impl& g, const Graphics&, Handle h) { return Value(halign_name(g.text(h).halign)); },
         [](Impl& g, Graphics&, Handle h, const Value& v) {
           const std::string& a = v.str();
           g.text(h).halign = static_cast<std::int8_t>(a == "left" ? -1 : a == "center" ? 0 : 1);
         }},
        {ObjType::kText, "VerticalAlignment",
         [](Impl& g, const Graphics&, Handle h) { return Value(valign_name(g.text(h).valign)); },
         [](Impl& g, Graphics&, Handle h, const Value& v) {
           const std::string& a = v.str();
           g.text(h).valign = static_cast<std::int8_t>(a == "bottom" || a == "baseline" ? -1
                                                       : a == "middle"                  ? 0
                                                                                        : 1);
         }},
        {ObjType::kText, "Tag", nullptr, set_light_tag},
        // The screen
        {ObjType::kRoot, "CurrentFigure",
         [](Impl&, const Graphics& gr, Handle) { return handle_or_empty(gr.current_figure()); },
         [](Impl&, Graphics& gr, Handle, const Value& v) {
           gr.figure(static_cast<Handle>(v.scalar_value()));
         }},
        // Figures
        {ObjType::kFigure, "Units", nullptr, set_units},
        {ObjType::kFigure, "CurrentAxes",
         [](Impl& g, const Graphics&, Handle h) {
           return handle_or_empty(g.heavy(h).current_axes);
         },
         [](Impl& g, Graphics&, Handle h, const Value& v) {
           const auto ax = static_cast<Handle>(v.scalar_value());
           if (!g.valid(ax) || g.slot(ax).type != ObjType::kAxes || g.slot(ax).parent != h)
             throw Failure("CurrentAxes must be axes of this figure.");
           g.heavy(h).current_axes = ax;
         }},
        // The window's outer frame adds a title bar above the inner rectangle.
        {ObjType::kFigure, "OuterPosition",
         [](Impl& g, const Graphics&, Handle h) {
           auto px = g.pixel_position(h);
           px[3] += kFrameTitlePx;
           return Value(Impl::from_pixels(px, g.units_of(h), g.reference_size(h)));
         },
         [](Impl& g, Graphics&, Handle h, const Value& v) {
           auto px = Impl::to_pixels(v.matrix(), g.units_of(h), g.reference_size(h));
           px[3] -= kFrameTitlePx;
           g.heavy(h).props["position"] = Impl::from_pixels(px, g.units_of(h), g.reference_size(h));
         }},
        // Axes
        {ObjType::kAxes, "Units", nullptr, set_units},
        {ObjType::kAxes, "OuterPosition",
         [](Impl& g, const Graphics&, Handle h) { return g.heavy(h).props.at("position"); },
         [](Impl& g, Graphics&, Handle h, const Value& v) { g.heavy(h).props["position"] = v; }},
        {ObjType::kAxes, "XLim",
         [](Impl& g, const Graphics&, Handle h) {
           const Limits l = g.limits(h);
           return Value(row({l[0], l[1]}));
         },
         [](Impl& g, Graphics&, Handle h, const Value& v) { set_limits(g, h, v, 0); }},
        {ObjType::kAxes, "YLim",
         [](Impl& g, const Graphics&, Handle h) {
           const Limits l = g.limits(h);
           return Value(row({l[2], l[3]}));
         },
         [](Impl& g, Graphics&, Handle h, const Value& v) { set_limits(g, h, v, 2); }},
        {ObjType::kAxes, "XLimMode",
         [](Impl& g, const Graphics&, Handle h) {
           return Value(g.heavy(h).xmanual ? "manual" : "auto");
         },
         [](Impl& g, Graphics&, Handle h, const Value& v) {
           set_limit_mode(g, h, v, &Heavy::xmanual);
         }},
        {ObjType::kAxes, "YLimMode",
         [](Impl& g, const Graphics&, Handle h) {
           return Value(g.heavy(h).ymanual ? "manual" : "auto");
         },
         [](Impl& g, Graphics&, Handle h, const Value& v) {
           set_limit_mode(g, h, v, &Heavy::ymanual);
         }},
        {ObjType::kAxes, "DataAspectRatioMode",
         [](Impl& g, const Graphics&, Handle h) {
           return Value(g.heavy(h).equal ? "manual" : "auto");
         },
         [](Impl& g, Graphics&, Handle h, const Value& v) {
           g.heavy(h).equal = v.str() == "manual";
         }},
        {ObjType::kAxes, "XLabel",
         [](Impl& g, const Graphics&, Handle h) {
           return Value(static_cast<double>(g.heavy(h).labels[0]));
         },
         nullptr},
        {ObjType::kAxes, "YLabel",
         [](Impl& g, const Graphics&, Handle h) {
           return Value(static_cast<double>(g.heavy(h).labels[1]));
         },
         nullptr},
        {ObjType::kAxes, "Title",
         [](Impl& g, const Graphics&, Handle h) {
           return Value(static_cast<double>(g.heavy(h).labels[2]));
         },
         nullptr},
        // Controls
        {ObjType::kUicontrol, "Units", nullptr, set_units},
    };
    // Every object's place in the tree.
    for (ObjType t : {ObjType::kRoot, ObjType::kFigure, ObjType::kAxes, ObjType::kLine,
                      ObjType::kText, ObjType::kUicontrol}) {
      a.push_back(
          {t, "Type",
           [](Impl& g, const Graphics&, Handle h) { return Value(type_name(g.slot(h).type)); },
           nullptr});
      a.push_back(
          {t, "Parent",
           [](Impl& g, const Graphics&, Handle h) { return handle_or_empty(g.slot(h).parent); },
           nullptr});
      a.push_back({t, "Children",
                   [](Impl&, const Graphics& gr, Handle h) {
                     const auto kids = gr.children(h);
                     Matrix m(static_cast<Eigen::Index>(kids.size()), 1);
                     // Newest first, as a stacking order.
                     for (std::size_t i = 0; i < kids.size(); ++i)
                       m(static_cast<Eigen::Index>(i), 0) =
                           static_cast<double>(kids[kids.size() - 1 - i]);
                     return Value(m);
                   },
                   nullptr});
    }
    return a;
  }();
  return list;
}

const Accessor* accessor(const PropertyRule* rule) {
  static const std::unordered_map<const PropertyRule*, const Accessor*> by_rule = [] {
    std::unordered_map<const PropertyRule*, const Accessor*> m;
    for (const Accessor& a : accessors()) {
      const PropertyRule* r = find_property(a.type, a.name);
      assert(r != nullptr);
      m[r] = &a;
    }
    return m;
  }();
  auto it = by_rule.find(rule);
  return it == by_rule.end() ? nullptr : it->second;
}

bool is_light(ObjType t) { return t == ObjType::kLine || t == ObjType::kText; }

Failure no_such_property(std::string_view given, ObjType t) {
  return Failure("There is no " + std::string(given) + " property on the " + type_name(t) +
                 " class.");
}

}  // namespace

// The map of a new figure, axes or control: every stored property at its initial value.
PropMap Graphics::Impl::initial_props(ObjType t) {
  PropMap p;
  for (const PropertyRule& r : property_rules(t))
    if (!r.read_only && !r.initial.is_none()) p.emplace(to_lower(r.name), r.initial);
  return p;
}

Value Graphics::get(Handle h, std::string_view name_in) const {
  if (!impl_->valid(h)) throw invalid_handle();
  const ObjType t = impl_->slot(h).type;
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
  if (!impl_->valid(h)) throw invalid_handle();
  const Slot s = impl_->slot(h);
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
  std::vector<Handle> stack;
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
      if (s.type == ObjType::kLine || s.type == ObjType::kText) {
        auto it = impl_->light_extras.find(h);
        if (it == impl_->light_extras.end()) continue;
        auto t = it->second.find("tag");
        if (t != it->second.end() && t->second.is_string() && t->second.str() == tag)
          out.push_back(h);
        continue;
      }
      auto t = impl_->heavies[s.index].props.find("tag");
      if (t != impl_->heavies[s.index].props.end() && t->second.is_string() &&
          t->second.str() == tag)
        out.push_back(h);
    }
  }
  return out;
}

std::vector<Handle> Graphics::findall(Handle root) const {
  if (!impl_->valid(root)) throw invalid_handle();
  std::vector<Handle> out;
  impl_->walk(root, out);
  return out;
}

void Graphics::setappdata(Handle h, const std::string& name, Value v) {
  if (!impl_->valid(h)) throw invalid_handle();
  impl_->appdata[h][name] = std::move(v);
}

Value Graphics::getappdata(Handle h, const std::string& name) const {
  if (!impl_->valid(h)) throw invalid_handle();
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
  if (!impl_->valid(ax) || impl_->slot(ax).type != ObjType::kAxes) return;
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
  if (!impl_->valid(ax) || impl_->slot(ax).type != ObjType::kAxes) throw invalid_handle();
  return impl_->heavy(ax).labels;
}

std::array<double, 4> Graphics::pixel_position(Handle h) const {
  if (!impl_->valid(h)) throw invalid_handle();
  ObjType t = impl_->slot(h).type;
  if (t == ObjType::kLine || t == ObjType::kText) return {0, 0, 0, 0};
  if (t == ObjType::kRoot) {
    auto s = impl_->screen_size();
    return {0, 0, s[0], s[1]};
  }
  return impl_->pixel_position(h);
}

void Graphics::add_observer(GraphicsObserver* o) { impl_->observers.push_back(o); }

void Graphics::remove_observer(GraphicsObserver* o) {
  auto& v = impl_->observers;
  v.erase(std::remove(v.begin(), v.end(), o), v.end());
}

}  // namespace qiv
