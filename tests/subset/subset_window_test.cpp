// The subset window opened from its layout, driven as a user drives it, with the example data.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/application.h"
#include "core/controls.h"
#include "platform/headless_ui.h"
#include "platform/text.h"
#include "support/loaded_session.h"

namespace qiv {
namespace {

namespace fs = std::filesystem;
using test_support::ScratchDir;

class SubsetWindow : public test_support::StartedApp {
 protected:
  std::size_t labels() const {
    std::size_t n = 0;
    app.gfx.for_each_drawn(
        app.gfx.get(*app.state.figh, "CurrentAxes").matrix()(0, 0), [](const LineView&) {},
        [&](const TextView&) { ++n; });
    return n;
  }
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
  load(test_support::example("leaves.txt").string());
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

// Specimens of make_specimens written as a TPS file the way digitising programs write one:
// CR LF, a SCALE on every record (1 on every other), an image path and an ID.
std::string tps_text(const Matrix& m) {
  const Eigen::Index k = (m.cols() - 1) / 2;
  std::string out;
  for (Eigen::Index i = 0; i < m.rows(); ++i) {
    const double scale = i % 2 ? 0.25 : 1.0;
    out += "LM=" + std::to_string(k) + "\r\n";
    for (Eigen::Index j = 0; j < k; ++j)
      out += format_g17(m(i, 2 * j) / scale) + " " + format_g17(m(i, 2 * j + 1) / scale) + "\r\n";
    out += "IMAGE=C:\\photos\\leaf_" + std::to_string(i) + ".jpg\r\n";
    if (i != 2) out += "ID=spec_" + std::to_string(i) + "\r\n";
    out += "SCALE=" + format_g17(scale) + "\r\n";
    out += "\r\n";
  }
  return out;
}

TEST_F(SubsetWindow, TpsSavedWithEveryLandmarkLoadsToTheSameData) {
  const std::string tps = home.file("leaves.tps");
  std::ofstream(tps, std::ios::binary) << tps_text(test_support::make_specimens(9, 7));
  load(tps);
  ASSERT_TRUE(ui.messages().empty()) << ui.messages()[0];
  const Matrix data = *app.state.data;
  const Matrix reference = *app.state.reference;
  const std::vector<std::string> names{"spec_0", "spec_1", "leaf_2", "spec_3", "spec_4",
                                       "spec_5", "spec_6", "spec_7", "spec_8"};
  EXPECT_EQ(app.state.names, names);

  app.action("MakeSubset");
  set_control_text(app.ctx, "SubsetBox", "1 2 3 4 5 6 7");
  ui.answer_path(home.file("all.TPS"));
  app.action("SaveSubset");
  ASSERT_TRUE(ui.messages().empty()) << ui.messages()[0];
  const std::string saved = test_support::read_bytes(home.file("all.TPS"));
  EXPECT_EQ(saved.substr(0, 5), "LM=7\n");
  EXPECT_NE(saved.find("\nID=leaf_2\n"), std::string::npos);

  load(home.file("all.TPS"));
  ASSERT_TRUE(ui.messages().empty()) << ui.messages()[0];
  EXPECT_EQ(app.state.names, names);
  ASSERT_EQ(app.state.data->rows(), data.rows());
  ASSERT_EQ(app.state.data->cols(), data.cols());
  for (Eigen::Index i = 0; i < data.rows(); ++i)
    for (Eigen::Index j = 0; j < data.cols(); ++j)
      EXPECT_NEAR((*app.state.data)(i, j), data(i, j), 1e-9 * std::abs(data(i, data.cols() - 1)))
          << i << " " << j;
  for (Eigen::Index j = 0; j < reference.cols(); ++j)
    EXPECT_NEAR((*app.state.reference)(0, j), reference(0, j), 1e-9) << j;
}

}  // namespace
}  // namespace qiv
