// The real main window from its layout, driven through its widgets as a user would.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "core/controls.h"
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

}  // namespace
}  // namespace qiv
