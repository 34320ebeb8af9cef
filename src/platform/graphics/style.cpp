#include "platform/graphics/style.h"

#include "platform/text.h"

namespace qiv {
namespace {

std::optional<Rgb> letter_color(char c) {
  switch (to_lower(c)) {
    case 'r':
      return Rgb{1, 0, 0};
    case 'g':
      return Rgb{0, 1, 0};
    case 'b':
      return Rgb{0, 0, 1};
    case 'c':
      return Rgb{0, 1, 1};
    case 'm':
      return Rgb{1, 0, 1};
    case 'y':
      return Rgb{1, 1, 0};
    case 'k':
      return Rgb{0, 0, 0};
    case 'w':
      return Rgb{1, 1, 1};
    default:
      return std::nullopt;
  }
}

std::optional<Marker> letter_marker(char c) {
  switch (c) {
    case '.':
      return Marker::kPoint;
    case 'o':
      return Marker::kCircle;
    case 'x':
      return Marker::kCross;
    case '+':
      return Marker::kPlus;
    case '*':
      return Marker::kStar;
    case 's':
      return Marker::kSquare;
    case 'd':
      return Marker::kDiamond;
    case '^':
      return Marker::kTriangleUp;
    case 'v':
      return Marker::kTriangleDown;
    case '<':
      return Marker::kTriangleLeft;
    case '>':
      return Marker::kTriangleRight;
    case 'p':
      return Marker::kPentagram;
    case 'h':
      return Marker::kHexagram;
    default:
      return std::nullopt;
  }
}

}  // namespace

std::optional<PlotStyle> parse_plot_style(std::string_view style) {
  PlotStyle out;
  bool have_color = false, have_marker = false, have_line = false;
  size_t i = 0;
  while (i < style.size()) {
    char c = style[i];
    if (c == '-' || c == ':') {
      if (have_line) return std::nullopt;
      have_line = true;
      if (c == ':') {
        out.line = LineStyle::kDotted;
        i += 1;
      } else if (i + 1 < style.size() && style[i + 1] == '-') {
        out.line = LineStyle::kDashed;
        i += 2;
      } else if (i + 1 < style.size() && style[i + 1] == '.') {
        out.line = LineStyle::kDashDot;
        i += 2;
      } else {
        out.line = LineStyle::kSolid;
        i += 1;
      }
      continue;
    }
    if (auto col = letter_color(c); col && !(c == 'v' || c == 'V')) {
      // 'd', 's' etc. are markers, never colours; colour letters never clash with markers
      // except none, so the order of tests does not matter here.
      if (have_color) return std::nullopt;
      have_color = true;
      out.color = *col;
      ++i;
      continue;
    }
    if (auto mk = letter_marker(c)) {
      if (have_marker) return std::nullopt;
      have_marker = true;
      out.marker = *mk;
      ++i;
      continue;
    }
    return std::nullopt;
  }
  if (have_marker && !have_line) out.line = LineStyle::kNone;
  return out;
}

std::optional<Rgb> parse_color(std::string_view text) {
  if (text.size() == 1) return letter_color(text[0]);
  const std::string t = to_lower(text);
  if (t == "none") return Rgb{0, 0, 0, true};
  static const std::pair<const char*, char> names[] = {
      {"red", 'r'},     {"green", 'g'},  {"blue", 'b'},  {"cyan", 'c'},
      {"magenta", 'm'}, {"yellow", 'y'}, {"black", 'k'}, {"white", 'w'}};
  for (auto& [name, letter] : names)
    if (t == name) return letter_color(letter);
  return std::nullopt;
}

std::optional<Rgb> color_from_matrix(const Matrix& m) {
  if (m.size() != 3) return std::nullopt;
  const double* d = m.data();
  for (int i = 0; i < 3; ++i)
    if (!(d[i] >= 0 && d[i] <= 1)) return std::nullopt;
  return Rgb{static_cast<float>(d[0]), static_cast<float>(d[1]), static_cast<float>(d[2])};
}

Matrix color_to_matrix(const Rgb& c) { return row({c.r, c.g, c.b}); }

const char* marker_name(Marker m) {
  switch (m) {
    case Marker::kNone:
      return "none";
    case Marker::kPoint:
      return ".";
    case Marker::kCircle:
      return "o";
    case Marker::kCross:
      return "x";
    case Marker::kPlus:
      return "+";
    case Marker::kStar:
      return "*";
    case Marker::kSquare:
      return "square";
    case Marker::kDiamond:
      return "diamond";
    case Marker::kTriangleUp:
      return "^";
    case Marker::kTriangleDown:
      return "v";
    case Marker::kTriangleLeft:
      return "<";
    case Marker::kTriangleRight:
      return ">";
    case Marker::kPentagram:
      return "pentagram";
    case Marker::kHexagram:
      return "hexagram";
  }
  return "none";
}

std::optional<Marker> marker_from_name(std::string_view s) {
  if (s == "none") return Marker::kNone;
  if (s == "square") return Marker::kSquare;
  if (s == "diamond") return Marker::kDiamond;
  if (s == "pentagram") return Marker::kPentagram;
  if (s == "hexagram") return Marker::kHexagram;
  if (s.size() == 1) return letter_marker(s[0]);
  return std::nullopt;
}

const char* line_style_name(LineStyle s) {
  switch (s) {
    case LineStyle::kNone:
      return "none";
    case LineStyle::kSolid:
      return "-";
    case LineStyle::kDashed:
      return "--";
    case LineStyle::kDotted:
      return ":";
    case LineStyle::kDashDot:
      return "-.";
  }
  return "none";
}

std::optional<LineStyle> line_style_from_name(std::string_view s) {
  if (s == "none") return LineStyle::kNone;
  if (s == "-") return LineStyle::kSolid;
  if (s == "--") return LineStyle::kDashed;
  if (s == ":") return LineStyle::kDotted;
  if (s == "-.") return LineStyle::kDashDot;
  return std::nullopt;
}

}  // namespace qiv
