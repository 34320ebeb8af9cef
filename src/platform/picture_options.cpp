#include "platform/picture_options.h"

#include <cmath>

#include "base/failure.h"
#include "platform/text.h"

namespace qiv {
namespace {

double number_option(const std::string& key, const std::string& value, double lo, double hi,
                     const char* what, const char* unit) {
  const Matrix m = str2num(value);
  if (m.size() != 1 || !std::isfinite(m(0, 0)))
    throw Failure("Picture option " + key + ": \"" + value + "\" is not a number.");
  const double v = m(0, 0);
  if (v < lo || v > hi)
    throw Failure(std::string("The picture's ") + what + " must be from " + num2str(lo) + " to " +
                  num2str(hi) + " " + unit + ", not " + value + ".");
  return v;
}

bool switch_option(const std::string& key, const std::string& value) {
  if (value == "on") return true;
  if (value == "off") return false;
  throw Failure("Picture option " + key + " is on or off, not \"" + value + "\".");
}

}  // namespace

void set_picture_option(PictureOptions& o, const std::string& key, const std::string& value) {
  if (key == "width") {
    o.width_mm = number_option(key, value, kMinWidthMm, kMaxWidthMm, "width", "mm");
  } else if (key == "dpi") {
    o.dpi = number_option(key, value, kMinDpi, kMaxDpi, "resolution", "dpi");
  } else if (key == "font") {
    o.font_pt = number_option(key, value, kMinFontPt, kMaxFontPt, "font size", "points");
  } else if (key == "axes") {
    o.axes = switch_option(key, value);
  } else if (key == "label") {
    o.label = switch_option(key, value);
  } else {
    throw Failure("There is no picture option \"" + key +
                  "\": the options are width, dpi, font, axes and label.");
  }
}

}  // namespace qiv
