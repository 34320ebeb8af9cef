#include "data/data_actions.h"

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "core/confirm.h"
#include "core/controls.h"
#include "core/tags.h"
#include "data/landmark_file.h"
#include "data/showshape.h"
#include "data/specimen_file.h"
#include "geometry/consensus.h"
#include "geometry/landmark_row.h"
#include "guikit/axes_helpers.h"
#include "platform/text.h"

namespace qiv {
namespace {

std::string not_finite_text(double v) {
  if (std::isnan(v)) return "NaN";
  return v > 0 ? "Inf" : "-Inf";
}

// What every file must be before files are joined: specimens, and x and y of each landmark
// then one trailing value.
void check_shape(const SpecimenData& file) {
  const Matrix& x = file.table;
  const std::string head = "Cannot load " + file.sources.front().file + ": ";
  if (x.rows() == 0) throw Failure(head + "the file holds no data.");
  const Eigen::Index n = x.cols();
  if (n % 2 == 0 || n < 3) {
    throw Failure(head + "line 1 has " + std::to_string(n) + (n == 1 ? " number" : " numbers") +
                  "; a landmark file has x and y of each landmark, then the centroid size, "
                  "an odd count of at least 3.");
  }
}

// What the fit needs beyond the readers' own checks, once the files are joined and their
// units settled. Every failure names the file and the specimen: for the program's own files
// by its line (rows are the file's lines one for one, as dload stops at the first line it
// does not keep), for the others by its name.
void check_landmark_data(const SpecimenData& x) {
  const Matrix& t = x.table;
  const Eigen::Index n = t.cols();
  const Eigen::Index k = n / 2;
  for (std::size_t s = 0; s < x.sources.size(); ++s) {
    const SpecimenSource& src = x.sources[s];
    const Eigen::Index end = s + 1 < x.sources.size() ? x.sources[s + 1].first_row : t.rows();
    const std::string head = "Cannot load " + src.file + ": ";
    auto specimen = [&](Eigen::Index i) {
      return src.rows_are_lines ? "line " + std::to_string(i - src.first_row + 1)
                                : "specimen " + x.names[static_cast<std::size_t>(i)];
    };
    for (Eigen::Index i = src.first_row; i < end; ++i) {
      const double* r = t.data() + i * n;
      // A computed trailing value is not finite only when the coordinates are too large,
      // which the size check below says.
      for (Eigen::Index j = 0; j < (src.trailing_read ? n : n - 1); ++j) {
        if (!std::isfinite(r[j])) {
          throw Failure(head + specimen(i) + " holds " + not_finite_text(r[j]) + " as number " +
                        std::to_string(j + 1) + ", which is not a finite number.");
        }
      }
      const double size = landmark_row::centroid_size(r, k);
      if (!(size > 0)) {
        throw Failure(head + "the landmarks of " + specimen(i) +
                      " all coincide, so the specimen cannot be fitted.");
      }
      if (!std::isfinite(size)) {
        throw Failure(head + "the coordinates of " + specimen(i) + " are too large to be fitted.");
      }
    }
  }
}

// The chosen files read, checked and joined, units settled. Reading takes the first half of
// the progress; throws Cancelled when the user stops it.
SpecimenData read_chosen(const std::vector<FileChoice>& files, Progress& progress) {
  std::vector<SpecimenData> read;
  read.reserve(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    advance_or_cancel(progress, 0.5 * static_cast<double>(i) / static_cast<double>(files.size()));
    std::optional<SpecimenData> x = read_specimen_file(files[i].dir + files[i].name, true);
    if (!x) throw Failure("Cannot open " + files[i].name + ".");
    check_shape(*x);
    // A file unlike the first is refused before the files after it are read.
    if (!read.empty() && x->table.cols() != read.front().table.cols()) {
      std::vector<SpecimenData> pair;
      pair.push_back(std::move(read.front()));
      pair.push_back(std::move(*x));
      join_specimens(std::move(pair));  // throws, naming both counts
    }
    read.push_back(std::move(*x));
  }
  SpecimenData joined = join_specimens(std::move(read));
  settle_units(joined);
  check_landmark_data(joined);
  return joined;
}

// Room for the points of every specimen, of the mean shape and for its labels at once:
// reserved one drawing at a time, the mean shape's few objects would move all of the
// specimens' millions to a larger block.
void reserve_for_specimens(Graphics& gfx, Handle ax, const Matrix& data) {
  const Eigen::Index k = landmark_count(data);
  gfx.reserve_lines(ax, static_cast<std::size_t>((data.rows() + 2) * k));
}

void require_member(bool present) {
  if (!present) throw Failure("Load a landmark data file first.");
}

// The first protocol line joining a landmark beyond the k just loaded, as the end of Load's
// confirmation; empty when the protocol fits. The protocol stays: the user sees at once why a
// later drawing or test of it will refuse.
std::string protocol_beyond(const SharedState& s, long long k) {
  if (!s.proto) return "";
  for (Eigen::Index l = 0; l < s.proto->count(); ++l)
    for (double v : {s.proto->line(l).first, s.proto->line(l).second})
      if (v > static_cast<double>(k))
        return "; protocol line " + std::to_string(l + 1) + " joins landmark " + num2str(v) +
               ", beyond the " + counted(k, "landmark", "landmarks") + " loaded";
  return "";
}

}  // namespace

void load(Context& ctx) {
  // Everything that can fail, or be cancelled, runs before the first change, so that a
  // refused file leaves the "FileBox", the axes, the current directory and the shared state
  // as they were.
  const std::vector<FileChoice> chosen = choose_specimen_files(ctx);
  if (chosen.empty()) return;
  const std::string shown = chosen.size() == 1 ? chosen.front().name
                                               : chosen.front().name + " (+" +
                                                     std::to_string(chosen.size() - 1) + " more)";
  std::optional<SpecimenData> x;
  std::optional<Consensus> fit;
  try {
    Handle fig = ctx.gfx.callback_figure();
    if (fig == kNoHandle || !ctx.gfx.ishandle(fig)) fig = ctx.gfx.current_figure();
    const std::unique_ptr<Progress> progress = ctx.ui.start_progress("Loading landmark data", fig);
    x = read_chosen(chosen, *progress);
    // The fit takes the second half; it converges in a few passes.
    fit = fit_consensus(x->table, kMaxConsensusPasses, [&progress](int passes) {
      advance_or_cancel(*progress, 1.0 - 0.5 / (1.0 + passes));
    });
    if (!fit->y.allFinite())
      throw Failure("Cannot load " + shown + ": the fit gives no finite mean shape.");
    change_directory(chosen.front().dir);
  } catch (const Cancelled&) {
    confirm(ctx, "Load cancelled; nothing changed");
    return;
  } catch (const Failure& f) {
    ctx.ui.msgbox(f.what());
    return;
  }
  const Eigen::Index m = x->table.rows();
  const Eigen::Index n = x->table.cols();
  x->table = Matrix();  // the raw matrix is no longer needed: keep the peak memory down
  for (const std::string& note : x->notes) ctx.ui.console(note);

  set_control_text(ctx, tags::kFileBox,
                   sprintf_str("File: %s \n %3.0f Specimens \n %3.0f Landmarks", shown.c_str(),
                               static_cast<double>(m), static_cast<double>(n - 1) / 2));
  const Handle ax = cla(ctx.gfx);
  DataSetsKept previous(ctx.state, DataSetsKept::Which::kLoaded);
  ctx.state.reference = std::move(fit->y);
  ctx.state.data = std::move(fit->xpt);
  ctx.state.names = std::move(x->names);
  reserve_for_specimens(ctx.gfx, ax, *ctx.state.data);
  showshape(ctx.gfx, *ctx.state.data, "g*");
  showshape(ctx.gfx, *ctx.state.reference, "r+");
  number_landmarks(ctx.gfx, *ctx.state.reference, ctx.gfx.axis());
  widen_axes(ctx.gfx);
  ctx.state.figh = ctx.gfx.gcf();
  ctx.state.lineh = kNoHandle;
  ctx.state.datafile = shown;
  previous.done();
  std::string loaded = "Loaded " + shown + ": " + counted(m, "specimen", "specimens") + ", " +
                       counted((n - 1) / 2, "landmark", "landmarks");
  if (x->curve_points > 0)
    loaded += "; " +
              counted(static_cast<long long>(x->curve_points), "curve point", "curve points") +
              " left out";
  loaded += protocol_beyond(ctx.state, (n - 1) / 2);
  confirm(ctx, loaded);
  if (!x->units_note.empty()) ctx.ui.msgbox(x->units_note);
}

void replot(Context& ctx) {
  const Handle ax = cla(ctx.gfx);
  require_member(ctx.state.data.has_value());
  reserve_for_specimens(ctx.gfx, ax, *ctx.state.data);
  showshape(ctx.gfx, *ctx.state.data, "g*");
  require_member(ctx.state.reference.has_value());
  showshape(ctx.gfx, *ctx.state.reference, "r+");
}

void clear(Context& ctx) {
  cla(ctx.gfx);
  DataSetsKept previous(ctx.state, DataSetsKept::Which::kLoaded);
  ctx.state.proto.reset();
  ctx.state.menufigh.reset();
  ctx.state.protoname.reset();
  set_control_text(ctx, tags::kFileBox, "    ");
  set_control_text(ctx, tags::kProtoPointBox, "    ");
  ylabel(ctx.gfx, "No Protocol Available");
  ctx.state.blocks.forget_lists();
  ctx.state.blockfile.reset();
  ctx.state.datafile.reset();
  previous.done();
  confirm(ctx, "Cleared the data and the protocol");
}

void plot_mean(Context& ctx) {
  const Handle previous = ctx.gfx.current_figure();
  require_member(ctx.state.figh && ctx.gfx.ishandle(*ctx.state.figh) &&
                 ctx.gfx.type(*ctx.state.figh) == ObjType::kFigure);
  ctx.gfx.figure(*ctx.state.figh);
  const Limits before = ctx.gfx.axis();
  require_member(ctx.state.reference.has_value());
  showshape(ctx.gfx, *ctx.state.reference, "r+");
  number_landmarks(ctx.gfx, *ctx.state.reference, before);
  widen_axes(ctx.gfx);
  if (previous != kNoHandle && ctx.gfx.ishandle(previous)) ctx.gfx.figure(previous);
}

}  // namespace qiv
