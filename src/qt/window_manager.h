#pragma once
// Mirrors the object model in Qt windows: one top-level window per figure, native widgets for
// its uicontrols, the axes painted from the model. Changes of the model are collected and
// applied in one pass (sync), right after each callback and otherwise on the next turn of
// the event loop; what the user does in a widget is written back into the model at once.
#include <QObject>
#include <QPointer>
#include <map>
#include <set>
#include <string_view>

#include "app/application.h"
#include "platform/graphics/graphics.h"
#include "qt/menus.h"

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

  FigureWindow* window(Handle fig) const;
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

 private:
  void post_sync();
  void mark(Handle h, bool controls, bool canvas);
  FigureWindow* create_window(Handle fig);

  Application& app_;
  std::map<Handle, QPointer<FigureWindow>> windows_;
  std::set<Handle> dirty_controls_;
  std::set<Handle> dirty_canvas_;
  Handle raise_ = kNoHandle;
  QPointer<MainMenus> menus_;
  bool sync_posted_ = false;
  bool quit_on_last_ = false;
  bool in_callback_ = false;
};

}  // namespace qiv::qt
