#include "qt/window_manager.h"

#include <QApplication>
#include <QCoreApplication>
#include <QStatusBar>
#include <QTimer>

#include "app/click.h"
#include "app/closing.h"
#include "qt/figure_window.h"
#include "qt/menus.h"
#include "qt/plot_interaction.h"

namespace qiv::qt {

WindowManager::WindowManager(Application& app) : app_(app) {
  app_.gfx.add_observer(this);
  for (Handle f : app_.gfx.figures()) {
    create_window(f);
    mark(f, true, true);
  }
}

WindowManager::~WindowManager() {
  app_.gfx.remove_observer(this);
  // Deleting the main window deletes the tool windows it holds: none may talk to the model.
  for (auto& [fig, w] : windows_)
    if (w) w->detach();
  for (auto& [fig, w] : windows_) delete w.data();
}

FigureWindow* WindowManager::create_window(Handle fig) {
  auto* w = new FigureWindow(*this, fig);
  w->installEventFilter(this);
  windows_[fig] = w;
  return w;
}

FigureWindow* WindowManager::window(Handle fig) const {
  auto it = windows_.find(fig);
  return it == windows_.end() ? nullptr : it->second.data();
}

FigureWindow* WindowManager::main_window() const {
  // By its tag: the state names the main window only once data are loaded.
  for (const auto& [fig, w] : windows_)
    if (w && is_main_window(app_.gfx, fig)) return w.data();
  return nullptr;
}

// A tool window is a Qt::Tool window whose transient parent (owner, WM_TRANSIENT_FOR on X11;
// a plain Qt::Window gets none there) is the main window: the window manager keeps it in
// front of the main window, which a click on the plot activates, and minimizes it with that.
void WindowManager::keep_above_main_window(FigureWindow& w) {
  FigureWindow* main = main_window();
  if (main == nullptr || &w == main || w.parentWidget() == main || w.isVisible()) return;
  w.setParent(main, (w.windowFlags() & ~Qt::WindowType_Mask) | Qt::Tool);
}

QWidget* WindowManager::control_widget(Handle control) const {
  if (!app_.gfx.ishandle(control)) return nullptr;
  FigureWindow* w = window(app_.gfx.figure_of(control));
  return w ? w->control_widget(control) : nullptr;
}

int WindowManager::visible_windows() const {
  int n = 0;
  for (const auto& [fig, w] : windows_)
    if (w && w->isVisible()) ++n;
  return n;
}

void WindowManager::post_sync() {
  if (sync_posted_) return;
  sync_posted_ = true;
  QTimer::singleShot(0, this, [this] {
    sync_posted_ = false;
    sync();
  });
}

void WindowManager::mark(Handle h, bool controls, bool canvas) {
  const Handle fig = app_.gfx.figure_of(h);
  if (fig == kNoHandle) return;
  if (canvas) ++picture_changes_;
  if (controls) dirty_controls_.insert(fig);
  if (canvas) dirty_canvas_.insert(fig);
  post_sync();
}

void WindowManager::attach_plot_interaction() {
  const auto& main = app_.state.figh;
  if (!main || (plot_ && plot_->figure() == *main)) return;
  if (FigureWindow* w = window(*main)) plot_ = new PlotInteraction(*this, *w);
}

void WindowManager::sync() {
  attach_plot_interaction();
  const std::set<Handle> figs = std::move(dirty_controls_);
  dirty_controls_.clear();
  for (Handle f : figs) {
    FigureWindow* w = window(f);
    if (!w || !app_.gfx.ishandle(f)) continue;
    if (!menus_ && is_main_window(app_.gfx, f)) {
      menus_ = new MainMenus(*this, *w);
      w->set_menu_bar(menus_->bar());
    }
    keep_above_main_window(*w);
    w->sync_properties();
    w->sync_controls();
  }
  const std::set<Handle> canvases = std::move(dirty_canvas_);
  dirty_canvas_.clear();
  for (Handle f : canvases)
    if (FigureWindow* w = window(f)) w->canvas()->invalidate();
  if (raise_ != kNoHandle) {
    FigureWindow* w = window(raise_);
    raise_ = kNoHandle;
    if (w && w->isVisible() && QApplication::activeWindow() != w) {
      w->raise();
      w->activateWindow();
    }
  }
  if (menus_) menus_->refresh();
  if (quit_on_last_ && !in_callback_ && visible_windows() == 0) QCoreApplication::quit();
}

void WindowManager::run_callback(Handle control) {
  Graphics& g = app_.gfx;
  if (!g.ishandle(control)) return;
  const Handle fig = g.figure_of(control);
  if (FigureWindow* w = window(fig)) w->status_bar()->clearMessage();
  // A click makes its window the current figure.
  if (g.current_figure() != fig) g.figure(fig);
  const bool was_in_callback = in_callback_;
  in_callback_ = true;
  qiv::run_callback(app_.ctx, control);
  in_callback_ = was_in_callback;
  if (picking_ == 0) sync();
}

bool WindowManager::may_close_main() {
  if (in_callback_) return false;  // a dialog of a running action is open: not now
  in_callback_ = true;
  const bool ok = ask_before_closing(app_.ctx);
  in_callback_ = false;
  sync();
  return ok;
}

void WindowManager::run_action(const std::string& action) {
  if (in_callback_) return;
  in_callback_ = true;
  app_.action(action);
  in_callback_ = false;
  sync();
}

void WindowManager::run_pick(const std::function<void()>& pick) {
  struct Picking {
    int& depth;
    explicit Picking(int& d) : depth(d) { ++depth; }
    ~Picking() { --depth; }
  };
  {
    Picking guard(picking_);
    pick();
  }
  sync();
}

void WindowManager::make_current(Handle fig) {
  Graphics& g = app_.gfx;
  if (!g.ishandle(fig) || g.type(fig) != ObjType::kFigure || g.current_figure() == fig) return;
  quiet_ = true;
  g.figure(fig);
  quiet_ = false;
}

bool WindowManager::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::WindowActivate && picking_ == 0) {
    auto* w = qobject_cast<FigureWindow*>(watched);
    const auto& main = app_.state.figh;
    if (w && !(main && *main == w->figure())) make_current(w->figure());
  }
  return QObject::eventFilter(watched, e);
}

void WindowManager::window_closed(Handle fig) {
  Graphics& g = app_.gfx;
  const auto& main = app_.state.figh;
  // The tool windows draw into the main window: closing it closes them and ends the program.
  if (main && *main == fig) {
    for (Handle other : g.figures())
      if (other != fig && g.ishandle(other)) g.close(other);
  }
  if (g.ishandle(fig)) g.close(fig);
  sync();
}

void WindowManager::object_created(Handle h) {
  if (app_.gfx.type(h) == ObjType::kFigure) create_window(h);
  mark(h, true, true);
}

void WindowManager::object_deleted(Handle h) {
  const ObjType t = app_.gfx.type(h);
  if (t == ObjType::kFigure) {
    auto it = windows_.find(h);
    if (it != windows_.end()) {
      if (FigureWindow* w = it->second.data()) {
        w->detach();
        w->hide();
        // The tool windows it holds outlive it while their figures do.
        for (auto* tool : w->findChildren<FigureWindow*>(Qt::FindDirectChildrenOnly)) {
          if (window(tool->figure()) != tool) continue;
          tool->setParent(nullptr, tool->windowFlags());
          mark(tool->figure(), true, false);
        }
        w->deleteLater();
      }
      windows_.erase(it);
    }
    dirty_controls_.erase(h);
    dirty_canvas_.erase(h);
    if (raise_ == h) raise_ = kNoHandle;
    post_sync();
    return;
  }
  const Handle fig = app_.gfx.figure_of(h);
  if (t == ObjType::kUicontrol) {
    if (FigureWindow* w = window(fig)) w->remove_control(h);
  }
  mark(h, false, true);
}

void WindowManager::property_changed(Handle h, std::string_view name) {
  const ObjType t = app_.gfx.type(h);
  const PropertyRule* rule = find_property(t, name);
  const Affects affects = rule ? rule->affects : Affects::kPicture;
  if (t == ObjType::kFigure && name == "filename")
    if (FigureWindow* w = window(h)) w->layout_loaded();
  if (affects == Affects::kData) return;  // tags, callbacks, user data: nothing shows them
  switch (t) {
    case ObjType::kRoot:
      // The screen's size places every window.
      if (affects == Affects::kGeometry)
        for (const auto& [fig, w] : windows_) dirty_controls_.insert(fig);
      post_sync();
      break;
    case ObjType::kFigure:
      mark(h, true, true);
      break;
    case ObjType::kUicontrol:
      mark(h, true, false);
      break;
    default:
      mark(h, false, true);
      break;
  }
}

void WindowManager::content_changed(Handle axes) { mark(axes, false, true); }

void WindowManager::figure_raised(Handle fig) {
  if (quiet_ || picking_ > 0) return;
  raise_ = fig;
  mark(fig, true, false);
}

}  // namespace qiv::qt
