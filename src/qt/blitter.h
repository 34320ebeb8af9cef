#pragma once
// Drawing markers and number glyphs straight into the pixels of the QImage a painter draws
// on, for raster pictures (figure_painter.cpp, axes_texts.cpp).
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QRectF>
#include <QTransform>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "qt/markers.h"

namespace qiv::qt {

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

}  // namespace qiv::qt
