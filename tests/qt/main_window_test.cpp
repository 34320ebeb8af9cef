// The real main window from its layout, driven through its widgets as a user would.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <filesystem>

#include "core/controls.h"
#include "guikit/figure_files.h"
#include "qt/figure_window.h"
#include "qt/qt_app.h"
#include "qt/window_manager.h"
#include "support/qt_windows.h"

namespace qiv {
namespace {

namespace fs = std::filesystem;
using qt_test::qt_app;

class MainWindowTest : public test_support::StartedWindows {
 protected:
  void type(const char* tag, const QString& text) {
    auto* e = qobject_cast<QLineEdit*>(widget(tag));
    ASSERT_NE(e, nullptr) << tag;
    type_keys(e, text);
  }
  QString label(const char* tag) {
    auto* l = qobject_cast<QLabel*>(widget(tag));
    return l ? l->text() : QString("<no label>");
  }
};

TEST_F(MainWindowTest, TypedEndsAddALineToTheProtocol) {
  ASSERT_NE(wm_.window(main_), nullptr);
  EXPECT_TRUE(wm_.window(main_)->isVisible());
  EXPECT_EQ(wm_.visible_windows(), 1) << "the secondary windows were closed at start-up";

  ui_.answers.push_back(examples("leaves.txt"));
  click("Load");
  EXPECT_TRUE(label("FileBox").startsWith("File: leaves.txt")) << label("FileBox").toStdString();
  click("NewProto");
  EXPECT_EQ(label("ProtoPointBox"), "0");

  type("EndBox1", "3");
  type("EndBox2", "7");
  EXPECT_EQ(control_text(app_.ctx, "EndBox2"), "7");
  const QImage before = wm_.window(main_)->canvas()->picture().copy();
  click("AddLine");

  EXPECT_EQ(label("ProtoPointBox"), "1");
  ASSERT_TRUE(app_.state.proto.has_value());
  ASSERT_EQ(app_.state.proto->count(), 1);
  EXPECT_EQ(app_.state.proto->line(0).first, 3);
  EXPECT_EQ(app_.state.proto->line(0).second, 7);
  EXPECT_NE(wm_.window(main_)->canvas()->picture(), before) << "the new line is painted";

  // The same ends again: the action refuses with a box that does not wait.
  click("AddLine");
  QMessageBox* box = nullptr;
  for (QMessageBox* b : wm_.window(main_)->findChildren<QMessageBox*>())
    if (b->isVisible()) box = b;
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(), "Line Not added, since it is already in protocol");
  box->close();
}

TEST_F(MainWindowTest, SecondaryWindowOpensAndEventLoopEndsWithTheLastWindow) {
  ui_.answers.push_back(examples("leaves.txt"));
  click("Load");
  click("MakeSubset");
  ASSERT_TRUE(app_.state.menufigh.has_value());
  ASSERT_NE(wm_.window(*app_.state.menufigh), nullptr);
  EXPECT_TRUE(wm_.window(*app_.state.menufigh)->isVisible());
  EXPECT_EQ(wm_.visible_windows(), 2);

  wm_.set_quit_when_last_closes(true);
  QTimer::singleShot(0, [this] {
    wm_.window(*app_.state.menufigh)->close();
    EXPECT_EQ(wm_.visible_windows(), 1);
    wm_.window(main_)->close();
  });
  QTimer::singleShot(10000, [] { QCoreApplication::exit(7); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_TRUE(app_.gfx.figures().empty());
  wm_.set_quit_when_last_closes(false);
}

// The tool windows draw into the main window: closing it closes them and ends the program.
TEST_F(MainWindowTest, ClosingTheMainWindowClosesTheToolWindowsAndEndsTheProgram) {
  ui_.answers.push_back(examples("leaves.txt"));
  click("Load");
  click("MakeSubset");
  click("CreateTarget");
  EXPECT_EQ(wm_.visible_windows(), 3);

  wm_.set_quit_when_last_closes(true);
  QTimer::singleShot(0, [this] { wm_.window(main_)->close(); });
  QTimer::singleShot(10000, [] { QCoreApplication::exit(7); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_TRUE(app_.gfx.figures().empty());
  EXPECT_EQ(wm_.visible_windows(), 0);
  wm_.set_quit_when_last_closes(false);
}

// Right of the main window, else left, else over its controls: on screens measured to fit.
TEST_F(MainWindowTest, ToolWindowsStayInFrontAndOpenBesideThePlot) {
  qt::FigureWindow* main = wm_.window(main_);
  int w = 0;  // the subset window's width
  for (const char* layout :
       {"qiv_subset", "qiv_back", "qiv_target", "qiv_correlations", "qiv_comparison"}) {
    qt::FigureWindow* tool = wm_.window(openfig(app_.ctx, layout, "reuse"));
    wm_.sync();
    if (w == 0) w = tool->frameGeometry().width();
    EXPECT_EQ(tool->windowType(), Qt::Tool) << layout;
    EXPECT_EQ(tool->windowHandle()->transientParent(), main->windowHandle()) << layout;
    app_.gfx.close(tool->figure());
  }
  const QRect m = main->frameGeometry();
  const auto at = app_.gfx.pixel_position(main_);
  const double screen_h = app_.gfx.pixel_position(kScreen)[3];
  const int rows[][3] = {// the main window's left, the screen's width, the tool window's left
                         {m.left(), m.right() + 1 + w, m.right() + 1},
                         {w, w + m.width() + w / 2, 0},
                         {w / 2, w + m.width(), 0}};
  for (const auto& r : rows) {
    app_.gfx.set(kScreen, "ScreenSize", row({1, 1, static_cast<double>(r[1]), screen_h}));
    app_.gfx.set(main_, "Position", row({at[0] + r[0] - m.left(), at[1], at[2], at[3]}));
    qt::FigureWindow* tool = wm_.window(openfig(app_.ctx, "qiv_subset", "reuse"));
    wm_.sync();
    EXPECT_EQ(tool->frameGeometry().left(), r[2]) << "screen " << r[1];
    app_.gfx.close(tool->figure());
  }
}

TEST_F(MainWindowTest, ADisabledControlLooksDisabledWhateverItsColours) {
  using P = QPalette;
  const std::pair<const char*, P::ColorRole> rows[] = {
      {"Load", P::ButtonText}, {"EndBox1", P::Text}, {"FileBox", P::WindowText}};
  for (const auto& [tag, text] : rows) {
    app_.gfx.set(find_control(app_.ctx, tag), "ForegroundColor", row({1, 0, 0}));
    app_.gfx.set(find_control(app_.ctx, tag), "Enable", Value("off"));
    wm_.sync();
    const QPalette p = widget(tag)->palette();
    EXPECT_EQ(p.color(P::Active, text), QColor(Qt::red)) << tag;
    EXPECT_NE(p.color(P::Disabled, text), QColor(Qt::red)) << tag;
  }
}

}  // namespace
}  // namespace qiv
