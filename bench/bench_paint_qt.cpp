// First paint of the main window's plot after "Load" of a large file: 2,000,000 single-point
// "g*" markers (20,000 specimens of 100 landmarks), the 100 red "+" of the mean shape and
// their 100 number labels, drawn into a bitmap the size of the main window (1000 x 640) with
// a fresh marker cache, under Qt's offscreen platform. Budget: 1.0 s on one core.
// The SVG of a typical lab plot (200 x 30) is timed as well.
//
// Numbers cost like points: "Load" of 3 specimens of 100,000 landmarks (100,000 numbers), or
// then "Load protocol..." of 200,000 lines between near landmarks (200,000 numbers), drawn
// headless into a PNG as `save-figure` does, and the first paint of the same main window
// (its layout's size) as the Qt window paints it. Budget: 2 s each on one core.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "app/application.h"
#include "platform/graphics/graphics.h"
#include "platform/headless_ui.h"
#include "qt/figure_painter.h"
#include "qt/figure_picture.h"
#include "qt/headless_pictures.h"

namespace {

using qiv::Graphics;
using qiv::Handle;

// One application object for the whole program.
void gui() { static const auto app = qiv::qt::ensure_gui_application(); }

struct LoadedPlot {
  Graphics g;
  Handle fig;
  Handle ax;
};

// Landmarks scattered around a mean shape, as "Load" draws them.
void fill(LoadedPlot& p, int specimens, int landmarks) {
  p.fig = p.g.new_figure();
  p.g.set(p.fig, "Position", qiv::row({40, 60, 1000, 640}));
  p.ax = p.g.new_axes(p.fig);
  p.g.set(p.ax, "Position", qiv::row({0.35, 0.07, 0.625, 0.9}));
  p.g.hold_on();
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> place(-0.4, 0.4);
  std::normal_distribution<double> noise(0.0, 0.01);
  std::vector<double> mx(landmarks), my(landmarks);
  for (int j = 0; j < landmarks; ++j) {
    mx[j] = place(rng);
    my[j] = place(rng);
  }
  const qiv::PlotStyle star = *qiv::parse_plot_style("g*");
  const qiv::PlotStyle plus = *qiv::parse_plot_style("r+");
  p.g.reserve_lines(p.ax, static_cast<std::size_t>(specimens) * landmarks + landmarks);
  for (int i = 0; i < specimens; ++i)
    for (int j = 0; j < landmarks; ++j)
      p.g.plot_point(p.ax, mx[j] + noise(rng), my[j] + noise(rng), star, 3);
  for (int j = 0; j < landmarks; ++j) p.g.plot_point(p.ax, mx[j], my[j], plus, 3);
  for (int j = 0; j < landmarks; ++j) p.g.text(mx[j] + 0.008, my[j] + 0.008, std::to_string(j + 1));
  p.g.axis_equal();
}

void BM_FirstPaintOfLoadedPlot(benchmark::State& state) {
  gui();
  LoadedPlot p;
  fill(p, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    QImage image(1000, 640, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    qiv::qt::MarkerSprites sprites;  // a first paint builds its sprites
    QPainter painter(&image);
    qiv::qt::paint_figure(painter, p.g, p.fig, qiv::qt::PaintOptions{&sprites, true});
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["markers"] = static_cast<double>(state.range(0) * state.range(1));
}
BENCHMARK(BM_FirstPaintOfLoadedPlot)
    ->Args({20000, 100})
    ->Args({200, 30})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_SvgOfTypicalPlot(benchmark::State& state) {
  gui();
  LoadedPlot p;
  fill(p, 200, 30);
  for (auto _ : state) benchmark::DoNotOptimize(qiv::qt::figure_svg(p.g, p.fig).size());
}
BENCHMARK(BM_SvgOfTypicalPlot)->Unit(benchmark::kMillisecond);

// A program that has loaded k landmarks on a spiral (3 specimens) and, with lines > 0, a
// protocol of that many lines, each between landmarks 1 to 3 apart along the spiral.
struct NumberedSession {
  std::filesystem::path dir;
  qiv::HeadlessUi ui;
  std::unique_ptr<qiv::Application> app;
  NumberedSession(int k, int lines) {
    gui();
    dir = std::filesystem::temp_directory_path() /
          ("qiv_bench_numbers_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::mt19937_64 rng(11);
    std::normal_distribution<double> noise(0.0, 0.0005);
    std::FILE* f = std::fopen((dir / "data.txt").c_str(), "w");
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < k; ++j) {
        const double a = 0.002 * j, r = 0.1 + 0.9 * j / k;
        std::fprintf(f, " %f  %f ", r * std::cos(a) + noise(rng), r * std::sin(a) + noise(rng));
      }
      std::fprintf(f, " 1.000000 \n");
    }
    std::fclose(f);
    f = std::fopen((dir / "proto.txt").c_str(), "w");
    for (int n = 1; n <= lines; ++n) {
      const int step = 1 + (n - 1) / (k - 1) % 3, a = 1 + (n - 1) % (k - step);
      std::fprintf(f, "%i %i %i \n", n, a, a + step);
    }
    std::fclose(f);
    qiv::qt::install_pictures(ui);
    app = std::make_unique<qiv::Application>(ui);
    app->start();
    app->load_file((dir / "data.txt").string());
    if (lines > 0) {
      ui.answer_path((dir / "proto.txt").string());
      app->action("LoadProto");
    }
  }
  ~NumberedSession() { std::filesystem::remove_all(dir); }
  Handle fig() const { return *app->state.figh; }
};

void BM_SaveFigureOfNumbers(benchmark::State& state) {
  NumberedSession s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const std::string png = (s.dir / "figure.png").string();
  for (auto _ : state) s.ui.save_figure(s.app->gfx, s.fig(), png);
  if (!s.ui.messages().empty()) state.SkipWithError(s.ui.messages().front().c_str());
  state.counters["numbers"] =
      static_cast<double>(state.range(1) > 0 ? state.range(1) : state.range(0));
}
BENCHMARK(BM_SaveFigureOfNumbers)
    ->Args({100000, 0})
    ->Args({100000, 200000})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_FirstPaintOfNumbers(benchmark::State& state) {
  NumberedSession s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const QSizeF size = qiv::qt::figure_size(s.app->gfx, s.fig());
  for (auto _ : state) {
    QImage image(size.toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    qiv::qt::MarkerSprites sprites;  // a first paint builds its sprites
    QPainter painter(&image);
    qiv::qt::paint_figure(painter, s.app->gfx, s.fig(), qiv::qt::PaintOptions{&sprites, true});
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_FirstPaintOfNumbers)
    ->Args({100000, 0})
    ->Args({100000, 200000})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
