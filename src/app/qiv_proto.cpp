#include "app/qiv_proto.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <new>
#include <optional>

#include "app/qivprotosw.h"
#include "base/failure.h"
#include "guikit/figure_files.h"
#include "guikit/gui_registry.h"

namespace qiv {

const std::vector<std::string>& placeholder_callbacks() {
  static const std::vector<std::string> names{
      "pushbutton1_Callback",  "edit1_Callback",        "pushbutton2_Callback",
      "pushbutton3_Callback",  "pushbutton10_Callback", "edit4_Callback",
      "edit5_Callback",        "edit6_Callback",        "pushbutton11_Callback",
      "pushbutton12_Callback", "pushbutton13_Callback", "edit7_Callback",
      "pushbutton14_Callback", "pushbutton15_Callback", "pushbutton16_Callback"};
  return names;
}

// The first word names a placeholder callback or a function of the table, whose declared
// input count the remaining words must respect; qivprotosw needs one action name of the
// dispatcher's table, and Qiv_proto passes the rest on to the function it names.
std::string check_callback(const Runtime& rt, const std::vector<std::string>& words,
                           std::size_t first) {
  // Qiv_proto passes the rest on: skip its chain, as deep as a call may nest.
  for (int depth = 1; first < words.size() && words[first] == "Qiv_proto"; ++depth, ++first)
    if (depth >= kMaxCallDepth) return call_depth_message("Qiv_proto");
  if (first >= words.size()) return "Qiv_proto needs the name of the function to call";
  const std::string& name = words[first];
  const std::size_t nargs = words.size() - first - 1;
  const auto& placeholders = placeholder_callbacks();
  if (std::find(placeholders.begin(), placeholders.end(), name) != placeholders.end()) return "";
  const Callable* c = rt.find(name);
  if (c == nullptr) return "no callable function named \"" + name + "\"";
  if (c->max_in != kAnyCount && nargs > static_cast<std::size_t>(c->max_in))
    return "\"" + name + "\" takes at most " + std::to_string(c->max_in) + " input" +
           (c->max_in == 1 ? "" : "s") + ", the callback gives " + std::to_string(nargs);
  if (name == "qivprotosw") {
    if (nargs == 0) return "qivprotosw needs an action name";
    const std::string& action = words[first + 1];
    if (find_action(action) == nullptr) return "\"" + action + "\" is not an action of qivprotosw";
  }
  return "";
}

namespace {

bool is_placeholder(const std::string& name) {
  const auto& p = placeholder_callbacks();
  return std::find(p.begin(), p.end(), name) != p.end();
}

Outputs start_up(Context& ctx, int nout) {
  Handle main_window = openfig(ctx, "Qiv_proto", "reuse");
  for (const char* secondary : {"qiv_subset", "qiv_target", "qiv_back"}) {
    Handle h = openfig(ctx, secondary, "reuse");
    ctx.gfx.close(h);
  }
  qivprotosw(ctx, "SetHome");
  ctx.gfx.set(main_window, "Color", ctx.gfx.get(kScreen, "defaultUicontrolBackgroundColor"));
  Value registry = guihandles(ctx.gfx, Value(static_cast<double>(main_window)));
  guidata_set(ctx.gfx, Value(static_cast<double>(main_window)), registry);
  // The secondary windows were current while they were open; the main window is the one the
  // user works in.
  ctx.gfx.figure(main_window);
  if (nout >= 1) return {Value(static_cast<double>(main_window))};
  return {};
}

// What a call that runs out of memory gives back: the state, every control's text, value and
// enable, and the current folder as they were before it. Taken only around the outermost
// call; a copy that itself finds no memory refuses the call before it runs.
class StateBefore {
 public:
  explicit StateBefore(Context& ctx) : ctx_(ctx), outermost_(!active_) {
    if (!outermost_) return;
    state_ = copy_without_data_sets(ctx.state);
    controls_ = capture_controls(ctx.gfx);
    std::error_code ec;
    cwd_ = std::filesystem::current_path(ec);
    active_ = true;
  }
  ~StateBefore() {
    if (outermost_) active_ = false;
  }
  StateBefore(const StateBefore&) = delete;
  StateBefore& operator=(const StateBefore&) = delete;

  void restore() {
    if (!outermost_) return;
    restore_without_data_sets(ctx_.state, std::move(state_));
    put_controls(ctx_.gfx, controls_);
    std::error_code ec;
    if (!cwd_.empty()) std::filesystem::current_path(cwd_, ec);
  }

 private:
  Context& ctx_;
  bool outermost_;
  SharedState state_;
  std::vector<StateCapture::Control> controls_;
  std::filesystem::path cwd_;
  static inline bool active_ = false;
};

std::string out_of_memory_message(const std::string& name, const Args& rest) {
  std::string what = name;
  if (name == "qivprotosw" && !rest.empty() && rest[0].is_string()) what += " " + rest[0].str();
  return "Out of memory while running " + what + "; everything is as it was before.";
}

}  // namespace

Outputs Qiv_proto(Context& ctx, const Args& in, int nout) {
  if (in.empty()) return start_up(ctx, nout);
  if (!in[0].is_string()) return {};
  const std::string name = in[0].str();
  Args rest(in.begin() + 1, in.end());
  std::optional<StateBefore> before;
  try {
    before.emplace(ctx);
  } catch (const std::bad_alloc&) {
    ctx.ui.msgbox(out_of_memory_message(name, rest));
    return {};
  }
  try {
    if (is_placeholder(name)) {
      std::string tag = name.substr(0, name.size() - std::string("_Callback").size());
      ctx.ui.console(tag + " Callback not implemented yet.");
      return {};
    }
    return ctx.rt.call(name, rest, nout);
  } catch (const Cancelled& c) {
    // The user stopped it and everything is as before: no error to report.
    ctx.ui.status(c.what(), ctx.gfx.callback_figure());
  } catch (const Failure& f) {
    ctx.ui.report_failure(f.what(), ctx.gfx.callback_figure());
  } catch (const std::bad_alloc&) {
    before->restore();
    const std::string text = out_of_memory_message(name, rest);
    ctx.ui.report_failure(text, ctx.gfx.callback_figure());
    ctx.ui.msgbox(text);
  } catch (const std::exception& e) {
    ctx.ui.report_failure(std::string("Internal error in ") + name + ": " + e.what(),
                          ctx.gfx.callback_figure());
  }
  return {};
}

int declared_outputs(const Context& ctx, const std::string& name) {
  if (is_placeholder(name)) return 0;
  const Callable* c = ctx.rt.find(name);
  if (!c) return 0;
  return c->max_out == kAnyCount ? 1 : c->max_out;
}

}  // namespace qiv
