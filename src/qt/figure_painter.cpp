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

}  // namespace

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
  // Without a clip rectangle the whole image may be drawn on.
  static std::optional<Blitter> make(QPainter& p, MarkerSprites* sprites,
                                     const std::optional<QRectF>& clip) {
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
    QRect c = clip ? t.mapRect(*clip).toAlignedRect().intersected(img->rect()) : img->rect();
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
    blend(s.pixels, cx, cy, s.half, s.half);
  }

  // Pixels placed relative to (cx, cy), all within `reach` columns and `rows` rows of it.
  void blend(const std::vector<MarkerSprites::Sprite::Pixel>& pixels, int cx, int cy, int reach,
             int rows) {
    const bool inside =
        cx - reach >= x0_ && cx + reach <= x1_ && cy - rows >= y0_ && cy + rows <= y1_;
    for (const MarkerSprites::Sprite::Pixel& px : pixels) {
      const int x = cx + px.dx, y = cy + px.dy;
      if (!inside && (x < x0_ || x > x1_ || y < y0_ || y > y1_)) continue;
      auto* d =
          reinterpret_cast<std::uint32_t*>(bits_ + static_cast<std::ptrdiff_t>(y) * stride_) + x;
      *d = qiv::qt::blend(*d, px.argb);
    }
  }
  const QTransform& transform() const { return t_; }
  MarkerSprites& sprites() { return *sprites_; }
  QRect clip() const { return QRect(QPoint(x0_, y0_), QPoint(x1_, y1_)); }
  std::uint32_t* row(int y) {
    return reinterpret_cast<std::uint32_t*>(bits_ + static_cast<std::ptrdiff_t>(y) * stride_);
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

// A text's font with its metrics at 96 dpi, and the advance of each simple character.
struct TextFont {
  QFont font;
  QFontMetricsF metrics;
  double sx = 1, sy = 1;  // the device pixels of one figure pixel the glyphs are made for
  std::array<double, 128> advance{};
  explicit TextFont(const QFont& f) : font(f), metrics(f, &dpi96()) { advance.fill(-1); }
  static QImage& dpi96() {
    static QImage dot = [] {
      QImage i(1, 1, QImage::Format_ARGB32_Premultiplied);
      i.setDotsPerMeterX(3780);
      i.setDotsPerMeterY(3780);
      return i;
    }();
    return dot;
  }
  // The characters drawn glyph by glyph: those of numbers, which no font kerns.
  static bool simple(char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == ' ';
  }
  double char_advance(char c) {
    double& a = advance[static_cast<unsigned char>(c)];
    if (a < 0) a = metrics.horizontalAdvance(QChar(c));
    return a;
  }
  // The width of a text: the sum of its characters' advances when all are simple.
  double width(const std::string& text) {
    double w = 0;
    for (char c : text) {
      if (!simple(c)) return metrics.horizontalAdvance(QString::fromStdString(text));
      w += char_advance(c);
    }
    return w;
  }
};

// The fonts of one painting, the last one used found without a look-up.
class FontTable {
 public:
  // The font of t (family, size, bold, italic) for a device scale.
  TextFont& get(const std::string& family, const TextView& t, double sx, double sy) {
    if (last_ && t.font_size == last_size_ && t.bold == last_bold_ && t.italic == last_italic_ &&
        sx == last_->sx && sy == last_->sy && family == last_family_)
      return *last_;
    for (auto& f : fonts_)
      if (f.key == std::tie(family, t.font_size, t.bold, t.italic, sx, sy))
        return remember(f, family, t);
    fonts_.push_back(
        Entry{{family, t.font_size, t.bold, t.italic, sx, sy},
              std::make_unique<TextFont>(make_font(family, t.font_size, t.bold, t.italic))});
    fonts_.back().font->sx = sx;
    fonts_.back().font->sy = sy;
    return remember(fonts_.back(), family, t);
  }
  std::size_t index(const TextFont& f) const {
    for (std::size_t i = 0; i < fonts_.size(); ++i)
      if (fonts_[i].font.get() == &f) return i;
    return 0;
  }

 private:
  struct Entry {
    std::tuple<std::string, float, bool, bool, double, double> key;
    std::unique_ptr<TextFont> font;
  };
  TextFont& remember(Entry& e, const std::string& family, const TextView& t) {
    last_ = e.font.get();
    last_family_ = family;
    last_size_ = t.font_size;
    last_bold_ = t.bold;
    last_italic_ = t.italic;
    return *last_;
  }
  std::vector<Entry> fonts_;
  TextFont* last_ = nullptr;
  std::string last_family_;
  float last_size_ = 0;
  bool last_bold_ = false, last_italic_ = false;
};

// Where draw_text puts a text: the start of its baseline, and its width.
struct TextPlace {
  double x, y, width;
};
TextPlace place_text(TextFont& f, const TextView& t, QPointF at) {
  const double w = f.width(*t.text);
  const QFontMetricsF& fm = f.metrics;
  double y = at.y();
  if (t.valign == 0) y += (fm.ascent() - fm.descent()) / 2;
  if (t.valign < 0) y -= fm.descent();
  if (t.valign > 0) y += fm.ascent();
  return {at.x() - (t.halign < 0 ? 0 : t.halign == 0 ? w / 2 : w), y, w};
}

}  // namespace

using Pixels = std::vector<MarkerSprites::Sprite::Pixel>;

// One character of one font and colour, placed a quarter pixel further right and down for
// each step of its sub-pixel offset: its halo's pixels and its own, relative to the pixel of
// its baseline's start.
struct MarkerSprites::Glyphs {
  struct Glyph {
    Pixels halo, ink;
    int reach = 0, rows = 0;  // every pixel lies within so many columns and rows
  };
  FontTable fonts;
  std::unordered_map<std::uint64_t, Glyph> glyphs;

  const Glyph& get(TextFont& f, char c, QRgb color, int qx, int qy) {
    const std::uint64_t key =
        static_cast<std::uint64_t>(static_cast<unsigned char>(c)) |
        static_cast<std::uint64_t>(qx) << 8 | static_cast<std::uint64_t>(qy) << 10 |
        static_cast<std::uint64_t>(fonts.index(f)) << 12 | static_cast<std::uint64_t>(color) << 28;
    auto it = glyphs.find(key);
    if (it != glyphs.end()) return it->second;
    return glyphs.emplace(key, make(f, c, color, qx, qy)).first->second;
  }

  static Glyph make(TextFont& f, char c, QRgb color, int qx, int qy) {
    const double grow = std::max(f.sx, f.sy);
    const int pad = static_cast<int>(std::ceil(kHaloPx * grow)) + 2;
    const int above = static_cast<int>(std::ceil(f.metrics.ascent() * f.sy));
    const int below = static_cast<int>(std::ceil(f.metrics.descent() * f.sy));
    const int w = static_cast<int>(std::ceil(f.char_advance(c) * f.sx)) + 2 * pad + 2;
    const int h = above + below + 2 * pad + 2;
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.setDotsPerMeterX(3780);
    img.setDotsPerMeterY(3780);
    const QString s(QChar::fromLatin1(c));
    const int ox = pad, oy = pad + above;
    Glyph g;
    g.reach = std::max(ox, w - ox);
    g.rows = std::max(oy, h - oy);
    auto paint = [&](Pixels& out, bool halo) {
      img.fill(Qt::transparent);
      {
        QPainter sp(&img);
        sp.setRenderHint(QPainter::Antialiasing);
        sp.translate(ox + qx / 4.0, oy + qy / 4.0);
        sp.scale(f.sx, f.sy);
        if (halo) {
          QPainterPath path;
          path.addText(QPointF(0, 0), QFont(f.font, &img), s);
          QPen pen(kHaloColor, 2 * kHaloPx);
          pen.setJoinStyle(Qt::RoundJoin);
          sp.strokePath(path, pen);
        } else {
          sp.setFont(f.font);
          sp.setPen(QColor::fromRgba(color));
          sp.drawText(QPointF(0, 0), s);
        }
      }
      for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x)
          if (row[x] >> 24 != 0)
            out.push_back(
                {static_cast<std::int16_t>(x - ox), static_cast<std::int16_t>(y - oy), row[x]});
      }
    };
    paint(g.halo, true);
    paint(g.ink, false);
    return g;
  }
};

MarkerSprites::Glyphs& MarkerSprites::glyphs() {
  if (!glyphs_) glyphs_ = std::make_shared<Glyphs>();
  return *glyphs_;
}

namespace {

// The texts of one run, composited front to back (the last drawn first) into a layer of their
// own that then goes over the image: a pixel that earlier texts can no longer show through
// is never blended again, and a glyph over a block of such pixels is skipped whole. Dense
// plots of many thousand numbers then cost little more than their visible pixels.
class TextLayer {
 public:
  explicit TextLayer(Blitter& b) : b_(b), area_(b.clip()) {
    tiles_x_ = (area_.width() + kTile - 1) / kTile;
    tiles_y_ = (area_.height() + kTile - 1) / kTile;
    px_.assign(static_cast<std::size_t>(area_.width()) * static_cast<std::size_t>(area_.height()),
               0);
    opaque_.assign(static_cast<std::size_t>(tiles_x_) * static_cast<std::size_t>(tiles_y_), 0);
  }

  // Pixels placed relative to (cx, cy), within `reach` columns and `rows` rows of it, behind
  // everything added before.
  void add_behind(const Pixels& pixels, int cx, int cy, int reach, int rows) {
    if (hidden(cx - reach, cy - rows, cx + reach, cy + rows)) return;
    for (const MarkerSprites::Sprite::Pixel& p : pixels) {
      const int x = cx + p.dx - area_.left(), y = cy + p.dy - area_.top();
      if (x < 0 || y < 0 || x >= area_.width() || y >= area_.height()) continue;
      std::uint32_t& d = px_[static_cast<std::size_t>(y) * area_.width() + x];
      if (d >> 24 == 255) continue;
      d = blend(p.argb, d);
      if (d >> 24 == 255) ++opaque_[static_cast<std::size_t>(y / kTile) * tiles_x_ + x / kTile];
      grow(x, y);
    }
  }

  // The layer over the image; the layer is empty again after.
  void flush() {
    for (int y = top_; y <= bottom_; ++y) {
      std::uint32_t* dst = b_.row(y + area_.top()) + area_.left();
      std::uint32_t* src = &px_[static_cast<std::size_t>(y) * area_.width()];
      for (int x = left_; x <= right_; ++x) {
        if (src[x] != 0) dst[x] = blend(dst[x], src[x]);
        src[x] = 0;
      }
    }
    std::fill(opaque_.begin(), opaque_.end(), 0);
    left_ = top_ = std::numeric_limits<int>::max();
    right_ = bottom_ = -1;
  }

 private:
  static constexpr int kTile = 16;
  // True when every tile the rectangle (device pixels) touches is opaque throughout.
  bool hidden(int x0, int y0, int x1, int y1) const {
    x0 -= area_.left();
    x1 -= area_.left();
    y0 -= area_.top();
    y1 -= area_.top();
    if (x0 < 0 || y0 < 0 || x1 >= area_.width() || y1 >= area_.height()) return false;
    for (int ty = y0 / kTile; ty <= y1 / kTile; ++ty)
      for (int tx = x0 / kTile; tx <= x1 / kTile; ++tx)
        if (opaque_[static_cast<std::size_t>(ty) * tiles_x_ + tx] < tile_pixels(tx, ty))
          return false;
    return true;
  }
  int tile_pixels(int tx, int ty) const {
    return std::min(kTile, area_.width() - tx * kTile) *
           std::min(kTile, area_.height() - ty * kTile);
  }
  void grow(int x, int y) {
    left_ = std::min(left_, x);
    right_ = std::max(right_, x);
    top_ = std::min(top_, y);
    bottom_ = std::max(bottom_, y);
  }
  Blitter& b_;
  QRect area_;
  int tiles_x_ = 0, tiles_y_ = 0;
  std::vector<std::uint32_t> px_;
  std::vector<int> opaque_;  // opaque pixels of each tile
  int left_ = std::numeric_limits<int>::max(), top_ = std::numeric_limits<int>::max();
  int right_ = -1, bottom_ = -1;
};

bool is_number_text(const std::string& text) {
  return std::all_of(text.begin(), text.end(), TextFont::simple);
}

// Texts first..last (all of number characters) with their halo as draw_text draws them one
// after the other, glyph by glyph from the sprites: each text's halo under its characters.
void blit_texts(Blitter& b, const std::vector<TextView>& texts, std::size_t first, std::size_t last,
                const std::string& family, const DataMap& dm) {
  const QTransform& m = b.transform();
  MarkerSprites::Glyphs& cache = b.sprites().glyphs();
  TextLayer layer(b);
  struct Placed {
    const MarkerSprites::Glyphs::Glyph* glyph;
    int x, y;
  };
  std::vector<Placed> placed;
  for (std::size_t i = last; i-- > first;) {
    const TextView& t = texts[i];
    if (t.color.none) continue;
    TextFont& f = cache.fonts.get(family, t, m.m11(), m.m22());
    const TextPlace place = place_text(f, t, QPointF(dm.x(t.x), dm.y(t.y)));
    const QRgb color = to_qcolor(t.color).rgba();
    placed.clear();
    double x = place.x;
    const auto qy = static_cast<long long>(std::llround((m.m22() * place.y + m.dy()) * 4));
    for (char c : *t.text) {
      const auto qx = static_cast<long long>(std::llround((m.m11() * x + m.dx()) * 4));
      x += f.char_advance(c);
      if (c == ' ') continue;
      const auto& g = cache.get(f, c, color, static_cast<int>(qx & 3), static_cast<int>(qy & 3));
      placed.push_back({&g, static_cast<int>(qx >> 2), static_cast<int>(qy >> 2)});
    }
    for (auto p = placed.rbegin(); p != placed.rend(); ++p)
      layer.add_behind(p->glyph->ink, p->x, p->y, p->glyph->reach, p->glyph->rows);
    for (auto p = placed.rbegin(); p != placed.rend(); ++p)
      layer.add_behind(p->glyph->halo, p->x, p->y, p->glyph->reach, p->glyph->rows);
  }
  layer.flush();
}

// The texts of an axes in order, runs of numbers through the sprites when the painter draws
// on an image (b), the others with draw_text.
void draw_texts(QPainter& p, Blitter* b, const std::vector<TextView>& texts,
                const std::string& family, const DataMap& dm) {
  std::size_t i = 0;
  while (i < texts.size()) {
    std::size_t j = i;
    while (b && j < texts.size() && is_number_text(*texts[j].text)) ++j;
    if (j > i) {
      blit_texts(*b, texts, i, j, family, dm);
      i = j;
    } else {
      draw_text(p, texts[i], family, QPointF(dm.x(texts[i].x), dm.y(texts[i].y)), true);
      ++i;
    }
  }
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
