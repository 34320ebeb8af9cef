// First paint of the main window's plot after "Load" of a large file: 2,000,000 single-point
// "g*" markers (20,000 specimens of 100 landmarks), the 100 red "+" of the mean shape and
// their 100 number labels, drawn into a bitmap the size of the main window (1000 x 640) with
// a fresh marker cache, under Qt's offscreen platform. Budget: 1.0 s on one core.
// The SVG of a typical lab plot (200 x 30) is timed as well.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <random>
#include <string>

#include "platform/graphics/graphics.h"
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

}  // namespace

BENCHMARK_MAIN();
