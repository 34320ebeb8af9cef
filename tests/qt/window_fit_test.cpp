// Windows on small screens: the rules of qt/window_fit.h, and the four real windows from
// their layouts shrunk to their smallest.
#include "qt/window_fit.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <filesystem>

#include "core/controls.h"
#include "qt/figure_painter.h"
#include "qt/figure_window.h"
#include "qt/qt_app.h"
#include "qt/window_manager.h"
#include "support/qt_windows.h"

namespace qiv {
namespace {

namespace fs = std::filesystem;
using qt_test::qt_app;

TEST(WindowFit, SmallestIsFourFifthsRoundedDown) {
  EXPECT_EQ(qt::smallest_window_size(QSize(1000, 662)), QSize(800, 529));
  EXPECT_EQ(qt::smallest_window_size(QSize(360, 344)), QSize(288, 275));
  EXPECT_EQ(qt::smallest_window_size(QSize(1, 1)), QSize(0, 0));
}

struct FitCase {
  std::string name;
  QRect window;
  QSize smallest;
  QRect want;
};

class FitIntoTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitIntoTest, WindowLiesOnTheScreen) {
  const FitCase& c = GetParam();
  EXPECT_EQ(qt::fit_into(c.window, c.smallest, QRect(0, 0, 1024, 768)), c.want);
}

INSTANTIATE_TEST_SUITE_P(Cases, FitIntoTest,
                         ::testing::Values(FitCase{"AlreadyOnIt", QRect(40, 30, 400, 300),
                                                   QSize(320, 240), QRect(40, 30, 400, 300)},
                                           FitCase{"AboveTheTop", QRect(40, -252, 1000, 662),
                                                   QSize(800, 529), QRect(24, 0, 1000, 662)},
                                           FitCase{"PastTheRightEdge", QRect(1440, 100, 360, 646),
                                                   QSize(288, 516), QRect(664, 100, 360, 646)},
                                           FitCase{"TallerThanTheScreen", QRect(0, 0, 500, 900),
                                                   QSize(400, 720), QRect(0, 0, 500, 768)},
                                           FitCase{"CannotShrinkEnoughKeepsTheTitleOnIt",
                                                   QRect(-50, -50, 1400, 1000), QSize(1120, 800),
                                                   QRect(0, 0, 1120, 800)}),
                         [](const auto& info) { return info.param.name; });

struct AnchorCase {
  std::string name;
  QSizeF now;
  std::array<double, 4> want;
};

class AnchoredAxesTest : public ::testing::TestWithParam<AnchorCase> {};

// The main window's plot: [0.35 0.07 0.625 0.9] of 1000 x 640.
TEST_P(AnchoredAxesTest, PlotGivesUpThePixelsBelowTheLayoutSize) {
  const AnchorCase& c = GetParam();
  const auto p = qt::anchored_axes_position({0.35, 0.07, 0.625, 0.9}, QSizeF(1000, 640), c.now);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(p[i], c.want[i], 1e-12) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, AnchoredAxesTest,
    ::testing::Values(
        AnchorCase{"LayoutSize", QSizeF(1000, 640), {0.35, 0.07, 0.625, 0.9}},
        AnchorCase{"Larger", QSizeF(1300, 900), {0.35, 0.07, 0.625, 0.9}},
        // 350 pixels left, 25 right; 44.8 below, 19.2 above.
        AnchorCase{
            "Smallest", QSizeF(800, 512), {350 / 800.0, 44.8 / 512, 425 / 800.0, 448 / 512.0}},
        AnchorCase{"NarrowerOnly", QSizeF(900, 700), {350 / 900.0, 0.07, 525 / 900.0, 0.9}},
        AnchorCase{"NoRoomLeft", QSizeF(300, 640), {350 / 300.0, 0.07, 1 / 300.0, 0.9}}),
    [](const auto& info) { return info.param.name; });

QSize layout_size(const char* file) {
  QFile f(QString(QIV_SOURCE_DIR) + "/layouts/" + file);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file;
  const QJsonArray p = QJsonDocument::fromJson(f.readAll()).object()["Position"].toArray();
  return QSize(p[2].toInt(), p[3].toInt());
}

struct LayoutCase {
  const char* tag;
  const char* file;
};

// All four windows open, from a scratch folder so that the layouts come from the
// program's own folder, on a model screen that is the offscreen platform's.
class FourWindows : public test_support::StartedWindows {
 protected:
  void SetUp() override {
    qt_app();
    screen_ = QGuiApplication::primaryScreen()->geometry();
    app_.gfx.set(
        kScreen, "ScreenSize",
        row({1, 1, static_cast<double>(screen_.width()), static_cast<double>(screen_.height())}));
    ui_.set_windows(&wm_);
    app_.start();
    wm_.sync();
    ui_.answers.push_back(examples("leaves.txt"));
    for (const char* tag : {"Load", "MakeSubset", "DoBackReflect", "CreateTarget"}) {
      app_.gfx.set(find_control(app_.ctx, tag), "Value", Value(1.0));
      wm_.run_callback(find_control(app_.ctx, tag));
    }
    wm_.sync();
  }
  qt::FigureWindow* window(const char* tag) {
    for (Handle f : app_.gfx.figures())
      if (app_.gfx.get(f, "Tag").str() == tag) return wm_.window(f);
    return nullptr;
  }

  const fs::path dir_ = scratch_.path();
  QRect screen_;
};

class SmallWindowTest : public FourWindows, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(SmallWindowTest, ShrinksToFourFifthsWithoutControlsOverlapping) {
  const LayoutCase& c = GetParam();
  qt::FigureWindow* w = window(c.tag);
  ASSERT_NE(w, nullptr) << c.tag;
  ASSERT_TRUE(w->isVisible());
  const QSize layout = layout_size(c.file);
  // The status bar, and the menu bar of the main window, keep their height.
  const int status =
      w->status_bar()->height() + (w->menu_bar() ? w->menu_bar()->sizeHint().height() : 0);
  EXPECT_TRUE(screen_.contains(w->geometry())) << "opens on the screen";

  EXPECT_LE(w->minimumSize().width(), 0.8 * layout.width());
  EXPECT_LE(w->minimumSize().height() - status, 0.8 * layout.height());
  w->resize(w->minimumSize());
  wm_.sync();
  QWidget* canvas = w->canvas();
  ASSERT_EQ(canvas->size(), QSize(w->minimumSize().width(), w->minimumSize().height() - status));

  // Controls keep their size; the ones that do not fit scroll on the area's layer.
  auto* area = canvas->findChild<qt::ControlArea*>();
  ASSERT_NE(area, nullptr);
  EXPECT_TRUE(canvas->rect().contains(area->geometry()));
  std::vector<QRect> panels, controls;
  for (QObject* o : area->layer()->children()) {
    auto* cw = qobject_cast<QWidget*>(o);
    if (!cw || !cw->isVisibleTo(canvas)) continue;
    const Handle h = static_cast<Handle>(cw->property("qiv_handle").toLongLong());
    const auto p = app_.gfx.pixel_position(h);
    EXPECT_EQ(cw->size(), QSize(static_cast<int>(p[2]), static_cast<int>(p[3])));
    EXPECT_TRUE(area->layer()->rect().contains(cw->geometry()))
        << app_.gfx.get(h, "String").str() << " lies within the scrolled controls";
    (qobject_cast<QGroupBox*>(cw) ? panels : controls).push_back(cw->geometry());
  }
  ASSERT_FALSE(controls.empty());
  for (const auto* list : {&panels, &controls})
    for (std::size_t i = 0; i < list->size(); ++i)
      for (std::size_t j = i + 1; j < list->size(); ++j)
        EXPECT_FALSE((*list)[i].intersects((*list)[j]))
            << (*list)[i].x() << "," << (*list)[i].y() << " and " << (*list)[j].x() << ","
            << (*list)[j].y();

  // The plot keeps a size and stays clear of the controls.
  for (Handle ax : app_.gfx.children(w->figure())) {
    if (app_.gfx.type(ax) != ObjType::kAxes) continue;
    const QSizeF fs = qt::figure_size(app_.gfx, w->figure());
    const auto frame = qt::axes_frame(app_.gfx, ax, fs);
    EXPECT_GT(frame.box.width(), 0);
    EXPECT_GT(frame.box.height(), 0);
    const QRectF ink = qt::axes_ink_rect(app_.gfx, ax, fs);
    EXPECT_TRUE(QRectF(canvas->rect()).contains(ink));
    EXPECT_FALSE(ink.intersects(QRectF(area->geometry())))
        << "plot under the controls: " << ink.left() << " " << area->geometry().right() << " box "
        << frame.box.left() << " canvas " << canvas->width();
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, SmallWindowTest,
                         ::testing::Values(LayoutCase{"MainWindow", "Qiv_proto.fig"},
                                           LayoutCase{"SubsetWindow", "qiv_subset.fig"},
                                           LayoutCase{"BackWindow", "qiv_back.fig"},
                                           LayoutCase{"TargetWindow", "qiv_target.fig"}),
                         [](const auto& info) { return std::string(info.param.tag); });

// The main window's "Save as file..." on the example: the enlarged plot on white, without
// the window's grey margins.
TEST_F(FourWindows, SavedPictureOfTheMainWindowIsThePlotOnWhite) {
  qt::FigureWindow* w = window("MainWindow");
  ASSERT_NE(w, nullptr);
  const QSize canvas = w->canvas()->size();
  ui_.answers.push_back((dir_ / "plot.png").string());
  wm_.run_callback(find_control(app_.ctx, "SaveBigImage"));
  QImage img((dir_ / "plot.png").c_str());
  ASSERT_FALSE(img.isNull());
  img = img.convertToFormat(QImage::Format_RGB32);
  const double scale = 300.0 / 96;
  EXPECT_LT(img.width(), canvas.width() * scale * 0.7) << "no side margins";
  EXPECT_LT(img.height(), canvas.height() * scale);
  const int ring = static_cast<int>((qt::kPictureMargin - 1) * scale);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      if (x < ring || y < ring || x >= img.width() - ring || y >= img.height() - ring) {
        ASSERT_EQ(img.pixel(x, y), qRgb(255, 255, 255)) << "at " << x << "," << y;
      }
    }
}

}  // namespace
}  // namespace qiv
