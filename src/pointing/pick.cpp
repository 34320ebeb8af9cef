#include "pointing/pick.h"

#include "core/controls.h"
#include "core/tags.h"

namespace qiv {
namespace {

bool figure_holds(const Context& ctx, Handle fig, const std::string& tag) {
  const Handle c = find_control(ctx, tag);
  return c != kNoHandle && ctx.gfx.figure_of(c) == fig;
}

bool is_blank_text(const std::string& s) { return s.find_first_not_of(" \t\r\n") == s.npos; }

PickStep set_text(const char* tag, long n) {
  return {PickStep::Kind::kSetText, tag, std::to_string(n), 0};
}
PickStep press(const char* tag) { return {PickStep::Kind::kPress, tag, "", 0}; }
PickStep mark(long j) { return {PickStep::Kind::kMarkLandmark, "", "", j}; }

std::vector<PickStep> main_landmark(const Context& ctx, long j, bool shift) {
  const bool first_filled = !is_blank_text(control_text(ctx, tags::kEndBox1));
  const bool second_filled = !is_blank_text(control_text(ctx, tags::kEndBox2));
  std::vector<PickStep> steps;
  // With no protocol a picked line could not be added: the click starts one first, as "New"
  // does ("New" leaves the end boxes alone, so the steps below still hold).
  if (!ctx.state.proto) steps.push_back(press("NewProto"));
  if (first_filled == second_filled) {
    // A new pair: the old second end must not pair with the new first one.
    steps.push_back(set_text(tags::kEndBox1, j));
    steps.push_back({PickStep::Kind::kSetText, tags::kEndBox2, "", 0});
    steps.push_back(mark(j));
    return steps;
  }
  steps.push_back(set_text(tags::kEndBox2, j));
  steps.push_back(mark(j));
  steps.push_back(press("ShowLine"));
  if (shift) steps.push_back(press("AddLine"));
  return steps;
}

// Marks landmark j of the mean shape in the main plot as "Mark on mean shape" does: a filled
// black circle, the one tracked in markerh (the previous one is hidden).
void mark_on_main(Context& ctx, long j) {
  const auto& ref = ctx.state.reference;
  if (!ref || !ctx.state.figh || !ctx.gfx.ishandle(*ctx.state.figh)) return;
  if (j < 1 || 2 * j > ref->size()) return;
  const Handle before = ctx.gfx.current_figure();
  ctx.gfx.figure(*ctx.state.figh);
  auto& markerh = ctx.state.markerh;
  if (markerh && *markerh != kNoHandle && ctx.gfx.ishandle(*markerh))
    ctx.gfx.set(*markerh, "Visible", Value("off"));
  const double* r = ref->data();
  const Handle h = ctx.gfx.plot({r[2 * j - 2]}, {r[2 * j - 1]}, "ko");
  ctx.gfx.set(h, "MarkerSize", Value(9));
  ctx.gfx.set(h, "MarkerFaceColor", Value("k"));
  markerh = h;
  if (before != kNoHandle && ctx.gfx.ishandle(before)) ctx.gfx.figure(before);
}

}  // namespace

PickWindow pick_window(const Context& ctx) {
  const Handle fig = ctx.gfx.current_figure();
  if (fig == kNoHandle) return PickWindow::kMain;
  if (ctx.state.figh && fig == *ctx.state.figh) return PickWindow::kMain;
  if (figure_holds(ctx, fig, tags::kSubsetBox)) return PickWindow::kSubset;
  if (figure_holds(ctx, fig, tags::kMidBox)) return PickWindow::kReflect;
  if (figure_holds(ctx, fig, tags::kTargetLineBox)) return PickWindow::kTarget;
  return PickWindow::kMain;
}

const char* pick_window_name(PickWindow w) {
  switch (w) {
    case PickWindow::kMain:
      return "main";
    case PickWindow::kSubset:
      return "subset";
    case PickWindow::kReflect:
      return "back-reflection";
    case PickWindow::kTarget:
      return "target";
  }
  return "main";
}

HitFilter pick_filter(PickWindow w) {
  switch (w) {
    case PickWindow::kSubset:
    case PickWindow::kReflect:
      return {true, false};
    case PickWindow::kTarget:
      return {false, true};
    case PickWindow::kMain:
      break;
  }
  return {true, true};
}

std::vector<PickStep> plan_pick(const Context& ctx, PickWindow w, const Hit& hit, bool shift) {
  const bool landmark = hit.kind == Hit::Kind::kLandmark;
  const bool line = hit.kind == Hit::Kind::kLine;
  const long j = hit.landmark.number;
  const long n = hit.line.number;
  switch (w) {
    case PickWindow::kMain:
      if (landmark) return main_landmark(ctx, j, shift);
      if (line) return {set_text(tags::kActivePointBox, n), press("ShowLine2")};
      break;
    case PickWindow::kSubset:
      if (!landmark) break;
      if (shift)
        return {set_text(tags::kPointBox, j), press("ShowThisLandmark"), press("AddLMtoSubset")};
      return {set_text(tags::kPointBox, j), press("ShowThisLandmark")};
    case PickWindow::kReflect:
      if (!landmark) break;
      if (shift)
        return {set_text(tags::kActiveLMBox, j), press("ShowMidline"), press("AddMidline")};
      return {set_text(tags::kActiveLMBox, j), press("ShowMidline")};
    case PickWindow::kTarget:
      if (!line) break;
      if (shift)
        return {set_text(tags::kTargetLineBox, n), press("ShowMLine"), press("AddLinetoBlock")};
      return {set_text(tags::kTargetLineBox, n), press("ShowMLine")};
  }
  return {};
}

void carry_out(Context& ctx, const std::vector<PickStep>& steps, const PressControl& press_fn,
               std::vector<std::string>& notes) {
  for (const PickStep& s : steps) {
    switch (s.kind) {
      case PickStep::Kind::kSetText:
        set_control_text(ctx, s.tag, s.text);
        break;
      case PickStep::Kind::kMarkLandmark:
        mark_on_main(ctx, s.landmark);
        break;
      case PickStep::Kind::kPress: {
        const Handle c = find_control(ctx, s.tag);
        if (c == kNoHandle) {
          notes.push_back("no control is tagged \"" + s.tag + "\"; nothing ran");
          break;
        }
        const Value enable = ctx.gfx.get(c, "Enable");
        if (enable.is_string() && enable.str() == "off") {
          notes.push_back("the control \"" + s.tag + "\" is disabled; nothing ran");
          break;
        }
        press_fn(c);
        break;
      }
    }
  }
}

Handle main_plot(const Context& ctx) {
  if (!ctx.state.figh) return kNoHandle;
  return main_axes(ctx.gfx, *ctx.state.figh);
}

PickResult pick_at_pixel(Context& ctx, PixelPoint p, bool shift, const PressControl& press_fn,
                         const std::optional<Limits>& view) {
  PickResult result;
  result.window = pick_window(ctx);
  const Handle axes = main_plot(ctx);
  if (axes == kNoHandle) return result;
  const PlotMap map = plot_map(ctx.gfx, axes, view);
  const PickTargets targets = pick_targets(ctx.state, ctx.gfx, axes);
  result.hit = hit_test(targets, map, p, pick_filter(result.window));
  if (!result.reached()) return result;
  carry_out(ctx, plan_pick(ctx, result.window, result.hit, shift), press_fn, result.notes);
  return result;
}

PickResult pick_at_data(Context& ctx, double x, double y, bool shift,
                        const PressControl& press_fn) {
  const Handle axes = main_plot(ctx);
  if (axes == kNoHandle || !plot_map(ctx.gfx, axes).usable()) {
    PickResult none;
    none.window = pick_window(ctx);
    return none;
  }
  return pick_at_pixel(ctx, plot_map(ctx.gfx, axes).to_pixel(x, y), shift, press_fn);
}

}  // namespace qiv
