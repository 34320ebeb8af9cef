#include "qt/window_fit.h"

#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace qiv::qt {
namespace {

bool same_position(const std::array<double, 4>& a, const std::array<double, 4>& b) {
  for (std::size_t i = 0; i < 4; ++i)
    if (std::abs(a[i] - b[i]) > 1e-9) return false;
  return true;
}

bool normalized(const Graphics& gfx, Handle h) {
  const Value u = gfx.get(h, "Units");
  return u.is_string() && (u.str() == "normalized" || u.str() == "Normalized");
}

std::array<double, 4> position_of(const Graphics& gfx, Handle h) {
  const Matrix m = gfx.get(h, "Position").matrix();
  std::array<double, 4> p{0, 0, 0, 0};
  for (std::size_t i = 0; i < 4 && static_cast<Eigen::Index>(i) < m.size(); ++i) p[i] = m.data()[i];
  return p;
}

// One direction of anchored_axes_position: start and length as shares of the figure.
std::pair<double, double> anchored(double start, double length, double layout, double now) {
  if (!(now < layout) || !(now > 0)) return {start, length};
  const double before = start * layout;
  const double after = (1 - start - length) * layout;
  const double px = std::max(1.0, now - before - after);
  return {before / now, px / now};
}

}  // namespace

QSize smallest_window_size(const QSize& layout) {
  return QSize(static_cast<int>(std::floor(layout.width() * kSmallestShare)),
               static_cast<int>(std::floor(layout.height() * kSmallestShare)));
}

QRect fit_into(const QRect& window, const QSize& smallest, const QRect& available) {
  if (available.isEmpty()) return window;
  QRect r = window;
  r.setWidth(std::max(std::min(r.width(), available.width()), smallest.width()));
  r.setHeight(std::max(std::min(r.height(), available.height()), smallest.height()));
  // Into the screen from the right and bottom first, so that the top-left corner (the
  // title bar, the first controls) stays on it when the window cannot fit at all.
  r.moveRight(std::min(r.right(), available.right()));
  r.moveBottom(std::min(r.bottom(), available.bottom()));
  r.moveLeft(std::max(r.left(), available.left()));
  r.moveTop(std::max(r.top(), available.top()));
  return r;
}

QRect beside_main_window(const QSize& tool, const QRect& main, const QRect& plot,
                         const QRect& available) {
  const int top =
      std::max(available.top(), std::min(main.top(), available.bottom() + 1 - tool.height()));
  const QRect right(QPoint(main.right() + 1, top), tool);
  const QRect left(QPoint(main.left() - tool.width(), top), tool);
  if (right.right() <= available.right()) return right;
  if (left.left() >= available.left()) return left;
  auto onto_screen = [&](QRect r) {
    r.moveRight(std::min(r.right(), available.right()));
    r.moveLeft(std::max(r.left(), available.left()));
    return r;
  };
  auto covered = [&](const QRect& r) {
    const QRect c = r & plot;
    return static_cast<long long>(c.width()) * c.height();
  };
  const QRect r = onto_screen(right);
  const QRect l = onto_screen(left);
  return covered(l) < covered(r) ? l : r;
}

std::array<double, 4> anchored_axes_position(const std::array<double, 4>& at_layout,
                                             const QSizeF& layout, const QSizeF& now) {
  const auto [x, w] = anchored(at_layout[0], at_layout[2], layout.width(), now.width());
  const auto [y, h] = anchored(at_layout[1], at_layout[3], layout.height(), now.height());
  return {x, y, w, h};
}

void AxesAnchors::capture(const Graphics& gfx, Handle fig, const QSizeF& layout) {
  layout_ = layout;
  anchors_.clear();
  for (Handle c : gfx.children(fig)) {
    if (gfx.type(c) != ObjType::kAxes || !normalized(gfx, c)) continue;
    const auto p = position_of(gfx, c);
    anchors_[c] = Anchor{p, p};
  }
}

void AxesAnchors::apply(Graphics& gfx, Handle fig) {
  const auto f = gfx.pixel_position(fig);
  const QSizeF now(f[2], f[3]);
  for (auto it = anchors_.begin(); it != anchors_.end();) {
    Anchor& a = it->second;
    if (!gfx.ishandle(it->first) || !normalized(gfx, it->first) ||
        !same_position(position_of(gfx, it->first), a.last)) {
      it = anchors_.erase(it);
      continue;
    }
    const auto p = anchored_axes_position(a.at_layout, layout_, now);
    if (!same_position(p, a.last)) {
      gfx.set(it->first, "Position", row({p[0], p[1], p[2], p[3]}));
      a.last = position_of(gfx, it->first);
    }
    ++it;
  }
}

ControlArea::ControlArea(QWidget* canvas) : QScrollArea(canvas), layer_(new QWidget) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setWidget(layer_);
  // The canvas' painting (the figure's colour) shows through.
  layer_->setAutoFillBackground(false);
  viewport()->setAutoFillBackground(false);
  setAutoFillBackground(false);
}

QSize ControlArea::extent() const {
  QRect all;
  for (QObject* o : layer_->children())
    if (auto* w = qobject_cast<QWidget*>(o)) all |= w->geometry();
  if (all.isEmpty()) return QSize(0, 0);
  return QSize(all.right() + 1 + std::max(0, all.left()),
               all.bottom() + 1 + std::max(0, all.top()));
}

void ControlArea::fit() {
  const QWidget* canvas = parentWidget();
  const QSize room = canvas->size();
  const QSize need = extent();
  const int bar = verticalScrollBar()->sizeHint().width();
  const bool tall = need.height() > room.height();
  const int width = std::min(room.width(), need.width() + (tall ? bar : 0));
  layer_->resize(need);
  const QRect area(0, 0, width, room.height());
  if (geometry() != area) setGeometry(area);
  raise();
}

}  // namespace qiv::qt
