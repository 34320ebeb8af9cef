#include "guikit/figure_files.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "base/failure.h"
#include "guikit/gui_registry.h"
#include "platform/executable_path.h"
#include "platform/layout_file.h"

namespace qiv {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxEntryName = 31;

bool exists_as_file(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

// The full file name of a layout, looked up as openfig describes; Failure when absent.
std::string locate_layout(const std::string& dir, const std::string& file) {
  if (!dir.empty()) {
    fs::path p = fs::path(dir) / file;
    if (!exists_as_file(p)) throw Failure("Layout file \"" + p.string() + "\" not found.");
    return p.string();
  }
  if (exists_as_file(file)) return file;
  std::error_code ec;
  std::string looked = "Layout file \"" + file + "\" not found in the current directory " +
                       fs::current_path(ec).string();
  for (const std::string& folder : layout_folders()) {
    fs::path p = fs::path(folder) / file;
    if (exists_as_file(p)) return p.string();
    looked += ", nor in " + folder;
  }
  throw Failure(looked + ".");
}

// The handles of the registry entry that still name an open object, oldest first.
std::vector<Handle> live_handles(const Graphics& gfx, const Value& entry) {
  std::vector<Handle> out;
  if (!entry.is_matrix()) return out;
  const Matrix& m = entry.matrix();
  for (Eigen::Index i = 0; i < m.size(); ++i) {
    Handle h = handle_from_value(gfx, Value(m.data()[i]));
    if (h != kNoHandle && h != kScreen) out.push_back(h);
  }
  return out;
}

Value handles_value(const std::vector<Handle>& hs) {
  Matrix m(1, static_cast<Eigen::Index>(hs.size()));
  for (std::size_t i = 0; i < hs.size(); ++i)
    m(0, static_cast<Eigen::Index>(i)) = static_cast<double>(hs[i]);
  return hs.empty() ? Value(Matrix()) : Value(std::move(m));
}

bool is_position_name(const std::string& s) {
  static const std::array<const char*, 10> names{"north",     "south",     "east",      "west",
                                                 "northeast", "southeast", "northwest", "southwest",
                                                 "center",    "onscreen"};
  return std::any_of(names.begin(), names.end(), [&](const char* n) { return s == n; });
}

}  // namespace

std::string singleton_entry_name(const std::string& bare_name) {
  std::string name = bare_name + "_SINGLETON_handle";
  if (name.size() > kMaxEntryName) name.resize(kMaxEntryName);
  return name;
}

std::vector<std::string> layout_folders() {
  std::vector<std::string> out;
  for (const fs::path& folder : shipped_layout_folders(executable_path()))
    out.push_back(folder.string());
  return out;
}

Handle openfig(Context& ctx, const std::string& filename, const std::string& policy) {
  Graphics& gfx = ctx.gfx;
  // Directory, bare name and extension, as fileparts splits them: the extension starts at
  // the last dot of the part after the last separator.
  const std::size_t slash = filename.rfind('/');
  const std::string dir = slash == std::string::npos ? "" : filename.substr(0, slash + 1);
  std::string bare = slash == std::string::npos ? filename : filename.substr(slash + 1);
  std::string ext;
  if (std::size_t dot = bare.rfind('.'); dot != std::string::npos) {
    ext = bare.substr(dot);
    bare.resize(dot);
  }
  if (ext.empty()) ext = ".fig";
  if (ext != ".fig") throw Failure("Argument must be a .fig file");
  const std::string file = bare + ".fig";

  const std::string entry = singleton_entry_name(bare);
  std::vector<Handle> windows = live_handles(gfx, gfx.getappdata(kScreen, entry));

  auto load = [&] {
    std::string path = locate_layout(dir, file);
    return hgload(gfx, path, [&ctx](const std::vector<std::string>& words) {
      return ctx.rt.check_callback(words);
    });
  };
  Handle fig;
  if (policy == "new") {
    fig = load();
    windows.push_back(fig);
  } else if (policy == "reuse") {
    if (windows.empty()) windows.push_back(load());
    fig = windows.back();
  } else {
    throw Failure("Second input argument must be 'new' or 'reuse'.");
  }
  gfx.setappdata(kScreen, entry, handles_value(windows));

  movegui(ctx, {Value(static_cast<double>(fig)), Value("onscreen")});
  Value visible = gfx.get(fig, "Visible");
  if (visible.is_string() && visible.str() == "on") gfx.figure(fig);
  return fig;
}

void movegui(Context& ctx, const Args& in) {
  Graphics& gfx = ctx.gfx;
  if (in.size() > 3) throw Failure("Too many input arguments.");
  std::string position_name;
  std::optional<std::array<double, 2>> position_xy;
  Handle fig = kNoHandle;
  for (std::size_t i = 0; i < in.size(); ++i) {
    const Value& v = in[i];
    if (Handle h = handle_from_value(gfx, v); h != kNoHandle) {
      fig = get_parent_fig(gfx, h);
      if (fig == kNoHandle) throw Failure("handle of figure or descendant required");
    } else if (v.is_string()) {
      if (!is_position_name(v.str())) throw Failure("unrecognized position");
      position_name = v.str();
      position_xy.reset();
    } else if (v.is_matrix() && v.matrix().size() == 2) {
      position_xy = std::array<double, 2>{v.matrix().data()[0], v.matrix().data()[1]};
      position_name.clear();
    } else if (gfx.callback_object() != kNoHandle && i == 1) {
      // The event value of a call as a control's callback.
    } else {
      throw Failure("unrecognized input argument");
    }
  }
  if (fig == kNoHandle) fig = gfx.callback_figure();
  if (fig == kNoHandle) fig = gfx.gcf();
  if (!position_xy && position_name.empty()) position_name = "onscreen";

  // Pending drawing: the object model draws nothing itself, so there is nothing to flush.
  const Value old_active = gfx.get(fig, "ActivePositionProperty");
  const Value old_units = gfx.get(fig, "Units");
  gfx.set(fig, "Units", Value("pixels"));
  const Matrix inner = gfx.get(fig, "Position").matrix();
  const Matrix outer = gfx.get(fig, "OuterPosition").matrix();

  const Value old_screen_units = gfx.get(kScreen, "Units");
  gfx.set(kScreen, "Units", Value("pixels"));
  const Matrix screen = gfx.get(kScreen, "ScreenSize").matrix();
  gfx.set(kScreen, "Units", old_screen_units);
  const double sw = screen.data()[2];
  const double sh = screen.data()[3];

  double fw = std::min(outer.data()[2], sw);
  double fh = std::min(outer.data()[3], sh);
  double x = 0;
  double y = 0;
  if (position_xy) {
    x = (*position_xy)[0];
    y = (*position_xy)[1];
    if (x < 0) x = sw - fw + x;
    if (y < 0) y = sh - fh + y;
  } else {
    const std::string& p = position_name;
    const double right = sw - fw;
    const double top = sh - fh;
    if (p == "north") {
      x = right / 2, y = top;
    } else if (p == "south") {
      x = right / 2, y = 0;
    } else if (p == "east") {
      x = right, y = top / 2;
    } else if (p == "west") {
      x = 0, y = top / 2;
    } else if (p == "northeast") {
      x = right, y = top;
    } else if (p == "southeast") {
      x = right, y = 0;
    } else if (p == "northwest") {
      x = 0, y = top;
    } else if (p == "southwest") {
      x = 0, y = 0;
    } else if (p == "center") {
      x = right / 2, y = top / 2;
    } else {  // onscreen
      x = std::min(std::max(outer.data()[0], 0.0), right);
      y = std::min(std::max(outer.data()[1], 0.0), top);
    }
  }
  if (inner.data()[2] > outer.data()[2] && inner.data()[3] > outer.data()[3]) {
    fw += 6;
    fh += 24;
  }
  gfx.set(fig, "OuterPosition", row({x, y, fw, fh}));
  gfx.set(fig, "Units", old_units);
  gfx.set(fig, "ActivePositionProperty", old_active);
}

}  // namespace qiv
