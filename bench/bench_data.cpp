// Timing of the landmark file reader and of "Load" run headless from end to end, on files that
// a generator writes into a scratch folder when the program starts (nothing large is kept):
//  - 20,000 specimens of 100 landmarks (201 numbers a line, about 40 MB): dload must parse at
//    150 MB/s or more; "Load" (read, fit, 2,000,000 point objects, labels) within 0.3 s and
//    200 MB peak resident memory; one "Replot" of it within 0.15 s in the 20th redraw as in
//    the first, with the peak memory of "Load";
//  - 2,000 specimens of 50 landmarks, redrawn 10 and 60 times: the mean Replot and the peak
//    memory stay flat;
//  - 200 specimens of 30 landmarks, a typical lab file: "Load" within 30 ms;
//  - the same 20,000 specimens as a TPS file (a record per specimen: LM=100, 100 lines "x y",
//    IMAGE, ID and SCALE): the reader (read_specimen_file: file, kind, parse, sizes) at
//    300 MB/s or more, "Load" within 0.4 s;
//  - the same 20,000 specimens as a CSV file (a name column, x1 ... y100, as a spreadsheet
//    writes it): "Load" within 0.4 s;
//  - 2,000 TPS files of one specimen of 100 landmarks each, loaded together as one data set:
//    "Load" within 0.5 s.
// The peak memory is the process's (getrusage), so run one benchmark per process
// (--benchmark_filter) to see the peak of that work alone; bench/run does so.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/qivprotosw.h"
#include "core/controls.h"
#include "data/data_actions.h"
#include "data/landmark_file.h"
#include "data/specimen_file.h"
#include "platform/headless_ui.h"
#include "protocol/protocol_actions.h"

namespace {

namespace fs = std::filesystem;

// Specimens of one random base shape with landmark noise, each rotated, scaled and moved:
// begin(i) for specimen i, point(x, y) for each landmark, end(i, size) after the last.
template <typename Begin, typename Point, typename End>
void make_specimens(int specimens, int landmarks, Begin begin, Point point, End end) {
  std::mt19937_64 rng(20240602);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::normal_distribution<double> noise(0.0, 0.05);
  std::uniform_real_distribution<double> angle(0.0, 2.0 * std::numbers::pi);
  std::uniform_real_distribution<double> scale(20.0, 80.0);
  std::uniform_real_distribution<double> shift(-100.0, 100.0);
  std::vector<double> base(2 * static_cast<std::size_t>(landmarks));
  for (double& b : base) b = unit(rng);
  for (int i = 0; i < specimens; ++i) {
    const double a = angle(rng), s = scale(rng), tx = shift(rng), ty = shift(rng);
    begin(i);
    for (int j = 0; j < landmarks; ++j) {
      const double px = base[2 * j] + noise(rng);
      const double py = base[2 * j + 1] + noise(rng);
      point(s * (px * std::cos(a) - py * std::sin(a)) + tx,
            s * (px * std::sin(a) + py * std::cos(a)) + ty);
    }
    end(i, s);
  }
}

// The specimens one a line, with the " %f " format of the program's own writers.
void write_specimens(const fs::path& file, int specimens, int landmarks) {
  std::FILE* f = std::fopen(file.c_str(), "w");
  if (!f) std::abort();
  make_specimens(
      specimens, landmarks, [](int) {},
      [f](double x, double y) { std::fprintf(f, " %f  %f ", x, y); },
      [f](int, double s) { std::fprintf(f, " %f \n", s); });
  std::fclose(f);
}

// The same specimens as a TPS file, in pixels with a SCALE, as digitising programs write it.
void write_tps(const fs::path& file, int specimens, int landmarks) {
  std::FILE* f = std::fopen(file.c_str(), "w");
  if (!f) std::abort();
  make_specimens(
      specimens, landmarks, [f, landmarks](int) { std::fprintf(f, "LM=%d\n", landmarks); },
      [f](double x, double y) { std::fprintf(f, "%f %f\n", x, y); },
      [f](int i, double) {
        std::fprintf(f, "IMAGE=specimen_%05d.jpg\nID=specimen_%05d\nSCALE=0.0125\n", i + 1, i + 1);
      });
  std::fclose(f);
}

// The same specimens as a CSV file with a header and a column of names.
void write_csv(const fs::path& file, int specimens, int landmarks) {
  std::FILE* f = std::fopen(file.c_str(), "w");
  if (!f) std::abort();
  std::fprintf(f, "specimen");
  for (int j = 1; j <= landmarks; ++j) std::fprintf(f, ",x%d,y%d", j, j);
  std::fprintf(f, "\n");
  make_specimens(
      specimens, landmarks, [f](int i) { std::fprintf(f, "\"specimen_%05d\"", i + 1); },
      [f](double x, double y) { std::fprintf(f, ",%f,%f", x, y); },
      [f](int, double) { std::fprintf(f, "\n"); });
  std::fclose(f);
}

// One TPS file per specimen in folder dir, as a digitising session leaves them.
std::vector<std::string> write_tps_files(const fs::path& dir, int specimens, int landmarks) {
  fs::create_directories(dir);
  std::vector<std::string> out;
  std::FILE* f = nullptr;
  make_specimens(
      specimens, landmarks,
      [&](int i) {
        char name[32];
        std::snprintf(name, sizeof name, "specimen_%05d.tps", i + 1);
        out.push_back((dir / name).string());
        f = std::fopen(out.back().c_str(), "w");
        if (!f) std::abort();
        std::fprintf(f, "LM=%d\n", landmarks);
      },
      [&f](double x, double y) { std::fprintf(f, "%f %f\n", x, y); },
      [&f](int i, double) {
        std::fprintf(f, "IMAGE=specimen_%05d.jpg\nID=specimen_%05d\nSCALE=0.0125\n", i + 1, i + 1);
        std::fclose(f);
      });
  return out;
}

// The scratch folder with both files, made on first use and removed at exit.
struct Files {
  fs::path dir;
  fs::path large;
  fs::path small;
  fs::path medium;
  fs::path tps;
  fs::path csv;
  std::vector<std::string> tps_files;
  Files() {
    dir = fs::temp_directory_path() / ("qiv_bench_data_" + std::to_string(getpid()));
    fs::create_directories(dir);
    large = dir / "large.txt";
    small = dir / "small.txt";
    write_specimens(large, 20000, 100);
    write_specimens(small, 200, 30);
    medium = dir / "medium.txt";
    write_specimens(medium, 2000, 50);
    tps = dir / "large.tps";
    write_tps(tps, 20000, 100);
    csv = dir / "large.csv";
    write_csv(csv, 20000, 100);
    tps_files = write_tps_files(dir / "sessions", 2000, 100);
  }
  ~Files() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

const Files& files() {
  static Files f;
  return f;
}

// CPU seconds of this thread: on a machine whose cores are shared, the wall time also holds
// the waiting for a core.
double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double peak_rss_mb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
}

void BM_dload(benchmark::State& state) {
  const fs::path& file = state.range(0) == 20000 ? files().large : files().small;
  const auto bytes = static_cast<std::int64_t>(fs::file_size(file));
  for (auto _ : state) {
    std::optional<qiv::Matrix> m = qiv::dload(file.string());
    benchmark::DoNotOptimize(m->data());
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["MB_per_s"] = benchmark::Counter(static_cast<double>(bytes) / 1e6,
                                                  benchmark::Counter::kIsIterationInvariantRate);
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

// The TPS reader as "Load" runs it: the file read through read_input_file, its kind found,
// the records parsed and each specimen's centroid size computed.
void BM_read_tps(benchmark::State& state) {
  const fs::path& file = files().tps;
  const auto bytes = static_cast<std::int64_t>(fs::file_size(file));
  for (auto _ : state) {
    std::optional<qiv::SpecimenData> d = qiv::read_specimen_file(file.string());
    if (!d || d->table.rows() != 20000) state.SkipWithError("the TPS file did not read");
    benchmark::DoNotOptimize(d->table.data());
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["MB_per_s"] = benchmark::Counter(static_cast<double>(bytes) / 1e6,
                                                  benchmark::Counter::kIsIterationInvariantRate);
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

// "Load" from the open dialog to the widened, numbered axes, in a main window holding the
// FileBox; every iteration replaces what the one before drew, as a second "Load" does.
// Argument: 20000 or 200 specimens of the program's own file, 1 for the TPS file of 20,000.
void BM_load(benchmark::State& state) {
  const fs::path& file = state.range(0) == 20000 ? files().large
                         : state.range(0) == 1   ? files().tps
                                                 : files().small;
  const fs::path cwd = fs::current_path();
  qiv::HeadlessUi ui;
  qiv::Application app(ui);
  qiv::Handle fig = app.gfx.new_figure();
  app.gfx.new_axes(fig);
  qiv::Handle box = app.gfx.new_uicontrol(fig);
  app.gfx.set(box, "Style", qiv::Value("text"));
  app.gfx.set(box, "Tag", qiv::Value("FileBox"));
  for (auto _ : state) {
    ui.answer_path(file.string());
    qiv::load(app.ctx);
  }
  if (!ui.messages().empty() || !app.state.data) state.SkipWithError("Load refused the file");
  state.counters["objects"] = static_cast<double>(app.gfx.line_count(app.gfx.gca()));
  state.counters["peak_MB"] = peak_rss_mb();
  fs::current_path(cwd);
}

// "Load" of several files chosen at once: argument 2000 for the 2,000 single-specimen TPS
// files, 1 for the CSV file of 20,000 specimens.
void BM_load_chosen(benchmark::State& state) {
  const bool many = state.range(0) == 2000;
  const fs::path cwd = fs::current_path();
  qiv::HeadlessUi ui;
  qiv::Application app(ui);
  qiv::Handle fig = app.gfx.new_figure();
  app.gfx.new_axes(fig);
  qiv::Handle box = app.gfx.new_uicontrol(fig);
  app.gfx.set(box, "Style", qiv::Value("text"));
  app.gfx.set(box, "Tag", qiv::Value("FileBox"));
  for (auto _ : state) {
    if (many)
      ui.answer_paths(files().tps_files);
    else
      ui.answer_path(files().csv.string());
    qiv::load(app.ctx);
  }
  if (!ui.messages().empty() || !app.state.data || app.state.data->rows() != (many ? 2000 : 20000))
    state.SkipWithError("Load refused the files");
  state.counters["peak_MB"] = peak_rss_mb();
  fs::current_path(cwd);
}

// "Replot" again and again after one "Load", as a long session redraws: the time of the first
// and of the last Replot and their mean, and the peak memory after "Load", after the first
// Replot and after the last. A redraw must cost the same in the 60th as in the 1st.
// Arguments: specimens (20,000 x 100 or 2,000 x 50), number of Replots.
void BM_replot(benchmark::State& state) {
  const bool large = state.range(0) == 20000;
  const fs::path& file = large ? files().large : files().medium;
  const auto redraws = static_cast<int>(state.range(1));
  const fs::path cwd = fs::current_path();
  qiv::HeadlessUi ui;
  qiv::Application app(ui);
  qiv::Handle fig = app.gfx.new_figure();
  app.gfx.new_axes(fig);
  qiv::Handle box = app.gfx.new_uicontrol(fig);
  app.gfx.set(box, "Style", qiv::Value("text"));
  app.gfx.set(box, "Tag", qiv::Value("FileBox"));
  ui.answer_path(file.string());
  qiv::load(app.ctx);
  if (!ui.messages().empty() || !app.state.data) state.SkipWithError("Load refused the file");
  const double peak_load = peak_rss_mb();
  double first = 0, last = 0, total = 0, peak_first = 0;
  double first_cpu = 0, last_cpu = 0, total_cpu = 0;
  for (auto _ : state) {
    for (int i = 0; i < redraws; ++i) {
      const auto t0 = std::chrono::steady_clock::now();
      const double c0 = cpu_seconds();
      qiv::replot(app.ctx);
      const double c = cpu_seconds() - c0;
      const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
      if (i == 0) {
        first = s;
        first_cpu = c;
        peak_first = peak_rss_mb();
      }
      last = s;
      last_cpu = c;
      total += s;
      total_cpu += c;
    }
    state.SetIterationTime(total);
  }
  state.counters["first_s"] = first;
  state.counters["last_s"] = last;
  state.counters["mean_s"] = total / redraws;
  state.counters["first_cpu_s"] = first_cpu;
  state.counters["last_cpu_s"] = last_cpu;
  state.counters["mean_cpu_s"] = total_cpu / redraws;
  state.counters["peak_load_MB"] = peak_load;
  state.counters["peak_first_MB"] = peak_first;
  state.counters["peak_MB"] = peak_rss_mb();
  fs::current_path(cwd);
}

// 200 protocol edits after loading 20,000 x 100 landmarks, through the dispatcher (each edit a
// step of the undo history) or straight to the actions (no history): the history must share
// the data, not copy it. Argument: 1 with the history, 0 without.
void BM_history(benchmark::State& state) {
  const bool history = state.range(0) == 1;
  const fs::path cwd = fs::current_path();
  qiv::HeadlessUi ui;
  qiv::Application app(ui);
  const qiv::Handle fig = app.gfx.new_figure();
  app.gfx.new_axes(fig);
  for (const char* tag : {"FileBox", "ProtoPointBox", "EndBox1", "EndBox2", "ActivePointBox"}) {
    const qiv::Handle box = app.gfx.new_uicontrol(fig);
    app.gfx.set(box, "Style", qiv::Value("edit"));
    app.gfx.set(box, "Tag", qiv::Value(tag));
  }
  ui.answer_path(files().large.string());
  qiv::load(app.ctx);
  if (!ui.messages().empty() || !app.state.data) state.SkipWithError("Load refused the file");
  const auto act = [&](const char* name, void (*run)(qiv::Context&)) {
    if (history)
      qiv::qivprotosw(app.ctx, name);
    else
      run(app.ctx);
  };
  for (auto _ : state) {
    act("NewProto", qiv::new_proto);
    for (int i = 0; i < 200; ++i) {
      if (i % 50 == 49) {  // now and then a line goes
        qiv::set_control_text(app.ctx, "ActivePointBox", "1");
        act("DeleteLine", qiv::delete_line);
        continue;
      }
      const int a = 1 + i % 90, b = a + 1 + i / 90;
      qiv::set_control_text(app.ctx, "EndBox1", std::to_string(a));
      qiv::set_control_text(app.ctx, "EndBox2", std::to_string(b));
      act("AddLine", qiv::add_line);
    }
  }
  if (!ui.messages().empty()) state.SkipWithError(ui.messages().front().c_str());
  state.counters["steps"] = static_cast<double>(app.history.size());
  state.counters["peak_MB"] = peak_rss_mb();
  fs::current_path(cwd);
}
BENCHMARK(BM_history)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_replot)
    ->Args({2000, 10})
    ->Args({2000, 60})
    ->Args({2000, 100})
    ->Args({20000, 20})
    ->Args({20000, 60})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_dload)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_load)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();
// One Load in a process of its own: the peak memory of opening the file in a fresh session.
BENCHMARK(BM_load)->Arg(20000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_load)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_load)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_read_tps)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_load_chosen)->Arg(2000)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
