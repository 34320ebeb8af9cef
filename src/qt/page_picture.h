#pragma once
// Pictures for a page: the current axes of a figure drawn at the width PictureOptions asks
// for, every text at its point size at that width, whatever the window's size. The height
// follows the plot's aspect (equal axes keep their data aspect).
//
// Sizes: a PDF page of width_mm (Qt writes page sizes in whole points), a PNG of
// round(width_mm / 25.4 * dpi) pixels, an SVG whose width and height are in millimetres.
// Everything else is drawn as the window draws it, by paint_figure, on white.
#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <string>

#include "platform/graphics/graphics.h"
#include "platform/picture_options.h"
#include "platform/ui.h"

namespace qiv::qt {

// Lays the figure's current axes out for the page while it lives (its position in pixels,
// the font sizes of its texts, the frame and the y label shown or not) and puts everything
// back when it goes. The model is changed meanwhile; the windows see it only after the event.
class PageLayout {
 public:
  PageLayout(Graphics& gfx, Handle fig, const PictureOptions& o);
  ~PageLayout();
  PageLayout(const PageLayout&) = delete;
  PageLayout& operator=(const PageLayout&) = delete;

  // The picture in figure pixels (1/96 inch): width_mm wide, the axes' ink with a margin.
  const QRectF& rect() const { return rect_; }
  // The PNG's size in pixels at the options' dpi; Failure("The picture would be larger than
  // 16384 pixels on a side; choose a smaller width or resolution.") beyond kMaxPicturePixels.
  QSize pixels() const;

 private:
  struct Saved {
    Handle h;
    std::string name;
    Value value;
  };
  void set(Handle h, const char* name, const Value& v);
  void restore();

  Graphics& gfx_;
  const PictureOptions o_;
  std::vector<Saved> saved_;  // in the order changed; put back in reverse
  QRectF rect_;
};

QByteArray page_svg(Graphics& gfx, Handle fig, const PictureOptions& o);
QByteArray page_pdf(Graphics& gfx, Handle fig, const PictureOptions& o);
QImage page_image(Graphics& gfx, Handle fig, const PictureOptions& o);
// The clipboard's picture for a page: the SVG and the PNG.
Picture page_picture(Graphics& gfx, Handle fig, const PictureOptions& o);
// As save_figure_file, for a page.
void save_page_file(Graphics& gfx, Handle fig, const std::string& path, const PictureOptions& o);

}  // namespace qiv::qt
