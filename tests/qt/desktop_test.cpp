// The main window as a desktop program: menus and their keys, Return in a box, the title, the
// status bar's confirmations, and files dropped on the window.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QUrl>
#include <filesystem>

#include "core/controls.h"
#include "qt/figure_window.h"
#include "qt/menus.h"
#include "qt/qt_app.h"
#include "qt/window_manager.h"
#include "support/qt_windows.h"

namespace qiv {
namespace {

namespace fs = std::filesystem;
using qt_test::qt_app;

class DesktopTest : public test_support::StartedWindows {
 protected:
  void TearDown() override { close_boxes(); }

  qt::FigureWindow* main_window() { return wm_.window(main_); }
  void press_return(const char* tag, const char* text) {
    auto* e = qobject_cast<QLineEdit*>(widget(tag));
    ASSERT_NE(e, nullptr) << tag;
    e->setFocus();
    type_keys(e, text);
    QKeyEvent ret(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(e, &ret);
  }
  QAction* menu_item(const QString& text) {
    for (QAction* top : main_window()->menu_bar()->actions())
      for (QAction* a : top->menu()->actions())
        if (a->text() == text) return a;
    return nullptr;
  }
  QString status() { return main_window()->status_bar()->currentMessage(); }
  void load_leaves() {
    ui_.answers.push_back(examples("leaves.txt"));
    click("Load");
  }
  std::vector<QMessageBox*> boxes() {
    std::vector<QMessageBox*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) out.push_back(b);
    return out;
  }
  void close_boxes() {
    for (QMessageBox* b : boxes()) b->close();
  }
  // A drag that enters the window (which makes it the drop's target) and drops there.
  void drop(QMimeData& mime) {
    QDragEnterEvent enter(QPoint(500, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main_window(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent e(QPointF(500, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main_window(), &e);
  }

  const fs::path dir_ = scratch_.path();
};

struct MenuCase {
  const char* text;
  const char* tag;
  const char* keys;
};

// Every item, the button it presses and its keys.
const MenuCase kMenu[] = {
    {"Load data file...", "Load", "Ctrl+O"},          {"Load protocol...", "LoadProto", ""},
    {"Save protocol...", "SaveProtocol", "Ctrl+S"},   {"Save lengths...", "SaveLengths", ""},
    {"Copy picture", "CopyBigImage", "Ctrl+Shift+C"}, {"Save picture...", "SaveBigImage", ""},
    {"Landmark subset...", "MakeSubset", ""},         {"Back-reflection...", "DoBackReflect", ""},
    {"Target matrix...", "CreateTarget", ""},
};

TEST_F(DesktopTest, TheMenusHoldTheItemsWithTheirKeys) {
  QStringList menus;
  for (QAction* top : main_window()->menu_bar()->actions()) menus << top->text();
  EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&Tools", "&Help"}));
  EXPECT_EQ(wm_.menus()->undo_item()->shortcut(), QKeySequence("Ctrl+Z"));
  EXPECT_EQ(wm_.menus()->redo_item()->shortcuts(),
            QList<QKeySequence>({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));
  EXPECT_FALSE(wm_.menus()->undo_item()->isEnabled()) << "nothing to undo yet";
  for (const MenuCase& m : kMenu) {
    QAction* a = menu_item(m.text);
    ASSERT_NE(a, nullptr) << m.text;
    EXPECT_EQ(a->shortcut(), QKeySequence(QString(m.keys))) << m.text;
    EXPECT_EQ(a, wm_.menus()->item(m.tag)) << m.text;
  }
  ASSERT_NE(menu_item("&Quit"), nullptr);
  EXPECT_EQ(menu_item("&Quit")->shortcut(), QKeySequence("Ctrl+Q"));
  ASSERT_NE(menu_item("&About qiv_proto"), nullptr);
}

TEST_F(DesktopTest, EachMenuItemDoesWhatItsButtonDoes) {
  load_leaves();
  ui_.answers.push_back(examples("protocol.txt"));
  click("LoadProto");
  for (const MenuCase& m : kMenu) {
    if (std::string(m.tag) == "Load" || std::string(m.tag) == "LoadProto") continue;
    SCOPED_TRACE(m.text);
    // Through the menu, then through the button, from the same state: the same dialogs,
    // messages, status and windows. The dialogs are cancelled.
    auto run = [&](const std::function<void()>& go) {
      ui_.log.clear();
      main_window()->status_bar()->clearMessage();
      go();
      std::vector<std::string> seen = ui_.log;
      seen.push_back("status: " + status().toStdString());
      seen.push_back("windows: " + std::to_string(wm_.visible_windows()));
      close_boxes();
      for (Handle f : app_.gfx.figures())
        if (f != main_) app_.gfx.close(f);
      wm_.sync();
      return seen;
    };
    const auto by_menu = run([&] { menu_item(m.text)->trigger(); });
    const auto by_button = run([&] { click(m.tag); });
    EXPECT_EQ(by_menu, by_button);
    const std::vector<std::string> nothing{"status: ", "windows: 1"};
    EXPECT_NE(by_menu, nothing) << "the item did something";
  }
}

TEST_F(DesktopTest, TheLoadItemLoadsAndTheSaveItemConfirmsInTheStatusBar) {
  ui_.answers.push_back(examples("leaves.txt"));
  menu_item("Load data file...")->trigger();
  EXPECT_EQ(app_.state.datafile, std::optional<std::string>("leaves.txt"));
  EXPECT_EQ(status(), "Loaded leaves.txt: 30 specimens, 12 landmarks");
  ui_.answers.push_back(examples("protocol.txt"));
  menu_item("Load protocol...")->trigger();
  ui_.answers.push_back((dir_ / "saved.txt").string());
  menu_item("Save protocol...")->trigger();
  EXPECT_TRUE(fs::exists(dir_ / "saved.txt"));
  EXPECT_EQ(status(), "Saved saved.txt: 8 lines");
}

TEST_F(DesktopTest, AnItemOfADisabledButtonIsDisabledAndDoesNothing) {
  const Handle b = find_control(app_.ctx, "SaveProtocol");
  app_.gfx.set(b, "Enable", Value("off"));
  wm_.sync();
  QAction* a = menu_item("Save protocol...");
  EXPECT_FALSE(a->isEnabled());
  ui_.log.clear();
  a->trigger();  // a disabled action ignores the trigger
  EXPECT_TRUE(ui_.log.empty());
  app_.gfx.set(b, "Enable", Value("on"));
  wm_.sync();
  EXPECT_TRUE(a->isEnabled());
}

TEST_F(DesktopTest, QuitClosesEveryWindow) {
  load_leaves();
  click("MakeSubset");
  click("CreateTarget");
  EXPECT_EQ(wm_.visible_windows(), 3);
  menu_item("&Quit")->trigger();
  EXPECT_EQ(wm_.visible_windows(), 0);
  EXPECT_TRUE(app_.gfx.figures().empty());
}

TEST_F(DesktopTest, AboutNamesTheVersionAndTheFormats) {
  const QString text = qt::about_text();
  EXPECT_TRUE(text.startsWith("qiv_proto " QIV_VERSION "\n")) << text.toStdString();
  for (const char* word : {"TPS", "NTS", "CSV", "one specimen per line", "in four formats"})
    EXPECT_TRUE(text.contains(word)) << word;
  menu_item("&About qiv_proto")->trigger();
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0]->text(), text);
}

TEST_F(DesktopTest, TheMenuBarSitsAboveTheFigureAreaWhichKeepsItsLayoutSize) {
  qt::FigureWindow* w = main_window();
  const int mb = w->menu_bar()->height();
  EXPECT_GT(mb, 0);
  EXPECT_EQ(w->canvas()->geometry(), QRect(0, mb, 1000, 640));
  EXPECT_EQ(w->height(), mb + 640 + w->status_bar()->height());
  const Value pos = app_.gfx.get(main_, "Position");
  EXPECT_EQ(pos.matrix()(0, 2), 1000);
  EXPECT_EQ(pos.matrix()(0, 3), 640);
  // A control keeps its place in the figure area.
  const auto p = app_.gfx.pixel_position(find_control(app_.ctx, "Load"));
  EXPECT_EQ(widget("Load")->geometry().topLeft(), QPoint(20, 640 - int(p[1]) - int(p[3])));
}

TEST_F(DesktopTest, TheTitleNamesTheLoadedFile) {
  EXPECT_EQ(main_window()->windowTitle(), "Landmark protocols");
  load_leaves();
  EXPECT_EQ(main_window()->windowTitle(),
            QString::fromUtf8("Landmark protocols \u2014 leaves.txt"));
  click("Clear");
  EXPECT_EQ(main_window()->windowTitle(), "Landmark protocols");
  EXPECT_EQ(qt::title_with_file("A", std::string("b.tps")), QString::fromUtf8("A \u2014 b.tps"));
  EXPECT_EQ(qt::title_with_file("A", std::nullopt), "A");
}

TEST_F(DesktopTest, ReturnInABoxPressesItsNaturalButton) {
  load_leaves();
  click("NewProto");
  press_return("EndBox1", "3");
  ASSERT_EQ(app_.state.proto->count(), 1) << "3 and the 2 in the second box";
  press_return("EndBox2", "7");
  ASSERT_EQ(app_.state.proto->count(), 2);
  EXPECT_EQ(app_.state.proto->line(1).first, 3);
  EXPECT_EQ(app_.state.proto->line(1).second, 7);
  EXPECT_EQ(status(), QString::fromUtf8("Added line 2: 3\u20137"));
  // "Line number" shows the line.
  app_.state.lineh = kNoHandle;
  press_return("ActivePointBox", "2");
  ASSERT_TRUE(app_.state.lineh.has_value());
  EXPECT_NE(*app_.state.lineh, kNoHandle);
  // A disabled button is not pressed.
  app_.gfx.set(find_control(app_.ctx, "AddLine"), "Enable", Value("off"));
  wm_.sync();
  press_return("EndBox2", "9");
  EXPECT_EQ(app_.state.proto->count(), 2);
  EXPECT_EQ(control_text(app_.ctx, "EndBox2"), "9") << "the edit itself is kept";
}

// Ctrl+Z and Ctrl+Y in a box: the box takes them while it has typing to take back or bring
// back; otherwise it lets them go to the program's Undo and Redo.
TEST_F(DesktopTest, UndoKeysInABoxTakeItsTypingFirst) {
  load_leaves();
  auto* e = qobject_cast<QLineEdit*>(widget("EndBox2"));
  ASSERT_NE(e, nullptr);
  auto taken = [&](Qt::Key key) {
    QKeyEvent k(QEvent::ShortcutOverride, key, Qt::ControlModifier);
    QApplication::sendEvent(e, &k);
    return k.isAccepted();
  };
  EXPECT_FALSE(taken(Qt::Key_Z)) << "nothing typed yet";
  press_return("EndBox2", "7");
  EXPECT_TRUE(taken(Qt::Key_Z));
  EXPECT_FALSE(taken(Qt::Key_Y));
  e->undo();
  e->undo();
  EXPECT_FALSE(taken(Qt::Key_Z));
  EXPECT_TRUE(taken(Qt::Key_Y));
}

TEST_F(DesktopTest, ADroppedFileLoadsAsTheCommandLineDoes) {
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(examples("leaves.txt")))});
  drop(mime);
  EXPECT_EQ(app_.state.datafile, std::optional<std::string>("leaves.txt"));
  EXPECT_TRUE(control_text(app_.ctx, "FileBox").rfind("File: leaves.txt", 0) == 0);
  EXPECT_EQ(main_window()->windowTitle(),
            QString::fromUtf8("Landmark protocols \u2014 leaves.txt"));
  EXPECT_EQ(status(), "Loaded leaves.txt: 30 specimens, 12 landmarks");
  EXPECT_TRUE(boxes().empty());
  // Several files dropped together load as one data set, in order.
  mime.setUrls({mime.urls()[0], mime.urls()[0]});
  drop(mime);
  EXPECT_EQ(status(), "Loaded leaves.txt (+1 more): 60 specimens, 12 landmarks");
}

TEST_F(DesktopTest, DroppingNoFileOrAFolderOnlySaysSo) {
  struct Case {
    QList<QUrl> urls;
    const char* text;
    const char* message;
  };
  const QUrl leaves = QUrl::fromLocalFile(QString::fromStdString(examples("leaves.txt")));
  const Case cases[] = {
      {{leaves, QUrl::fromLocalFile(QString::fromStdString(dir_.string()))},
       nullptr,
       "Only a landmark data file can be dropped here."},
      {{}, "some words", "Only a landmark data file can be dropped here."},
      {{QUrl("https://example.org/leaves.txt")},
       nullptr,
       "Only a landmark data file can be dropped here."},
      {{QUrl::fromLocalFile(QString::fromStdString(dir_.string()))},
       nullptr,
       "Only a landmark data file can be dropped here."},
  };
  for (const Case& c : cases) {
    QMimeData mime;
    if (!c.urls.isEmpty()) mime.setUrls(c.urls);
    if (c.text) mime.setText(c.text);
    ui_.log.clear();
    drop(mime);
    EXPECT_EQ(ui_.log, std::vector<std::string>{std::string("msgbox: ") + c.message});
    EXPECT_FALSE(app_.state.datafile.has_value());
    EXPECT_FALSE(app_.state.data.has_value());
    close_boxes();
  }
}

}  // namespace
}  // namespace qiv
