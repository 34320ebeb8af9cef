#include "subset/subset_actions.h"

#include <algorithm>
#include <cmath>

#include "core/confirm.h"
#include "core/controls.h"
#include "core/guards.h"
#include "core/landmark_set.h"
#include "core/suggested_name.h"
#include "core/tags.h"
#include "data/landmark_table_file.h"
#include "data/showshape.h"
#include "guikit/axes_helpers.h"
#include "platform/text.h"
#include "subset/landmark_marker.h"
#include "subset/secondary_window.h"
#include "subset/subset_export.h"

namespace qiv {
namespace {

// The membership flags of the subset text.
std::vector<bool> subset_flags(const Context& ctx) {
  return LandmarkSet(control_text(ctx, tags::kSubsetBox)).flags(common_landmark_count(ctx));
}

// The typed numbers that named no landmark, for the status bar (empty when none).
std::string subset_left_out(const Context& ctx) {
  return LandmarkSet(control_text(ctx, tags::kSubsetBox)).left_out(common_landmark_count(ctx));
}

// Says in the status bar what the subset left out; the results stay as they are.
void note_left_out(Context& ctx, const std::string& left_out) {
  if (!left_out.empty()) confirm(ctx, left_out);
}

std::string unscalable_message(const Context& ctx, const Matrix& exported, Eigen::Index row) {
  const double csi = exported(row, exported.cols() - 1);
  const std::string specimen = "specimen " + specimen_name(ctx.state, row);
  if (csi == 0) {
    return "The subset landmarks of " + specimen +
           " all lie at one point, so it cannot be scaled to unit centroid size. Nothing was "
           "written.";
  }
  return "The subset of " + specimen +
         " has coordinates or a size that are not numbers. Nothing was written.";
}

}  // namespace

void make_subset(Context& ctx) { open_secondary_window(ctx, "qiv_subset"); }

void show_this_landmark(Context& ctx) { mark_landmark_from_box(ctx, tags::kPointBox); }

void invert_subset(Context& ctx) {
  if (!require_loaded(ctx)) return;
  const std::string left_out = subset_left_out(ctx);
  set_control_text(ctx, tags::kSubsetBox, inverted_subset_text(subset_flags(ctx)));
  note_left_out(ctx, left_out);
}

void show_subset(Context& ctx) {
  if (!require_loaded(ctx)) return;
  const std::vector<long> members = flagged_landmarks(subset_flags(ctx));
  const Matrix& ref = *ctx.state.reference;
  ctx.gfx.figure(*ctx.state.figh);
  cla(ctx.gfx);
  long count = 0;
  for (long i : members) {
    ++count;
    const double x = ref.data()[2 * i - 2];
    const double y = ref.data()[2 * i - 1];
    ctx.gfx.plot({x}, {y}, "m*");
    // The offset is in data units, not a share of the axes.
    ctx.gfx.text(x + 0.01, y + 0.01, num2str(static_cast<double>(count)));
  }
  widen_axes(ctx.gfx);
  note_left_out(ctx, subset_left_out(ctx));
}

void add_lm_to_subset(Context& ctx) {
  const std::string point = control_text(ctx, tags::kPointBox);
  const std::string subset = control_text(ctx, tags::kSubsetBox);
  set_control_text(ctx, tags::kSubsetBox, subset + " " + point);
}

void show_all(Context& ctx) {
  if (!require_loaded(ctx)) return;
  const Handle before = ctx.gfx.current_figure();
  ctx.gfx.figure(*ctx.state.figh);
  const std::vector<bool> flags = subset_flags(ctx);
  cla(ctx.gfx);
  const Limits a = ctx.gfx.axis();  // of the emptied axes: they set the label offsets
  const double ox = (a[1] - a[0]) / 100;
  const double oy = (a[3] - a[2]) / 100;
  const Matrix& ref = *ctx.state.reference;
  showshape(ctx.gfx, ref, "r+");
  const long kr = static_cast<long>((ref.size() - 1) / 2);
  for (long i = 1; i <= kr; ++i) {
    const double x = ref.data()[2 * i - 2];
    const double y = ref.data()[2 * i - 1];
    ctx.gfx.text(x + ox, y + oy, num2str(static_cast<double>(i)));
    if (i <= static_cast<long>(flags.size()) && flags[static_cast<std::size_t>(i - 1)])
      draw_filled_circle(ctx.gfx, ref, i);
  }
  widen_axes(ctx.gfx);
  if (before != kNoHandle && ctx.gfx.ishandle(before)) ctx.gfx.figure(before);
  note_left_out(ctx, subset_left_out(ctx));
}

void save_subset(Context& ctx) {
  if (!require_loaded(ctx)) return;
  const std::vector<long> members = flagged_landmarks(subset_flags(ctx));
  if (members.size() < 2) {
    ctx.ui.msgbox("A subset needs at least two landmarks. Nothing was written.");
    return;
  }
  const Matrix newset = subset_export(*ctx.state.data, members);
  const Eigen::Index bad = first_unscalable_row(newset);
  if (bad >= 0) {
    ctx.ui.msgbox(unscalable_message(ctx, newset, bad));
    return;
  }
  const auto saved = save_landmark_table(ctx, newset, specimen_names(ctx.state, newset.rows()),
                                         "Please Enter Filename for Subset of Data",
                                         suggested_name(ctx.state, "subset", ".tps"));
  const std::string left_out = subset_left_out(ctx);
  if (saved)
    confirm(ctx, "Saved " + *saved + ": " + counted(newset.rows(), "specimen", "specimens") + ", " +
                     counted(static_cast<long long>(members.size()), "landmark", "landmarks") +
                     (left_out.empty() ? "" : ". " + left_out));
}

}  // namespace qiv
