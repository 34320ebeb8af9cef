#include "reflect/reflect_actions.h"

#include <algorithm>
#include <cmath>

#include "core/confirm.h"
#include "core/controls.h"
#include "core/guards.h"
#include "core/landmark_set.h"
#include "core/suggested_name.h"
#include "core/tags.h"
#include "data/landmark_file.h"
#include "data/landmark_table_file.h"
#include "data/showshape.h"
#include "geometry/consensus.h"
#include "guikit/axes_helpers.h"
#include "platform/text.h"
#include "reflect/back_reflection.h"
#include "subset/landmark_marker.h"
#include "subset/secondary_window.h"

namespace qiv {
namespace {

// The midline list as landmark numbers, or nothing after a message box naming the first
// entry that is not a whole number from 1 to k.
std::optional<std::vector<long>> checked_midline(Context& ctx, const std::vector<double>& list,
                                                 long k) {
  std::vector<long> out;
  for (double v : list) {
    if (!is_landmark_number(v, k)) {
      ctx.ui.msgbox("Midline landmark " + num2str(v) +
                    " is not a landmark number: use whole numbers from 1 to " + std::to_string(k) +
                    ".");
      return std::nullopt;
    }
    out.push_back(static_cast<long>(v));
  }
  return out;
}

// The midline list that "Reflect" uses: the first two entries fix the baseline and must be
// landmark numbers; a later whole number above k marks nothing and is dropped, so the list
// reflects exactly as the list without it. Any other entry that is not a landmark number (0, a
// negative number, a fraction) stops the reflection with the message of checked_midline.
std::optional<std::vector<long>> reflection_midline(Context& ctx, const std::vector<double>& list,
                                                    long k) {
  std::vector<double> kept;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const double v = list[i];
    const bool marks_nothing =
        i >= 2 && std::isfinite(v) && v > static_cast<double>(k) && v == std::floor(v);
    if (!marks_nothing) kept.push_back(v);
  }
  return checked_midline(ctx, kept, k);
}

}  // namespace

void do_back_reflect(Context& ctx) { open_secondary_window(ctx, "qiv_back"); }

void add_midline(Context& ctx) {
  const std::string active = control_text(ctx, tags::kActiveLMBox);
  const std::string list = control_text(ctx, tags::kMidBox);
  set_control_text(ctx, tags::kMidBox, list + " " + active + " ");
}

void show_midline(Context& ctx) { mark_landmark_from_box(ctx, tags::kActiveLMBox); }

void show_all_midline(Context& ctx) {
  if (!require_loaded(ctx)) return;
  const auto midpts = checked_midline(ctx, LandmarkSet(control_text(ctx, tags::kMidBox)).entries(),
                                      common_landmark_count(ctx));
  if (!midpts) return;
  ctx.gfx.figure(*ctx.state.figh);
  for (long p : *midpts) draw_filled_circle(ctx.gfx, *ctx.state.reference, p);
  make_menu_window_current(ctx);
}

void midline_reflect(Context& ctx) {
  const LandmarkSet midline(control_text(ctx, tags::kMidBox));
  const std::vector<double>& list = midline.entries();
  if (list.size() < 2) {
    ctx.ui.msgbox("There must be at least two midline points to backreflect");
    return;
  }
  if (!require_loaded(ctx)) return;
  const Matrix& data = *ctx.state.data;
  const auto midpts = reflection_midline(ctx, list, static_cast<long>(landmark_count(data)));
  if (!midpts) return;
  const long b1 = (*midpts)[0];
  const long b2 = (*midpts)[1];
  if (b1 == b2) {
    ctx.ui.msgbox("The first two midline landmarks are both landmark " + std::to_string(b1) +
                  ": the midline needs two different landmarks.");
    return;
  }
  const Eigen::Index row = first_coincident_row(data, b1, b2);
  if (row >= 0) {
    ctx.ui.msgbox("Midline landmarks " + std::to_string(b1) + " and " + std::to_string(b2) +
                  " lie at the same point in specimen " + specimen_name(ctx.state, row) +
                  ": they cannot define the midline.");
    return;
  }

  // Reflected a share of the specimens at a time, then fitted: a Cancel comes before the
  // state or a window changed.
  const auto progress = ctx.ui.start_progress("Reflecting the data", ctx.gfx.callback_figure());
  constexpr Eigen::Index kRowsPerStep = 2048;
  Matrix reflected;
  for (Eigen::Index r0 = 0; r0 < data.rows(); r0 += kRowsPerStep) {
    advance_or_cancel(*progress, 0.5 * static_cast<double>(r0) / static_cast<double>(data.rows()));
    const Eigen::Index n = std::min(kRowsPerStep, data.rows() - r0);
    Matrix part = back_reflect(data.middleRows(r0, n), *midpts);
    if (r0 == 0) reflected.resize(data.rows(), part.cols());
    reflected.middleRows(r0, n) = part;
  }
  advance_or_cancel(*progress, 0.5);
  Consensus fit = getconsensus(reflected);
  advance_or_cancel(*progress, 0.9);
  DataSetsKept previous(ctx.state, DataSetsKept::Which::kReflected);
  ctx.state.rdata = std::move(fit.xpt);
  const Matrix& rdata = *ctx.state.rdata;
  const Matrix& rreference = fit.y;

  ctx.gfx.figure(*ctx.state.figh);
  cla(ctx.gfx);
  showshape(ctx.gfx, rdata, "g*");
  const Limits a = ctx.gfx.axis();  // after the specimens, before the consensus
  showshape(ctx.gfx, rreference, "r+");
  number_landmarks(ctx.gfx, rreference, a);
  widen_axes(ctx.gfx);
  make_menu_window_current(ctx);
  previous.done();
  // Whole numbers above k after the baseline were dropped: say so, without a message box.
  const std::string left_out = midline.left_out(static_cast<long>(landmark_count(data)));
  if (!left_out.empty()) confirm(ctx, left_out);
}

void save_reflected(Context& ctx) {
  if (!ctx.state.rdata) {
    if (!ctx.state.data) {
      ctx.ui.msgbox("Load a landmark data file first.");
    } else {
      ctx.ui.msgbox(
          "Reflect the data across the midline first: there is no back-reflected data "
          "set to save.");
    }
    return;
  }
  const Matrix& rdata = *ctx.state.rdata;
  const auto saved = save_landmark_table(ctx, rdata, specimen_names(ctx.state, rdata.rows()),
                                         "Please Enter Filename for Backreflected Data",
                                         suggested_name(ctx.state, "reflected", ".tps"));
  if (saved)
    confirm(ctx, "Saved " + *saved + ": " + counted(rdata.rows(), "specimen", "specimens"));
}

}  // namespace qiv
