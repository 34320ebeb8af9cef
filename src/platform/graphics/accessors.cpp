#include <cassert>
#include <cstdint>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "base/failure.h"
#include "platform/graphics/graphics.h"
#include "platform/graphics/graphics_internal.h"

namespace qiv {

// ---------------------------------------------------------------------------------------
// Properties
//
// What each type has, and the checks of a value, are in the tables of properties.cpp. A
// property kept in the object's property map (or, for lines and texts, in their side table of
// rare properties) needs nothing here; the accessors below serve the ones kept elsewhere or
// computed, and those whose change moves something else along.

Rgb as_color(const Value& checked) {
  return checked.is_string() ? *parse_color(checked.str()) : *color_from_matrix(checked.matrix());
}

namespace {

const char* halign_name(int a) { return a < 0 ? "left" : a == 0 ? "center" : "right"; }
const char* valign_name(int a) { return a < 0 ? "bottom" : a == 0 ? "middle" : "top"; }

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

using Impl = Graphics::Impl;

template <typename Record>
Record& record(Impl& g, Handle h) {
  if constexpr (std::is_same_v<Record, LineData>) {
    return g.line(h);
  } else {
    return g.text(h);
  }
}

// A size kept as a float in a line's or text's record.
template <typename Record, float Record::*field>
Value get_float(Impl& g, const Graphics&, Handle h) {
  return Value(static_cast<double>(record<Record>(g, h).*field));
}
template <typename Record, float Record::*field>
void set_float(Impl& g, Graphics&, Handle h, const Value& v) {
  record<Record>(g, h).*field = as_float(v);
}

// A marker or line style of a line's record, by its name.
template <auto field, auto name_of>
Value get_named(Impl& g, const Graphics&, Handle h) {
  return Value(name_of(g.line(h).*field));
}
template <auto field, auto from_name>
void set_named(Impl& g, Graphics&, Handle h, const Value& v) {
  g.line(h).*field = *from_name(v.str());
}
constexpr auto kStyle = &LineData::style;
constexpr auto kMarker = &LineData::marker;

// XLim (off 0) and YLim (off 2).
template <std::size_t off>
Value get_limits(Impl& g, const Graphics&, Handle h) {
  const Limits l = g.limits(h);
  return Value(row({l[off], l[off + 1]}));
}
template <std::size_t off>
void set_limits(Impl& g, Graphics&, Handle h, const Value& v) {
  Heavy& a = g.heavy(h);
  a.manual = g.limits(h);
  a.manual[off] = v.matrix().data()[0];
  a.manual[off + 1] = v.matrix().data()[1];
  (off == 0 ? a.xmanual : a.ymanual) = true;
}

// XLimMode, YLimMode and DataAspectRatioMode.
template <bool Heavy::*manual>
Value get_mode(Impl& g, const Graphics&, Handle h) {
  return Value(g.heavy(h).*manual ? "manual" : "auto");
}
template <bool Heavy::*manual>
void set_limit_mode(Impl& g, Graphics&, Handle h, const Value& v) {
  Heavy& a = g.heavy(h);
  if (v.str() == "manual") a.manual = g.limits(h);
  a.*manual = v.str() == "manual";
}

// XLabel, YLabel and Title.
template <std::size_t i>
Value get_label(Impl& g, const Graphics&, Handle h) {
  return Value(static_cast<double>(g.heavy(h).labels[i]));
}

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
        {ObjType::kLine, "LineStyle", get_named<kStyle, line_style_name>,
         set_named<kStyle, line_style_from_name>},
        {ObjType::kLine, "LineWidth", get_float<LineData, &LineData::line_width>,
         set_float<LineData, &LineData::line_width>},
        {ObjType::kLine, "Marker", get_named<kMarker, marker_name>,
         set_named<kMarker, marker_from_name>},
        {ObjType::kLine, "MarkerSize", get_float<LineData, &LineData::marker_size>,
         set_float<LineData, &LineData::marker_size>},
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
        {ObjType::kText, "FontSize", get_float<TextData, &TextData::font_size>,
         set_float<TextData, &TextData::font_size>},
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
           if (!g.is(ax, ObjType::kAxes) || g.slot(ax).parent != h)
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
        {ObjType::kAxes, "XLim", get_limits<0>, set_limits<0>},
        {ObjType::kAxes, "YLim", get_limits<2>, set_limits<2>},
        {ObjType::kAxes, "XLimMode", get_mode<&Heavy::xmanual>, set_limit_mode<&Heavy::xmanual>},
        {ObjType::kAxes, "YLimMode", get_mode<&Heavy::ymanual>, set_limit_mode<&Heavy::ymanual>},
        {ObjType::kAxes, "DataAspectRatioMode", get_mode<&Heavy::equal>,
         [](Impl& g, Graphics&, Handle h, const Value& v) {
           g.heavy(h).equal = v.str() == "manual";
         }},
        {ObjType::kAxes, "XLabel", get_label<0>, nullptr},
        {ObjType::kAxes, "YLabel", get_label<1>, nullptr},
        {ObjType::kAxes, "Title", get_label<2>, nullptr},
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

}  // namespace

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

}  // namespace qiv
