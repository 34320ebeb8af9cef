#pragma once
// A main window with axes and a target window built in code (the boxes and the two buttons
// the target actions read or switch), a loaded mean shape of six landmarks, a protocol of
// four lines, a scratch folder, and what the user could see change.
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
#include "platform/graphics/style.h"
#include "platform/headless_ui.h"
#include "platform/text.h"
#include "support/files.h"
#include "support/snapshot.h"

namespace qiv {

// Landmark j of the mean shape lies at (10 j, j * j): distinct points, easy to check.
inline Matrix six_landmarks() {
  Matrix r(1, 13);
  for (int j = 1; j <= 6; ++j) {
    r(0, 2 * j - 2) = 10.0 * j;
    r(0, 2 * j - 1) = static_cast<double>(j * j);
  }
  r(0, 12) = 1;
  return r;
}

// Lines 1..4 join landmarks 1-2, 2-3, 3-4 and 4-5.
inline Matrix four_lines() {
  Matrix p(4, 3);
  p << 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5;
  return p;
}
inline const char* kFourLinesFile = "1 1 2 \n2 2 3 \n3 3 4 \n4 4 5 \n";

struct Segment {
  double x0, y0, x1, y1;
  Rgb color;
  LineStyle style;
  float width;
  bool visible;
};
struct Point {
  double x, y;
  Rgb color;
  Marker marker;
};
struct Label {
  std::string text;
  double x, y;
  Rgb color;
};
struct Drawing {
  std::vector<Segment> segments;
  std::vector<Point> points;
  std::vector<Label> labels;
};

inline Rgb color_of(const char* letter) { return *parse_color(letter); }

using test_support::Snapshot;

class TargetFixture : public ::testing::Test {
 protected:
  static constexpr const char* kBoxes[] = {"MaxBlockBox", "LengthBox", "TargetLineBox",
                                           "CurrentBlockBox", "BlockBox"};

  void SetUp() override {
    main_fig = app.gfx.new_figure();
    ax = app.gfx.new_axes(main_fig);
    target_fig = app.gfx.new_figure();
    for (const char* tag : kBoxes) control(tag, "edit");
    control("SetBlocks", "pushbutton");
    control("LoadProtoButton", "pushbutton");
    type("CurrentBlockBox", "1");
    type("TargetLineBox", "1");
  }

  void control(const char* tag, const char* style) {
    Handle h = app.gfx.new_uicontrol(target_fig);
    app.gfx.set(h, "Tag", Value(tag));
    app.gfx.set(h, "Style", Value(style));
    app.gfx.set(h, "String", Value(""));
  }

  // What "Load" leaves behind, without reading a file; the target window is the one open.
  void load_mean_shape() {
    app.state.reference = six_landmarks();
    app.state.data = six_landmarks();
    app.state.figh = main_fig;
    app.state.menufigh = target_fig;
    app.state.lineh = kNoHandle;
    app.gfx.figure(main_fig);
    app.gfx.hold_on();  // as showshape leaves the main axes after "Load"
    app.gfx.figure(target_fig);
  }
  void load_protocol() {
    app.state.proto = Protocol::from_table(four_lines());
    app.state.protoname = "proto.txt";
  }
  void set_blocks(const BlockList& blocks, double nblocks) {
    app.state.blocks = BlockStructure(blocks, static_cast<long long>(nblocks));
  }
  // Mean shape, protocol and blocks: everything the block actions need.
  void ready(const BlockList& blocks, double nblocks) {
    load_mean_shape();
    load_protocol();
    set_blocks(blocks, nblocks);
  }

  void run(const std::string& action) { qivprotosw(app.ctx, action); }
  void type(const std::string& tag, const std::string& text) {
    set_control_text(app.ctx, tag, text);
  }
  std::string box(const std::string& tag) { return control_text(app.ctx, tag); }
  Value string_of(const std::string& tag) {
    return app.gfx.get(find_control(app.ctx, tag), "String");
  }
  std::string enable(const std::string& tag) {
    return app.gfx.get(find_control(app.ctx, tag), "Enable").str();
  }
  std::string member(const char* name) { return describe_member(app.state, name); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  void write(const std::string& name, const std::string& content) {
    test_support::write_bytes(dir_ / name, content);
  }
  std::string read(const std::string& name) const { return test_support::read_bytes(dir_ / name); }
  bool exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }

  Drawing drawing() const {
    Drawing d;
    app.gfx.for_each_drawn(
        ax,
        [&d](const LineView& l) {
          if (l.n == 2)
            d.segments.push_back(
                {l.x[0], l.y[0], l.x[1], l.y[1], l.color, l.style, l.line_width, l.visible});
          else if (l.n == 1)
            d.points.push_back({l.x[0], l.y[0], l.color, l.marker});
        },
        [&d](const TextView& t) {
          d.labels.push_back({*t.text, t.x, t.y, t.color});
        });
    return d;
  }

  // Everything a refused action must leave as it was, the scratch folder's files included.
  Snapshot snapshot() { return test_support::snapshot(app, dir_); }

  test_support::ScratchDir scratch_{true};  // made current
  const std::filesystem::path dir_ = scratch_.path();
  HeadlessUi ui;
  Application app{ui};
  Handle main_fig = kNoHandle, ax = kNoHandle, target_fig = kNoHandle;
};

}  // namespace qiv
