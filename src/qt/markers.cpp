#include "qt/markers.h"

#include <algorithm>
#include <cmath>

#include "qt/figure_painter.h"

namespace qiv::qt {
namespace {

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

}  // namespace qiv::qt
