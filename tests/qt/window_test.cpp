#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

#include "core/controls.h"
#include "platform/runtime.h"
#include "qt/figure_window.h"
#include "qt/qt_app.h"
#include "qt/qt_ui.h"
#include "qt/window_manager.h"

namespace qiv {
namespace {

using qt_test::qt_app;

void type_text(QWidget* w, const QString& text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &release);
  }
}

// A window built in code: an edit box, a button whose callback reads the box, a label.
struct Desk {
  qt::QtUi ui;
  Application app{ui};
  qt::WindowManager wm{app};
  Handle fig, edit, button, label, ax;
  std::vector<std::string> seen_text;
  std::vector<Handle> seen_gcbo;

  Handle control(const char* style, const char* tag, std::vector<double> pos) {
    Handle h = app.gfx.new_uicontrol(fig);
    app.gfx.set(h, "Style", Value(style));
    app.gfx.set(h, "Tag", Value(tag));
    app.gfx.set(h, "Position", row({pos[0], pos[1], pos[2], pos[3]}));
    return h;
  }

  Desk() {
    qt_app();
    ui.set_windows(&wm);
    Graphics& g = app.gfx;
    fig = g.new_figure();
    g.set(fig, "Name", Value("Protocol editor"));
    g.set(fig, "NumberTitle", Value("off"));
    g.set(fig, "Position", row({100, 200, 400, 300}));
    ax = g.new_axes(fig);
    g.set(ax, "Position", row({0.4, 0.1, 0.55, 0.8}));
    edit = control("edit", "EndBox1", {10, 250, 100, 24});
    button = control("pushbutton", "AddLineButton", {10, 210, 100, 28});
    g.set(button, "String", Value("Add line"));
    g.set(button, "Callback", Value(List{Value("show_typed"), Value("EndBox1")}));
    label = control("text", "Note", {10, 150, 100, 40});
    app.rt.add("show_typed", 1, 0, [this](const Args& in, int) -> Outputs {
      std::string text = control_text(app.ctx, in[0].str());
      seen_text.push_back(text);
      seen_gcbo.push_back(app.gfx.callback_object());
      app.gfx.set(app.gfx.axes_labels(app.gfx.gca())[1], "String", Value("typed " + text));
      return {};
    });
    wm.sync();
  }
  qt::FigureWindow* window() { return wm.window(fig); }
  template <typename W>
  W* widget(Handle h) {
    return qobject_cast<W*>(wm.control_widget(h));
  }
};

TEST(Window, TypedTextIsTheStringBeforeTheCallbackReadsIt) {
  Desk d;
  auto* edit = d.widget<QLineEdit>(d.edit);
  auto* button = d.widget<QPushButton>(d.button);
  ASSERT_NE(edit, nullptr);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), "Add line");

  const QString typed = "12";
  for (int i = 0; i < typed.size(); ++i) {
    type_text(edit, typed.mid(i, 1));
    EXPECT_EQ(d.app.gfx.get(d.edit, "String").str(), typed.left(i + 1).toStdString());
  }
  const QImage before = d.window()->canvas()->picture().copy();
  button->click();

  ASSERT_EQ(d.seen_text.size(), 1u);
  EXPECT_EQ(d.seen_text[0], "12");
  EXPECT_EQ(d.seen_gcbo[0], d.button) << "gcbo is the clicked control";
  EXPECT_EQ(d.app.gfx.callback_object(), kNoHandle) << "and nothing after the call";
  EXPECT_EQ(d.app.gfx.current_figure(), d.fig);
  // The label went into the model, and the canvas was repainted from it.
  EXPECT_EQ(d.app.gfx.get(d.app.gfx.axes_labels(d.ax)[1], "String").str(), "typed 12");
  EXPECT_NE(d.window()->canvas()->picture(), before);
}

TEST(Window, ModelChangesReachTheWidgets) {
  Desk d;
  Graphics& g = d.app.gfx;
  g.set(d.edit, "String", Value("3 4"));
  g.set(d.label, "String", Value(List{Value("first"), Value("second")}));
  g.set(d.button, "Enable", Value("off"));
  d.wm.sync();
  EXPECT_EQ(d.widget<QLineEdit>(d.edit)->text(), "3 4");
  EXPECT_EQ(d.widget<QLabel>(d.label)->text(), "first\nsecond");
  EXPECT_FALSE(d.widget<QPushButton>(d.button)->isEnabled());
  g.set(d.label, "Visible", Value("off"));
  d.wm.sync();
  EXPECT_FALSE(d.widget<QLabel>(d.label)->isVisible());
  EXPECT_EQ(d.window()->windowTitle(), "Protocol editor");
}

TEST(Window, PositionsFlipToTopLeft) {
  Desk d;
  const double screen_h = d.app.gfx.pixel_position(kScreen)[3];
  const QRect g = d.window()->geometry();
  EXPECT_EQ(g.x(), 100);
  EXPECT_EQ(g.y(), static_cast<int>(screen_h) - 200 - 300);
  EXPECT_EQ(g.width(), 400);
  EXPECT_EQ(d.window()->canvas()->size(), QSize(400, 300));
  EXPECT_EQ(d.widget<QLineEdit>(d.edit)->geometry(), QRect(10, 300 - 250 - 24, 100, 24));
  EXPECT_EQ(d.widget<QPushButton>(d.button)->geometry(), QRect(10, 300 - 210 - 28, 100, 28));
}

TEST(Window, UserResizeMovesTheModelAndKeepsControlsAtTheTop) {
  Desk d;
  Graphics& g = d.app.gfx;
  d.window()->show();
  const int status = d.window()->height() - 300;
  d.window()->resize(500, 400 + status);
  d.wm.sync();
  const auto p = g.pixel_position(d.fig);
  EXPECT_EQ(p[2], 500);
  EXPECT_EQ(p[3], 400);
  EXPECT_EQ(p[0], 100);
  // The window's top edge stayed, so its bottom went down by 100.
  EXPECT_EQ(p[1], 100);
  EXPECT_EQ(d.widget<QLineEdit>(d.edit)->geometry(), QRect(10, 26, 100, 24));
  const auto e = g.pixel_position(d.edit);
  EXPECT_EQ(e[1], 350);
  const auto a = g.pixel_position(d.ax);  // normalized: follows the window
  EXPECT_DOUBLE_EQ(a[2], 0.55 * 500);
  EXPECT_DOUBLE_EQ(a[3], 0.8 * 400);
}

TEST(Window, FailureOfACallbackGoesToTheStatusBar) {
  Desk d;
  d.app.gfx.set(d.button, "Callback", Value(List{Value("NoSuchFunction")}));
  d.widget<QPushButton>(d.button)->click();
  EXPECT_EQ(d.window()->status_bar()->currentMessage().toStdString(),
            unknown_function_message("NoSuchFunction"));
  // The next callback of the window starts with a clear status bar.
  d.app.gfx.set(d.button, "Callback", Value(List{Value("show_typed"), Value("EndBox1")}));
  d.widget<QPushButton>(d.button)->click();
  EXPECT_TRUE(d.window()->status_bar()->currentMessage().isEmpty());
}

TEST(Window, DeletingAndClosingFollowEachOther) {
  Desk d;
  Graphics& g = d.app.gfx;
  d.window()->show();
  d.window()->close();
  EXPECT_FALSE(g.ishandle(d.fig)) << "closing the window deletes the figure";
  EXPECT_EQ(d.wm.window(d.fig), nullptr);

  Handle other = g.new_figure();
  d.wm.sync();
  ASSERT_NE(d.wm.window(other), nullptr);
  EXPECT_TRUE(d.wm.window(other)->isVisible());
  EXPECT_EQ(d.wm.visible_windows(), 1);
  g.close(other);
  d.wm.sync();
  EXPECT_EQ(d.wm.window(other), nullptr);
  EXPECT_EQ(d.wm.visible_windows(), 0);
}

struct ChoiceCase {
  std::string name;
  const char* style;
  Value string;
  std::function<void(QWidget*)> act;
  double value;
};

class ChoiceControlTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChoiceControlTest, UserChoiceSetsValueBeforeTheCallback) {
  const ChoiceCase& c = GetParam();
  Desk d;
  Graphics& g = d.app.gfx;
  Handle h = d.control(c.style, "Choice", {200, 20, 120, 60});
  g.set(h, "String", c.string);
  std::vector<double> values;
  d.app.rt.add("record_value", 0, 0, [&](const Args&, int) -> Outputs {
    values.push_back(control_value(d.app.ctx, "Choice"));
    return {};
  });
  g.set(h, "Callback", Value(List{Value("record_value")}));
  d.wm.sync();
  QWidget* w = d.wm.control_widget(h);
  ASSERT_NE(w, nullptr);
  c.act(w);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0], c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, ChoiceControlTest,
    ::testing::Values(ChoiceCase{"Checkbox", "checkbox", Value("Number lines"),
                                 [](QWidget* w) { qobject_cast<QCheckBox*>(w)->click(); }, 1},
                      ChoiceCase{
                          "Listbox", "listbox", Value(List{Value("a"), Value("b"), Value("c")}),
                          [](QWidget* w) { qobject_cast<QListWidget*>(w)->setCurrentRow(2); }, 3},
                      ChoiceCase{"Popup", "popupmenu", Value("one|two"),
                                 [](QWidget* w) {
                                   auto* c = qobject_cast<QComboBox*>(w);
                                   c->setCurrentIndex(1);
                                   emit c->activated(1);
                                 },
                                 2}),
    [](const auto& info) { return info.param.name; });

TEST(Window, MultiLineEditHoldsLines) {
  Desk d;
  Graphics& g = d.app.gfx;
  Handle box = d.control("edit", "BlockBox", {200, 100, 150, 80});
  g.set(box, "Max", Value(2.0));
  d.wm.sync();
  auto* e = d.widget<QPlainTextEdit>(box);
  ASSERT_NE(e, nullptr);
  e->setPlainText("1 2\n3");
  EXPECT_EQ(g.get(box, "String"), Value(List{Value("1 2"), Value("3")}));
  EXPECT_EQ(control_text(d.app.ctx, "BlockBox"), "1 2\n3");
}

// Lets the event loop run until nothing is pending: posted syncs, then the paints they ask for.
void settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// One click that redraws hundreds of objects, restyles some, moves the limits and renames the
// window, repaints the plot once.
TEST(Window, OneActionThatChangesManyObjectsRepaintsOnce) {
  Desk d;
  Graphics& g = d.app.gfx;
  d.app.rt.add("draw_many", 0, 0, [&](const Args&, int) -> Outputs {
    g.clear_axes(d.ax);
    g.reserve_lines(d.ax, 400);
    std::vector<Handle> lines;
    for (int i = 0; i < 400; ++i)
      lines.push_back(g.plot_point(d.ax, i % 20, i / 20, PlotStyle{}, 4.0f));
    for (int i = 0; i < 50; ++i) g.set(lines[static_cast<std::size_t>(i)], "Color", Value("r"));
    g.set(d.ax, "XLim", row({-1, 21}));
    g.set(d.fig, "Name", Value("Redrawn"));
    g.set(g.axes_labels(d.ax)[2], "String", Value("400 points"));
    return {};
  });
  g.set(d.button, "Callback", Value(List{Value("draw_many")}));
  d.window()->show();
  settle();
  qt::FigureCanvas* canvas = d.window()->canvas();
  const int before = canvas->renders();
  ASSERT_GT(before, 0) << "the shown window was painted";

  d.widget<QPushButton>(d.button)->click();
  settle();
  EXPECT_EQ(canvas->renders(), before + 1);
  EXPECT_EQ(d.window()->windowTitle(), "Redrawn");

  // Changes made outside a callback (a script step, a timer) are gathered the same way.
  for (Handle l : g.children(d.ax)) g.set(l, "MarkerSize", Value(6.0));
  g.set(d.ax, "YLim", row({-1, 30}));
  settle();
  EXPECT_EQ(canvas->renders(), before + 2);

  // A change nothing shows repaints nothing.
  g.set(d.ax, "Tag", Value("Plot"));
  g.set(d.button, "UserData", Value(3.0));
  settle();
  EXPECT_EQ(canvas->renders(), before + 2);
}

TEST(Window, MessageBoxesDoNotWait) {
  Desk d;
  d.window()->show();
  d.ui.msgbox("Fell through case");
  QMessageBox* box = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) box = b;
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(), "Fell through case");
  EXPECT_FALSE(box->isModal());
  box->close();
}

}  // namespace
}  // namespace qiv
