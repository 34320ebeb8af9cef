// Cancel in the progress bar of a long action: the state, the boxes, the current folder and
// every file stay as they were, and the window says "Cancelled." without a message box.
#include <gtest/gtest.h>

#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/application.h"
#include "app/session_script.h"
#include "core/controls.h"
#include "qt/figure_window.h"
#include "qt/qt_app.h"
#include "qt/window_manager.h"
#include "support/qt_windows.h"

namespace qiv {
namespace {

namespace fs = std::filesystem;

struct CancelCase {
  const char* name;
  const char* window;  // the layout whose button starts the work
  const char* box;     // a box of that window to fill first, or ""
  const char* text;
  const char* answer;  // the save dialog's answer, or ""
  const char* blocks;  // a block file the target window loads first, or ""
};

class CancelTest : public ::testing::TestWithParam<CancelCase> {};

TEST_P(CancelTest, LeavesEverythingAsItWas) {
  const CancelCase& c = GetParam();
  qt_test::qt_app();
  const test_support::ScratchDir scratch;
  const fs::path& dir = scratch.path();
  fs::create_directories(dir / "out");
  for (const char* f : {"leaves.txt", "protocol.txt", "blocks.txt"})
    fs::copy_file(test_support::example(f), dir / f, fs::copy_options::overwrite_existing);
  fs::current_path(dir);
  {
    test_support::AnsweringUi ui;
    ui.show_boxes = false;
    Application app(ui);
    qt::WindowManager wm(app);
    ui.set_windows(&wm);
    ui.set_progress_delay(0);
    app.start();
    app.load_file("leaves.txt");
    ui.answers.push_back("protocol.txt");
    app.action("LoadProto");
    if (std::string(c.window) != "Qiv_proto") app.action(c.window);
    wm.sync();
    if (*c.blocks) {
      ui.answers.push_back(c.blocks);
      app.action("LoadBlock");
    }
    if (*c.box) set_control_text(app.ctx, c.box, c.text);
    if (*c.answer) ui.answers.push_back((dir / "out" / c.answer).string());
    const Shared<Matrix> rdata = app.state.rdata;
    const std::string figure_text = describe_member(app.state, "reference");
    const std::string blocks = describe_member(app.state, "block");
    const Handle button = find_control(app.ctx, c.name);
    qt::FigureWindow* w = wm.window(app.gfx.figure_of(button));
    ASSERT_NE(w, nullptr);

    // The user presses Cancel as soon as the bar shows.
    bool shown = false;
    QTimer press;
    QObject::connect(&press, &QTimer::timeout, [&] {
      for (QPushButton* b : w->status_bar()->findChildren<QPushButton*>())
        if (b->text() == "Cancel" && b->isVisible() &&
            w->status_bar()->findChild<QProgressBar*>()) {
          shown = true;
          b->click();
        }
    });
    press.start(0);
    wm.run_callback(button);
    press.stop();

    EXPECT_TRUE(shown) << "the bar with its Cancel button showed";
    EXPECT_EQ(w->status_bar()->currentMessage(), "Cancelled.");
    EXPECT_TRUE(w->status_bar()->findChildren<QProgressBar*>().empty()) << "the bar went";
    EXPECT_TRUE(ui.boxes().empty()) << ui.boxes().front();
    EXPECT_TRUE(fs::is_empty(dir / "out")) << "no file written";
    EXPECT_EQ(fs::current_path(), dir);
    EXPECT_EQ(app.state.rdata.has_value(), rdata.has_value());
    EXPECT_EQ(describe_member(app.state, "reference"), figure_text);
    EXPECT_EQ(describe_member(app.state, "block"), blocks);
    EXPECT_EQ(control_text(app.ctx, c.box[0] ? c.box : "FileBox"),
              *c.box ? c.text : control_text(app.ctx, "FileBox"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Actions, CancelTest,
    ::testing::Values(CancelCase{"SaveLengths", "Qiv_proto", "", "", "lengths.csv", ""},
                      CancelCase{"MidlineReflect", "DoBackReflect", "MidBox", "1 7", "", ""},
                      CancelCase{"TestModularity", "CreateTarget", "PermBox", "200000", "",
                                 "blocks.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qiv
