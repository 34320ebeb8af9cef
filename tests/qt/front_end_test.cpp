#include "qt/front_end.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QLabel>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

#include "app/application.h"
#include "core/controls.h"
#include "qt/figure_window.h"
#include "qt/qt_app.h"
#include "qt/qt_ui.h"
#include "qt/window_manager.h"
#include "support/files.h"

namespace qiv {
namespace {

struct DisplayCase {
  std::string name;
  std::optional<std::string> platform, display, wayland;
  bool windows;
};

class DisplayTest : public ::testing::TestWithParam<DisplayCase> {};

void put(const char* name, const std::optional<std::string>& v) {
  if (v) {
    setenv(name, v->c_str(), 1);
  } else {
    unsetenv(name);
  }
}

std::optional<std::string> get(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::optional<std::string>(v) : std::nullopt;
}

TEST_P(DisplayTest, WindowsOnlyWhereSomeoneCanSeeThem) {
  const auto saved_platform = get("QT_QPA_PLATFORM");
  const auto saved_display = get("DISPLAY");
  const auto saved_wayland = get("WAYLAND_DISPLAY");
  put("QT_QPA_PLATFORM", GetParam().platform);
  put("DISPLAY", GetParam().display);
  put("WAYLAND_DISPLAY", GetParam().wayland);
  const bool windows = display_available();
  put("QT_QPA_PLATFORM", saved_platform);
  put("DISPLAY", saved_display);
  put("WAYLAND_DISPLAY", saved_wayland);
  EXPECT_EQ(windows, GetParam().windows);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, DisplayTest,
    ::testing::Values(DisplayCase{"Nothing", std::nullopt, std::nullopt, std::nullopt, false},
                      DisplayCase{"X", std::nullopt, ":0", std::nullopt, true},
                      DisplayCase{"EmptyDisplay", std::nullopt, "", std::nullopt, false},
                      DisplayCase{"Wayland", std::nullopt, std::nullopt, "wayland-0", true},
                      DisplayCase{"Offscreen", "offscreen", ":0", std::nullopt, false},
                      DisplayCase{"Minimal", "minimal", std::nullopt, std::nullopt, false},
                      DisplayCase{"Xcb", "xcb", std::nullopt, std::nullopt, true}),
    [](const auto& info) { return info.param.name; });

// qiv_proto FILE with windows: the desktop Ui and its windows, started as run_windows starts
// them, show the main window with the file loaded and no dialog in between.
TEST(FrontEnd, FileOnTheCommandLineOpensTheMainWindowLoaded) {
  namespace fs = std::filesystem;
  qt_test::qt_app();
  const test_support::ScratchDir scratch;
  const fs::path& dir = scratch.path();
  fs::copy_file(test_support::example("leaves.txt"), dir / "leaves.txt");
  fs::current_path(dir);
  {
    qt::QtUi ui;
    Application app(ui);
    qt::WindowManager windows(app);
    ui.set_windows(&windows);
    std::ostringstream out;
    begin_run(app, {StartRequest::Kind::kOpenFile, {"leaves.txt"}, {}}, out);
    windows.sync();

    EXPECT_EQ(windows.visible_windows(), 1);
    auto* label = qobject_cast<QLabel*>(windows.control_widget(find_control(app.ctx, "FileBox")));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "File: leaves.txt \n  30 Specimens \n  12 Landmarks");
    ASSERT_TRUE(app.state.data.has_value());
    EXPECT_EQ(app.state.data->rows(), 30);
    EXPECT_EQ(out.str(), "");
  }
}

}  // namespace
}  // namespace qiv
