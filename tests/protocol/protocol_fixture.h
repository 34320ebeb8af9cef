#pragma once
// A main window built in code (axes plus the boxes the protocol actions read), a loaded mean
// shape of twelve landmarks, a scratch folder, and a snapshot of everything a refused action
// must leave alone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/qivprotosw.h"
#include "core/controls.h"
#include "data/showshape.h"
#include "platform/headless_ui.h"
#include "platform/text.h"
#include "support/files.h"
#include "support/snapshot.h"

namespace qiv {

inline constexpr int kLandmarks = 12;

// Landmark j lies at (j, j*j mod 11): distinct, not collinear, easy to compute by hand.
inline double lm_x(double j) { return j; }
inline double lm_y(double j) {
  return static_cast<double>((static_cast<int>(j) * static_cast<int>(j)) % 11);
}

inline Matrix twelve_landmarks() {
  Matrix r(1, 2 * kLandmarks + 1);
  for (int j = 1; j <= kLandmarks; ++j) {
    r(0, 2 * j - 2) = lm_x(j);
    r(0, 2 * j - 1) = lm_y(j);
  }
  r(0, 2 * kLandmarks) = 1;
  return r;
}

// The protocol of a table written row by row (number, first end, second end).
inline Protocol proto_of(std::initializer_list<std::array<double, 3>> rows) {
  Matrix m(static_cast<Eigen::Index>(rows.size()), 3);
  Eigen::Index i = 0;
  for (const auto& r : rows) {
    m(i, 0) = r[0];
    m(i, 1) = r[1];
    m(i, 2) = r[2];
    ++i;
  }
  return Protocol::from_table(m);
}

using test_support::Snapshot;

class ProtocolFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    fig = app.gfx.new_figure();
    ax = app.gfx.new_axes(fig);
    for (const char* tag : {"EndBox1", "EndBox2", "ActivePointBox", "ProtoPointBox"}) {
      Handle h = app.gfx.new_uicontrol(fig);
      app.gfx.set(h, "Tag", Value(tag));
      app.gfx.set(h, "Style", Value("edit"));
      app.gfx.set(h, "String", Value(""));
    }
    Handle nr = app.gfx.new_uicontrol(fig);
    app.gfx.set(nr, "Tag", Value("NumberRequest"));
    app.gfx.set(nr, "Style", Value("checkbox"));
    app.gfx.set(nr, "Value", Value(0.0));
  }

  // What "Load" leaves behind, without reading a file.
  void load_mean_shape() {
    app.state.reference = twelve_landmarks();
    app.state.data = twelve_landmarks();
    app.state.figh = fig;
    app.state.lineh = kNoHandle;
    showshape(app.gfx, *app.state.data, "g*");  // leaves the axes holding their drawings
    showshape(app.gfx, *app.state.reference, "r+");
  }

  void run(const std::string& action) { qivprotosw(app.ctx, action); }
  void type(const std::string& tag, const std::string& text) {
    set_control_text(app.ctx, tag, text);
  }
  std::string box(const std::string& tag) { return control_text(app.ctx, tag); }
  void number_request(double v) {
    app.gfx.set(find_control(app.ctx, "NumberRequest"), "Value", Value(v));
  }

  // The line's ends typed into the two boxes; add also presses "AddLine".
  void type_ends(double a, double b) {
    type("EndBox1", num2str(a));
    type("EndBox2", num2str(b));
  }
  void add(double a, double b) {
    type_ends(a, b);
    run("AddLine");
  }

  std::string ylabel_text() { return app.gfx.get(app.gfx.axes_labels(ax)[1], "String").str(); }

  std::filesystem::path path(const std::string& name) const { return scratch_ / name; }
  const std::filesystem::path& dir() const { return scratch_.path(); }
  const std::filesystem::path& old_cwd() const { return scratch_.old_cwd(); }

  void write(const std::string& name, const std::string& bytes) {
    test_support::write_bytes(path(name), bytes);
  }

  std::string read(const std::filesystem::path& p) { return test_support::read_bytes(p); }

  // What the user could see change; a refused action leaves it as it was.
  Snapshot snapshot() { return test_support::snapshot(app); }

  // Lines of the axes, in drawing order, whose style is a plain line (no marker): the
  // protocol segments and highlights, not the landmark points.
  std::vector<Handle> segments() {
    std::vector<Handle> out;
    for (Handle h : app.gfx.children(ax))
      if (app.gfx.type(h) == ObjType::kLine && app.gfx.get(h, "Marker").str() == "none")
        out.push_back(h);
    return out;
  }

  std::vector<Handle> texts() {
    std::vector<Handle> out;
    for (Handle h : app.gfx.children(ax))
      if (app.gfx.type(h) == ObjType::kText) out.push_back(h);
    return out;
  }

  std::vector<Handle> points(const std::string& marker) {
    std::vector<Handle> out;
    for (Handle h : app.gfx.children(ax))
      if (app.gfx.type(h) == ObjType::kLine && app.gfx.get(h, "Marker").str() == marker)
        out.push_back(h);
    return out;
  }

  // The segment's two ends as landmark numbers, found back from its coordinates.
  Matrix xdata(Handle h) { return app.gfx.get(h, "XData").matrix(); }
  Matrix ydata(Handle h) { return app.gfx.get(h, "YData").matrix(); }
  void expect_segment(Handle h, double a, double b) {
    EXPECT_EQ(xdata(h), row({lm_x(a), lm_x(b)})) << "segment " << a << "-" << b;
    EXPECT_EQ(ydata(h), row({lm_y(a), lm_y(b)})) << "segment " << a << "-" << b;
  }
  void expect_label(Handle t, const std::string& text, double a, double b) {
    EXPECT_EQ(app.gfx.get(t, "String").str(), text);
    EXPECT_EQ(app.gfx.get(t, "Position").matrix(),
              row({(lm_x(a) + lm_x(b)) / 2, (lm_y(a) + lm_y(b)) / 2, 0}));
    EXPECT_EQ(app.gfx.get(t, "Color").matrix(), row({1, 0, 0})) << "labels are red";
  }

  // First, so that it is made before the program and gone after it.
  test_support::ScratchDir scratch_;
  HeadlessUi ui;
  Application app{ui};
  Handle fig = kNoHandle;
  Handle ax = kNoHandle;
};

}  // namespace qiv
