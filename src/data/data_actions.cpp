#include "data/data_actions.h"

#include <cmath>
#include <optional>
#include <string>

#include "base/failure.h"
#include "core/confirm.h"
#include "core/controls.h"
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

// What the fit needs beyond the reader's own checks. Every failure names the specimen: for the
// program's own files by its line (rows are the file's lines one for one, as dload stops at
// the first line it does not keep), for TPS and NTS files by its name.
void check_landmark_data(const SpecimenData& file, const std::string& name) {
  const Matrix& x = file.table;
  const std::string head = "Cannot load " + name + ": ";
  if (x.rows() == 0) throw Failure(head + "the file holds no data.");
  const Eigen::Index n = x.cols();
  if (n % 2 == 0 || n < 3) {
    throw Failure(head + "line 1 has " + std::to_string(n) + (n == 1 ? " number" : " numbers") +
                  "; a landmark file has x and y of each landmark, then the centroid size, "
                  "an odd count of at least 3.");
  }
  const bool own = file.format == SpecimenFormat::kOwn;
  auto specimen = [&](Eigen::Index i) {
    return own ? "line " + std::to_string(i + 1)
               : "specimen " + file.names[static_cast<std::size_t>(i)];
  };
  const Eigen::Index k = n / 2;
  for (Eigen::Index i = 0; i < x.rows(); ++i) {
    const double* r = x.data() + i * n;
    // The trailing value of a TPS or NTS specimen is computed, not read: when it is not
    // finite, the coordinates are too large, which the size check below says.
    for (Eigen::Index j = 0; j < (own ? n : n - 1); ++j) {
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

}  // namespace

void load(Context& ctx) {
  // Everything that can fail runs before the first change, so that a refused file leaves the
  // "FileBox", the axes, the current directory and the shared state as they were.
  FileChoice choice = choose_specimen_file(ctx);
  if (choice.cancelled) return;
  std::optional<SpecimenData> x;
  std::optional<Consensus> fit;
  try {
    x = read_specimen_file(choice.dir + choice.name);
    if (!x) throw Failure("Cannot open " + choice.name + ".");
    check_landmark_data(*x, choice.name);
    fit = getconsensus(x->table);
    if (!fit->y.allFinite())
      throw Failure("Cannot load " + choice.name + ": the fit gives no finite mean shape.");
    change_directory(choice.dir);
  } catch (const Failure& f) {
    ctx.ui.msgbox(f.what());
    return;
  }
  const Eigen::Index m = x->table.rows();
  const Eigen::Index n = x->table.cols();
  x->table = Matrix();  // the raw matrix is no longer needed: keep the peak memory down
  for (const std::string& note : x->notes) ctx.ui.console(note);

  set_control_text(
      ctx, "FileBox",
      sprintf_str("File: %s \n %3.0f Specimens \n %3.0f Landmarks", choice.name.c_str(),
                  static_cast<double>(m), static_cast<double>(n - 1) / 2));
  const Handle ax = cla(ctx.gfx);
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
  ctx.state.datafile = choice.name;
  confirm(ctx, "Loaded " + choice.name + ": " + counted(m, "specimen", "specimens") + ", " +
                   counted((n - 1) / 2, "landmark", "landmarks"));
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
  ctx.state.data.reset();
  ctx.state.reference.reset();
  ctx.state.proto.reset();
  ctx.state.menufigh.reset();
  ctx.state.protoname.reset();
  set_control_text(ctx, "FileBox", "    ");
  set_control_text(ctx, "ProtoPointBox", "    ");
  ylabel(ctx.gfx, "No Protocol Available");
  ctx.state.block.reset();
  ctx.state.names.reset();
  ctx.state.datafile.reset();
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
