#pragma once
// What a click on the main plot does. The window the user works in decides: the current
// figure (a click on a control, opening a tool window or bringing one to the front makes
// its window current). Each meaning writes into that window's boxes and presses its buttons,
// so a click does exactly what typing the number and pressing the button would:
//
//   main window      landmark -> the next "Line between" box (EndBox1 when both boxes are
//                    filled or both empty, then EndBox2 is emptied; else EndBox2), marked
//                    on the mean shape; with both filled "ShowLine" is pressed, and on a
//                    shift-click also "AddLine". A protocol line -> "ActivePointBox",
//                    then "ShowLine2".
//   subset window    landmark -> "PointBox", "ShowThisLandmark"; shift: "AddLMtoSubset".
//   back-reflection  landmark -> "ActiveLMBox", "ShowMidline"; shift: "AddMidline".
//   target window    protocol line -> "TargetLineBox", "ShowMLine"; shift: "AddLinetoBlock".
//
// Windows that take only landmarks (or only lines) look for nothing else, so a click near
// the end of a line still names the line in the target window.
#include <functional>
#include <string>
#include <vector>

#include "core/context.h"
#include "pointing/hit_test.h"

namespace qiv {

enum class PickWindow { kMain, kSubset, kReflect, kTarget };

// The window that decides, told apart by the boxes it holds.
PickWindow pick_window(const Context& ctx);
const char* pick_window_name(PickWindow w);  // "main", "subset", "back-reflection", "target"
HitFilter pick_filter(PickWindow w);

struct PickStep {
  enum class Kind { kSetText, kMarkLandmark, kPress };
  Kind kind;
  std::string tag;    // the box or the button
  std::string text;   // kSetText
  long landmark = 0;  // kMarkLandmark
};

// The steps of a click on `hit` for the window; none for a hit the window takes no meaning
// from.
std::vector<PickStep> plan_pick(const Context& ctx, PickWindow w, const Hit& hit, bool shift);

// Presses a control as a click on it does (its window becomes current, then its callback
// runs); supplied by whoever runs the windows or the script.
using PressControl = std::function<void(Handle control)>;

struct PickResult {
  Hit hit;
  PickWindow window = PickWindow::kMain;
  std::vector<std::string> notes;  // buttons that were disabled or missing: nothing ran
  bool reached() const { return hit.kind != Hit::Kind::kNothing; }
};

// Carries out the steps; a disabled or missing button runs nothing and leaves a note.
void carry_out(Context& ctx, const std::vector<PickStep>& steps, const PressControl& press,
               std::vector<std::string>& notes);

// A click at pixel p of the main window's main plot (figure pixels, top-left origin) with
// the plot's limits, or `view` limits when the window shows a zoomed view.
PickResult pick_at_pixel(Context& ctx, PixelPoint p, bool shift, const PressControl& press,
                         const std::optional<Limits>& view = {});
// The same click at data coordinates of the main plot, at the window's current size.
PickResult pick_at_data(Context& ctx, double x, double y, bool shift, const PressControl& press);

// The main window's plot; kNoHandle before start-up or when it is closed.
Handle main_plot(const Context& ctx);

}  // namespace qiv
