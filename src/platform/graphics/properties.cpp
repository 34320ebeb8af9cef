#include "platform/graphics/properties.h"

#include <algorithm>
#include <array>

#include "base/failure.h"
#include "platform/graphics/style.h"
#include "platform/text.h"

namespace qiv {

const char* type_name(ObjType t) {
  switch (t) {
    case ObjType::kRoot:
      return "root";
    case ObjType::kFigure:
      return "figure";
    case ObjType::kAxes:
      return "axes";
    case ObjType::kLine:
      return "line";
    case ObjType::kText:
      return "text";
    case ObjType::kUicontrol:
      return "uicontrol";
  }
  return "unknown";
}

const std::vector<std::string>& uicontrol_styles() {
  static const std::vector<std::string> styles{"pushbutton", "togglebutton", "edit",    "text",
                                               "checkbox",   "radiobutton",  "listbox", "popupmenu",
                                               "slider",     "frame",        "panel"};
  return styles;
}

namespace {

using K = PropKind;
using A = Affects;

const std::vector<std::string> kUnits{"pixels", "normalized", "characters",
                                      "points", "inches",     "centimeters"};

Value grey() { return row({0.94, 0.94, 0.94}); }

// Every object has these; their values come from the object's place in the tree.
void add_common(std::vector<PropertyRule>& rules) {
  rules.push_back({"Type", K::kText, Value(), A::kData, {}, true});
  rules.push_back({"Parent", K::kHandle, Value(), A::kData, {}, true});
  rules.push_back({"Children", K::kHandle, Value(), A::kData, {}, true});
}

std::vector<PropertyRule> root_rules() {
  std::vector<PropertyRule> r{
      {"ScreenSize", K::kRect, row({1, 1, 1920, 1080}), A::kGeometry},
      {"Units", K::kChoice, Value("pixels"), A::kData, kUnits},
      {"DefaultUicontrolBackgroundColor", K::kColor, grey(), A::kData},
      {"Tag", K::kText, Value(""), A::kData},
      {"ShowHiddenHandles", K::kOnOff, Value("off"), A::kData},
      {"CurrentFigure", K::kHandle, Value(), A::kData},
  };
  add_common(r);
  return r;
}

std::vector<PropertyRule> figure_rules() {
  std::vector<PropertyRule> r{
      {"Units", K::kChoice, Value("pixels"), A::kGeometry, kUnits, false, true},
      {"Name", K::kText, Value(""), A::kPicture, {}, false, true},
      {"Tag", K::kText, Value(""), A::kData, {}, false, true},
      {"Position", K::kRect, row({560, 420, 560, 420}), A::kGeometry, {}, false, true},
      {"Color", K::kColor, grey(), A::kPicture, {}, false, true},
      {"Visible", K::kOnOff, Value("on"), A::kGeometry, {}, false, true},
      {"Resize", K::kOnOff, Value("on"), A::kGeometry, {}, false, true},
      {"NumberTitle", K::kOnOff, Value("on"), A::kPicture, {}, false, true},
      {"MenuBar", K::kChoice, Value("figure"), A::kPicture, {"none", "figure"}, false, true},
      {"OuterPosition", K::kRect, Value(), A::kGeometry},
      {"ActivePositionProperty",
       K::kChoice,
       Value("position"),
       A::kData,
       {"position", "outerposition"}},
      {"HandleVisibility", K::kOnOff, Value("on"), A::kData},
      {"NextPlot", K::kChoice, Value("add"), A::kData, {"add", "replace"}},
      {"FileName", K::kText, Value(""), A::kData},
      {"UserData", K::kAny, Value(Matrix()), A::kData},
      {"CurrentAxes", K::kHandle, Value(), A::kData},
  };
  add_common(r);
  return r;
}

std::vector<PropertyRule> axes_rules() {
  std::vector<PropertyRule> r{
      {"Units", K::kChoice, Value("normalized"), A::kGeometry, kUnits, false, true},
      {"Tag", K::kText, Value(""), A::kData, {}, false, true},
      {"Position", K::kRect, row({0.13, 0.11, 0.775, 0.815}), A::kGeometry, {}, false, true},
      {"Box", K::kOnOff, Value("on"), A::kPicture, {}, false, true},
      {"Color", K::kColor, row({1, 1, 1}), A::kPicture, {}, false, true},
      {"FontName", K::kText, Value("Helvetica"), A::kPicture, {}, false, true},
      {"FontSize", K::kNumber, Value(10.0), A::kPicture, {}, false, true},
      {"FontWeight", K::kChoice, Value("normal"), A::kPicture, {"normal", "bold"}, false, true},
      {"FontAngle", K::kChoice, Value("normal"), A::kPicture, {"normal", "italic"}, false, true},
      {"Visible", K::kOnOff, Value("on"), A::kPicture, {}, false, true},
      {"NextPlot", K::kChoice, Value("replace"), A::kData, {"add", "replace"}, false, true},
      {"OuterPosition", K::kRect, Value(), A::kGeometry},
      {"HandleVisibility", K::kOnOff, Value("on"), A::kData},
      {"UserData", K::kAny, Value(Matrix()), A::kData},
      {"XLim", K::kLimits, Value(), A::kPicture},
      {"YLim", K::kLimits, Value(), A::kPicture},
      {"XLimMode", K::kChoice, Value(), A::kPicture, {"auto", "manual"}},
      {"YLimMode", K::kChoice, Value(), A::kPicture, {"auto", "manual"}},
      {"DataAspectRatioMode", K::kChoice, Value(), A::kPicture, {"auto", "manual"}},
      {"XLabel", K::kHandle, Value(), A::kData, {}, true},
      {"YLabel", K::kHandle, Value(), A::kData, {}, true},
      {"Title", K::kHandle, Value(), A::kData, {}, true},
  };
  add_common(r);
  return r;
}

std::vector<PropertyRule> uicontrol_rules() {
  std::vector<PropertyRule> r{
      {"Units", K::kChoice, Value("pixels"), A::kGeometry, kUnits, false, true},
      {"Style", K::kChoice, Value("pushbutton"), A::kPicture, uicontrol_styles(), false, true,
       true},
      {"Tag", K::kText, Value(""), A::kData, {}, false, true},
      {"String", K::kLines, Value(""), A::kPicture, {}, false, true},
      {"Position", K::kRect, row({20, 20, 60, 20}), A::kGeometry, {}, false, true},
      {"Enable", K::kOnOff, Value("on"), A::kPicture, {}, false, true},
      {"Value", K::kNumbers, Value(0.0), A::kPicture, {}, false, true},
      {"Min", K::kNumber, Value(0.0), A::kPicture, {}, false, true},
      {"Max", K::kNumber, Value(1.0), A::kPicture, {}, false, true},
      {"Callback", K::kCallback, Value(List{}), A::kData, {}, false, true},
      {"FontSize", K::kNumber, Value(9.0), A::kPicture, {}, false, true},
      // "" for the desktop's font; "Monospace" for columns that line up.
      {"FontName", K::kText, Value(""), A::kPicture, {}, false, true},
      {"FontWeight", K::kChoice, Value("normal"), A::kPicture, {"normal", "bold"}, false, true},
      {"HorizontalAlignment",
       K::kChoice,
       Value("center"),
       A::kPicture,
       {"left", "center", "right"},
       false,
       true},
      {"TooltipString", K::kText, Value(""), A::kPicture, {}, false, true},
      {"BackgroundColor", K::kColor, grey(), A::kPicture, {}, false, true},
      {"ForegroundColor", K::kColor, row({0, 0, 0}), A::kPicture, {}, false, true},
      {"Visible", K::kOnOff, Value("on"), A::kPicture, {}, false, true},
      // An edit box's natural button: the Tag of a pushbutton of the same figure, pressed when
      // Return is typed in the box ("" for none).
      {"ReturnButton", K::kText, Value(""), A::kData, {}, false, true},
      {"HandleVisibility", K::kOnOff, Value("on"), A::kData},
      {"UserData", K::kAny, Value(Matrix()), A::kData},
  };
  add_common(r);
  return r;
}

// Lines and texts keep most properties in compact records (graphics_internal.h); their initial
// values here are what get answers for the rest.
std::vector<PropertyRule> line_rules() {
  std::vector<PropertyRule> r{
      {"XData", K::kNumbers, Value(), A::kPicture, {}, true},
      {"YData", K::kNumbers, Value(), A::kPicture, {}, true},
      {"Color", K::kColor, Value(), A::kPicture},
      {"LineStyle", K::kLineStyle, Value(), A::kPicture},
      {"LineWidth", K::kNumber, Value(), A::kPicture},
      {"Marker", K::kMarker, Value(), A::kPicture},
      {"MarkerSize", K::kNumber, Value(), A::kPicture},
      {"MarkerFaceColor", K::kColor, Value(), A::kPicture},
      // The polygon through the points, filled ("none": not filled).
      {"FaceColor", K::kColor, Value("none"), A::kPicture},
      {"Visible", K::kOnOff, Value(), A::kPicture},
      {"Tag", K::kText, Value(""), A::kData},
      {"UserData", K::kAny, Value(Matrix()), A::kData},
  };
  add_common(r);
  return r;
}

std::vector<PropertyRule> text_rules() {
  std::vector<PropertyRule> r{
      {"String", K::kText, Value(), A::kPicture},
      {"Position", K::kPoint, Value(), A::kPicture},
      {"Color", K::kColor, Value(), A::kPicture},
      {"FontSize", K::kNumber, Value(), A::kPicture},
      {"FontWeight", K::kChoice, Value(), A::kPicture, {"normal", "bold", "light", "demi"}},
      {"FontAngle", K::kChoice, Value(), A::kPicture, {"normal", "italic", "oblique"}},
      {"Visible", K::kOnOff, Value(), A::kPicture},
      {"HorizontalAlignment", K::kChoice, Value(), A::kPicture, {"left", "center", "right"}},
      {"VerticalAlignment",
       K::kChoice,
       Value(),
       A::kPicture,
       {"bottom", "baseline", "middle", "top", "cap"}},
      {"FontName", K::kText, Value("Helvetica"), A::kPicture},
      {"Tag", K::kText, Value(""), A::kData},
      {"UserData", K::kAny, Value(Matrix()), A::kData},
  };
  add_common(r);
  return r;
}

const std::array<std::vector<PropertyRule>, 6>& tables() {
  static const std::array<std::vector<PropertyRule>, 6> t{
      root_rules(), figure_rules(), axes_rules(), line_rules(), text_rules(), uicontrol_rules()};
  return t;
}

[[noreturn]] void bad(std::string_view given, const std::string& why = "") {
  throw Failure("Bad value for the property " + std::string(given) + why + ".");
}

bool numbers(const Value& v, long n) { return v.is_matrix() && v.matrix().size() == n; }

}  // namespace

const std::vector<PropertyRule>& property_rules(ObjType t) {
  return tables()[static_cast<std::size_t>(t)];
}

const PropertyRule* find_property(ObjType t, std::string_view name) {
  const std::string n = to_lower(name);
  for (const PropertyRule& r : property_rules(t))
    if (to_lower(r.name) == n) return &r;
  return nullptr;
}

Value checked_value(const PropertyRule& rule, const Value& v, std::string_view given) {
  switch (rule.kind) {
    case K::kText:
      if (v.is_string()) return v;
      if (v.is_matrix()) return Value(num2str(v.matrix()));
      bad(given, ": give a text");
    case K::kLines:
      if (v.is_matrix()) return Value(num2str(v.matrix()));
      return v;
    case K::kChoice: {
      if (!v.is_string()) bad(given);
      std::string word = to_lower(v.str());
      if (std::find(rule.choices.begin(), rule.choices.end(), word) == rule.choices.end())
        bad(given, ": \"" + v.str() + "\"");
      return Value(word);
    }
    case K::kOnOff:
      if (v.is_string()) {
        std::string word = to_lower(v.str());
        if (word == "on" || word == "off") return Value(word);
      }
      bad(given, ": use \"on\" or \"off\"");
    case K::kNumber:
      if (!v.is_scalar()) bad(given, ": give a number");
      return v;
    case K::kNumbers:
      if (!v.is_matrix()) bad(given, ": give a number");
      return v;
    case K::kRect:
      if (!numbers(v, 4)) bad(given, ": give four numbers");
      return Value(Matrix(v.matrix().reshaped<Eigen::RowMajor>(1, 4)));
    case K::kPoint:
      if (!v.is_matrix() || v.matrix().size() < 2) bad(given);
      return v;
    case K::kLimits:
      if (!numbers(v, 2) || !(v.matrix().data()[0] < v.matrix().data()[1])) bad(given);
      return v;
    case K::kColor: {
      std::optional<Rgb> c;
      if (v.is_string()) c = parse_color(v.str());
      if (v.is_matrix()) c = color_from_matrix(v.matrix());
      if (!c) bad(given);
      if (c->none) return Value("none");
      // Numbers are kept as given, so that get answers what was set.
      if (v.is_matrix()) return Value(Matrix(v.matrix().reshaped<Eigen::RowMajor>(1, 3)));
      return Value(color_to_matrix(*c));
    }
    case K::kMarker:
      if (!v.is_string() || !marker_from_name(v.str())) bad(given);
      return v;
    case K::kLineStyle:
      if (!v.is_string() || !line_style_from_name(v.str())) bad(given);
      return v;
    case K::kHandle:
      if (!v.is_scalar()) bad(given);
      return v;
    case K::kCallback:
    case K::kAny:
      return v;
  }
  return v;
}

}  // namespace qiv
