#include "qt/figure_picture.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "base/failure.h"
#include "platform/file_io.h"
#include "qt/figure_painter.h"

namespace qiv::qt {
namespace {

constexpr int kScreenDpi = 96;

int dots_per_meter(double dpi) { return static_cast<int>(std::lround(dpi / 0.0254)); }

std::string lower_extension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

// The figure's picture rectangle, refused when the picture it makes at scale would be larger
// than kMaxPicturePixels on a side (or is no size at all): a window moved or sized to absurd
// numbers must give a message, not an image the size of the memory.
QRectF checked_picture_rect(const Graphics& gfx, Handle fig, double scale) {
  auto too_large = [scale](double w, double h) {
    w *= scale;
    h *= scale;
    return !(w > 0 && h > 0 && w <= kMaxPicturePixels && h <= kMaxPicturePixels);
  };
  // The figure's own size first: the picture rectangle is whole pixels and would overflow.
  const QSizeF fs = figure_size(gfx, fig);
  const QRectF r = too_large(fs.width(), fs.height()) ? QRectF() : picture_rect(gfx, fig);
  if (too_large(r.width(), r.height())) {
    throw Failure("The picture would be larger than " + std::to_string(kMaxPicturePixels) +
                  " pixels on a side; make the window smaller.");
  }
  return r;
}

// A picture is for a page: white under the axes, whatever the window's colour.
void paint_picture(QPainter& p, const Graphics& gfx, Handle fig, const QRectF& r,
                   PaintOptions opt) {
  p.fillRect(r, Qt::white);
  opt.background = false;
  paint_figure(p, gfx, fig, opt);
}

}  // namespace

QByteArray figure_svg(const Graphics& gfx, Handle fig) {
  const QRectF r = checked_picture_rect(gfx, fig, 1.0);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setResolution(kScreenDpi);
  svg.setSize(r.size().toSize());
  svg.setViewBox(QRectF(QPointF(0, 0), r.size()));
  svg.setTitle("Figure");
  {
    QPainter p(&svg);
    p.translate(-r.topLeft());
    paint_picture(p, gfx, fig, r, PaintOptions{});
  }
  return bytes;
}

QByteArray figure_pdf(const Graphics& gfx, Handle fig) {
  const QRectF r = checked_picture_rect(gfx, fig, 1.0);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter pdf(&buffer);
  pdf.setResolution(kScreenDpi);
  pdf.setCreator("qiv_proto");
  const QSizeF points = r.size() * (72.0 / kScreenDpi);
  pdf.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point), QPageLayout::Portrait,
                                QMarginsF(0, 0, 0, 0)));
  {
    QPainter p(&pdf);
    p.translate(-r.topLeft());
    paint_picture(p, gfx, fig, r, PaintOptions{});
  }
  return bytes;
}

QImage figure_image(const Graphics& gfx, Handle fig, double scale) {
  const QRectF r = checked_picture_rect(gfx, fig, scale);
  const QSize size(std::max(1, static_cast<int>(std::ceil(r.width() * scale))),
                   std::max(1, static_cast<int>(std::ceil(r.height() * scale))));
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  // Fonts are sized in points against the device resolution: paint at screen resolution and
  // let the painter's scale enlarge everything alike.
  image.setDotsPerMeterX(dots_per_meter(kScreenDpi));
  image.setDotsPerMeterY(dots_per_meter(kScreenDpi));
  image.fill(Qt::white);
  MarkerSprites sprites;
  {
    QPainter p(&image);
    p.scale(scale, scale);
    p.translate(-r.topLeft());
    paint_picture(p, gfx, fig, r, PaintOptions{&sprites, false});
  }
  image.setDotsPerMeterX(dots_per_meter(kScreenDpi * scale));
  image.setDotsPerMeterY(dots_per_meter(kScreenDpi * scale));
  return image;
}

QByteArray png_bytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

QImage clipboard_image(const Graphics& gfx, Handle fig) {
  const QRectF r = checked_picture_rect(gfx, fig, 1.0);
  const double longer = std::max(r.width(), r.height());
  const double scale = std::max(1.0, kClipboardMinPixels / longer);
  return figure_image(gfx, fig, scale);
}

Picture figure_picture(const Graphics& gfx, Handle fig) {
  Picture pic;
  const QByteArray svg = figure_svg(gfx, fig);
  pic.svg.assign(svg.constData(), static_cast<std::size_t>(svg.size()));
  const QByteArray png = png_bytes(clipboard_image(gfx, fig));
  pic.png.assign(png.begin(), png.end());
  return pic;
}

void save_figure_file(const Graphics& gfx, Handle fig, const std::string& path) {
  write_picture_file(path, {[&] { return figure_svg(gfx, fig); },
                            [&] { return png_bytes(figure_image(gfx, fig, kPngDpi / kScreenDpi)); },
                            [&] { return figure_pdf(gfx, fig); }});
}

void write_picture_file(const std::string& path, const PictureFormats& draw) {
  const std::string ext = lower_extension(path);
  QByteArray bytes;
  if (ext == ".svg") {
    bytes = draw.svg();
  } else if (ext == ".png") {
    bytes = draw.png();
  } else if (ext == ".pdf") {
    bytes = draw.pdf();
  } else {
    throw Failure("A picture is saved as .svg, .png or .pdf; \"" +
                  std::filesystem::path(path).filename().string() + "\" is none of these.");
  }
  std::string why;
  if (!write_file_atomically(path, bytes.toStdString(), &why))
    throw Failure("Cannot write " + std::filesystem::path(path).filename().string() + ": " + why +
                  ".");
}

}  // namespace qiv::qt
