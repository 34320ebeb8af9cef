// The subset window opened from its layout, driven as a user drives it, with the example data.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/application.h"
#include "core/controls.h"
#include "platform/headless_ui.h"
#include "subset/loaded_session.h"

namespace qiv {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDir;

class SubsetWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::current_path(home.path());
    app.start();
  }
  void load(const std::string& path) {
    ui.answer_path(path);
    app.action("Load");
  }
  std::size_t labels() const {
    std::size_t n = 0;
    app.gfx.for_each_drawn(
        app.gfx.get(*app.state.figh, "CurrentAxes").matrix()(0, 0), [](const LineView&) {},
        [&](const TextView&) { ++n; });
    return n;
  }

  ScratchDir home;
  HeadlessUi ui;
  Application app{ui};
};

TEST_F(SubsetWindow, MakeSubsetOpensOneWindowFromTheHomeDirectory) {
  fs::create_directory("elsewhere");
  fs::current_path("elsewhere");
  app.state.markerh = 12345;
  app.action("MakeSubset");
  ASSERT_TRUE(ui.console_lines().empty()) << ui.console_lines()[0];
  const Handle window = *app.state.menufigh;
  EXPECT_EQ(app.gfx.figure_of(find_control(app.ctx, "SubsetBox")), window);
  EXPECT_EQ(*app.state.markerh, kNoHandle);
  EXPECT_EQ(fs::current_path().filename(), "elsewhere");
  EXPECT_EQ(app.gfx.current_figure(), window);

  // Opening again keeps the window and what was typed into it.
  set_control_text(app.ctx, "SubsetBox", "1 2 3");
  app.action("MakeSubset");
  EXPECT_EQ(*app.state.menufigh, window);
  EXPECT_EQ(control_text(app.ctx, "SubsetBox"), "1 2 3");

  app.gfx.close(window);
  app.action("MakeSubset");
  EXPECT_NE(*app.state.menufigh, window);
  EXPECT_EQ(control_text(app.ctx, "SubsetBox"), "");
}

TEST_F(SubsetWindow, ExportedSubsetOfTheExampleLoadsAgainWithItsLandmarks) {
  load((fs::path(QIV_SOURCE_DIR) / "examples" / "leaves.txt").string());
  ASSERT_TRUE(app.state.data.has_value());
  app.action("MakeSubset");
  set_control_text(app.ctx, "SubsetBox", "9 2 5");
  app.action("ShowSubset");
  EXPECT_EQ(labels(), 3u);
  ui.answer_path(home.file("subset.txt"));
  app.action("SaveSubset");
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_TRUE(fs::equivalent(fs::current_path(), home.path()));

  load(home.file("subset.txt"));
  EXPECT_TRUE(ui.console_lines().empty()) << ui.console_lines()[0];
  EXPECT_EQ(control_text(app.ctx, "FileBox"), "File: subset.txt \n  30 Specimens \n   3 Landmarks");
  EXPECT_EQ(app.state.data->cols(), 7);
  EXPECT_EQ(labels(), 3u);
}

}  // namespace
}  // namespace qiv
