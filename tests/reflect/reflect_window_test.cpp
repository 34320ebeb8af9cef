// The back-reflection window opened from its layout, driven as a user drives it, with the
// example data.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/application.h"
#include "core/controls.h"
#include "platform/headless_ui.h"
#include "support/loaded_session.h"

namespace qiv {
namespace {

namespace fs = std::filesystem;
using test_support::ScratchDir;

using BackWindow = test_support::StartedApp;

TEST_F(BackWindow, DoBackReflectOpensOneWindowFromTheHomeDirectory) {
  fs::create_directory("elsewhere");
  fs::current_path("elsewhere");
  app.state.markerh = 12345;
  app.action("DoBackReflect");
  ASSERT_TRUE(ui.console_lines().empty()) << ui.console_lines()[0];
  const Handle window = *app.state.menufigh;
  EXPECT_EQ(app.gfx.figure_of(find_control(app.ctx, "MidBox")), window);
  EXPECT_EQ(*app.state.markerh, kNoHandle);
  EXPECT_EQ(fs::current_path().filename(), "elsewhere");
  set_control_text(app.ctx, "MidBox", " 1  7 ");
  app.action("DoBackReflect");
  EXPECT_EQ(*app.state.menufigh, window);
  EXPECT_EQ(control_text(app.ctx, "MidBox"), " 1  7 ");
}

TEST_F(BackWindow, ReflectedExampleIsSymmetricAndLoadsAgainWithKPlusFLandmarks) {
  load(test_support::example("leaves.txt").string());
  ASSERT_TRUE(app.state.data.has_value());
  const Eigen::Index k = (app.state.data->cols() - 1) / 2;
  app.action("DoBackReflect");
  for (const char* lm : {"1", "7"}) {
    set_control_text(app.ctx, "ActiveLMBox", lm);
    app.action("AddMidline");
  }
  app.action("MidlineReflect");
  ASSERT_TRUE(ui.messages().empty()) << ui.messages()[0];
  ASSERT_TRUE(app.state.rdata.has_value());
  const Eigen::Index total = k + (k - 2);
  EXPECT_EQ(app.state.rdata->cols(), 2 * total + 1);
  EXPECT_EQ(app.gfx.current_figure(), *app.state.menufigh);

  // With only the baseline on the midline every specimen is its own mirror image about the
  // x axis, and the fit keeps it so: each mirrored landmark pairs with its source.
  const Matrix& r = *app.state.rdata;
  Eigen::Index mirror = k + 1;
  for (Eigen::Index j = 1; j <= k; ++j) {
    if (j == 1 || j == 7) {
      EXPECT_LT(r.col(2 * j - 1).cwiseAbs().maxCoeff(), 1e-9) << j;  // on the x axis
      continue;
    }
    EXPECT_LT((r.col(2 * mirror - 2) - r.col(2 * j - 2)).cwiseAbs().maxCoeff(), 1e-9) << j;
    EXPECT_LT((r.col(2 * mirror - 1) + r.col(2 * j - 1)).cwiseAbs().maxCoeff(), 1e-9) << j;
    ++mirror;
  }

  ui.answer_path(home.file("reflected.txt"));
  app.action("SaveReflected");
  load(home.file("reflected.txt"));
  EXPECT_TRUE(ui.console_lines().empty()) << ui.console_lines()[0];
  EXPECT_EQ(app.state.data->cols(), 2 * total + 1);
  EXPECT_EQ(app.state.data->rows(), 30);
}

}  // namespace
}  // namespace qiv
