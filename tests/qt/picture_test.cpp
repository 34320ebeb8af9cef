#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QRegularExpression>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/application.h"
#include "base/failure.h"
#include "platform/headless_ui.h"
#include "platform/text.h"
#include "qt/figure_picture.h"
#include "qt/headless_pictures.h"
#include "qt/qt_app.h"
#include "qt/qt_ui.h"

namespace qiv {
namespace {

namespace fs = std::filesystem;
using qt_test::qt_app;

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class TempDir {
 public:
  TempDir() {
    path_ = fs::temp_directory_path() /
            ("qiv_picture_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
    fs::create_directories(path_);
  }
  ~TempDir() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
  static inline int counter_ = 0;
};

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
  TempDir dir;
  const fs::path file = dir.path() / GetParam().file;
  qt::save_figure_file(p.g, p.fig, file.string());
  const std::string bytes = read_file(file);
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

TEST(SaveFigure, PngIsTheWindowAt300Dpi) {
  Plot p;
  TempDir dir;
  const fs::path file = dir.path() / "plot.png";
  qt::save_figure_file(p.g, p.fig, file.string());
  QImage img(QString::fromStdString(file.string()));
  EXPECT_EQ(img.width(), 1500);   // 480 * 300 / 96
  EXPECT_EQ(img.height(), 1000);  // 320 * 300 / 96
  EXPECT_NEAR(img.dotsPerMeterX() * 0.0254, 300, 0.5);
}

TEST(SaveFigure, FailuresLeaveExistingFilesAlone) {
  Plot p;
  TempDir dir;
  const fs::path kept = dir.path() / "kept.png";
  { std::ofstream(kept) << "old"; }
  try {
    qt::save_figure_file(p.g, p.fig, (dir.path() / "missing" / "plot.svg").string());
    FAIL() << "no failure for a missing folder";
  } catch (const Failure& f) {
    EXPECT_STREQ(f.what(), "Cannot write plot.svg: No such file or directory.");
  }
  try {
    qt::save_figure_file(p.g, p.fig, (dir.path() / "kept.jpg").string());
    FAIL() << "no failure for an unknown extension";
  } catch (const Failure& f) {
    EXPECT_STREQ(f.what(),
                 "A picture is saved as .svg, .png or .pdf; \"kept.jpg\" is none of these.");
  }
  EXPECT_EQ(read_file(kept), "old");
  EXPECT_FALSE(fs::exists(dir.path() / "kept.jpg"));
}

// A window moved or sized to absurd numbers gives a message, not an image the size of memory.
TEST(SaveFigure, AbsurdWindowSizesAreRefused) {
  TempDir dir;
  for (const char* position :
       {"1e9 1e9 1e9 1e9", "0 0 20000 100", "0 0 1e300 1e300", "0 0 1e12 300"}) {
    Plot p;
    p.g.set(p.fig, "Position", Value(str2num(position)));
    for (const char* name : {"big.png", "big.svg", "big.pdf"}) {
      try {
        qt::save_figure_file(p.g, p.fig, (dir.path() / name).string());
        ADD_FAILURE() << position << " " << name << ": no failure";
      } catch (const Failure& f) {
        EXPECT_STREQ(f.what(),
                     "The picture would be larger than 16384 pixels on a side; make the window "
                     "smaller.")
            << position << " " << name;
      }
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
  EXPECT_EQ(svg.count("<path"), 12);
  EXPECT_TRUE(svg.contains(">proto.txt</text>"));
  ASSERT_TRUE(mime->hasImage());
  const QImage img = qvariant_cast<QImage>(mime->imageData());
  EXPECT_GE(std::max(img.width(), img.height()), qt::kClipboardMinPixels);
}

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
  EXPECT_GE(std::max(png.width(), png.height()), qt::kClipboardMinPixels);

  // The plus markers spread wider in the enlarged picture than in the window.
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
  EXPECT_GT(spread(svg), spread(before) * 1.1);
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

}  // namespace
}  // namespace qiv
