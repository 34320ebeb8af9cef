#pragma once
// How a picture for a page is made ("Save as file...", "Copy to clipboard"): its width in
// millimetres, the resolution of its bitmap, the size of every text in it, and what it shows.
// Set once per run, in a dialog or by a script step; the height follows the plot's aspect.
#include <string>

namespace qiv {

struct PictureOptions {
  double width_mm = 85;  // one journal column
  double dpi = 300;      // dots per inch of the PNG: width_mm / 25.4 * dpi pixels wide
  double font_pt = 8;    // tick labels, landmark numbers and labels, in points at width_mm
  bool axes = true;      // the frame, its ticks and tick labels (and the axis labels)
  bool label = false;    // the status label on the y axis ("Loaded Protocol is : ...")
};

// The limits a value must keep; outside them set_picture_option refuses it.
inline constexpr double kMinWidthMm = 20, kMaxWidthMm = 500;
inline constexpr double kMinDpi = 72, kMaxDpi = 1200;
inline constexpr double kMinFontPt = 4, kMaxFontPt = 24;

// Sets one option from its script form: key "width", "dpi" or "font" with a number, "axes" or
// "label" with "on" or "off". Throws Failure naming the key or value it refuses and changes
// nothing then ("The picture's width must be from 20 to 500 mm, not 700.").
void set_picture_option(PictureOptions& o, const std::string& key, const std::string& value);

}  // namespace qiv
