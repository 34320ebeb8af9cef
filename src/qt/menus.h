#pragma once
// The desktop conventions of the main window: a menu bar whose items press the main layout's
// buttons, the loaded file's name in the title, and a landmark file dropped on the window.
// Everything runs through the buttons' own actions (WindowManager::run_callback) or
// Application::load_file, so nothing here can do what a script cannot.
#include <QObject>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/graphics.h"

class QAction;
class QMenuBar;
class QMimeData;

namespace qiv::qt {

class FigureWindow;
class WindowManager;

// The figure of the main layout, the one with the menus (Tag "MainWindow").
bool is_main_window(const Graphics& g, Handle fig);

// "Landmark protocols — leaves.txt": the window's title, an em dash between blanks and the
// loaded file's name without its folder; the title alone when no file is loaded.
QString title_with_file(const QString& title, const std::optional<std::string>& file);

// Help > About: the program's name and version (as --version prints it) and the files it
// reads.
QString about_text();

// A menu item that presses the button of the main layout tagged `tag`; keys in
// QKeySequence's portable form, "" for none.
struct MenuItem {
  const char* menu;
  const char* text;
  const char* tag;
  const char* keys;
};
const std::vector<MenuItem>& button_menu_items();

// The menu bar of the main window (File, Edit, Tools, Help) and the files dropped on it. Owned by
// the window.
class MainMenus : public QObject {
  Q_OBJECT

 public:
  MainMenus(WindowManager& wm, FigureWindow& window);

  QMenuBar* bar() const { return bar_; }
  // The item pressing the button tagged tag; nullptr when none.
  QAction* item(const std::string& tag) const;
  QAction* quit_item() const { return quit_; }
  QAction* about_item() const { return about_; }
  QAction* undo_item() const { return undo_; }
  QAction* redo_item() const { return redo_; }
  // An item is enabled as its button is (a shortcut of a disabled item does nothing); Undo
  // and Redo name their step and are enabled while there is one.
  void refresh();

 protected:
  // Drag and drop of files on the window.
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  Handle button(const std::string& tag) const;
  void press(const std::string& tag);
  void drop(const QMimeData* mime);

  WindowManager& wm_;
  FigureWindow& window_;
  QMenuBar* bar_;
  std::vector<std::pair<std::string, QAction*>> items_;
  QAction* quit_ = nullptr;
  QAction* about_ = nullptr;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
};

}  // namespace qiv::qt
