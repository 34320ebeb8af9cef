#include "qt/axes_ticks.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "qt/axes_texts.h"

namespace qiv::qt {
namespace {

std::vector<double> ticks(double lo, double hi) {
  std::vector<double> out;
  const double step = Graphics::nice_step(lo, hi);
  if (!(step > 0) || !std::isfinite(lo) || !std::isfinite(hi)) return out;
  for (double k = std::ceil(lo / step - 1e-9); k * step <= hi + 1e-9 * step && out.size() < 50; ++k)
    out.push_back(std::abs(k * step) < 1e-12 * step ? 0.0 : k * step);
  return out;
}

QString tick_text(double v) { return QString::number(v, 'g', 6); }

}  // namespace

void draw_frame(QPainter& p, const Graphics& gfx, Handle ax, const DataMap& m, QRectF* ink) {
  const std::string family = string_prop(gfx, ax, "FontName", "Helvetica");
  const double size = number_prop(gfx, ax, "FontSize", 10);
  QFont f = make_font(family, size, false, false);
  QFontMetricsF fm(f, p.device());
  const QRectF& b = m.box;
  QPen pen(Qt::black);
  pen.setWidthF(1.0);
  pen.setCapStyle(Qt::FlatCap);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.setFont(f);
  const double tick = std::clamp(std::min(b.width(), b.height()) * 0.015, 3.0, 6.0);
  const bool box = is_on(gfx, ax, "Box");
  for (double v : ticks(m.lim[0], m.lim[1])) {
    const double x = m.x(v);
    p.drawLine(QPointF(x, b.bottom()), QPointF(x, b.bottom() - tick));
    if (box) p.drawLine(QPointF(x, b.top()), QPointF(x, b.top() + tick));
    const QString s = tick_text(v);
    const QPointF at(x - fm.horizontalAdvance(s) / 2, b.bottom() + 3 + fm.ascent());
    p.drawText(at, s);
    if (ink) *ink |= QRectF(at.x(), b.bottom() + 3, fm.horizontalAdvance(s), fm.height());
  }
  double label_w = 0;
  for (double v : ticks(m.lim[2], m.lim[3])) {
    const double y = m.y(v);
    p.drawLine(QPointF(b.left(), y), QPointF(b.left() + tick, y));
    if (box) p.drawLine(QPointF(b.right(), y), QPointF(b.right() - tick, y));
    const QString s = tick_text(v);
    const double w = fm.horizontalAdvance(s);
    label_w = std::max(label_w, w);
    const QPointF at(b.left() - 4 - w, y + (fm.ascent() - fm.descent()) / 2);
    p.drawText(at, s);
    if (ink) *ink |= QRectF(at.x(), at.y() - fm.ascent(), w, fm.height());
  }
  if (box) {
    p.drawRect(b);
  } else {
    p.drawLine(b.bottomLeft(), b.bottomRight());
    p.drawLine(b.bottomLeft(), b.topLeft());
  }

  // Labels: x below the tick numbers, y rotated left of them, the title above the box.
  const auto labels = gfx.axes_labels(ax);
  const TextView xl = gfx.text_view(labels[0]);
  if (xl.visible && !xl.text->empty()) {
    TextView t = xl;
    t.halign = 0;
    t.valign = 1;
    draw_text(p, t, family, QPointF(b.center().x(), b.bottom() + 6 + fm.height()), false, ink);
  }
  const TextView yl = gfx.text_view(labels[1]);
  if (yl.visible && !yl.text->empty()) {
    TextView t = yl;
    t.halign = 0;
    t.valign = -1;
    p.save();
    p.translate(b.left() - 8 - label_w, b.center().y());
    p.rotate(-90);
    draw_text(p, t, family, QPointF(0, 0), false, ink);
    p.restore();
  }
  const TextView tl = gfx.text_view(labels[2]);
  if (tl.visible && !tl.text->empty()) {
    TextView t = tl;
    t.halign = 0;
    t.valign = -1;
    draw_text(p, t, family, QPointF(b.center().x(), b.top() - 4), false, ink);
  }
}

}  // namespace qiv::qt
