#pragma once
// Pictures of a figure without its controls, in memory or in a file: SVG and PDF as vectors,
// PNG as a bitmap. All are drawn by paint_figure on white, cropped to picture_rect (the axes
// with their labels and landmark numbers).
#include <QByteArray>
#include <QImage>
#include <functional>
#include <string>

#include "platform/graphics/graphics.h"
#include "platform/ui.h"

namespace qiv::qt {

// Dots per inch of a saved PNG: the picture's size in figure pixels at 300 dpi instead of
// the screen's 96.
constexpr double kPngDpi = 300.0;
// The bitmap on the clipboard is at least this large on its longer side (and never smaller
// than the window), so that a pasted picture stays sharp when a word processor scales it up.
constexpr int kClipboardMinPixels = 1600;
// No picture is larger than this on a side (an image of 16384 x 16384 takes 1 GiB); drawing
// one throws Failure("The picture would be larger than 16384 pixels on a side; make the
// window smaller.").
constexpr int kMaxPicturePixels = 16384;

QByteArray figure_svg(const Graphics& gfx, Handle fig);
QByteArray figure_pdf(const Graphics& gfx, Handle fig);
// A bitmap of the figure, `scale` device pixels per figure pixel.
QImage figure_image(const Graphics& gfx, Handle fig, double scale);
QByteArray png_bytes(const QImage& image);

// The clipboard's picture: SVG, and a PNG of at least kClipboardMinPixels on its longer side.
Picture figure_picture(const Graphics& gfx, Handle fig);
QImage clipboard_image(const Graphics& gfx, Handle fig);

// Writes the picture to path by its extension (.svg, .png at kPngDpi, .pdf; any letter case),
// through a temporary file in the same folder. Throws Failure("Cannot write NAME: REASON.")
// when the file cannot be written, and a Failure naming the formats for any other extension.
void save_figure_file(const Graphics& gfx, Handle fig, const std::string& path);

// The drawings of one picture in each format a file may have.
struct PictureFormats {
  std::function<QByteArray()> svg, png, pdf;
};
// Writes the format path's extension asks for, with save_figure_file's failures.
void write_picture_file(const std::string& path, const PictureFormats& draw);

}  // namespace qiv::qt
