#pragma once
// Plot styles ("g*", "r+", "k", "M", "r:") and colours.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/matrix.h"

namespace qiv {

// An sRGB colour with components 0..1, or "none".
struct Rgb {
  float r = 0, g = 0, b = 0;
  bool none = false;
  bool operator==(const Rgb& o) const = default;
};

enum class Marker : std::uint8_t {
  kNone,
  kPoint,
  kCircle,
  kCross,
  kPlus,
  kStar,
  kSquare,
  kDiamond,
  kTriangleUp,
  kTriangleDown,
  kTriangleLeft,
  kTriangleRight,
  kPentagram,
  kHexagram
};

enum class LineStyle : std::uint8_t { kNone, kSolid, kDashed, kDotted, kDashDot };

struct PlotStyle {
  Rgb color{0, 0, 0, false};
  Marker marker = Marker::kNone;
  LineStyle line = LineStyle::kSolid;
};

// Parses a style: at most one colour letter (r g b c m y k w, either case), at most one
// marker (. o x + * s d ^ v < > p h) and at most one line style (- -- : -.), in any order.
// A marker without a line style draws markers only; neither draws a solid line.
// Returns nothing for text that is not a style.
std::optional<PlotStyle> parse_plot_style(std::string_view style);

// A colour from a letter ("r", "M"), a name ("red", "none") or a 1x3 / 3x1 matrix of 0..1.
std::optional<Rgb> parse_color(std::string_view text);
std::optional<Rgb> color_from_matrix(const Matrix& m);
Matrix color_to_matrix(const Rgb& c);

const char* marker_name(Marker m);  // "none", ".", "o", ...
std::optional<Marker> marker_from_name(std::string_view s);
const char* line_style_name(LineStyle s);  // "none", "-", "--", ":", "-."
std::optional<LineStyle> line_style_from_name(std::string_view s);

}  // namespace qiv
