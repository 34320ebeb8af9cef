#pragma once
// A snapshot of everything a user could see change (the shared state, every control of every
// open window, the limits, label and drawn objects of every axes, the current figure and
// directory, and the files of a folder with their bytes), with a comparison that names the
// first difference. What every action that refuses or is cancelled must leave as it was.
#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/session_script.h"
#include "core/controls.h"
#include "core/shared_state.h"
#include "platform/text.h"
#include "support/files.h"

namespace qiv::test_support {

namespace fs = std::filesystem;

struct Snapshot {
  std::vector<std::string> members;
  std::vector<std::string> controls;
  std::vector<std::string> picture;
  std::string current;  // the current figure
  std::string cwd;
  std::vector<std::string> files;  // "NAME=BYTES", sorted; none without a folder
  bool operator==(const Snapshot&) const = default;
};

inline std::string rgb_text(const Rgb& c) {
  return format_g17(c.r) + "," + format_g17(c.g) + "," + format_g17(c.b) + (c.none ? "n" : "");
}

// The files (not folders) directly in folder are read when it is given.
inline Snapshot snapshot(Application& app, const fs::path& folder = {}) {
  Snapshot out;
  Graphics& g = app.gfx;
  for (const std::string& m : shared_state_members())
    out.members.push_back(m + "=" + describe_member(app.state, m));
  for (Handle fig : g.figures()) {
    for (Handle h : g.findall(fig)) {
      if (g.type(h) == ObjType::kUicontrol) {
        out.controls.push_back(g.get(h, "Tag").str() + " String=" + value_text(g.get(h, "String")) +
                               " Value=" + script_value_text(g.get(h, "Value")) +
                               " Enable=" + g.get(h, "Enable").str());
      } else if (g.type(h) == ObjType::kAxes) {
        const Limits l = g.axis_of(h);
        std::string head = "axes " + std::to_string(h) + " limits";
        for (double v : l) head += " " + format_g17(v);
        head += g.axis_is_equal(h) ? " equal" : "";
        const Handle ylabel = g.axes_labels(h)[1];
        head += " ylabel=" + *g.text_view(ylabel).text + " children";
        for (Handle c : g.children(h)) head += " " + std::to_string(c);
        out.picture.push_back(head);
        g.for_each_drawn(
            h,
            [&](const LineView& v) {
              std::string t = "line";
              for (std::size_t i = 0; i < v.n; ++i)
                t += " " + format_g17(v.x[i]) + "," + format_g17(v.y[i]);
              t += " color=" + rgb_text(v.color) + " face=" + rgb_text(v.face) +
                   " marker=" + std::to_string(static_cast<int>(v.marker)) +
                   " style=" + std::to_string(static_cast<int>(v.style)) +
                   " size=" + format_g17(v.marker_size) + " width=" + format_g17(v.line_width) +
                   (v.visible ? "" : " hidden");
              out.picture.push_back(std::move(t));
            },
            [&](const TextView& v) {
              out.picture.push_back("text " + format_g17(v.x) + "," + format_g17(v.y) + " " +
                                    *v.text + " color=" + rgb_text(v.color) +
                                    (v.visible ? "" : " hidden"));
            });
      }
    }
  }
  out.current = std::to_string(g.current_figure());
  std::error_code ec;
  out.cwd = fs::current_path(ec).string();
  if (!folder.empty()) {
    for (const auto& e : fs::directory_iterator(folder))
      if (!e.is_directory())
        out.files.push_back(e.path().filename().string() + "=" + read_bytes(e.path()));
    std::sort(out.files.begin(), out.files.end());
  }
  return out;
}

// The first difference between two lists, or an empty text when they are equal.
inline std::string first_difference(const std::string& what, const std::vector<std::string>& a,
                                    const std::vector<std::string>& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) {
      return what + " #" + std::to_string(i) + " was \"" + escape_newlines(a[i].substr(0, 300)) +
             "\", is \"" + escape_newlines(b[i].substr(0, 300)) + "\"";
    }
  }
  if (a.size() != b.size())
    return what + ": " + std::to_string(a.size()) + " entries before, " + std::to_string(b.size()) +
           " after";
  return "";
}

// Empty when the two snapshots agree; otherwise the first difference. Members named in
// `ignored` are left out of the comparison.
inline std::string difference(const Snapshot& before, const Snapshot& after,
                              const std::vector<std::string>& ignored = {},
                              bool compare_cwd = true) {
  auto drop = [&](std::vector<std::string> members) {
    std::vector<std::string> kept;
    for (auto& m : members) {
      bool skip = false;
      for (const auto& name : ignored) skip = skip || m.rfind(name + "=", 0) == 0;
      if (!skip) kept.push_back(std::move(m));
    }
    return kept;
  };
  std::string d = first_difference("member", drop(before.members), drop(after.members));
  if (d.empty()) d = first_difference("control", before.controls, after.controls);
  if (d.empty()) d = first_difference("drawn", before.picture, after.picture);
  if (d.empty() && before.current != after.current)
    d = "current figure was " + before.current + ", is " + after.current;
  if (d.empty() && compare_cwd && before.cwd != after.cwd)
    d = "current directory was " + before.cwd + ", is " + after.cwd;
  if (d.empty()) d = first_difference("file", before.files, after.files);
  return d;
}

// For EXPECT_EQ on two snapshots: the sizes and the places, not every line.
inline std::ostream& operator<<(std::ostream& os, const Snapshot& s) {
  return os << "members=" << s.members.size() << " controls=" << s.controls.size()
            << " drawn=" << s.picture.size() << " current=" << s.current << " cwd=" << s.cwd
            << " files=" << s.files.size();
}

}  // namespace qiv::test_support
