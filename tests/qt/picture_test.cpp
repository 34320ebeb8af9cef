#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QRegularExpression>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/application.h"
#include "base/failure.h"
#include "platform/headless_ui.h"
#include "platform/text.h"
#include "qt/figure_painter.h"
#include "qt/figure_picture.h"
#include "qt/headless_pictures.h"
#include "qt/qt_app.h"
#include "qt/qt_ui.h"
#include "support/files.h"

namespace qiv {
namespace {

namespace fs = std::filesystem;
using qt_test::qt_app;

using test_support::failure_text;
using test_support::read_bytes;
using test_support::ScratchDir;

struct Plot {
  Graphics g;
  Handle fig;
  Handle ax;
  Plot() {
    qt_app();
    fig = g.new_figure();
    g.set(fig, "Position", row({10, 10, 480, 320}));
    ax = g.new_axes(fig);
    g.hold_on();
    for (int i = 0; i < 12; ++i) g.plot_point(ax, i, i % 5, *parse_plot_style("g*"), 3);
    g.text(1, 1, "1");
    g.set(g.axes_labels(ax)[1], "String", Value("proto.txt"));
  }
};

struct FormatCase {
  std::string name;
  std::string file;
  std::string magic;
};

class SaveFigureTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(SaveFigureTest, FormatFollowsTheExtension) {
  Plot p;
  ScratchDir dir;
  const fs::path file = dir.path() / GetParam().file;
  qt::save_figure_file(p.g, p.fig, file.string());
  const std::string bytes = read_bytes(file);
  ASSERT_GE(bytes.size(), GetParam().magic.size());
  EXPECT_EQ(bytes.substr(0, GetParam().magic.size()), GetParam().magic);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
      << "no temporary file left behind";
}

INSTANTIATE_TEST_SUITE_P(Formats, SaveFigureTest,
                         ::testing::Values(FormatCase{"Svg", "plot.svg", "<?xml"},
                                           FormatCase{"SvgCapitals", "PLOT.SVG", "<?xml"},
                                           FormatCase{"Png", "plot.png", "\x89PNG\r\n"},
                                           FormatCase{"Pdf", "plot.pdf", "%PDF-"}),
                         [](const auto& info) { return info.param.name; });

TEST(SaveFigure, PngIsThePictureAt300Dpi) {
  Plot p;
  ScratchDir dir;
  const fs::path file = dir.path() / "plot.png";
  qt::save_figure_file(p.g, p.fig, file.string());
  QImage img(QString::fromStdString(file.string()));
  const QRectF r = qt::picture_rect(p.g, p.fig);
  EXPECT_EQ(img.width(), std::ceil(r.width() * 300 / 96));
  EXPECT_EQ(img.height(), std::ceil(r.height() * 300 / 96));
  EXPECT_NEAR(img.dotsPerMeterX() * 0.0254, 300, 0.5);
}

TEST(SaveFigure, FailuresLeaveExistingFilesAlone) {
  Plot p;
  ScratchDir dir;
  const fs::path kept = dir.path() / "kept.png";
  { std::ofstream(kept) << "old"; }
  EXPECT_EQ(failure_text([&] {
              qt::save_figure_file(p.g, p.fig, (dir.path() / "missing" / "plot.svg").string());
            }),
            "Cannot write plot.svg: No such file or directory.");
  EXPECT_EQ(
      failure_text([&] { qt::save_figure_file(p.g, p.fig, (dir.path() / "kept.jpg").string()); }),
      "A picture is saved as .svg, .png or .pdf; \"kept.jpg\" is none of these.");
  EXPECT_EQ(read_bytes(kept), "old");
  EXPECT_FALSE(fs::exists(dir.path() / "kept.jpg"));
}

// A window moved or sized to absurd numbers gives a message, not an image the size of memory.
TEST(SaveFigure, AbsurdWindowSizesAreRefused) {
  ScratchDir dir;
  for (const char* position :
       {"1e9 1e9 1e9 1e9", "0 0 20000 100", "0 0 1e300 1e300", "0 0 1e12 300"}) {
    Plot p;
    p.g.set(p.fig, "Position", Value(str2num(position)));
    for (const char* name : {"big.png", "big.svg", "big.pdf"}) {
      EXPECT_EQ(
          failure_text([&] { qt::save_figure_file(p.g, p.fig, (dir.path() / name).string()); }),
          "The picture would be larger than 16384 pixels on a side; make the window "
          "smaller.")
          << position << " " << name;
      EXPECT_FALSE(fs::exists(dir.path() / name));
    }
    EXPECT_THROW(qt::figure_picture(p.g, p.fig), Failure) << position;
  }
}

TEST(Clipboard, QtUiPutsSvgAndALargeBitmap) {
  Plot p;
  qt::QtUi ui;
  ui.copy_figure(p.g, p.fig);
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(mime, nullptr);
  ASSERT_TRUE(mime->hasFormat("image/svg+xml"));
  const QString svg = QString::fromUtf8(mime->data("image/svg+xml"));
  EXPECT_EQ(svg.count("<path"), 13) << "12 markers and the halo of the number";
  EXPECT_TRUE(svg.contains(">proto.txt</text>"));
  ASSERT_TRUE(mime->hasImage());
  const QImage img = qvariant_cast<QImage>(mime->imageData());
  EXPECT_GE(std::max(img.width(), img.height()), qt::kClipboardMinPixels);
}

QSizeF svg_size(const std::string& bytes);  // the view box

TEST(Clipboard, HeadlessCopyKeepsTheEnlargedPicture) {
  qt_app();
  HeadlessUi ui;
  qt::install_pictures(ui);
  Application app(ui);
  Graphics& g = app.gfx;
  Handle fig = g.new_figure();
  g.set(fig, "Position", row({0, 0, 560, 420}));
  g.plot({0, 10, 10, 0}, {0, 0, 6, 6}, "r+");
  g.axis_equal();
  const QString before = QString::fromUtf8(qt::figure_svg(g, fig));

  app.call("CopyBigImage");

  ASSERT_TRUE(ui.console_lines().empty()) << ui.console_lines()[0];
  const Picture& pic = ui.clipboard();
  const QString svg = QString::fromStdString(pic.svg);
  EXPECT_EQ(svg.count("<path"), 4);
  ASSERT_FALSE(pic.png.empty());
  QImage png;
  ASSERT_TRUE(png.loadFromData(pic.png.data(), static_cast<int>(pic.png.size()), "PNG"));
  EXPECT_EQ(png.width(), 1004) << "85 mm at 300 dpi, the picture options' defaults";

  // The plus markers spread across most of the page's width.
  auto spread = [](const QString& s) {
    QRegularExpression re("<path[^>]*d=\"M([-0-9.]+),");
    double lo = 1e9, hi = -1e9;
    for (auto it = re.globalMatch(s); it.hasNext();) {
      double x = it.next().captured(1).toDouble();
      lo = std::min(lo, x);
      hi = std::max(hi, x);
    }
    return hi - lo;
  };
  EXPECT_GT(spread(svg), 0.75 * svg_size(pic.svg).width()) << spread(before);
}

TEST(QtFilter, PatternsBecomeAQtNameFilter) {
  EXPECT_EQ(qt::qt_filter("*.txt"), "*.txt (*.txt)");
  EXPECT_EQ(qt::qt_filter("*.svg;*.png;*.pdf"), "*.svg *.png *.pdf (*.svg *.png *.pdf)");
  EXPECT_EQ(qt::qt_filter(""), "All files (*)");
  EXPECT_EQ(qt::qt_filter("Landmark data (*.txt);;TPS files (*.tps)"),
            "Landmark data (*.txt);;TPS files (*.tps)");
}

TEST(QtFilter, SaveSuffixFollowsTheChosenKind) {
  EXPECT_EQ(qt::filter_suffix("Landmark data (*.txt)"), "txt");
  EXPECT_EQ(qt::filter_suffix("TPS files (*.tps)"), "tps");
  EXPECT_EQ(qt::filter_suffix("*.svg *.png *.pdf (*.svg *.png *.pdf)"), "svg");
  EXPECT_EQ(qt::filter_suffix("All files (*)"), "");
}

// A plot for a paper: an orange window, the limits set so that number 12 sits on the
// top-right corner of the plot box and number 7 on a large green square. The ink (black,
// white, green and their blends) always has equal red and blue, the window never.
struct PaperPlot : Plot {
  Handle square;
  PaperPlot() {
    g.set(fig, "Color", row({0.8, 0.5, 0.2}));
    g.axis({0, 11, 0, 4});
    g.text(11, 4, "12");
    square = g.plot(std::vector<double>{5}, std::vector<double>{2}, "gs");
    g.set(square, "MarkerFaceColor", row({0, 1, 0}));
    g.set(square, "MarkerSize", Value(30.0));
    g.text(5, 2, "7");
  }
  QRectF box() const { return qt::axes_frame(g, ax, qt::figure_size(g, fig)).box; }
};

bool is_white(QRgb c) { return qRed(c) == 255 && qGreen(c) == 255 && qBlue(c) == 255; }
bool is_dark(QRgb c) { return qRed(c) < 128 && qGreen(c) < 128 && qBlue(c) < 128; }

struct PictureCase {
  std::string name;
  std::string file;
  // The picture's size in figure pixels, read from the file's bytes.
  std::function<QSizeF(const std::string&)> size;
  double tolerance;  // the file's unit: a PDF page is whole points
};

QSizeF svg_size(const std::string& bytes) {
  QRegularExpression re("viewBox=\"0 0 ([0-9.]+) ([0-9.]+)\"");
  auto m = re.match(QString::fromStdString(bytes));
  return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}
QSizeF png_size(const std::string& bytes) {
  QImage img;
  img.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
  return QSizeF(img.size()) * (96.0 / 300.0);
}
QSizeF pdf_size(const std::string& bytes) {
  QRegularExpression re("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]");
  auto m = re.match(QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())));
  return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) * (96.0 / 72)
                      : QSizeF();
}

class PictureCropTest : public ::testing::TestWithParam<PictureCase> {};

// Every format holds the same crop: the axes with their labels and numbers, not the window.
TEST_P(PictureCropTest, FileHoldsTheAxesAndLabelsOnly) {
  PaperPlot p;
  ScratchDir dir;
  const fs::path file = dir.path() / GetParam().file;
  qt::save_figure_file(p.g, p.fig, file.string());
  const QSizeF size = GetParam().size(read_bytes(file));
  const QRectF r = qt::picture_rect(p.g, p.fig);
  const double tolerance = GetParam().tolerance;
  EXPECT_NEAR(size.width(), r.width(), tolerance) << r.width() << " x " << r.height();
  EXPECT_NEAR(size.height(), r.height(), tolerance);
  // No window margin: each side lies within a text line (and a tick label's width) of the box.
  const QRectF box = p.box();
  const QFontMetricsF fm = qt_test::axes_metrics();
  const double reach = fm.height() + qt::kHaloPx + qt::kPictureMargin + 4;
  EXPECT_GE(r.top(), box.top() - reach);
  EXPECT_LE(r.bottom(), box.bottom() + reach);
  EXPECT_LE(r.right(), box.right() + fm.horizontalAdvance("12") + reach);
  EXPECT_GE(r.left(), box.left() - fm.horizontalAdvance("0.5") - reach);
  // The box, the tick labels left of and below it and the y label fit, and number 12
  // past the box's top-right corner.
  EXPECT_LE(r.left(), box.left() - 30);
  EXPECT_GE(r.right(), box.right() + 10);
  EXPECT_LE(r.top(), box.top() - 8);
  EXPECT_GE(r.bottom(), box.bottom() + 12);
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureCropTest,
                         ::testing::Values(PictureCase{"Svg", "paper.svg", svg_size, 0.01},
                                           PictureCase{"Png", "paper.png", png_size, 96.0 / 300},
                                           PictureCase{"Pdf", "paper.pdf", pdf_size, 96.0 / 72}),
                         [](const auto& info) { return info.param.name; });

TEST(PictureCrop, WhiteAroundTheInkAndInkNearEachEdge) {
  PaperPlot p;
  const QImage img = qt::figure_image(p.g, p.fig, 1.0).convertToFormat(QImage::Format_RGB32);
  const int margin = static_cast<int>(qt::kPictureMargin);
  const int w = img.width(), h = img.height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool ring =
          x < margin - 1 || y < margin - 1 || x >= w - margin + 1 || y >= h - margin + 1;
      if (ring) {
        ASSERT_TRUE(is_white(img.pixel(x, y))) << "at " << x << "," << y;
      }
      ASSERT_EQ(qRed(img.pixel(x, y)), qBlue(img.pixel(x, y))) << "window at " << x << "," << y;
    }
  // Tight: something dark within a few pixels of the margin on every side (a text's box
  // and its halo reach a few pixels past its glyphs).
  auto dark_in = [&](QRect band) {
    for (int y = band.top(); y <= band.bottom(); ++y)
      for (int x = band.left(); x <= band.right(); ++x)
        if (is_dark(img.pixel(x, y))) return true;
    return false;
  };
  const int reach = margin + 10;
  EXPECT_TRUE(dark_in(QRect(0, 0, reach, h))) << "left";
  EXPECT_TRUE(dark_in(QRect(w - reach, 0, reach, h))) << "right";
  EXPECT_TRUE(dark_in(QRect(0, 0, w, reach))) << "top";
  EXPECT_TRUE(dark_in(QRect(0, h - reach, w, reach))) << "bottom";
}

TEST(PictureCrop, NumberAtThePlotEdgeIsWhole) {
  PaperPlot p;
  const QRectF r = qt::picture_rect(p.g, p.fig);
  const QImage img = qt::figure_image(p.g, p.fig, 1.0).convertToFormat(QImage::Format_RGB32);
  // Number 12 is drawn left-aligned from the corner: its glyphs lie right of the box.
  const int past_box = static_cast<int>(std::ceil(p.box().right() - r.left())) + 2;
  int rightmost = -1;
  for (int y = 0; y < img.height(); ++y)
    for (int x = past_box; x < img.width(); ++x)
      if (is_dark(img.pixel(x, y))) rightmost = std::max(rightmost, x);
  ASSERT_GT(rightmost, past_box + 4) << "the number is drawn past the box, not cut at it";
  EXPECT_LT(rightmost, img.width() - static_cast<int>(qt::kPictureMargin))
      << "and wholly inside the picture";
}

TEST(PictureHalo, NumberOverAMarkerIsOutlinedInWhite) {
  PaperPlot p;
  const QRectF r = qt::picture_rect(p.g, p.fig);
  const QImage with = qt::figure_image(p.g, p.fig, 1.0).convertToFormat(QImage::Format_RGB32);
  // Around the number's anchor, inside the green square: only the halo is white there.
  const QPointF at(p.box().left() + p.box().width() * 5 / 11 - r.left(),
                   p.box().bottom() - p.box().height() * 2 / 4 - r.top());
  int white = 0, dark = 0, green = 0;
  for (int y = static_cast<int>(at.y()) - 8; y <= static_cast<int>(at.y()) + 8; ++y)
    for (int x = static_cast<int>(at.x()) - 2; x <= static_cast<int>(at.x()) + 10; ++x) {
      const QRgb c = with.pixel(x, y);
      white += qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200;
      dark += is_dark(c);
      green += c == qRgb(0, 255, 0);
    }
  EXPECT_GT(dark, 5) << "the number";
  EXPECT_GT(white, 10) << "its halo";
  EXPECT_GT(green, 10) << "the square around it";
}

TEST(PictureHalo, SvgHasAWhiteBackgroundAndOneHaloPerNumber) {
  PaperPlot p;
  const QString svg = QString::fromUtf8(qt::figure_svg(p.g, p.fig));
  const QSizeF size = svg_size(svg.toStdString());
  QRegularExpression background(
      "<g fill=\"#ffffff\" fill-opacity=\"1\" stroke=\"none\"[^>]*>\\s*<rect x=\"[-0-9.]+\" "
      "y=\"[-0-9.]+\" width=\"" +
      QString::number(size.width()) + "\" height=\"" + QString::number(size.height()) + "\"/>");
  EXPECT_TRUE(background.match(svg).hasMatch()) << svg.left(1500).toStdString();
  EXPECT_LT(svg.indexOf(background), svg.indexOf("<path")) << "the background comes first";
  QRegularExpression halo(
      "<g fill=\"none\" stroke=\"#ffffff\" stroke-opacity=\"0.85[0-9]*\" "
      "stroke-width=\"3\"[^>]*stroke-linejoin=\"round\"");
  EXPECT_EQ(svg.count(halo), 3) << "numbers 1, 12 and 7";
  EXPECT_TRUE(svg.contains(">12</text>")) << "the number stays text";
}

}  // namespace
}  // namespace qiv
