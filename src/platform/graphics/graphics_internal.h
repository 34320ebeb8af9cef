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

// Lines and texts: kept in the compact pools, not in Heavy records.
inline bool is_light(ObjType t) { return t == ObjType::kLine || t == ObjType::kText; }

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
  std::uint16_t color_index(const Rgb& c);
  // The points of a line of n > 1 points, in a reused side record: its index.
  std::uint32_t store_points(const double* x, const double* y, std::size_t n);
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
  // Whether h is a live object of type t.
  bool is(Handle h, ObjType t) const { return valid(h) && slot(h).type == t; }
  // The slot of h when it is a live object (of type t), else Failure with the given message.
  const Slot& require(Handle h, const char* failure = "Invalid or deleted object.") const {
    if (!valid(h)) throw Failure(failure);
    return slot(h);
  }
  const Slot& require(Handle h, ObjType t,
                      const char* failure = "Invalid or deleted object.") const {
    if (!is(h, t)) throw Failure(failure);
    return slot(h);
  }
  Slot& slot(Handle h) { return slots[slot_index(h)]; }
  const Slot& slot(Handle h) const { return slots[slot_index(h)]; }
  Heavy& heavy(Handle h) { return heavies[slot(h).index]; }
  const Heavy& heavy(Handle h) const { return heavies[slot(h).index]; }
  LineData& line(Handle h) { return lines[slot(h).index]; }
  const LineData& line(Handle h) const { return lines[slot(h).index]; }
  TextData& text(Handle h) { return texts[slot(h).index]; }
  const TextData& text(Handle h) const { return texts[slot(h).index]; }

  // --- the store: slots and pools (store.cpp) ------------------------------------------------
  Handle add_slot(ObjType t, std::uint32_t index, Handle parent);
  // Ends handle h for good and gives its slot back for reuse.
  void free_slot(Handle h);
  static PropMap initial_props(ObjType t);
  Handle add_heavy(ObjType t, Handle parent, PropMap props);
  std::uint32_t alloc_line();
  // The record of a new visible line drawn in color, without marker face colour; add_line
  // gives it its points.
  LineData line_record(const Rgb& color, Marker marker, LineStyle style, float marker_size,
                       bool filled);
  // Adds the line l through the n points (x, y) as the last child of axes ax; the caller
  // announces the axes.
  Handle add_line(Handle ax, LineData l, const double* x, const double* y, std::size_t n);
  std::uint32_t alloc_text();
  // Frees a line or text without touching its parent's child list.
  void release_light(Handle h);
  void clear_axes(Handle ax);

  // --- observers -----------------------------------------------------------------------------
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

  // --- axis limits (limits_ticks.cpp) --------------------------------------------------------
  void update_extent(Heavy& a) const;
  Limits limits(Handle ax);

  // --- units and positions (units.cpp) -------------------------------------------------------
  std::array<double, 2> screen_size() const;
  // Pixel size of the rectangle that h's position is relative to.
  std::array<double, 2> reference_size(Handle h) const;
  static std::array<double, 4> to_pixels(const Matrix& pos, const std::string& units,
                                         std::array<double, 2> ref);
  static Matrix from_pixels(const std::array<double, 4>& px, const std::string& units,
                            std::array<double, 2> ref);
  std::string units_of(Handle h) const;
  std::array<double, 4> pixel_position(Handle h) const;

  // --- the tree (graphics.cpp) ---------------------------------------------------------------
  Handle figure_of(Handle h) const;
  void walk(Handle h, std::vector<Handle>& out) const;
};

}  // namespace qiv
