#pragma once
// The graphics object model: the screen (handle 0), figures, axes, lines, texts and
// uicontrols, with case-insensitive properties, the current figure and axes, and change
// notifications for a front end.
//
// Contract
//
// Ownership. The Graphics instance owns every object; callers hold handles, never pointers.
// An object belongs to its parent and goes with it: deleting a figure deletes its axes and
// controls, deleting (or clearing) an axes deletes its lines and texts. The three label
// texts of an axes live exactly as long as the axes.
//
// Properties. Each type's properties, their kinds, initial values, allowed words, whether
// they can be set and what a change affects, are the tables of properties.h; get and set
// check every name and value against them ("There is no NAME property on the TYPE class.",
// "Bad value for the property NAME...") and change nothing when they throw.
//
// Notifications, in the order things happen, synchronously, to every observer added:
//  - object_created: a figure, axes or uicontrol was made, with its initial properties.
//  - property_changed: set changed a property of any object (the lower-case canonical name).
//  - content_changed: the lines and texts of an axes were drawn, changed or cleared. Lines
//    and texts are too many to announce one by one; cla and clear_axes send only this.
//  - object_deleted: a figure, axes or uicontrol is about to go; it and its children can
//    still be read during the call. A deleted line or text sends content_changed instead.
//  - figure_raised: a figure became the current one (figure(), a click in its window).
// Inside a notification an observer may read the model (get, children, for_each_drawn) and
// note what to do; it must not create, delete or set anything, nor add or remove observers:
// the model is in the middle of a change. Work follows the event that caused it.
//
// Qt windows (qt/window_manager.h) keep in step thus: a notification only marks the figure's
// controls or picture out of date (by the table's Affects; a change affecting data only marks
// nothing); one sync after the event (right after a callback, else on the next turn of the
// event loop) brings all marked windows up to date, and a canvas renders its picture once when
// it is next painted. So one event repaints each window once, however many objects changed.
//
// Handles are positive whole numbers, unique for the run and never reused, so a stale
// handle can never name a new object; 0 is the screen and -1 means none. The storage behind
// them is reused: a deleted object's slot (and its line or text record) goes to a free list
// and serves the next object created, under that object's new handle, so a session that
// clears and redraws the same picture again and again keeps the same memory.
//
// Lines and texts are stored compactly (fixed fields in pools, rare properties in a side
// table), because "Load" draws one line object per landmark per specimen: millions of them.
// Figures, axes and uicontrols keep a property map.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/graphics/properties.h"
#include "platform/graphics/style.h"
#include "platform/value.h"

namespace qiv {

using Handle = std::int64_t;
constexpr Handle kScreen = 0;
constexpr Handle kNoHandle = -1;

// One character unit, in pixels. Fixed so that headless and windowed runs agree.
constexpr double kCharWidthPx = 7.0;
constexpr double kCharHeightPx = 16.0;
// The outer frame of a figure window around its inner rectangle, in pixels.
constexpr double kFrameTitlePx = 24.0;

// Axis limits [xmin xmax ymin ymax].
using Limits = std::array<double, 4>;

// Receives every change of the model, for a front end that mirrors it. Lines and texts are
// too many to announce one by one when drawn or cleared: their axes gets content_changed.
class GraphicsObserver {
 public:
  virtual ~GraphicsObserver() = default;
  virtual void object_created(Handle h) = 0;  // figures, axes, uicontrols
  virtual void object_deleted(Handle h) = 0;  // before removal; still queryable
  virtual void property_changed(Handle h, std::string_view lower_name) = 0;
  virtual void content_changed(Handle axes) = 0;  // lines/texts drawn, changed, cleared
  virtual void figure_raised(Handle fig) = 0;
};

// Plain data of one line, as a painter reads it.
struct LineView {
  const double* x;
  const double* y;
  std::size_t n;
  Rgb color;
  Rgb face;
  Marker marker;
  LineStyle style;
  float marker_size;
  float line_width;
  bool visible;
  Rgb fill;  // FaceColor: the polygon the points outline is filled with it unless none
};

struct TextView {
  double x, y;
  const std::string* text;
  Rgb color;
  float font_size;
  bool visible;
  bool bold;
  bool italic;
  int halign;  // -1 left, 0 center, 1 right
  int valign;  // -1 bottom, 0 middle, 1 top
};

class Graphics {
 public:
  Graphics();
  ~Graphics();
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  // --- objects -------------------------------------------------------------------------
  bool ishandle(Handle h) const;
  ObjType type(Handle h) const;                  // Failure for an invalid handle
  Handle parent(Handle h) const;                 // kNoHandle for the screen
  std::vector<Handle> children(Handle h) const;  // creation order (figures, axes, uicontrols)
  // The figure that contains h (h itself for a figure); kNoHandle for the screen.
  Handle figure_of(Handle h) const;

  Handle new_figure();          // visible, becomes current
  Handle new_axes(Handle fig);  // becomes the figure's current axes
  Handle new_uicontrol(Handle fig);
  void delete_object(Handle h);  // with all descendants
  void close(Handle fig);

  // --- current figure and axes ---------------------------------------------------------
  Handle gcf();                         // creates a figure when none is open
  Handle gca();                         // creates axes in gcf when it has none
  Handle current_figure() const;        // kNoHandle when none, never creates
  void figure(Handle fig);              // make current and raise
  std::vector<Handle> figures() const;  // open figures, oldest first

  // The object whose callback is running (gcbo), kNoHandle when none.
  Handle callback_object() const { return callback_object_; }
  void set_callback_object(Handle h) { callback_object_ = h; }
  Handle callback_figure() const;  // gcbf

  // --- drawing into the current axes -------------------------------------------------
  // One line through the n points, with the style's colour, marker and line style.
  Handle plot(const double* x, const double* y, std::size_t n, const PlotStyle& plot_style);
  Handle plot(const std::vector<double>& x, const std::vector<double>& y, std::string_view style);
  // A single point with a marker size, the fast path for drawing many landmarks.
  Handle plot_point(Handle axes, double x, double y, const PlotStyle& plot_style,
                    float marker_size);
  // A filled polygon without edge (a line whose FaceColor is face, LineStyle none) in the
  // given axes, added to what it shows: the cells of a picture such as a correlation matrix.
  Handle patch(Handle axes, const double* x, const double* y, std::size_t n, const Rgb& face);
  Handle text(double x, double y, std::string s);
  Handle text_in(Handle axes, double x, double y, std::string s);
  void hold_on();
  void cla();  // clears gca; keeps its label texts
  void clear_axes(Handle axes);
  void reserve_lines(Handle axes, std::size_t n);

  // --- axis limits (of the current axes) -------------------------------------------------
  Limits axis();                 // computed from the data in auto mode
  void axis(const Limits& lim);  // sets limits, mode manual
  void axis_auto();
  void axis_equal();
  Limits axis_of(Handle axes) const;
  bool axis_is_equal(Handle axes) const;
  // The automatic limits for data within [lo, hi]: rounded outward to a "nice" tick step.
  static std::array<double, 2> nice_limits(double lo, double hi);
  static double nice_step(double lo, double hi);

  // --- properties ----------------------------------------------------------------------
  // Names are case-insensitive. Get of an unknown property, or a value of the wrong kind on
  // set, throws Failure.
  Value get(Handle h, std::string_view name) const;
  void set(Handle h, std::string_view name, const Value& v);
  bool has_property(Handle h, std::string_view name) const;

  // --- search ------------------------------------------------------------------------------
  std::vector<Handle> findobj_tag(std::string_view tag) const;  // all open figures, walk order
  std::vector<Handle> findall(Handle root) const;  // root first, then children, depth first

  // --- application data -------------------------------------------------------------------
  void setappdata(Handle h, const std::string& name, Value v);
  Value getappdata(Handle h, const std::string& name) const;  // no value when absent
  bool isappdata(Handle h, const std::string& name) const;

  // --- for painters ------------------------------------------------------------------------
  std::size_t line_count(Handle axes) const;
  // Object slots in the store, live or free for reuse; drawing as much again after clearing
  // must not add any.
  std::size_t slots_in_store() const;
  // Visits the lines and texts of an axes in drawing order (label texts excluded).
  void for_each_drawn(Handle axes, const std::function<void(const LineView&)>& on_line,
                      const std::function<void(const TextView&)>& on_text) const;
  TextView text_view(Handle text) const;
  std::array<Handle, 3> axes_labels(Handle axes) const;  // xlabel, ylabel, title
  // Position of a figure, axes or uicontrol in pixels: figures relative to the screen,
  // others relative to their figure's inner rectangle, [left bottom width height].
  std::array<double, 4> pixel_position(Handle h) const;

  // --- observers ------------------------------------------------------------------------------
  void add_observer(GraphicsObserver* o);
  void remove_observer(GraphicsObserver* o);

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
  Handle callback_object_ = kNoHandle;
};

}  // namespace qiv
