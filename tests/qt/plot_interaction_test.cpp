// The mouse on the real main window's plot, with the example leaves: hover, clicks in each
// window's meaning, zoom and pan that leave the model alone.
#include "qt/plot_interaction.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolTip>
#include <QWheelEvent>
#include <filesystem>

#include "core/controls.h"
#include "pointing/pick.h"
#include "qt/figure_window.h"
#include "qt/qt_app.h"
#include "qt/window_manager.h"
#include "support/qt_windows.h"

namespace qiv {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = std::string(QIV_SOURCE_DIR) + "/examples/";

class PlotMouseTest : public test_support::StartedWindows {
 protected:
  void SetUp() override {
    StartedWindows::SetUp();
    ui_.answers.push_back(kExamples + "leaves.txt");
    press("Load");
    ASSERT_NE(wm_.plot_interaction(), nullptr);
  }
  void TearDown() override { QToolTip::hideText(); }

  void press(const char* tag) { wm_.run_callback(find_control(app_.ctx, tag)); }
  void load_protocol() {
    ui_.answers.push_back(kExamples + "protocol.txt");
    press("LoadProto");
  }
  std::string text(const char* tag) const { return control_text(app_.ctx, tag); }
  qt::FigureWindow& window() { return *wm_.window(main_); }
  qt::FigureCanvas* canvas() { return window().canvas(); }
  qt::PlotInteraction& plot() { return *wm_.plot_interaction(); }

  // Where data lie on the canvas, in the view it shows now.
  QPointF at_data(double x, double y) {
    const PlotMap m = plot_map(app_.gfx, main_axes(app_.gfx, main_), plot().view());
    const PixelPoint p = m.to_pixel(x, y);
    const auto fig = app_.gfx.pixel_position(main_);
    return {p.x * canvas()->width() / fig[2], p.y * canvas()->height() / fig[3]};
  }
  QPointF at_landmark(long j) {
    const double* r = app_.state.reference->data();
    return at_data(r[2 * j - 2], r[2 * j - 1]);
  }
  QPointF between(long a, long b) { return (at_landmark(a) + at_landmark(b)) / 2; }

  void send_mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
                  Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent e(type, at, canvas()->mapToGlobal(at), button, held, mods);
    QApplication::sendEvent(canvas(), &e);
  }
  void move_to(QPointF at) { send_mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); }
  void click_at(QPointF at, bool shift = false) {
    const Qt::KeyboardModifiers mods = shift ? Qt::ShiftModifier : Qt::NoModifier;
    send_mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, mods);
    send_mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, mods);
  }
  void drag(QPointF from, QPointF to) {
    send_mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send_mouse(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    send_mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send_mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
  }
  void wheel_at(QPointF at, int notches) {
    QWheelEvent e(at, canvas()->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas(), &e);
  }
  void key(Qt::Key k) {
    QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(canvas(), &e);
  }
  Limits model_limits() { return app_.gfx.axis_of(main_axes(app_.gfx, main_)); }
};

TEST_F(PlotMouseTest, HoverNamesTheLandmarkOrLineUnderTheMouseOrNothing) {
  load_protocol();
  const double* r = app_.state.reference->data();
  struct Case {
    const char* what;
    QPointF at;
    std::string text;
  };
  char lm7[64];
  std::snprintf(lm7, sizeof lm7, "landmark 7  (%.3f, %.3f)", r[12], r[13]);
  const QPointF far = at_data(model_limits()[0], model_limits()[2]) + QPointF(3, -3);
  const Case cases[] = {
      {"on landmark 7", at_landmark(7), lm7},
      {"4 px from landmark 7", at_landmark(7) + QPointF(0, 4), lm7},
      {"the middle of line 3", between(3, 11), "line 3: 3\u201311"},
      {"a corner of the plot", far, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    move_to(c.at);
    EXPECT_EQ(plot().hover_text().toStdString(), c.text);
    EXPECT_EQ(window().status_bar()->currentMessage().toStdString(), c.text);
    if (c.text.empty()) {
      // The tooltip fades out.
      QElapsedTimer t;
      t.start();
      while (QToolTip::isVisible() && t.elapsed() < 3000) QApplication::processEvents();
    }
    EXPECT_EQ(QToolTip::isVisible(), !c.text.empty());
    if (!c.text.empty()) {
      EXPECT_EQ(QToolTip::text().toStdString(), c.text);
    }
  }
}

TEST_F(PlotMouseTest, ClicksFillTheLineBoxesInTurnAndShiftClickAddsTheLine) {
  press("NewProto");
  struct Step {
    long landmark;
    bool shift;
    const char* end1;
    const char* end2;
    const char* lines;
  };
  const Step steps[] = {
      {3, false, "3", "", "0"},    // both boxes filled (the layout's 1 and 2): a new pair
      {9, false, "3", "9", "0"},   // shown, not added
      {5, false, "5", "", "0"},    // both filled again: a new pair
      {10, true, "5", "10", "1"},  // shift on the second end adds it
      {2, true, "2", "", "1"},     // shift on a first end only fills the box
      {6, true, "2", "6", "2"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.landmark);
    click_at(at_landmark(s.landmark), s.shift);
    EXPECT_EQ(text("EndBox1"), s.end1);
    EXPECT_EQ(text("EndBox2"), s.end2);
    EXPECT_EQ(text("ProtoPointBox"), s.lines);
    // The widgets show what the model holds once the click is done.
    auto* e1 = qobject_cast<QLineEdit*>(wm_.control_widget(find_control(app_.ctx, "EndBox1")));
    ASSERT_NE(e1, nullptr);
    EXPECT_EQ(e1->text().toStdString(), s.end1);
  }
  EXPECT_EQ(describe_member(app_.state, "proto"), "1 5 10\n2 2 6");
}

TEST_F(PlotMouseTest, ClickOnALinePutsItsNumberInLineNumber) {
  load_protocol();
  click_at(between(3, 11));
  EXPECT_EQ(text("ActivePointBox"), "3");
  ASSERT_TRUE(app_.state.lineh && app_.gfx.ishandle(*app_.state.lineh));
  EXPECT_EQ(text("EndBox1"), "1");  // untouched

  // "New" leaves the old lines on the plot, but they are no protocol's lines any more: hover
  // and click both find nothing there.
  move_to(between(3, 11));
  EXPECT_EQ(plot().hover_text(), "line 3: 3–11");
  press("NewProto");
  move_to(between(3, 11) + QPointF(1, 0));
  EXPECT_EQ(plot().hover_text(), "");
  click_at(between(3, 11));
  EXPECT_EQ(window().status_bar()->currentMessage(), "nothing within reach");
}

TEST_F(PlotMouseTest, ClickOutOfReachChangesNothingAndSaysSo) {
  const QPointF far = at_data(model_limits()[0], model_limits()[2]) + QPointF(3, -3);
  click_at(far);
  EXPECT_EQ(text("EndBox1"), "1");
  EXPECT_EQ(text("EndBox2"), "2");
  EXPECT_EQ(window().status_bar()->currentMessage(), "nothing within reach");
}

TEST_F(PlotMouseTest, WithTheSubsetWindowCurrentAClickFillsLandmarkNumber) {
  press("MakeSubset");
  const Handle subset = *app_.state.menufigh;
  ASSERT_EQ(app_.gfx.current_figure(), subset);
  click_at(at_landmark(8));
  EXPECT_EQ(text("PointBox"), "8");
  EXPECT_EQ(text("EndBox1"), "1") << "the main window's boxes stay";
  EXPECT_EQ(app_.gfx.current_figure(), subset) << "a click on the plot keeps the window";
  click_at(at_landmark(4), true);
  EXPECT_EQ(text("PointBox"), "4");
  EXPECT_NE(text("SubsetBox").find('4'), std::string::npos) << text("SubsetBox");
}

TEST_F(PlotMouseTest, ActivatingAToolWindowMakesItCurrentTheMainWindowDoesNot) {
  press("MakeSubset");
  const Handle subset = *app_.state.menufigh;
  press("Replot");  // a main-window button: the main window decides
  ASSERT_EQ(app_.gfx.current_figure(), main_);

  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(wm_.window(subset), &activate);
  EXPECT_EQ(app_.gfx.current_figure(), subset);
  // The main window comes to the front with each click on its plot: that alone decides
  // nothing.
  QEvent activate_main(QEvent::WindowActivate);
  QApplication::sendEvent(wm_.window(main_), &activate_main);
  EXPECT_EQ(app_.gfx.current_figure(), subset);
  click_at(at_landmark(5));
  EXPECT_EQ(text("PointBox"), "5");
}

TEST_F(PlotMouseTest, WheelZoomsTheViewOnlyAndClicksPickInIt) {
  const Limits before = model_limits();
  wheel_at(QPointF(20, 20), 3);  // over the controls, not the plot
  EXPECT_FALSE(plot().view().has_value());
  const QImage full = canvas()->picture().copy();
  const QPointF lm6 = at_landmark(6);
  wheel_at(lm6, 3);
  ASSERT_TRUE(plot().view().has_value());
  const Limits v = *plot().view();
  EXPECT_LT(v[1] - v[0], (before[1] - before[0]) * 0.6);
  EXPECT_EQ(model_limits(), before) << "XLim and YLim stay as the actions left them";
  EXPECT_EQ(app_.gfx.get(main_axes(app_.gfx, main_), "XLim").matrix()(0, 1), before[1]);
  EXPECT_NE(canvas()->picture(), full) << "the zoomed view is drawn";
  // The landmark under the cursor stays there.
  EXPECT_NEAR(at_landmark(6).x(), lm6.x(), 0.5);
  EXPECT_NEAR(at_landmark(6).y(), lm6.y(), 0.5);

  // Zoomed in, a landmark's neighbour that was within reach before is now far off: the
  // click names the one under the cursor in the view.
  press("NewProto");
  const QPointF lm7 = at_landmark(7);
  click_at(lm7);
  EXPECT_EQ(text("EndBox1"), "7");
  move_to(lm7);
  EXPECT_EQ(plot().hover_text().left(11), "landmark 7 ");

  // A highlight keeps the view; Home returns to the full one.
  click_at(lm6);
  EXPECT_EQ(text("EndBox2"), "6");
  EXPECT_TRUE(plot().view().has_value());
  key(Qt::Key_Home);
  EXPECT_FALSE(plot().view().has_value());
  EXPECT_EQ(model_limits(), before);
}

TEST_F(PlotMouseTest, DragPansWithoutPickingAndDoubleClickRestores) {
  const Limits before = model_limits();
  wheel_at(at_landmark(1), 2);
  const Limits zoomed = *plot().view();
  const QPointF from = at_landmark(1);
  drag(from, from + QPointF(40, 0));
  ASSERT_TRUE(plot().view().has_value());
  const Limits panned = *plot().view();
  EXPECT_LT(panned[0], zoomed[0]) << "dragging right shows what lay to the left";
  EXPECT_DOUBLE_EQ(panned[1] - panned[0], zoomed[1] - zoomed[0]);
  EXPECT_EQ(text("EndBox1"), "1") << "a drag is not a click";
  EXPECT_EQ(text("EndBox2"), "2");
  EXPECT_NEAR(at_landmark(1).x(), from.x() + 40, 0.5);
  EXPECT_EQ(model_limits(), before);

  send_mouse(QEvent::MouseButtonDblClick, from, Qt::LeftButton, Qt::LeftButton);
  EXPECT_FALSE(plot().view().has_value());
}

TEST_F(PlotMouseTest, ClearLoadAndRedrawReturnToTheFullViewHighlightsKeepIt) {
  load_protocol();
  struct Case {
    const char* button;
    bool keeps_view;
  };
  // Highlights keep the view. "Redraw" frames the plot afresh (its own limits change), a Load
  // brings a new mean shape even from the same file, Clear empties the plot.
  const Case cases[] = {{"ShowLine", true}, {"ShowLine2", true}, {"ShowProto", true},
                        {"Replot", false},  {"Load", false},     {"Clear", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    ui_.answers.push_back(kExamples + "leaves.txt");  // Load takes the same file again
    wheel_at(at_landmark(2), 2);
    ASSERT_TRUE(plot().view().has_value());
    press(c.button);
    EXPECT_EQ(plot().view().has_value(), c.keeps_view);
    ui_.answers.clear();
  }
}

TEST(ZoomedLimits, KeepThePointUnderTheCursorAndStayWithinBounds) {
  PlotMap m;
  m.position = m.box = {0, 0, 100, 100};
  m.limits = {0, 10, 0, 10};
  const Limits full = m.limits;
  const Limits in = qt::zoomed_limits(m, {25, 75}, 0.5, full);  // data (2.5, 2.5)
  EXPECT_DOUBLE_EQ(in[0], 1.25);
  EXPECT_DOUBLE_EQ(in[1], 6.25);
  EXPECT_DOUBLE_EQ(in[2], 1.25);
  EXPECT_DOUBLE_EQ(in[3], 6.25);
  const Limits out = qt::zoomed_limits(m, {50, 50}, 1e9, full);
  EXPECT_DOUBLE_EQ(out[1] - out[0], 10 * qt::kMaxZoomSpan);
  const Limits deep = qt::zoomed_limits(m, {50, 50}, 1e-12, full);
  EXPECT_NEAR(deep[1] - deep[0], 10 * qt::kMinZoomSpan, 1e-12);
  const Limits moved = qt::panned_limits(m, {50, 50}, {60, 40});
  EXPECT_DOUBLE_EQ(moved[0], -1);
  EXPECT_DOUBLE_EQ(moved[2], -1);
}

}  // namespace
}  // namespace qiv
