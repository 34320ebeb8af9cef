#pragma once
// One figure's window: a canvas the size of the figure, on which the axes are painted and
// the uicontrols sit as native widgets, and a status bar below it for failures of the
// window's callbacks.
//
// Positions: the model's figure Position is the canvas in screen pixels with a bottom-left
// origin; children are placed with Graphics::pixel_position (bottom-left origin within the
// figure). When the user resizes the window, the figure's Position follows, so normalized
// children (the axes) grow with it, while controls in pixels or characters keep their
// distance from the window's top-left corner. Smaller than its layout, the window keeps the
// controls clear of the plot and scrolls them when they do not fit (qt/window_fit.h).
#include <QImage>
#include <QWidget>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "platform/graphics/graphics.h"
#include "qt/control_adapters.h"
#include "qt/figure_painter.h"
#include "qt/window_fit.h"

class QMenuBar;
class QStatusBar;

namespace qiv::qt {

class WindowManager;

class FigureCanvas : public QWidget {
  Q_OBJECT

 public:
  FigureCanvas(const Graphics& gfx, Handle fig, QWidget* parent);
  void invalidate();
  // Renders the picture now if it is out of date; returns it.
  const QImage& picture();
  // How many times the picture was rendered: once per event that changed what it shows.
  int renders() const { return renders_; }
  // Asked at each render for a zoomed view of one axes (plot_interaction.h); none draws the
  // model's limits.
  using ViewSource = std::function<std::optional<std::pair<Handle, Limits>>()>;
  void set_view_source(ViewSource source) {
    view_source_ = std::move(source);
    invalidate();
  }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  const Graphics& gfx_;
  Handle fig_;
  QImage cache_;
  bool valid_ = false;
  int renders_ = 0;
  MarkerSprites sprites_;
  ViewSource view_source_;
};

class FigureWindow : public QWidget, private ControlHost {
  Q_OBJECT

 public:
  FigureWindow(WindowManager& wm, Handle fig);
  ~FigureWindow() override;

  Handle figure() const { return fig_; }
  FigureCanvas* canvas() const { return canvas_; }
  QStatusBar* status_bar() const { return status_; }

  // Title, colour, size and place, visibility.
  void sync_properties();
  // Creates, updates and removes the widgets of the figure's uicontrols.
  void sync_controls();
  void remove_control(Handle h);
  QWidget* control_widget(Handle h) const;
  void show_status(const QString& text);
  // The figure's layout file has set its properties: its size now is the layout's.
  void layout_loaded();
  // A menu bar above the figure area; the window grows by its height.
  void set_menu_bar(QMenuBar* bar);
  QMenuBar* menu_bar() const { return menu_bar_; }
  // The figure's main plot on the screen, in pixels; the canvas when it has none.
  QRect plot_on_screen() const;
  // The model is going away (the figure was deleted): stop talking to it.
  void detach() { detached_ = true; }

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  struct Control {
    std::string style;
    bool multiline = false;
    QWidget* widget = nullptr;
    bool edited = false;  // edit text changed since its callback last ran
  };

  void update_control(Handle h, Control& c);
  QWidget* make_widget(Handle h, const ControlAdapter& adapter);
  void commit_edit(Handle h, Control& c);
  // ControlHost
  Graphics& graphics() override { return gfx_; }
  QObject* receiver() override { return this; }
  bool applying() const override { return applying_ > 0; }
  void run_callback(Handle h) override;
  void edit_changed(Handle h) override;
  bool forget_edit(Handle h) override;
  void edit_finished(Handle h);
  void user_geometry_changed();
  // Puts the window's rectangle (status bar included) into the model.
  void store_geometry(const QRect& g);
  // Controls in pixels or characters move up by -dh: they keep their distance from the top
  // of a figure whose height changed by dh.
  void keep_controls_at_top(double dh);
  QRect client_rect_from_model() const;
  QRect available_screen() const;
  // A tool window's rectangle r moved beside the main window (window_fit.h), or r for the
  // main window itself.
  QRect beside_main_window(const QRect& r) const;

  WindowManager& wm_;
  Graphics& gfx_;
  Handle fig_;
  FigureCanvas* canvas_;
  QStatusBar* status_;
  QMenuBar* menu_bar_ = nullptr;
  int menu_height() const;
  int status_height() const;
  void place_children(const QSize& size);
  std::map<Handle, Control> controls_;
  int applying_ = 0;  // > 0 while model values are being written into widgets
  bool detached_ = false;
  bool sized_ = false;  // the minimum size was fixed when the window was first shown
  QSize layout_size_;   // the figure's size in its layout file, when it has one
  ControlArea* controls_area_;
  AxesAnchors anchors_;
};

}  // namespace qiv::qt
