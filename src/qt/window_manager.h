#pragma once
// Mirrors the object model in Qt windows: one top-level window per figure, native widgets for
// its uicontrols, the axes painted from the model. Changes of the model are collected and
// applied in one pass (sync), right after each callback and otherwise on the next turn of
// the event loop; what the user does in a widget is written back into the model at once.
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string_view>

#include "app/application.h"
#include "platform/graphics/graphics.h"
#include "qt/menus.h"
#include "qt/plot_interaction.h"

class QWidget;

namespace qiv::qt {

class FigureWindow;

class WindowManager : public QObject, public GraphicsObserver {
  Q_OBJECT

 public:
  // Watches app.gfx from now on; windows exist for figures created from now on and for the
  // figures already open.
  explicit WindowManager(Application& app);
  ~WindowManager() override;

  Application& app() { return app_; }
  Graphics& gfx() { return app_.gfx; }

  // Applies every pending change of the model to the windows.
  void sync();
  // Runs a control's callback as a click does: the control's window becomes the current
  // figure, gcbo is the control during the call, and the windows are brought up to date
  // afterwards.
  void run_callback(Handle control);
  // Asks about unsaved work before the main window closes (app/closing.h), as a callback:
  // the saves it may run repaint once. Returns whether the window may close.
  bool may_close_main();
  // Runs one action by name from a menu ("Undo", "Redo") as a callback.
  void run_action(const std::string& action);
  // Runs a click on the main plot (the callbacks it presses through run_callback) with one
  // sync at the end, and without bringing other windows to the front: the user is clicking
  // in the window that is there.
  void run_pick(const std::function<void()>& pick);
  // Makes fig the current figure without raising its window: the user is working in it.
  void make_current(Handle fig);
  // The mouse on the main window's plot; null while there is no main window.
  PlotInteraction* plot_interaction() const { return plot_.data(); }
  // Counts the changes of the model that show in some picture: what was drawn from the model
  // before is still good while this stays the same.
  std::uint64_t picture_changes() const { return picture_changes_; }

  FigureWindow* window(Handle fig) const;
  // The main window; nullptr while there is none.
  FigureWindow* main_window() const;
  // The main window's menus; nullptr until the main window is shown.
  MainMenus* menus() const { return menus_.data(); }
  QWidget* control_widget(Handle control) const;
  // Open figures that are shown.
  int visible_windows() const;
  // Quit the event loop when the last shown window goes.
  void set_quit_when_last_closes(bool on) { quit_on_last_ = on; }

  // The user closed a window.
  void window_closed(Handle fig);

  // GraphicsObserver
  void object_created(Handle h) override;
  void object_deleted(Handle h) override;
  void property_changed(Handle h, std::string_view lower_name) override;
  void content_changed(Handle axes) override;
  void figure_raised(Handle fig) override;

 protected:
  // A tool window the user brings to the front becomes the current figure. The main window
  // becomes current only through its controls and its background: a click on its plot
  // activates it too, and that click belongs to the window the user was working in.
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void post_sync();
  void mark(Handle h, bool controls, bool canvas);
  FigureWindow* create_window(Handle fig);
  // Before it is first shown, a tool window becomes a window of the main window's.
  void keep_above_main_window(FigureWindow& w);
  void attach_plot_interaction();

  Application& app_;
  std::map<Handle, QPointer<FigureWindow>> windows_;
  std::set<Handle> dirty_controls_;
  std::set<Handle> dirty_canvas_;
  Handle raise_ = kNoHandle;
  QPointer<MainMenus> menus_;
  bool sync_posted_ = false;
  bool quit_on_last_ = false;
  bool in_callback_ = false;
  int picking_ = 0;     // > 0 while a click on the plot runs
  bool quiet_ = false;  // a figure made current without raising it
  QPointer<PlotInteraction> plot_;
  std::uint64_t picture_changes_ = 0;
};

}  // namespace qiv::qt
