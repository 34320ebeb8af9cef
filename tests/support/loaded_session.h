#pragma once
// A headless session with a landmark data set loaded the way "Load" leaves it (superimposed
// specimens and consensus drawn and numbered in the main window), plus a secondary window made
// in code that holds the edit boxes an action reads. Shared by the subset and reflect tests.
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "app/application.h"
#include "core/controls.h"
#include "data/showshape.h"
#include "geometry/consensus.h"
#include "platform/headless_ui.h"
#include "support/files.h"

namespace qiv::test_support {

// n specimens of k landmarks: a fixed irregular shape, each specimen moved, turned, scaled
// and jittered differently, then the trailing centroid size. Deterministic.
inline Matrix make_specimens(int n, int k, double trailing_base = 10.0) {
  Matrix m(n, 2 * k + 1);
  for (int i = 0; i < n; ++i) {
    const double angle = 0.3 * i - 0.5;
    const double scale = 1.0 + 0.1 * i;
    for (int j = 0; j < k; ++j) {
      const double bx = std::cos(2.1 * j) * (1.0 + 0.3 * (j % 3)) + 0.05 * std::sin(7.0 * i + j);
      const double by =
          std::sin(1.3 * j + 0.4) * (1.0 + 0.2 * (j % 4)) + 0.04 * std::cos(5.0 * i * j + 1);
      m(i, 2 * j) = scale * (bx * std::cos(angle) - by * std::sin(angle)) + 3.0 * i;
      m(i, 2 * j + 1) = scale * (bx * std::sin(angle) + by * std::cos(angle)) - 2.0 * i;
    }
    m(i, 2 * k) = trailing_base + i;
  }
  return m;
}

struct DrawnLine {
  std::vector<double> x, y;
  Marker marker;
  Rgb color, face;
  float marker_size;
  bool visible;
};

struct DrawnText {
  double x, y;
  std::string text;
};

// The program started as the user starts it (main window from its layout), from a scratch
// home folder of its own made current first.
class StartedApp : public ::testing::Test {
 protected:
  void SetUp() override { app.start(); }
  // "Load", with the file dialog answering path.
  void load(const std::string& path) {
    ui.answer_path(path);
    app.action("Load");
  }

  ScratchDir home{true};
  HeadlessUi ui;
  Application app{ui};
};

class LoadedSession {
 public:
  LoadedSession() : ui(), app(ui) {}

  // What "Load" leaves behind for the raw matrix, without reading a file.
  void load(const Matrix& raw) {
    main_fig = app.gfx.new_figure();
    app.gfx.new_axes(main_fig);
    Consensus c = getconsensus(raw);
    app.state.reference = c.y;
    app.state.data = c.xpt;
    showshape(app.gfx, c.xpt, "g*");
    showshape(app.gfx, c.y, "r+");
    number_landmarks(app.gfx, c.y, app.gfx.axis());
    widen_axes(app.gfx);
    app.state.figh = main_fig;
    app.state.lineh = kNoHandle;
  }

  // A secondary window with an edit box per tag, stored in menufigh and made current.
  Handle open_window(std::initializer_list<const char*> tags) {
    window = app.gfx.new_figure();
    for (const char* tag : tags) {
      Handle box = app.gfx.new_uicontrol(window);
      app.gfx.set(box, "Style", Value("edit"));
      app.gfx.set(box, "Tag", Value(tag));
      app.gfx.set(box, "String", Value(""));
    }
    app.state.menufigh = window;
    app.state.markerh = kNoHandle;
    app.gfx.figure(window);
    return window;
  }

  void set_text(const std::string& tag, const std::string& text) {
    set_control_text(app.ctx, tag, text);
  }
  std::string text(const std::string& tag) const { return control_text(app.ctx, tag); }

  Handle main_axes() const { return app.gfx.get(main_fig, "CurrentAxes").matrix()(0, 0); }

  std::vector<DrawnLine> lines() const {
    std::vector<DrawnLine> out;
    app.gfx.for_each_drawn(
        main_axes(),
        [&](const LineView& l) {
          out.push_back({std::vector<double>(l.x, l.x + l.n), std::vector<double>(l.y, l.y + l.n),
                         l.marker, l.color, l.face, l.marker_size, l.visible});
        },
        [](const TextView&) {});
    return out;
  }

  std::vector<DrawnText> texts() const {
    std::vector<DrawnText> out;
    app.gfx.for_each_drawn(
        main_axes(), [](const LineView&) {},
        [&](const TextView& t) {
          out.push_back({t.x, t.y, *t.text});
        });
    return out;
  }

  HeadlessUi ui;
  Application app;
  Handle main_fig = kNoHandle;
  Handle window = kNoHandle;
};

}  // namespace qiv::test_support
