#include "qt/figure_painter.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <unordered_set>
#include <vector>

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

// Mostly opaque white: the numbers' outline hides the stars beneath it, and the lines stay
// faintly visible through it.
const QColor kHaloColor(255, 255, 255, 217);

QColor value_color(const Graphics& gfx, Handle h, const char* name, QColor fallback) {
  if (!gfx.has_property(h, name)) return fallback;
  Value v = gfx.get(h, name);
  std::optional<Rgb> c;
  if (v.is_matrix()) c = color_from_matrix(v.matrix());
  if (v.is_string()) c = parse_color(v.str());
  return c ? to_qcolor(*c) : fallback;
}

bool is_on(const Graphics& gfx, Handle h, const char* name) {
  return string_prop(gfx, h, name, "on") == "on";
}

QPolygonF regular_star(int points, double outer, double inner) {
  QPolygonF poly;
  for (int i = 0; i < 2 * points; ++i) {
    double r = i % 2 == 0 ? outer : inner;
    double a = -M_PI / 2 + i * M_PI / points;
    poly << QPointF(r * std::cos(a), r * std::sin(a));
  }
  return poly;
}

}  // namespace

double marker_pixels(Marker m, float marker_size_pt) {
  double px = marker_size_pt * kPxPerPt;
  if (m == Marker::kPoint) return std::max(2.0, px / 3.0);
  // Below five pixels a marker's shape cannot be told apart from a dot.
  return std::max(5.0, px);
}

QPainterPath marker_path(Marker m, double s) {
  QPainterPath path;
  const double h = s / 2;
  switch (m) {
    case Marker::kNone:
      break;
    case Marker::kPoint:
    case Marker::kCircle:
      path.addEllipse(QPointF(0, 0), h, h);
      break;
    case Marker::kCross:
      path.moveTo(-h, -h);
      path.lineTo(h, h);
      path.moveTo(-h, h);
      path.lineTo(h, -h);
      break;
    case Marker::kPlus:
      path.moveTo(-h, 0);
      path.lineTo(h, 0);
      path.moveTo(0, -h);
      path.lineTo(0, h);
      break;
    case Marker::kStar: {
      const double d = h * M_SQRT1_2;
      path.moveTo(-h, 0);
      path.lineTo(h, 0);
      path.moveTo(0, -h);
      path.lineTo(0, h);
      path.moveTo(-d, -d);
      path.lineTo(d, d);
      path.moveTo(-d, d);
      path.lineTo(d, -d);
      break;
    }
    case Marker::kSquare:
      path.addRect(QRectF(-h, -h, s, s));
      break;
    case Marker::kDiamond:
      path.addPolygon(QPolygonF({{0, -h}, {h, 0}, {0, h}, {-h, 0}, {0, -h}}));
      break;
    case Marker::kTriangleUp:
      path.addPolygon(QPolygonF({{0, -h}, {h, h}, {-h, h}, {0, -h}}));
      break;
    case Marker::kTriangleDown:
      path.addPolygon(QPolygonF({{0, h}, {h, -h}, {-h, -h}, {0, h}}));
      break;
    case Marker::kTriangleLeft:
      path.addPolygon(QPolygonF({{-h, 0}, {h, -h}, {h, h}, {-h, 0}}));
      break;
    case Marker::kTriangleRight:
      path.addPolygon(QPolygonF({{h, 0}, {-h, -h}, {-h, h}, {h, 0}}));
      break;
    case Marker::kPentagram: {
      QPolygonF star = regular_star(5, h, h * 0.382);
      star << star.front();
      path.addPolygon(star);
      break;
    }
    case Marker::kHexagram: {
      QPolygonF star = regular_star(6, h, h * 0.577);
      star << star.front();
      path.addPolygon(star);
      break;
    }
  }
  return path;
}

namespace {

QPen marker_pen(const LineView& l, double scale) {
  QPen pen(to_qcolor(l.color));
  pen.setWidthF(std::max(1.0, l.line_width * kPxPerPt) * scale);
  pen.setCapStyle(Qt::SquareCap);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}

QBrush marker_brush(const LineView& l) {
  if (l.marker == Marker::kPoint) return QBrush(to_qcolor(l.color));
  if (l.face.none) return Qt::NoBrush;
  return QBrush(to_qcolor(l.face));
}

}  // namespace

const MarkerSprites::Sprite& MarkerSprites::get(const LineView& l, double scale) {
  // Most markers share the style of the one before: skip the key for them.
  if (last_ && l.marker == last_line_.marker && l.marker_size == last_line_.marker_size &&
      l.line_width == last_line_.line_width && l.color == last_line_.color &&
      l.face == last_line_.face && scale == last_scale_)
    return *last_;
  auto q = [](double v) { return static_cast<std::uint64_t>(std::lround(v * 4)) & 0xffff; };
  auto rgb = [](const Rgb& c) {
    if (c.none) return std::uint64_t{1} << 24;
    return static_cast<std::uint64_t>(to_qcolor(c).rgb() & 0xffffff);
  };
  const double size = marker_pixels(l.marker, l.marker_size) * scale;
  const double width = std::max(1.0, l.line_width * kPxPerPt) * scale;
  const Key key{static_cast<std::uint64_t>(l.marker) | q(size) << 8 | q(width) << 24,
                rgb(l.color) | rgb(l.face) << 25};
  auto it = cache_.find(key);
  if (it == cache_.end()) {
    Sprite s;
    const int side = static_cast<int>(std::ceil(size + width)) + 2;
    const int dim = side | 1;  // odd, so that the centre falls on a pixel
    s.half = dim / 2;
    s.image = QImage(dim, dim, QImage::Format_ARGB32_Premultiplied);
    s.image.fill(Qt::transparent);
    {
      QPainter sp(&s.image);
      sp.setRenderHint(QPainter::Antialiasing);
      sp.translate(s.half + 0.5, s.half + 0.5);
      sp.setPen(l.marker == Marker::kPoint ? Qt::NoPen : marker_pen(l, scale));
      sp.setBrush(marker_brush(l));
      sp.drawPath(marker_path(l.marker, size));
    }
    for (int y = 0; y < dim; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(s.image.constScanLine(y));
      for (int x = 0; x < dim; ++x)
        if (row[x] >> 24 != 0)
          s.pixels.push_back({static_cast<std::int16_t>(x - s.half),
                              static_cast<std::int16_t>(y - s.half), row[x]});
    }
    it = cache_.emplace(key, std::move(s)).first;
  }
  last_line_ = l;
  last_scale_ = scale;
  last_ = &it->second;
  return it->second;
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

// Maps data coordinates to figure pixels inside a plot box.
struct DataMap {
  QRectF box;
  Limits lim;
  double sx, sy;
  DataMap(const QRectF& b, const Limits& l) : box(b), lim(l) {
    sx = b.width() / (l[1] - l[0]);
    sy = b.height() / (l[3] - l[2]);
  }
  double x(double v) const { return box.left() + (v - lim[0]) * sx; }
  double y(double v) const { return box.bottom() - (v - lim[2]) * sy; }
};

// Source-over of a premultiplied pixel onto a premultiplied pixel.
inline std::uint32_t blend(std::uint32_t dst, std::uint32_t src) {
  const std::uint32_t a = 255 - (src >> 24);
  if (a == 0) return src;
  std::uint32_t rb = (dst & 0xff00ff) * a;
  rb = ((rb + ((rb >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
  std::uint32_t ag = ((dst >> 8) & 0xff00ff) * a;
  ag = (ag + ((ag >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
  return src + (rb | ag);
}

// Draws markers straight into the pixels of a QImage the painter is drawing on.
class Blitter {
 public:
  static std::optional<Blitter> make(QPainter& p, MarkerSprites* sprites, const QRectF& clip) {
    if (!sprites || !p.device() || p.device()->devType() != QInternal::Image) return std::nullopt;
    auto* img = static_cast<QImage*>(p.device());
    if (img->format() != QImage::Format_ARGB32_Premultiplied &&
        img->format() != QImage::Format_RGB32)
      return std::nullopt;
    QTransform t = p.deviceTransform();
    if (t.type() > QTransform::TxScale || t.m11() <= 0 || t.m22() <= 0) return std::nullopt;
    Blitter b;
    b.img_ = img;
    b.t_ = t;
    b.sprites_ = sprites;
    b.scale_ = std::sqrt(t.m11() * t.m22());
    QRect c = t.mapRect(clip).toAlignedRect().intersected(img->rect());
    b.x0_ = c.left();
    b.y0_ = c.top();
    b.x1_ = c.right();
    b.y1_ = c.bottom();
    b.bits_ = const_cast<uchar*>(img->constBits());  // never detaches the painter's image
    b.stride_ = img->bytesPerLine();
    return b;
  }

  void draw(const LineView& l, double fx, double fy) {
    const MarkerSprites::Sprite& s = sprites_->get(l, scale_);
    const int cx = static_cast<int>(std::floor(t_.m11() * fx + t_.dx()));
    const int cy = static_cast<int>(std::floor(t_.m22() * fy + t_.dy()));
    const bool inside =
        cx - s.half >= x0_ && cx + s.half <= x1_ && cy - s.half >= y0_ && cy + s.half <= y1_;
    for (const MarkerSprites::Sprite::Pixel& px : s.pixels) {
      const int x = cx + px.dx, y = cy + px.dy;
      if (!inside && (x < x0_ || x > x1_ || y < y0_ || y > y1_)) continue;
      auto* d =
          reinterpret_cast<std::uint32_t*>(bits_ + static_cast<std::ptrdiff_t>(y) * stride_) + x;
      *d = blend(*d, px.argb);
    }
  }

 private:
  QImage* img_ = nullptr;
  QTransform t_;
  MarkerSprites* sprites_ = nullptr;
  double scale_ = 1;
  int x0_ = 0, y0_ = 0, x1_ = -1, y1_ = -1;
  uchar* bits_ = nullptr;
  qsizetype stride_ = 0;
};

// Markers as one path element each, for vector pictures. A marker of the same style at the
// same place as one already drawn adds nothing to the picture and is left out, which keeps
// pictures of tens of thousands of overlapping specimens small. "The same place" is a
// quarter pixel, or a whole pixel in plots of more than kDenseMarkers markers, where a
// marker is lost in its cloud anyway.
class PathMarkers {
 public:
  static constexpr std::size_t kDenseMarkers = 100000;
  explicit PathMarkers(std::size_t markers) : grid_(markers > kDenseMarkers ? 1.0 : 4.0) {}

  void draw(QPainter& p, const LineView& l, double fx, double fy) {
    if (!same_style(l)) {
      style_ = l;
      has_style_ = true;
      drawn_.clear();
      path_ = marker_path(l.marker, marker_pixels(l.marker, l.marker_size));
      p.setPen(l.marker == Marker::kPoint ? QPen(Qt::NoPen) : marker_pen(l, 1.0));
      p.setBrush(marker_brush(l));
    }
    const auto qx = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(fx * grid_)));
    const auto qy = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(fy * grid_)));
    if (!drawn_.insert(std::uint64_t{qx} << 32 | qy).second) return;
    p.drawPath(path_.translated(fx, fy));
  }

  // Someone else set the painter's pen: set the markers' again before the next one.
  void pen_changed() { has_style_ = false; }

 private:
  bool same_style(const LineView& l) const {
    return has_style_ && l.marker == style_.marker && l.marker_size == style_.marker_size &&
           l.line_width == style_.line_width && l.color == style_.color && l.face == style_.face;
  }
  double grid_;  // cells per pixel
  LineView style_{};
  bool has_style_ = false;
  QPainterPath path_;
  std::unordered_set<std::uint64_t> drawn_;
};

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

QFont make_font(const std::string& family, double size_pt, bool bold, bool italic) {
  QFont f(QString::fromStdString(family));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(std::max(1.0, size_pt));
  f.setBold(bold);
  f.setItalic(italic);
  return f;
}

// With halo, a light outline of kHaloPx around the glyphs keeps the text readable over
// markers and lines. The rectangle the text covers, halo included, in the painter's
// coordinates before its transform, is added to *ink when given.
void draw_text(QPainter& p, const TextView& t, const std::string& family, QPointF at,
               bool halo = false, QRectF* ink = nullptr) {
  if (t.text->empty()) return;
  QFont f = make_font(family, t.font_size, t.bold, t.italic);
  p.setFont(f);
  p.setPen(to_qcolor(t.color));
  QFontMetricsF fm(f, p.device());
  const QString s = QString::fromStdString(*t.text);
  const double w = fm.horizontalAdvance(s);
  double x = at.x() - (t.halign < 0 ? 0 : t.halign == 0 ? w / 2 : w);
  double y = at.y();
  if (t.valign == 0) y += (fm.ascent() - fm.descent()) / 2;
  if (t.valign < 0) y -= fm.descent();
  if (t.valign > 0) y += fm.ascent();
  if (ink) {
    const double grow = halo ? kHaloPx : 0.0;
    *ink |= p.transform().mapRect(
        QRectF(x, y - fm.ascent(), w, fm.height()).adjusted(-grow, -grow, grow, grow));
  }
  if (halo) {
    // The outline is the glyphs' own path, in the device's font size, stroked under them.
    QPainterPath path;
    path.addText(QPointF(x, y), QFont(f, p.device()), s);
    QPen pen(kHaloColor, 2 * kHaloPx);
    pen.setJoinStyle(Qt::RoundJoin);
    p.strokePath(path, pen);
    p.setPen(to_qcolor(t.color));
  }
  p.drawText(QPointF(x, y), s);
}

std::vector<double> ticks(double lo, double hi) {
  std::vector<double> out;
  const double step = Graphics::nice_step(lo, hi);
  if (!(step > 0) || !std::isfinite(lo) || !std::isfinite(hi)) return out;
  for (double k = std::ceil(lo / step - 1e-9); k * step <= hi + 1e-9 * step && out.size() < 50; ++k)
    out.push_back(std::abs(k * step) < 1e-12 * step ? 0.0 : k * step);
  return out;
}

QString tick_text(double v) { return QString::number(v, 'g', 6); }

// Adds what it draws to *ink when given (see draw_text).
void draw_frame(QPainter& p, const Graphics& gfx, Handle ax, const DataMap& m,
                QRectF* ink = nullptr) {
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
  // Texts are not cut at the box: landmark numbers near an edge stay readable. In a zoomed
  // view they are, or the numbers of landmarks out of view would litter the window.
  if (!zoomed) p.setClipping(false);
  for (const TextView& t : texts) draw_text(p, t, family, QPointF(m.x(t.x), m.y(t.y)), true);
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
  gfx.for_each_drawn(
      ax, [](const LineView&) {},
      [&](const TextView& t) {
        if (t.visible && !t.text->empty())
          draw_text(p, t, family, QPointF(m.x(t.x), m.y(t.y)), true, &ink);
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
