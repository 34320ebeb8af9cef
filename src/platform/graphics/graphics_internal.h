#pragma once
// The private side of the object model, shared by the files of platform/graphics: the
// records behind handles, the store (Graphics::Impl) and the property accessors.
#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/failure.h"
#include "platform/graphics/graphics.h"
#include "platform/memory_advice.h"

namespace qiv {

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

inline Failure invalid_handle() { return Failure("Invalid or deleted object."); }

using Getter = Value (*)(Graphics::Impl&, const Graphics&, Handle);
using Setter = void (*)(Graphics::Impl&, Graphics&, Handle, const Value&);

struct Accessor {
  ObjType type;
  const char* name;
  Getter get;  // nullptr: the stored value
  Setter set;  // nullptr: store the checked value
};

Rgb as_color(const Value& checked);
const Accessor* accessor(const PropertyRule* rule);

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

}  // namespace qiv
