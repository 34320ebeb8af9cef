// Timing of the line-length analyses run headless from end to end, on 10,000 specimens of
// 100 landmarks with a protocol of 200 lines in 8 blocks of 25 (made in memory when the
// program starts):
//  - "TestModularity" with 999 permutations (lengths, correlation matrix, observed r, the
//    permutations with every block's own test, the report file): within 0.3 s;
//  - "CompareBlocks" of 10 block structure files on the same data: within 1.5 s;
//  - "SaveLengths" (lengths and the CSV file of 2,000,000 numbers): within 0.5 s.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/application.h"
#include "app/qivprotosw.h"
#include "core/controls.h"
#include "platform/headless_ui.h"

namespace {

namespace fs = std::filesystem;

constexpr int kLandmarks = 100;

// Superimposed-looking specimens: a base shape with landmark noise, and a size factor per
// specimen and per half of the landmarks so that lines correlate in groups; trailing values
// around 50.
qiv::Matrix make_data(int specimens) {
  std::mt19937_64 rng(20240603);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::normal_distribution<double> noise(0.0, 0.02);
  std::normal_distribution<double> factor(1.0, 0.05);
  std::vector<double> base(2 * kLandmarks);
  for (double& b : base) b = unit(rng) * 0.2;
  qiv::Matrix data(specimens, 2 * kLandmarks + 1);
  for (int i = 0; i < specimens; ++i) {
    const double f1 = factor(rng), f2 = factor(rng);
    for (int j = 0; j < 2 * kLandmarks; ++j)
      data(i, j) = base[static_cast<std::size_t>(j)] * (j < kLandmarks ? f1 : f2) + noise(rng);
    data(i, 2 * kLandmarks) = 50.0 * factor(rng);
  }
  return data;
}

// Lines between random pairs of distinct landmarks, and blocks of 25 consecutive lines.
qiv::Matrix make_protocol(int lines) {
  std::mt19937_64 rng(7);
  std::uniform_int_distribution<int> lm(1, kLandmarks);
  qiv::Matrix proto(lines, 3);
  for (int l = 0; l < lines; ++l) {
    const int a = lm(rng);
    int b = lm(rng);
    while (b == a) b = lm(rng);
    proto(l, 0) = l + 1;
    proto(l, 1) = a;
    proto(l, 2) = b;
  }
  return proto;
}

struct Session {
  qiv::HeadlessUi ui;
  qiv::Application app{ui};
  fs::path dir;

  Session(int specimens, int lines, int permutations) {
    dir = fs::temp_directory_path() / ("qiv_bench_analysis_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const qiv::Handle main = app.gfx.new_figure();
    app.gfx.new_axes(main);
    const qiv::Handle target = app.gfx.new_figure();
    for (const char* tag : {"PermBox", "SeedBox", "ModularityText"}) {
      const qiv::Handle h = app.gfx.new_uicontrol(target);
      app.gfx.set(h, "Style", qiv::Value("edit"));
      app.gfx.set(h, "Tag", qiv::Value(tag));
    }
    qiv::set_control_text(app.ctx, "PermBox", std::to_string(permutations));
    qiv::set_control_text(app.ctx, "SeedBox", "1");
    app.state.figh = main;
    app.state.menufigh = target;
    app.state.data = make_data(specimens);
    app.state.reference = qiv::Matrix(app.state.data->colwise().mean());
    app.state.proto = qiv::Protocol::from_table(make_protocol(lines));
    qiv::BlockList blocks((static_cast<std::size_t>(lines) + 24) / 25);
    for (int l = 0; l < lines; ++l) blocks[static_cast<std::size_t>(l / 25)].push_back(l + 1);
    app.state.blocks.assign(std::move(blocks));
  }
  ~Session() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

void run_action(benchmark::State& state, Session& s, const char* action, const char* file) {
  const fs::path cwd = fs::current_path();
  for (auto _ : state) {
    s.ui.answer_path((s.dir / file).string());
    qiv::qivprotosw(s.app.ctx, action);
  }
  fs::current_path(cwd);
  if (!s.ui.messages().empty()) state.SkipWithError(s.ui.messages().front().c_str());
  state.counters["file_MB"] = static_cast<double>(fs::file_size(s.dir / file)) / 1e6;
}

// Arguments: specimens, protocol lines, permutations.
void BM_TestModularity(benchmark::State& state) {
  Session s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
            static_cast<int>(state.range(2)));
  run_action(state, s, "TestModularity", "report.txt");
}
BENCHMARK(BM_TestModularity)->Args({10000, 200, 999})->Unit(benchmark::kMillisecond)->UseRealTime();

// Arguments: specimens, protocol lines, files. File f groups the lines into 8 blocks by
// (line + f) mod 8, so every file is another hypothesis.
void BM_CompareBlocks(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(1));
  Session s(static_cast<int>(state.range(0)), lines, 999);
  std::vector<std::string> files;
  for (int f = 0; f < state.range(2); ++f) {
    std::string text = "protocol.txt \n";
    for (int b = 0; b < 8; ++b) {
      for (int l = 0; l < lines; ++l)
        if ((l + f) % 8 == b) text += " " + std::to_string(l + 1) + " ";
      text += "\n";
    }
    files.push_back((s.dir / ("blocks" + std::to_string(f) + ".txt")).string());
    std::ofstream(files.back()) << text;
  }
  const fs::path cwd = fs::current_path();
  for (auto _ : state) {
    s.ui.answer_paths(files);
    s.ui.answer_path((s.dir / "compared.csv").string());
    qiv::qivprotosw(s.app.ctx, "CompareBlocks");
  }
  fs::current_path(cwd);
  if (!s.ui.messages().empty()) state.SkipWithError(s.ui.messages().front().c_str());
}
BENCHMARK(BM_CompareBlocks)->Args({10000, 200, 10})->Unit(benchmark::kMillisecond)->UseRealTime();

// Arguments: specimens, protocol lines.
void BM_SaveLengths(benchmark::State& state) {
  Session s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), 1);
  run_action(state, s, "SaveLengths", "lengths.csv");
}
BENCHMARK(BM_SaveLengths)->Args({10000, 200})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
