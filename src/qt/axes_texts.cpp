#include "qt/axes_texts.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>

namespace qiv::qt {
namespace {

// Mostly opaque white: the numbers' outline hides the stars beneath it, and the lines stay
// faintly visible through it.
const QColor kHaloColor(255, 255, 255, 217);

}  // namespace

QFont make_font(const std::string& family, double size_pt, bool bold, bool italic) {
  QFont f(QString::fromStdString(family));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(std::max(1.0, size_pt));
  f.setBold(bold);
  f.setItalic(italic);
  return f;
}

void draw_text(QPainter& p, const TextView& t, const std::string& family, QPointF at, bool halo,
               QRectF* ink) {
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

TextPlace place_text(TextFont& f, const TextView& t, QPointF at) {
  const double w = f.width(*t.text);
  const QFontMetricsF& fm = f.metrics;
  double y = at.y();
  if (t.valign == 0) y += (fm.ascent() - fm.descent()) / 2;
  if (t.valign < 0) y -= fm.descent();
  if (t.valign > 0) y += fm.ascent();
  return {at.x() - (t.halign < 0 ? 0 : t.halign == 0 ? w / 2 : w), y, w};
}

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

}  // namespace

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

}  // namespace qiv::qt
