#pragma once
// The properties of every object type, one table per type: for each property its name, the
// kind of value it takes, its value on a new object, the words it allows, whether it can be
// set, and what a change of it affects. Graphics::get and set, the layout file reader and
// the Qt windows all read these tables; nothing else lists property names.
//
// Adding a property to a type is one row in its table (properties.cpp). A property whose value
// lives in the object's property map needs nothing more; one kept elsewhere (a line's colour
// in its compact record, an axes' limits computed from the data) also needs its accessor in
// accessors.cpp, and whatever shows it reads it through get.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/value.h"

namespace qiv {

enum class ObjType : std::uint8_t { kRoot, kFigure, kAxes, kLine, kText, kUicontrol };
const char* type_name(ObjType t);  // "root", "figure", "axes", "line", "text", "uicontrol"

// The kind of value a property takes. Graphics::set checks a value against it and keeps it in
// the form listed; the layout reader reads the JSON of the same kinds.
enum class PropKind : std::uint8_t {
  kText,       // a text; numbers are written as text
  kLines,      // a text, a list of texts (lines), or numbers written as text
  kChoice,     // one of the rule's words in any letter case; kept in lower case
  kOnOff,      // "on" or "off", any letter case; kept in lower case
  kNumber,     // one number
  kNumbers,    // a matrix of numbers (a uicontrol's Value)
  kRect,       // four numbers [left bottom width height], kept as a 1x4 row
  kPoint,      // two or three numbers [x y (z)]
  kLimits,     // two increasing numbers [low high]
  kColor,      // [red green blue] in 0..1, a colour name or letter; kept as a 1x3 row
  kMarker,     // a marker symbol or name ("o", "circle", "none")
  kLineStyle,  // "-", "--", ":", "-." or "none"
  kHandle,     // a handle number
  kCallback,   // a list of texts: a function name, then its arguments
  kAny,        // any value (UserData)
};

// What a change of the property affects, for whoever mirrors the model.
enum class Affects : std::uint8_t {
  kData,      // nothing shown: tags, callbacks, user data
  kPicture,   // how the object looks (colours, texts, lines)
  kGeometry,  // where it is or how big (positions, units, visibility of a window)
};

struct PropertyRule {
  const char* name;  // canonical spelling: "Position", "MarkerFaceColor"
  PropKind kind;
  Value initial;  // on a new object; for read-only properties not used
  Affects affects = Affects::kPicture;
  std::vector<std::string> choices = {};  // kChoice: the allowed words, lower case
  bool read_only = false;
  bool in_layout = false;  // a layout file may give it
  bool long_list = false;  // a word not among the choices is named, not the whole list shown
};

// The rules of a type, in the order a layout's properties are set (Units before the Position
// it qualifies).
const std::vector<PropertyRule>& property_rules(ObjType t);
// The rule for a name in any letter case; nullptr when the type has no such property.
const PropertyRule* find_property(ObjType t, std::string_view name);

// Checks v against the rule and returns it in its kept form. `given` is the name as the
// caller wrote it, for the message: "Bad value for the property NAME..." (Failure).
Value checked_value(const PropertyRule& rule, const Value& v, std::string_view given);

// The uicontrol styles. "panel" is a titled group box (its String is the title) drawn under
// the controls inside it; "frame" is an untitled one.
const std::vector<std::string>& uicontrol_styles();

}  // namespace qiv
