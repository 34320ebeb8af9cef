#include "qt/figure_painter.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "qt/axes_texts.h"
#include "qt/axes_ticks.h"
#include "qt/blitter.h"

namespace qiv::qt {

QColor to_qcolor(const Rgb& c) {
  if (c.none) return QColor(Qt::transparent);
  return QColor::fromRgbF(std::clamp(c.r, 0.f, 1.f), std::clamp(c.g, 0.f, 1.f),
                          std::clamp(c.b, 0.f, 1.f));
}

std::string string_prop(const Graphics& gfx, Handle h, const char* name, const char* fallback) {
  if (!gfx.has_property(h, name)) return fallback;
  Value v = gfx.get(h, name);
  return v.is_string() ? v.str() : fallback;
}

double number_prop(const Graphics& gfx, Handle h, const char* name, double fallback) {
  if (!gfx.has_property(h, name)) return fallback;
  Value v = gfx.get(h, name);
  return v.is_scalar() ? v.scalar_value() : fallback;
}

namespace {

QColor value_color(const Graphics& gfx, Handle h, const char* name, QColor fallback) {
  if (!gfx.has_property(h, name)) return fallback;
  Value v = gfx.get(h, name);
  std::optional<Rgb> c;
  if (v.is_matrix()) c = color_from_matrix(v.matrix());
  if (v.is_string()) c = parse_color(v.str());
  return c ? to_qcolor(*c) : fallback;
}

}  // namespace

bool is_on(const Graphics& gfx, Handle h, const char* name) {
  return string_prop(gfx, h, name, "on") == "on";
}

QSizeF figure_size(const Graphics& gfx, Handle fig) {
  auto p = gfx.pixel_position(fig);
  return QSizeF(std::max(1.0, p[2]), std::max(1.0, p[3]));
}

AxesFrame axes_frame(const Graphics& gfx, Handle ax, const QSizeF& fs,
                     const std::optional<Limits>& view) {
  AxesFrame f;
  auto p = gfx.pixel_position(ax);
  f.position = QRectF(p[0], fs.height() - p[1] - p[3], p[2], p[3]);
  f.box = f.position;
  f.limits = view ? *view : gfx.axis_of(ax);
  if (gfx.axis_is_equal(ax) && f.box.width() > 0 && f.box.height() > 0) {
    const double dw = f.limits[1] - f.limits[0];
    const double dh = f.limits[3] - f.limits[2];
    if (dw > 0 && dh > 0) {
      const double data_aspect = dw / dh;
      if (data_aspect > f.box.width() / f.box.height()) {
        const double h = f.box.width() / data_aspect;
        f.box = QRectF(f.box.left(), f.box.center().y() - h / 2, f.box.width(), h);
      } else {
        const double w = f.box.height() * data_aspect;
        f.box = QRectF(f.box.center().x() - w / 2, f.box.top(), w, f.box.height());
      }
    }
  }
  return f;
}

namespace {

Qt::PenStyle pen_style(LineStyle s) {
  switch (s) {
    case LineStyle::kDashed:
      return Qt::DashLine;
    case LineStyle::kDotted:
      return Qt::DotLine;
    case LineStyle::kDashDot:
      return Qt::DashDotLine;
    case LineStyle::kNone:
      return Qt::NoPen;
    case LineStyle::kSolid:
      break;
  }
  return Qt::SolidLine;
}

void draw_polyline(QPainter& p, const LineView& l, const DataMap& m) {
  QPen pen(to_qcolor(l.color));
  pen.setWidthF(std::max(1.0, l.line_width * kPxPerPt));
  pen.setStyle(pen_style(l.style));
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  QPolygonF run;
  auto flush = [&] {
    if (run.size() >= 2) p.drawPolyline(run);
    run.clear();
  };
  for (std::size_t i = 0; i < l.n; ++i) {
    if (!std::isfinite(l.x[i]) || !std::isfinite(l.y[i])) {
      flush();
      continue;
    }
    run << QPointF(m.x(l.x[i]), m.y(l.y[i]));
  }
  flush();
}

// Without antialiasing, so that cells sharing an edge meet without a faint seam between.
void fill_polygon(QPainter& p, const LineView& l, const DataMap& m) {
  QPolygonF poly;
  for (std::size_t i = 0; i < l.n; ++i) {
    if (!std::isfinite(l.x[i]) || !std::isfinite(l.y[i])) return;
    poly << QPointF(m.x(l.x[i]), m.y(l.y[i]));
  }
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(Qt::NoPen);
  p.setBrush(to_qcolor(l.fill));
  p.drawPolygon(poly);
  p.restore();
}

}  // namespace

void paint_axes(QPainter& p, const Graphics& gfx, Handle ax, const QSizeF& fs,
                const PaintOptions& opt) {
  const bool zoomed = ax == opt.view_axes;
  AxesFrame frame =
      axes_frame(gfx, ax, fs, zoomed ? std::optional<Limits>(opt.view) : std::nullopt);
  if (frame.box.width() <= 0 || frame.box.height() <= 0) return;
  if (!(frame.limits[1] > frame.limits[0]) || !(frame.limits[3] > frame.limits[2])) return;
  const DataMap m(frame.box, frame.limits);
  const bool visible = is_on(gfx, ax, "Visible");
  p.save();
  if (visible) {
    const QColor bg = value_color(gfx, ax, "Color", Qt::white);
    if (bg.alpha() > 0) p.fillRect(frame.box, bg);
  }

  const std::string family = string_prop(gfx, ax, "FontName", "Helvetica");
  std::optional<Blitter> blit = Blitter::make(p, opt.sprites, frame.box);
  // Texts are not cut at the box: landmark numbers near an edge stay readable. In a zoomed
  // view they are, or the numbers of landmarks out of view would litter the window.
  std::optional<Blitter> text_blit =
      Blitter::make(p, opt.sprites, zoomed ? std::optional<QRectF>(frame.box) : std::nullopt);
  PathMarkers paths(blit ? 0 : gfx.line_count(ax));
  std::vector<TextView> texts;
  // Markers whose centre lies outside the box are not drawn; those across its edge are cut.
  const QRectF inside = frame.box.adjusted(-0.5, -0.5, 0.5, 0.5);
  p.setClipRect(frame.box);
  p.setRenderHint(QPainter::Antialiasing);
  gfx.for_each_drawn(
      ax,
      [&](const LineView& l) {
        if (!l.visible || l.n == 0) return;
        if (!l.fill.none && l.n >= 3) {
          fill_polygon(p, l, m);
          paths.pen_changed();
        }
        if (l.style != LineStyle::kNone && l.n >= 2) {
          draw_polyline(p, l, m);
          paths.pen_changed();
        }
        if (l.marker == Marker::kNone) return;
        for (std::size_t i = 0; i < l.n; ++i) {
          const double fx = m.x(l.x[i]), fy = m.y(l.y[i]);
          if (!(fx >= inside.left() && fx <= inside.right() && fy >= inside.top() &&
                fy <= inside.bottom()))
            continue;  // also skips NaN
          if (blit) {
            blit->draw(l, fx, fy);
          } else {
            paths.draw(p, l, fx, fy);
          }
        }
      },
      [&](const TextView& t) {
        if (t.visible && !t.text->empty()) texts.push_back(t);
      });
  if (!zoomed) p.setClipping(false);
  draw_texts(p, text_blit ? &*text_blit : nullptr, texts, family, m);
  p.setClipping(false);
  p.setRenderHint(QPainter::Antialiasing, false);
  if (visible) draw_frame(p, gfx, ax, m);
  p.restore();
}

QRectF axes_ink_rect(const Graphics& gfx, Handle ax, const QSizeF& fs) {
  const AxesFrame frame = axes_frame(gfx, ax, fs);
  if (frame.box.width() <= 0 || frame.box.height() <= 0) return QRectF();
  if (!(frame.limits[1] > frame.limits[0]) || !(frame.limits[3] > frame.limits[2])) return QRectF();
  const DataMap m(frame.box, frame.limits);
  // Texts are measured by drawing them where paint_axes does, on a pixel at 96 dpi.
  QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
  scratch.setDotsPerMeterX(3780);
  scratch.setDotsPerMeterY(3780);
  QPainter p(&scratch);
  QRectF ink = frame.box.adjusted(-1, -1, 1, 1);  // the frame's line
  const std::string family = string_prop(gfx, ax, "FontName", "Helvetica");
  FontTable fonts;
  gfx.for_each_drawn(
      ax, [](const LineView&) {},
      [&](const TextView& t) {
        if (!t.visible || t.text->empty()) return;
        TextFont& f = fonts.get(family, t, 1, 1);
        const TextPlace at = place_text(f, t, QPointF(m.x(t.x), m.y(t.y)));
        ink |= QRectF(at.x, at.y - f.metrics.ascent(), at.width, f.metrics.height())
                   .adjusted(-kHaloPx, -kHaloPx, kHaloPx, kHaloPx);
      });
  if (is_on(gfx, ax, "Visible")) draw_frame(p, gfx, ax, m, &ink);
  return ink;
}

QRectF picture_rect(const Graphics& gfx, Handle fig) {
  const QSizeF fs = figure_size(gfx, fig);
  QRectF ink;
  for (Handle c : gfx.children(fig))
    if (gfx.type(c) == ObjType::kAxes) ink |= axes_ink_rect(gfx, c, fs);
  if (ink.isEmpty()) return QRectF(QPointF(0, 0), fs);
  return ink.adjusted(-kPictureMargin, -kPictureMargin, kPictureMargin, kPictureMargin)
      .toAlignedRect();
}

void paint_figure(QPainter& p, const Graphics& gfx, Handle fig, const PaintOptions& opt) {
  const QSizeF fs = figure_size(gfx, fig);
  if (opt.background) {
    const QRectF area = p.worldTransform().inverted().mapRect(QRectF(p.viewport()));
    p.fillRect(area.united(QRectF(QPointF(0, 0), fs)),
               value_color(gfx, fig, "Color", QColor(240, 240, 240)));
  }
  for (Handle c : gfx.children(fig))
    if (gfx.type(c) == ObjType::kAxes) paint_axes(p, gfx, c, fs, opt);
}

}  // namespace qiv::qt
