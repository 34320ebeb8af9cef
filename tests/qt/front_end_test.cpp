#include "qt/front_end.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

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

}  // namespace
}  // namespace qiv
