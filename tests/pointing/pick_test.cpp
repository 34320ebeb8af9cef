// Clicks on the main plot of the real windows, with the example leaves: each window's
// meaning, shift, and the session script's pick step.
#include "pointing/pick.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <sstream>

#include "app/application.h"
#include "app/click.h"
#include "app/session_script.h"
#include "core/controls.h"
#include "platform/headless_ui.h"
#include "support/loaded_session.h"

namespace qiv {
namespace {

namespace fs = std::filesystem;
using test_support::ScratchDir;

const std::string kExamples = std::string(QIV_SOURCE_DIR) + "/examples/";

class PickWindows : public test_support::StartedApp {
 protected:
  void SetUp() override {
    StartedApp::SetUp();
    load(kExamples + "leaves.txt");
  }

  // A click as the buttons get it: through the control's callback.
  PickResult pick(long landmark, bool shift = false) {
    const double* r = app.state.reference->data();
    return pick_at_data(app.ctx, r[2 * landmark - 2], r[2 * landmark - 1], shift, press());
  }
  // A click on the middle of the segment between two landmarks.
  PickResult pick_between(long a, long b, bool shift = false) {
    const double* r = app.state.reference->data();
    return pick_at_data(app.ctx, (r[2 * a - 2] + r[2 * b - 2]) / 2,
                        (r[2 * a - 1] + r[2 * b - 1]) / 2, shift, press());
  }
  PressControl press() {
    return [this](Handle c) { run_callback(app.ctx, c); };
  }
  void click(const char* tag) { run_callback(app.ctx, find_control(app.ctx, tag)); }
  std::string text(const char* tag) const { return control_text(app.ctx, tag); }
  // The landmark the tracked mark shows, 0 for none.
  long marked() const {
    const auto& m = app.state.markerh;
    if (!m || *m == kNoHandle || !app.gfx.ishandle(*m)) return 0;
    if (app.gfx.get(*m, "Visible").str() != "on") return 0;
    const double x = app.gfx.get(*m, "XData").scalar_value();
    const double* r = app.state.reference->data();
    for (long j = 1; 2 * j < app.state.reference->size(); ++j)
      if (r[2 * j - 2] == x) return j;
    return -1;
  }
  std::string proto() const { return describe_member(app.state, "proto"); }
};

TEST_F(PickWindows, MainWindowFillsTheLineBoxesInTurnAndShiftAddsTheLine) {
  click("NewProto");
  struct Step {
    long landmark;
    bool shift;
    const char* end1;
    const char* end2;
    const char* count;
  };
  const Step steps[] = {
      {1, false, "1", "", "0"},    // both filled (the layout's 1 and 2): a new pair
      {7, false, "1", "7", "0"},   // shown as "Show line" would, not added
      {2, false, "2", "", "0"},    // both filled: a new pair starts
      {12, true, "2", "12", "1"},  // shift on the second end adds the line
      {3, true, "3", "", "1"},     // shift on a first end only fills it
      {11, true, "3", "11", "2"},
  };
  for (const Step& s : steps) {
    const PickResult r = pick(s.landmark, s.shift);
    ASSERT_TRUE(r.reached()) << s.landmark;
    EXPECT_EQ(r.window, PickWindow::kMain);
    EXPECT_EQ(text("EndBox1"), s.end1) << s.landmark;
    EXPECT_EQ(text("EndBox2"), s.end2) << s.landmark;
    EXPECT_EQ(text("ProtoPointBox"), s.count) << s.landmark;
    EXPECT_EQ(marked(), s.landmark);
  }
  EXPECT_EQ(proto(), "1 2 12\n2 3 11");
  // The highlight of the last pair is the magenta line "Show line" draws.
  ASSERT_TRUE(app.state.lineh && app.gfx.ishandle(*app.state.lineh));
  EXPECT_EQ(app.gfx.get(*app.state.lineh, "LineWidth").scalar_value(), 1.5);
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(PickWindows, MainWindowLineClickShowsThatLine) {
  ui.answer_path(kExamples + "protocol.txt");
  app.action("LoadProto");
  // Line 3 joins landmarks 3 and 11; its middle is far from every landmark.
  const PickResult r = pick_between(3, 11);
  ASSERT_TRUE(r.reached());
  EXPECT_EQ(describe_hit(r.hit), "line 3: 3\u201311");
  EXPECT_EQ(text("ActivePointBox"), "3");
  ASSERT_TRUE(app.state.lineh && app.gfx.ishandle(*app.state.lineh));
  EXPECT_EQ(app.gfx.get(*app.state.lineh, "XData").matrix().size(), 2);
  EXPECT_EQ(text("EndBox1"), "1");  // as the layout has it
  EXPECT_EQ(text("EndBox2"), "2");
}

TEST_F(PickWindows, SubsetWindowMarksAndShiftAdds) {
  click("MakeSubset");
  const std::string before = text("SubsetBox");
  PickResult r = pick(4);
  EXPECT_EQ(r.window, PickWindow::kSubset);
  EXPECT_EQ(text("PointBox"), "4");
  EXPECT_EQ(marked(), 4);
  EXPECT_EQ(text("SubsetBox"), before);
  r = pick(9, true);
  EXPECT_EQ(text("PointBox"), "9");
  EXPECT_EQ(marked(), 9);
  EXPECT_EQ(text("SubsetBox"), before + " 9");
  // The window the user works in stays the one that decides; the main boxes are untouched.
  EXPECT_EQ(pick_window(app.ctx), PickWindow::kSubset);
  EXPECT_EQ(text("EndBox1"), "1");
}

TEST_F(PickWindows, BackReflectionWindowMarksAndShiftAddsToTheMidline) {
  click("DoBackReflect");
  const std::string before = text("MidBox");
  pick(1, true);
  pick(7, true);
  pick(5);
  EXPECT_EQ(pick_window(app.ctx), PickWindow::kReflect);
  EXPECT_EQ(text("ActiveLMBox"), "5");
  EXPECT_EQ(marked(), 5);
  EXPECT_EQ(text("MidBox"), before + " 1  7 ");
}

TEST_F(PickWindows, TargetWindowTakesLinesEvenAtTheirEnds) {
  ui.answer_path(kExamples + "protocol.txt");
  app.action("LoadProto");
  click("CreateTarget");
  EXPECT_EQ(pick_window(app.ctx), PickWindow::kTarget);
  // On landmark 12 itself: the end of line 2 (2-12), the only line there.
  PickResult r = pick(12);
  ASSERT_TRUE(r.reached());
  EXPECT_EQ(text("TargetLineBox"), "2");
  EXPECT_EQ(text("BlockBox"), "");
  r = pick_between(5, 9, true);
  EXPECT_EQ(text("TargetLineBox"), "5");
  EXPECT_EQ(text("BlockBox"), " 5");
}

TEST_F(PickWindows, ClickOnAControlMakesItsWindowDecide) {
  click("MakeSubset");
  EXPECT_EQ(pick_window(app.ctx), PickWindow::kSubset);
  click("Replot");
  EXPECT_EQ(pick_window(app.ctx), PickWindow::kMain);
  pick(6);
  EXPECT_EQ(text("EndBox1"), "6");
  EXPECT_EQ(text("PointBox"), "1");
}

TEST_F(PickWindows, OutOfReachChangesNothing) {
  const std::string before = describe_member(app.state, "markerh");
  const Limits lim = app.gfx.axis_of(main_plot(app.ctx));
  const PickResult r =
      pick_at_data(app.ctx, lim[0] + 0.001 * (lim[1] - lim[0]), lim[3], false, press());
  EXPECT_FALSE(r.reached());
  EXPECT_EQ(text("EndBox1"), "1");
  EXPECT_EQ(text("EndBox2"), "2");
  EXPECT_EQ(describe_member(app.state, "markerh"), before);
}

TEST_F(PickWindows, DisabledButtonRunsNothingAndSaysSo) {
  click("NewProto");
  set_control_text(app.ctx, "EndBox1", "1");
  set_control_text(app.ctx, "EndBox2", "");
  app.gfx.set(find_control(app.ctx, "ShowLine"), "Enable", Value("off"));
  const PickResult r = pick(7, true);
  ASSERT_EQ(r.notes.size(), 1u);
  EXPECT_EQ(r.notes[0], "the control \"ShowLine\" is disabled; nothing ran");
  EXPECT_EQ(proto(), "1 1 7");
}

TEST_F(PickWindows, ALandmarkClickWithoutAProtocolStartsOneAsNewDoes) {
  struct Row {
    const char* end1;  // typed before the click
    const char* end2;
    long landmark;
    bool shift;
    const char* proto;
  } const rows[] = {
      {"1", "2", 4, false, "-1 -1 -1"},  // a first end: started, no line yet
      {"1", "", 7, true, "1 1 7"},       // a second end with shift: started, then added
  };
  for (const Row& r : rows) {
    app.state.proto.reset();
    set_control_text(app.ctx, "EndBox1", r.end1);
    set_control_text(app.ctx, "EndBox2", r.end2);
    ui.clear_records();
    ASSERT_TRUE(pick(r.landmark, r.shift).reached());
    EXPECT_EQ(proto(), r.proto) << r.landmark;
    EXPECT_EQ(ui.statuses().front().text, "New protocol: no lines yet") << r.landmark;
  }
}

// The script step resolves through the same code; coordinates come from `state reference`.
TEST(PickStep, ScriptClicksBuildAProtocol) {
  ScratchDir dir(true);
  // Find the mean shape of the leaves first.
  std::ostringstream ref_out, ref_err;
  ASSERT_EQ(run_script_text("answer " + kExamples + "leaves.txt\npress Load\nstate reference\n",
                            ref_out, ref_err),
            0)
      << ref_err.str();
  std::istringstream words(ref_out.str());
  std::vector<double> r{std::istream_iterator<double>(words), std::istream_iterator<double>()};
  ASSERT_EQ(r.size(), 25u);
  auto at = [&](int j) {
    std::ostringstream s;
    s.precision(17);
    s << r[2 * j - 2] << ' ' << r[2 * j - 1];
    return s.str();
  };
  const std::vector<std::string> lines{
      "answer " + kExamples + "leaves.txt",
      "press Load",
      "press NewProto",
      "pick " + at(1),
      "pick " + at(7) + " shift",  // adds 1-7
      "pick " + at(2),
      "pick " + at(12),  // shows 2-12, adds nothing
      "print EndBox2 String",
      "pick " + at(12) + " shift",  // both boxes were filled: a new pair starts
      "print EndBox1 String",
      "state proto",
      "pick 1e9 1e9",
      "pick 1 2 sideways",
      "print EndBox1 String",
  };
  std::string script;
  for (const auto& l : lines) script += l + "\n";
  std::ostringstream out, err;
  EXPECT_EQ(run_script_text(script, out, err), 1);
  EXPECT_EQ(out.str(), "12\n12\n1 1 7\n");
  EXPECT_EQ(err.str(),
            "pick: nothing within reach\n"
            "script: line 13: usage: pick X Y, or pick X Y shift\n");
}

}  // namespace
}  // namespace qiv
