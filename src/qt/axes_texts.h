#pragma once
// The texts of an axes: fonts (sized in points, measured at 96 dpi), one text with its halo,
// and runs of numbers blitted glyph by glyph from sprites when the painter draws on an image.
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <array>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/graphics/graphics.h"
#include "qt/blitter.h"
#include "qt/figure_painter.h"

namespace qiv::qt {

QFont make_font(const std::string& family, double size_pt, bool bold, bool italic);

// With halo, a light outline of kHaloPx around the glyphs keeps the text readable over
// markers and lines. The rectangle the text covers, halo included, in the painter's
// coordinates before its transform, is added to *ink when given.
void draw_text(QPainter& p, const TextView& t, const std::string& family, QPointF at,
               bool halo = false, QRectF* ink = nullptr);

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
TextPlace place_text(TextFont& f, const TextView& t, QPointF at);

// The texts of an axes in order, runs of numbers through the sprites when the painter draws
// on an image (b), the others with draw_text.
void draw_texts(QPainter& p, Blitter* b, const std::vector<TextView>& texts,
                const std::string& family, const DataMap& dm);

}  // namespace qiv::qt
