#pragma once
// The mouse on the main window's plot: hover names what lies under the cursor, a click picks
// it (pointing/pick.h: the current figure decides what the click means, and it runs through
// the same buttons as typing would), the wheel zooms about the cursor, dragging pans, and a
// double-click or Home shows everything again.
//
// The zoomed view belongs to this window alone: the model's limits (XLim, YLim), copied and
// saved pictures and whatever a script can read stay as the actions left them. The view
// returns to the full one when what it looked at is gone: the plot's own limits changed
// ("Clear"), a Load made a new mean shape (even of the same file), or the plot was replaced.
// A highlight or a redraw of the same data leaves the limits alone, and so the view.
#include <QObject>
#include <QPoint>
#include <QString>
#include <optional>

#include "platform/graphics/graphics.h"
#include "pointing/hit_test.h"
#include "pointing/plot_map.h"

namespace qiv::qt {

class FigureWindow;
class WindowManager;

// A press, move and release farther than this is a pan, not a click.
constexpr double kPanThresholdPx = 4.0;
// One notch of the wheel scales the view by this factor.
constexpr double kZoomStep = 1.25;
// The view stays between these multiples of the full view's size.
constexpr double kMinZoomSpan = 1e-4;
constexpr double kMaxZoomSpan = 100.0;

// Limits scaled by `factor` (< 1 zooms in) about the data point under pixel p of `map`, so
// that the point stays under the cursor. `full` bounds how far the view may zoom.
Limits zoomed_limits(const PlotMap& map, PixelPoint p, double factor, const Limits& full);
// Limits moved so that the data under `from` in `map` comes to lie under `to`.
Limits panned_limits(const PlotMap& map, PixelPoint from, PixelPoint to);

class PlotInteraction : public QObject {
  Q_OBJECT

 public:
  // Watches the window's canvas; lives as long as the window.
  PlotInteraction(WindowManager& wm, FigureWindow& window);

  Handle figure() const { return fig_; }
  // The plot the mouse works on; kNoHandle when the figure has none.
  Handle axes() const;
  // The limits the plot is shown with, or none for the model's own. Drops a view whose plot
  // changed underneath (see above).
  std::optional<Limits> view();
  void reset_view();
  // The hover text now shown ("" for none).
  const QString& hover_text() const { return hover_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  struct Base {
    Handle axes = kNoHandle;
    Limits limits{};
    Shared<Matrix> reference;
    const double* reference_at = nullptr;  // a new Load of the same file is a new mean shape
  };
  Base base_now() const;
  bool same_base(const Base& b) const;
  void set_view(const Limits& v);
  PlotMap map_now();
  PixelPoint to_figure(const QPointF& widget_pos) const;
  bool on_plot(const QPointF& widget_pos) const;
  // What the plot shows to point at, kept until a picture, the mean shape or the protocol
  // changes: the plot may hold millions of markers, and the mouse moves often.
  const PickTargets& targets();

  void hover(const QPointF& pos, const QPointF& global);
  void clear_hover();
  void press(const QPointF& pos, Qt::MouseButton button);
  void move(const QPointF& pos, const QPointF& global, Qt::MouseButtons buttons);
  void release(const QPointF& pos, Qt::MouseButton button, Qt::KeyboardModifiers mods);
  void wheel(const QPointF& pos, double notches);
  void pick(const QPointF& pos, bool shift);

  WindowManager& wm_;
  FigureWindow& window_;
  Handle fig_;
  std::optional<Limits> view_;
  Base base_;  // what the view was taken of
  QString hover_;
  PickTargets targets_;
  struct TargetsKey {
    std::uint64_t picture_changes = 0;
    const double* reference = nullptr;
    const ProtocolLine* proto = nullptr;
    Eigen::Index proto_rows = 0;
    bool operator==(const TargetsKey&) const = default;
  };
  std::optional<TargetsKey> targets_key_;
  // A press of the left button on the plot, until its release.
  bool pressed_ = false;
  bool panning_ = false;
  QPointF press_pos_;
  PlotMap press_map_;
};

}  // namespace qiv::qt
