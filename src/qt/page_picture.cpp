#include "qt/page_picture.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgGenerator>
#include <cmath>

#include "base/failure.h"
#include "qt/figure_painter.h"
#include "qt/figure_picture.h"

namespace qiv::qt {
namespace {

constexpr double kPagePxPerInch = 96.0;
constexpr double kMmPerInch = 25.4;

double page_px(double mm) { return mm / kMmPerInch * kPagePxPerInch; }

// The axes a page shows: the figure's current axes, else its first.
Handle page_axes(const Graphics& gfx, Handle fig) {
  Handle first = kNoHandle;
  const Value current = gfx.get(fig, "CurrentAxes");
  for (Handle c : gfx.children(fig)) {
    if (gfx.type(c) != ObjType::kAxes) continue;
    if (current.is_scalar() && static_cast<Handle>(current.scalar_value()) == c) return c;
    if (first == kNoHandle) first = c;
  }
  return first;
}

void paint_page(QPainter& p, Graphics& gfx, Handle fig, const QRectF& r, MarkerSprites* sprites) {
  p.translate(-r.topLeft());
  p.fillRect(r, Qt::white);
  p.setClipRect(r);
  PaintOptions opt;
  opt.sprites = sprites;
  opt.background = false;
  paint_figure(p, gfx, fig, opt);
}

}  // namespace

PageLayout::PageLayout(Graphics& gfx, Handle fig, const PictureOptions& o) : gfx_(gfx), o_(o) {
  const Handle ax = page_axes(gfx, fig);
  const double width = page_px(o.width_mm);
  if (ax == kNoHandle) {
    rect_ = QRectF(0, 0, width, width * 0.75);
    return;
  }
  try {
    const Value font(o.font_pt);
    set(ax, "FontSize", font);
    const auto labels = gfx.axes_labels(ax);
    for (Handle l : labels) set(l, "FontSize", font);
    for (Handle c : gfx.children(ax))
      if (gfx.type(c) == ObjType::kText) set(c, "FontSize", font);
    if (!o.axes) set(ax, "Visible", Value("off"));
    if (!o.label) set(labels[1], "Visible", Value("off"));
    set(ax, "Units", Value("pixels"));

    // The plot box's height over its width: the data's with equal axes, else the window's.
    const Limits lim = gfx.axis_of(ax);
    const auto pos = gfx.pixel_position(ax);
    double aspect = pos[2] > 0 ? pos[3] / pos[2] : 1.0;
    if (gfx.axis_is_equal(ax) && lim[1] > lim[0] && lim[3] > lim[2])
      aspect = (lim[3] - lim[2]) / (lim[1] - lim[0]);
    if (!(aspect > 0) || !std::isfinite(aspect)) aspect = 1.0;

    // The tick labels, axis labels and landmark numbers around the box take the same room
    // whatever the box's size (but for numbers near its edges): a few rounds find the box
    // whose ink, with the margins, is the page's width.
    const QSizeF fs = figure_size(gfx, fig);
    const double inner = width - 2 * kPictureMargin;
    double box = inner * 0.8;
    QRectF ink;
    for (int round = 0; round < 6; ++round) {
      set(ax, "Position", row({0, 0, box, box * aspect}));
      ink = axes_ink_rect(gfx, ax, fs);
      const double next = std::max(1.0, box + inner - ink.width());
      if (std::abs(next - box) < 1e-3) break;
      box = next;
    }
    if (ink.isEmpty()) ink = QRectF(0, fs.height() - box * aspect, box, box * aspect);
    // The ink centred across the page's exact width; a font too large for a narrow page is cut.
    rect_ = QRectF(ink.center().x() - width / 2, ink.top() - kPictureMargin, width,
                   ink.height() + 2 * kPictureMargin);
  } catch (...) {
    restore();
    throw;
  }
}

PageLayout::~PageLayout() { restore(); }

void PageLayout::restore() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
    if (gfx_.ishandle(it->h)) gfx_.set(it->h, it->name, it->value);
  saved_.clear();
}

void PageLayout::set(Handle h, const char* name, const Value& v) {
  saved_.push_back(Saved{h, name, gfx_.get(h, name)});
  gfx_.set(h, name, v);
}

QSize PageLayout::pixels() const {
  const double scale = o_.dpi / kPagePxPerInch;
  const double w = std::round(o_.width_mm / kMmPerInch * o_.dpi);
  const double h = std::round(rect_.height() * scale);
  if (!(w >= 1 && h >= 1 && w <= kMaxPicturePixels && h <= kMaxPicturePixels))
    throw Failure("The picture would be larger than " + std::to_string(kMaxPicturePixels) +
                  " pixels on a side; choose a smaller width or resolution.");
  return QSize(static_cast<int>(w), static_cast<int>(h));
}

QByteArray page_svg(Graphics& gfx, Handle fig, const PictureOptions& o) {
  PageLayout page(gfx, fig, o);
  const QRectF r = page.rect();
  page.pixels();  // the same refusal as the bitmap's, for a page no program could show
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  // Fonts are sized against the resolution: 96 makes a point 96/72 units of the view box.
  svg.setResolution(static_cast<int>(kPagePxPerInch));
  svg.setSize(r.size().toSize());
  svg.setViewBox(QRectF(QPointF(0, 0), r.size()));
  svg.setTitle("Figure");
  {
    QPainter p(&svg);
    paint_page(p, gfx, fig, r, nullptr);
  }
  // The generator writes its whole-pixel size in millimetres; the page's are exact.
  const double height_mm = r.height() / kPagePxPerInch * kMmPerInch;
  QString text = QString::fromUtf8(bytes);
  text.replace(QRegularExpression("<svg width=\"[^\"]*\" height=\"[^\"]*\""),
               QString("<svg width=\"%1mm\" height=\"%2mm\"")
                   .arg(o.width_mm, 0, 'g', 10)
                   .arg(height_mm, 0, 'g', 10));
  return text.toUtf8();
}

QByteArray page_pdf(Graphics& gfx, Handle fig, const PictureOptions& o) {
  PageLayout page(gfx, fig, o);
  const QRectF r = page.rect();
  page.pixels();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter pdf(&buffer);
  pdf.setResolution(static_cast<int>(kPagePxPerInch));
  pdf.setCreator("qiv_proto");
  const QSizeF mm(o.width_mm, r.height() / kPagePxPerInch * kMmPerInch);
  pdf.setPageLayout(QPageLayout(QPageSize(mm, QPageSize::Millimeter), QPageLayout::Portrait,
                                QMarginsF(0, 0, 0, 0)));
  {
    QPainter p(&pdf);
    paint_page(p, gfx, fig, r, nullptr);
  }
  return bytes;
}

QImage page_image(Graphics& gfx, Handle fig, const PictureOptions& o) {
  PageLayout page(gfx, fig, o);
  const QRectF r = page.rect();
  const QSize size = page.pixels();
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  // Fonts are sized in points against the device's resolution: paint at 96 dpi and let the
  // painter's scale enlarge everything alike, then label the image with its real resolution.
  const auto dots_per_meter = [](double dpi) {
    return static_cast<int>(std::lround(dpi / 0.0254));
  };
  image.setDotsPerMeterX(dots_per_meter(kPagePxPerInch));
  image.setDotsPerMeterY(dots_per_meter(kPagePxPerInch));
  image.fill(Qt::white);
  MarkerSprites sprites;
  {
    QPainter p(&image);
    p.scale(o.dpi / kPagePxPerInch, o.dpi / kPagePxPerInch);
    paint_page(p, gfx, fig, r, &sprites);
  }
  image.setDotsPerMeterX(dots_per_meter(o.dpi));
  image.setDotsPerMeterY(dots_per_meter(o.dpi));
  return image;
}

Picture page_picture(Graphics& gfx, Handle fig, const PictureOptions& o) {
  Picture pic;
  const QByteArray svg = page_svg(gfx, fig, o);
  pic.svg.assign(svg.constData(), static_cast<std::size_t>(svg.size()));
  const QByteArray png = png_bytes(page_image(gfx, fig, o));
  pic.png.assign(png.begin(), png.end());
  return pic;
}

void save_page_file(Graphics& gfx, Handle fig, const std::string& path, const PictureOptions& o) {
  write_picture_file(path, {[&] { return page_svg(gfx, fig, o); },
                            [&] { return png_bytes(page_image(gfx, fig, o)); },
                            [&] { return page_pdf(gfx, fig, o); }});
}

}  // namespace qiv::qt
