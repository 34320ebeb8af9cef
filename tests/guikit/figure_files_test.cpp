#include "guikit/figure_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "app/application.h"
#include "base/failure.h"
#include "guikit/gui_registry.h"
#include "platform/executable_path.h"
#include "platform/headless_ui.h"
#include "support/files.h"

namespace qiv {
namespace {
namespace fs = std::filesystem;

using test_support::failure_text;

Value h(Handle x) { return Value(static_cast<double>(x)); }

// Runs each test in a fresh empty directory, which holds the layouts the test writes.
class FigureFiles : public testing::Test {
 protected:
  void write(const std::string& name, const std::string& text) {
    fs::create_directories(fs::path(name).parent_path().empty() ? "."
                                                                : fs::path(name).parent_path());
    std::ofstream(name) << text;
  }
  // A window of 400 x 300 pixels whose lower-left corner lies at (x, y).
  void write_window(const std::string& name, double x = 100, double y = 100,
                    const std::string& extra = "") {
    write(name, R"({"Type": "figure", "Position": [)" + std::to_string(x) + ", " +
                    std::to_string(y) + ", 400, 300]" + extra +
                    R"(, "Children": [{"Tag": "Button", "Callback": ["qivprotosw", "Load"]}]})");
  }
  std::vector<Handle> registry(const std::string& entry) {
    Value v = app_.gfx.getappdata(kScreen, entry);
    std::vector<Handle> out;
    if (v.is_matrix())
      for (Eigen::Index i = 0; i < v.matrix().size(); ++i)
        out.push_back(static_cast<Handle>(v.matrix().data()[i]));
    return out;
  }

  test_support::ScratchDir scratch_{true};  // made current
  const fs::path dir_ = scratch_.path();
  HeadlessUi ui_;
  Application app_{ui_};
};

TEST_F(FigureFiles, ReuseKeepsOneWindowPerLayoutUntilItIsClosed) {
  write_window("win.fig");
  Handle a = openfig(app_.ctx, "win", "reuse");
  Handle b = openfig(app_.ctx, "win.fig", "reuse");
  EXPECT_EQ(a, b);
  EXPECT_EQ(app_.gfx.figures().size(), 1u);
  EXPECT_EQ(registry("win_SINGLETON_handle"), std::vector<Handle>{a});
  app_.gfx.close(a);
  Handle c = openfig(app_.ctx, "win", "reuse");
  EXPECT_NE(c, a);
  EXPECT_EQ(registry("win_SINGLETON_handle"), std::vector<Handle>{c});
}

TEST_F(FigureFiles, NewAlwaysCreatesAndReuseReturnsTheNewest) {
  write_window("win.fig");
  Handle a = openfig(app_.ctx, "win", "new");
  Handle b = openfig(app_.ctx, "win");  // the policy defaults to "new"
  EXPECT_NE(a, b);
  EXPECT_EQ(registry("win_SINGLETON_handle"), (std::vector<Handle>{a, b}));
  EXPECT_EQ(openfig(app_.ctx, "win", "reuse"), b);
  EXPECT_EQ(app_.gfx.figures().size(), 2u);
  // Closed windows drop out of the list when it is next read.
  app_.gfx.close(b);
  EXPECT_EQ(openfig(app_.ctx, "win", "reuse"), a);
  EXPECT_EQ(registry("win_SINGLETON_handle"), std::vector<Handle>{a});
}

TEST_F(FigureFiles, AVisibleWindowBecomesCurrentAHiddenOneDoesNot) {
  write_window("shown.fig");
  write_window("hidden.fig", 100, 100, R"(, "Visible": "off")");
  Handle shown = openfig(app_.ctx, "shown", "reuse");
  Handle other = app_.gfx.new_figure();
  EXPECT_EQ(openfig(app_.ctx, "shown", "reuse"), shown);
  EXPECT_EQ(app_.gfx.current_figure(), shown);
  app_.gfx.figure(other);
  Handle hidden = openfig(app_.ctx, "hidden", "reuse");
  EXPECT_EQ(openfig(app_.ctx, "hidden", "reuse"), hidden);
  EXPECT_EQ(app_.gfx.current_figure(), hidden);  // hgload made it current when created
  app_.gfx.figure(other);
  openfig(app_.ctx, "hidden", "reuse");
  EXPECT_EQ(app_.gfx.current_figure(), other);
}

TEST_F(FigureFiles, NameRulesAndFailures) {
  write_window("win.fig");
  write_window("sub/inner.fig");
  write("win.FIG", "{}");
  // A layout named without a directory names every place it was looked for.
  const fs::path exe_dir = executable_path().parent_path();
  auto not_found = [&](const std::string& file) {
    return "Layout file \"" + file + "\" not found in the current directory " +
           fs::current_path().string() + ", nor in " + (exe_dir / "layouts").string() +
           ", nor in " + (exe_dir.parent_path() / "share/qiv_proto/layouts").string() + ".";
  };
  const std::string nowhere = not_found("nowhere.fig");
  const std::string inner = not_found("inner.fig");
  struct Case {
    const char* name;
    const char* policy;
    const char* message;  // nullptr: opens
  };
  const Case cases[] = {
      {"win", "new", nullptr},
      {"win.fig", "new", nullptr},
      {"sub/inner", "new", nullptr},
      {"sub/inner.fig", "new", nullptr},
      {"./win", "new", nullptr},
      {"win.FIG", "new", "Argument must be a .fig file"},
      {"win.txt", "reuse", "Argument must be a .fig file"},
      {"win.fig.bak", "new", "Argument must be a .fig file"},
      {"win.txt", "sometimes", "Argument must be a .fig file"},
      {"win", "Reuse", "Second input argument must be 'new' or 'reuse'."},
      {"nowhere", "never", "Second input argument must be 'new' or 'reuse'."},
      {"nowhere", "new", nowhere.c_str()},
      {"sub/nowhere", "new", "Layout file \"sub/nowhere.fig\" not found."},
      {"inner", "new", inner.c_str()},
  };
  for (const Case& c : cases) {
    std::size_t before = app_.gfx.figures().size();
    std::string got = failure_text([&] { openfig(app_.ctx, c.name, c.policy); });
    if (c.message) {
      EXPECT_EQ(got, c.message) << c.name << " " << c.policy;
      EXPECT_EQ(app_.gfx.figures().size(), before) << c.name;
    } else {
      EXPECT_EQ(got, "(no failure)") << c.name;
      EXPECT_EQ(app_.gfx.figures().size(), before + 1) << c.name;
    }
  }
}

TEST_F(FigureFiles, ReuseOfAnOpenWindowDoesNotReadTheFileAgain) {
  write_window("win.fig");
  Handle a = openfig(app_.ctx, "win", "reuse");
  fs::remove("win.fig");
  EXPECT_EQ(openfig(app_.ctx, "win", "reuse"), a);
}

TEST_F(FigureFiles, RegistryEntryNamesAreCutTo31Characters) {
  EXPECT_EQ(singleton_entry_name("qiv_subset"), "qiv_subset_SINGLETON_handle");
  const std::string twenty = "abcdefghijklmnopqrst";
  EXPECT_EQ(singleton_entry_name(twenty), twenty + "_SINGLETON_");
  EXPECT_EQ(singleton_entry_name(twenty).size(), 31u);

  // Two bare names that agree in their first 31 characters share one entry: the second
  // reuses the window of the first.
  const std::string stem(31, 'w');
  write_window(stem + "_one.fig");
  write_window(stem + "_two.fig");
  Handle one = openfig(app_.ctx, stem + "_one", "reuse");
  EXPECT_EQ(openfig(app_.ctx, stem + "_two", "reuse"), one);
  EXPECT_EQ(registry(stem), std::vector<Handle>{one});
  Handle two = openfig(app_.ctx, stem + "_two", "new");
  EXPECT_EQ(registry(stem), (std::vector<Handle>{one, two}));
}

TEST_F(FigureFiles, LayoutsNotInTheCurrentDirectoryComeFromTheProgramsFolder) {
  Handle fig = openfig(app_.ctx, "qiv_subset", "reuse");
  EXPECT_FALSE(app_.gfx.findobj_tag("SubsetBox").empty());
  std::string file = app_.gfx.get(fig, "FileName").str();
  EXPECT_EQ(fs::path(file).filename(), "qiv_subset.fig");
  EXPECT_NE(fs::path(file).parent_path(), fs::current_path());

  // A layout of the same name in the current directory comes first.
  write_window("qiv_back.fig", 100, 100, R"(, "Name": "my own")");
  Handle mine = openfig(app_.ctx, "qiv_back", "new");
  EXPECT_EQ(app_.gfx.get(mine, "Name"), Value("my own"));
  // The build's copy beside the executable, then the installed prefix's share folder.
  const fs::path exe_dir = executable_path().parent_path();
  EXPECT_EQ(layout_folders(), (std::vector<std::string>{
                                  (exe_dir / "layouts").string(),
                                  (exe_dir.parent_path() / "share/qiv_proto/layouts").string()}));
}

TEST_F(FigureFiles, CallbacksMustNameSomethingCallable) {
  struct Case {
    const char* callback;
    const char* problem;  // nullptr: accepted
  };
  const Case cases[] = {
      {R"(["qivprotosw", "Load"])", nullptr},
      {R"(["CopyBigImage"])", nullptr},
      {R"(["pushbutton12_Callback"])", nullptr},
      {R"(["Qiv_proto", "pushbutton12_Callback"])", nullptr},
      {R"(["Qiv_proto", "qivprotosw", "ShowProto"])", nullptr},
      {R"(["movegui", "center"])", nullptr},
      {R"(["qivprotosw", "Lod"])", "\"Lod\" is not an action of qivprotosw"},
      {R"(["qivprotosw"])", "qivprotosw needs an action name"},
      {R"(["qivprotosw", "Load", "Load"])",
       "\"qivprotosw\" takes at most 1 input, the callback gives 2"},
      {R"(["CopyBigImage", "a", "b"])",
       "\"CopyBigImage\" takes at most 1 input, the callback gives 2"},
      {R"(["Qiv_proto"])", "Qiv_proto needs the name of the function to call"},
      {R"(["Qiv_proto", "qivprotosw", "Fell"])", "\"Fell\" is not an action of qivprotosw"},
      {R"(["qiv_proto"])", "no callable function named \"qiv_proto\""},
      {R"(["pushbutton99_Callback"])", "no callable function named \"pushbutton99_Callback\""},
  };
  for (const Case& c : cases) {
    write("cb.fig", std::string(R"({"Type": "figure", "Children": [{"Tag": "B", "Callback": )") +
                        c.callback + "}]}");
    std::string got = failure_text([&] { openfig(app_.ctx, "cb", "new"); });
    std::string want = c.problem ? "Layout file \"cb.fig\": child 1 (Tag \"B\"): Callback: " +
                                       std::string(c.problem) + "."
                                 : "(no failure)";
    EXPECT_EQ(got, want) << c.callback;
  }
}

// --- movegui ---------------------------------------------------------------------------

class Movegui : public FigureFiles {
 protected:
  // A 400 x 300 window (outer 400 x 324) with its outer corner at (x, y).
  Handle window(double x, double y) {
    Handle f = app_.gfx.new_figure();
    app_.gfx.set(f, "Position", row({x, y, 400, 300}));
    return f;
  }
  Matrix outer(Handle f) { return app_.gfx.get(f, "OuterPosition").matrix(); }
};

TEST_F(Movegui, NamedAndNumericPositions) {
  // The screen is 1920 x 1080; the outer window 400 x 324.
  struct Case {
    Value where;
    double x, y;
  };
  const Case cases[] = {
      {Value("north"), 760, 756},      {Value("south"), 760, 0},
      {Value("east"), 1520, 378},      {Value("west"), 0, 378},
      {Value("northeast"), 1520, 756}, {Value("southeast"), 1520, 0},
      {Value("northwest"), 0, 756},    {Value("southwest"), 0, 0},
      {Value("center"), 760, 378},     {Value(row({-10, -10})), 1510, 746},
      {Value(row({30, 40})), 30, 40},  {Value(row({-10, 40})), 1510, 40},
  };
  for (const Case& c : cases) {
    Handle f = window(100, 100);
    movegui(app_.ctx, {h(f), c.where});
    EXPECT_EQ(outer(f), row({c.x, c.y, 400, 324}))
        << (c.where.is_string() ? c.where.str() : "[x y]");
  }
}

TEST_F(Movegui, OnscreenMovesOnlyWindowsThatLeaveTheScreen) {
  struct Case {
    double x, y;
    double want_x, want_y;
  };
  const Case cases[] = {
      {100, 100, 100, 100}, {-50, 100, 0, 100},     {100, -20, 100, 0},
      {-5, -5, 0, 0},       {1700, 900, 1520, 756}, {1520, 756, 1520, 756},
  };
  for (const Case& c : cases) {
    Handle f = window(c.x, c.y);
    movegui(app_.ctx, {h(f), Value("onscreen")});
    EXPECT_EQ(outer(f), row({c.want_x, c.want_y, 400, 324})) << c.x << " " << c.y;
    Handle g = window(c.x, c.y);
    movegui(app_.ctx, {h(g)});  // onscreen is the default position
    EXPECT_EQ(outer(g), outer(f));
  }
}

TEST_F(Movegui, AWindowLargerThanTheScreenIsCutToIt) {
  Handle f = app_.gfx.new_figure();
  app_.gfx.set(f, "Position", row({-100, 10, 2500, 1200}));
  movegui(app_.ctx, {h(f), Value("northwest")});
  EXPECT_EQ(outer(f), row({0, 0, 1920, 1080}));
}

TEST_F(Movegui, RestoresUnitsAndActivePositionProperty) {
  Handle f = window(-70, 100);
  app_.gfx.set(f, "Units", Value("characters"));
  app_.gfx.set(f, "ActivePositionProperty", Value("outerposition"));
  app_.gfx.set(kScreen, "Units", Value("inches"));
  movegui(app_.ctx, {h(f), Value("onscreen")});
  EXPECT_EQ(app_.gfx.get(f, "Units"), Value("characters"));
  EXPECT_EQ(app_.gfx.get(f, "ActivePositionProperty"), Value("outerposition"));
  EXPECT_EQ(app_.gfx.get(kScreen, "Units"), Value("inches"));
  EXPECT_EQ(app_.gfx.pixel_position(f)[0], 0);
}

TEST_F(Movegui, WhichWindowMoves) {
  Handle a = window(-10, 100);
  Handle inside = app_.gfx.new_uicontrol(a);
  Handle b = window(-10, 100);
  Handle c = window(-10, 100);

  movegui(app_.ctx, {h(inside), Value("southwest")});  // a descendant names its figure
  EXPECT_EQ(outer(a)(0, 1), 0);

  app_.gfx.figure(b);  // no handle: the current figure
  movegui(app_.ctx, {Value("southwest")});
  EXPECT_EQ(outer(b)(0, 1), 0);

  // During a callback: its figure, and the event value in second place is ignored.
  Handle button = app_.gfx.new_uicontrol(c);
  app_.gfx.figure(b);
  app_.gfx.set_callback_object(button);
  movegui(app_.ctx, {Value("southwest"), Value(Matrix())});
  EXPECT_EQ(outer(c)(0, 1), 0);
  app_.gfx.set_callback_object(kNoHandle);
}

TEST_F(Movegui, Failures) {
  Handle f = window(100, 100);
  Handle button = app_.gfx.new_uicontrol(f);
  struct Case {
    const char* name;
    Args in;
    const char* message;
  };
  const Case cases[] = {
      {"screen", {Value(0.0)}, "handle of figure or descendant required"},
      {"capital", {h(f), Value("Center")}, "unrecognized position"},
      {"unknown name", {Value("middle")}, "unrecognized position"},
      {"three numbers", {h(f), Value(row({1, 2, 3}))}, "unrecognized input argument"},
      {"event value without callback", {h(f), Value(Matrix())}, "unrecognized input argument"},
      {"event value third",
       {h(f), Value("center"), Value(Matrix())},
       "unrecognized input argument"},
      {"stale handle", {Value(999999.0)}, "unrecognized input argument"},
      {"four inputs",
       {h(f), Value("center"), Value("center"), Value("center")},
       "Too many input arguments."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(failure_text([&] { movegui(app_.ctx, c.in); }), c.message) << c.name;
    EXPECT_EQ(outer(f), row({100, 100, 400, 324})) << c.name;
  }
  // With a callback running, an unusable value in first or third place still fails.
  app_.gfx.set_callback_object(button);
  EXPECT_EQ(failure_text([&] {
              movegui(app_.ctx, {Value(Matrix()), h(f)});
            }),
            "unrecognized input argument");
  app_.gfx.set_callback_object(kNoHandle);
}

TEST_F(Movegui, ThroughTheTableOfCallables) {
  Handle f = window(-30, 100);
  app_.call("movegui", {h(f), Value("south")});
  EXPECT_TRUE(ui_.console_lines().empty());
  EXPECT_EQ(outer(f), row({760, 0, 400, 324}));
  app_.call("movegui", {h(f), Value("Center")});
  ASSERT_EQ(ui_.console_lines().size(), 1u);
  EXPECT_EQ(ui_.console_lines()[0], "unrecognized position");
}

TEST(GetParentFig, WalksUpToTheFigure) {
  Graphics g;
  Handle fig = g.new_figure();
  Handle ax = g.new_axes(fig);
  Handle line = g.plot({1, 2}, {1, 2}, "k");
  Handle button = g.new_uicontrol(fig);
  EXPECT_EQ(get_parent_fig(g, fig), fig);
  EXPECT_EQ(get_parent_fig(g, ax), fig);
  EXPECT_EQ(get_parent_fig(g, line), fig);
  EXPECT_EQ(get_parent_fig(g, button), fig);
  EXPECT_EQ(get_parent_fig(g, kScreen), kNoHandle);
  EXPECT_EQ(get_parent_fig(g, kNoHandle), kNoHandle);
  g.close(fig);
  EXPECT_EQ(get_parent_fig(g, button), kNoHandle);
}

}  // namespace
}  // namespace qiv
