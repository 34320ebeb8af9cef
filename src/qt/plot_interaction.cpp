#include "qt/plot_interaction.h"

#include <QKeyEvent>
#include <QLineF>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "base/failure.h"
#include "pointing/pick.h"
#include "qt/figure_window.h"
#include "qt/window_manager.h"

namespace qiv::qt {

Limits zoomed_limits(const PlotMap& map, PixelPoint p, double factor, const Limits& full) {
  const Limits& lim = map.limits;
  const double w = lim[1] - lim[0], h = lim[3] - lim[2];
  const double full_w = full[1] - full[0], full_h = full[3] - full[2];
  if (!map.usable() || !(full_w > 0) || !(full_h > 0) || !(factor > 0)) return lim;
  // One factor for both directions keeps the data aspect, so an equal-aspect plot keeps its
  // box and the point under the cursor stays there.
  const double lo = std::max(kMinZoomSpan * full_w / w, kMinZoomSpan * full_h / h);
  const double hi = std::min(kMaxZoomSpan * full_w / w, kMaxZoomSpan * full_h / h);
  const double f = lo <= hi ? std::clamp(factor, lo, hi) : 1.0;
  const auto d = map.to_data(p);
  return {d[0] - (d[0] - lim[0]) * f, d[0] + (lim[1] - d[0]) * f, d[1] - (d[1] - lim[2]) * f,
          d[1] + (lim[3] - d[1]) * f};
}

Limits panned_limits(const PlotMap& map, PixelPoint from, PixelPoint to) {
  if (!map.usable()) return map.limits;
  const auto a = map.to_data(from);
  const auto b = map.to_data(to);
  const double dx = a[0] - b[0], dy = a[1] - b[1];
  const Limits& l = map.limits;
  return {l[0] + dx, l[1] + dx, l[2] + dy, l[3] + dy};
}

namespace {

bool same_matrix(const Shared<Matrix>& a, const Shared<Matrix>& b) {
  if (a.has_value() != b.has_value()) return false;
  if (!a) return true;
  return a->rows() == b->rows() && a->cols() == b->cols() &&
         std::equal(a->data(), a->data() + a->size(), b->data());
}

}  // namespace

PlotInteraction::PlotInteraction(WindowManager& wm, FigureWindow& window)
    : QObject(&window), wm_(wm), window_(window), fig_(window.figure()) {
  FigureCanvas* canvas = window_.canvas();
  canvas->setMouseTracking(true);
  // A click on the plot takes the keys (Home) without running anything; the wheel does not
  // take them, so that zooming never ends the editing of a box.
  canvas->setFocusPolicy(Qt::ClickFocus);
  canvas->installEventFilter(this);
  canvas->set_view_source([this]() -> std::optional<std::pair<Handle, Limits>> {
    const auto v = view();
    if (!v) return std::nullopt;
    return std::make_pair(axes(), *v);
  });
}

Handle PlotInteraction::axes() const { return main_axes(wm_.gfx(), fig_); }

PlotInteraction::Base PlotInteraction::base_now() const {
  Base b;
  b.axes = axes();
  if (b.axes != kNoHandle) b.limits = wm_.gfx().axis_of(b.axes);
  b.reference = wm_.app().state.reference;
  if (b.reference) b.reference_at = wm_.app().state.reference->data();
  return b;
}

bool PlotInteraction::same_base(const Base& b) const {
  const Handle ax = axes();
  if (ax != b.axes || ax == kNoHandle) return false;
  const auto& ref = wm_.app().state.reference;
  return wm_.gfx().axis_of(ax) == b.limits && (ref ? ref->data() : nullptr) == b.reference_at &&
         same_matrix(ref, b.reference);
}

std::optional<Limits> PlotInteraction::view() {
  if (view_ && !same_base(base_)) view_.reset();
  return view_;
}

void PlotInteraction::set_view(const Limits& v) {
  if (!view()) base_ = base_now();
  view_ = v;
  window_.canvas()->invalidate();
}

void PlotInteraction::reset_view() {
  if (!view_) return;
  view_.reset();
  window_.canvas()->invalidate();
}

PlotMap PlotInteraction::map_now() {
  const Handle ax = axes();
  if (ax == kNoHandle) return {};
  return plot_map(wm_.gfx(), ax, view());
}

PixelPoint PlotInteraction::to_figure(const QPointF& pos) const {
  // The canvas shows the figure at its size; should the two differ for a moment, scale.
  const QSizeF fs = figure_size(wm_.gfx(), fig_);
  const QWidget* canvas = window_.canvas();
  return {pos.x() * fs.width() / std::max(1, canvas->width()),
          pos.y() * fs.height() / std::max(1, canvas->height())};
}

bool PlotInteraction::on_plot(const QPointF& pos) const {
  const Handle ax = axes();
  if (ax == kNoHandle || !wm_.gfx().ishandle(fig_)) return false;
  if (window_.canvas()->childAt(pos.toPoint()) != nullptr) return false;  // a control
  const PlotMap m = plot_map(wm_.gfx(), ax);
  return m.usable() && m.contains(to_figure(pos));
}

const PickTargets& PlotInteraction::targets() {
  const Context& ctx = wm_.app().ctx;
  const auto& ref = ctx.state.reference;
  const auto& proto = ctx.state.proto;
  const TargetsKey now{wm_.picture_changes(), ref ? ref->data() : nullptr,
                       proto ? proto->lines().data() : nullptr, proto ? proto->count() : -1};
  if (targets_key_ != now) {
    targets_ = pick_targets(ctx.state, ctx.gfx, axes());
    targets_key_ = now;
  }
  return targets_;
}

void PlotInteraction::hover(const QPointF& pos, const QPointF& global) {
  if (!on_plot(pos)) {
    clear_hover();
    return;
  }
  const Hit hit =
      hit_test(targets(), map_now(), to_figure(pos), pick_filter(pick_window(wm_.app().ctx)));
  const QString text = QString::fromStdString(describe_hit(hit));
  if (text.isEmpty()) {
    clear_hover();
    return;
  }
  // The tooltip goes by itself after a while, or on a key: a move shows it again.
  if (text == hover_ && QToolTip::isVisible()) return;
  hover_ = text;
  QToolTip::showText(global.toPoint(), text, window_.canvas());
  window_.show_status(text);
  window_.canvas()->setCursor(Qt::PointingHandCursor);
}

void PlotInteraction::clear_hover() {
  if (hover_.isEmpty()) return;
  QToolTip::hideText();
  // Only the hover text goes: a failure reported meanwhile stays.
  if (window_.status_bar()->currentMessage() == hover_) window_.status_bar()->clearMessage();
  hover_.clear();
  window_.canvas()->unsetCursor();
}

void PlotInteraction::press(const QPointF& pos, Qt::MouseButton button) {
  if (button != Qt::LeftButton) return;
  if (!on_plot(pos)) {
    // A click on the window's own background, away from plot and controls, is working in
    // this window: it decides what the next click on the plot means.
    if (window_.canvas()->childAt(pos.toPoint()) == nullptr) wm_.make_current(fig_);
    return;
  }
  pressed_ = true;
  panning_ = false;
  press_pos_ = pos;
  press_map_ = map_now();
}

void PlotInteraction::move(const QPointF& pos, const QPointF& global, Qt::MouseButtons buttons) {
  if (pressed_ && (buttons & Qt::LeftButton)) {
    if (!panning_ && QLineF(press_pos_, pos).length() > kPanThresholdPx) {
      panning_ = true;
      clear_hover();
      window_.canvas()->setCursor(Qt::ClosedHandCursor);
    }
    if (panning_) set_view(panned_limits(press_map_, to_figure(press_pos_), to_figure(pos)));
    return;
  }
  pressed_ = false;
  hover(pos, global);
}

void PlotInteraction::release(const QPointF& pos, Qt::MouseButton button,
                              Qt::KeyboardModifiers mods) {
  if (button != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  if (panning_) {
    panning_ = false;
    window_.canvas()->unsetCursor();
    return;
  }
  pick(pos, mods.testFlag(Qt::ShiftModifier));
}

void PlotInteraction::wheel(const QPointF& pos, double notches) {
  const Handle ax = axes();
  if (ax == kNoHandle || notches == 0) return;
  const PlotMap m = map_now();
  // Only over the plot: the wheel over the controls beside it scrolls them, not the view.
  if (!m.usable() || !m.contains(to_figure(pos))) return;
  const Limits full = wm_.gfx().axis_of(ax);
  set_view(zoomed_limits(m, to_figure(pos), std::pow(kZoomStep, -notches), full));
  clear_hover();
}

void PlotInteraction::pick(const QPointF& pos, bool shift) {
  clear_hover();
  Context& ctx = wm_.app().ctx;
  const std::optional<Limits> v = view();
  PickResult result;
  try {
    wm_.run_pick([&] {
      result = pick_at_pixel(
          ctx, to_figure(pos), shift, [this](Handle control) { wm_.run_callback(control); }, v);
    });
  } catch (const Failure& f) {
    window_.show_status(QString::fromStdString(f.what()));
    return;
  }
  if (!result.reached()) {
    window_.show_status("nothing within reach");
    return;
  }
  if (!result.notes.empty()) window_.show_status(QString::fromStdString(result.notes.front()));
}

bool PlotInteraction::eventFilter(QObject* watched, QEvent* e) {
  if (watched != window_.canvas()) return QObject::eventFilter(watched, e);
  switch (e->type()) {
    case QEvent::MouseMove: {
      auto* m = static_cast<QMouseEvent*>(e);
      move(m->position(), m->globalPosition(), m->buttons());
      break;
    }
    case QEvent::MouseButtonPress: {
      auto* m = static_cast<QMouseEvent*>(e);
      press(m->position(), m->button());
      break;
    }
    case QEvent::MouseButtonRelease: {
      auto* m = static_cast<QMouseEvent*>(e);
      release(m->position(), m->button(), m->modifiers());
      break;
    }
    case QEvent::MouseButtonDblClick: {
      auto* m = static_cast<QMouseEvent*>(e);
      pressed_ = false;
      if (m->button() == Qt::LeftButton && on_plot(m->position())) reset_view();
      break;
    }
    case QEvent::Wheel: {
      auto* w = static_cast<QWheelEvent*>(e);
      if (!on_plot(w->position())) break;
      wheel(w->position(), w->angleDelta().y() / 120.0);
      w->accept();
      return true;
    }
    case QEvent::Leave:
      clear_hover();
      break;
    case QEvent::KeyPress: {
      auto* k = static_cast<QKeyEvent*>(e);
      if (k->key() != Qt::Key_Home || k->modifiers() != Qt::NoModifier) break;
      reset_view();
      k->accept();
      return true;
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, e);
}

}  // namespace qiv::qt
