// Timing of the consensus fit on synthetic landmark data: a large data set (20,000 specimens
// of 100 landmarks, budget 0.1 s on one core) and a typical lab file (200 specimens of 30),
// both with landmark noise of 0.05 of the shape's radius; plus the large set with noise as
// large as the shape itself, which needs more passes. Arguments: specimens, landmarks, noise
// in thousandths.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>

#include "geometry/consensus.h"

namespace {

// Specimens of one random base shape (radius about 1) with Gaussian landmark noise of the
// given sd, each rotated by a random angle, scaled by 0.5..2 and translated; the trailing
// column holds a made-up centroid size.
qiv::Matrix synthetic_specimens(Eigen::Index specimens, Eigen::Index landmarks, double sd) {
  std::mt19937_64 rng(20240601);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::normal_distribution<double> noise(0.0, sd);
  std::uniform_real_distribution<double> angle(0.0, 2.0 * std::numbers::pi);
  std::uniform_real_distribution<double> scale(0.5, 2.0);
  std::uniform_real_distribution<double> shift(-10.0, 10.0);

  Eigen::VectorXd base(2 * landmarks);
  for (Eigen::Index j = 0; j < 2 * landmarks; ++j) base[j] = unit(rng);

  qiv::Matrix x(specimens, 2 * landmarks + 1);
  for (Eigen::Index i = 0; i < specimens; ++i) {
    const double a = angle(rng);
    const double s = scale(rng);
    const double tx = shift(rng);
    const double ty = shift(rng);
    for (Eigen::Index j = 0; j < landmarks; ++j) {
      const double px = base[2 * j] + noise(rng);
      const double py = base[2 * j + 1] + noise(rng);
      x(i, 2 * j) = s * (px * std::cos(a) - py * std::sin(a)) + tx;
      x(i, 2 * j + 1) = s * (px * std::sin(a) + py * std::cos(a)) + ty;
    }
    x(i, 2 * landmarks) = 100.0 * s;
  }
  return x;
}

void BM_getconsensus(benchmark::State& state) {
  const qiv::Matrix x = synthetic_specimens(state.range(0), state.range(1),
                                            0.001 * static_cast<double>(state.range(2)));
  int passes = 0;
  for (auto _ : state) {
    qiv::Consensus c = qiv::getconsensus(x);
    passes = c.passes;
    benchmark::DoNotOptimize(c.y.data());
    benchmark::ClobberMemory();
  }
  state.counters["passes"] = passes;
  state.counters["specimens"] = static_cast<double>(state.range(0));
  state.counters["landmarks"] = static_cast<double>(state.range(1));
  state.counters["noise"] = 0.001 * static_cast<double>(state.range(2));
}

BENCHMARK(BM_getconsensus)
    ->Args({20000, 100, 50})
    ->Args({200, 30, 50})
    ->Args({20000, 100, 1000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
