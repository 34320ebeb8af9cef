#include "analysis/analysis_actions.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "analysis/line_lengths.h"
#include "core/confirm.h"
#include "core/guards.h"
#include "core/suggested_name.h"
#include "data/landmark_file.h"
#include "platform/file_io.h"
#include "protocol/protocol_model.h"

namespace qiv {

void save_lengths(Context& ctx) {
  if (!require_loaded(ctx) || !require_protocol(ctx)) return;
  const Matrix& data = *ctx.state.data;
  const Protocol& proto = *ctx.state.proto;
  if (proto.empty()) {
    ctx.ui.msgbox("The protocol has no lines: add lines before saving their lengths.");
    return;
  }
  const long long k = landmark_count(data);
  if (auto bad = find_line_outside_data(proto, k)) {
    ctx.ui.msgbox(line_outside_data_message(*bad, k));
    return;
  }
  const FileChoice choice = ctx.ui.put_file("*.csv", "Enter Name for Line Lengths File",
                                            suggested_name(ctx.state, "lengths", ".csv"));
  if (choice.cancelled) return;
  // The specimens' names from their file (TPS ID, NTS labels), or their numbers.
  const std::vector<std::string> names = specimen_names(ctx.state, data.rows());
  // The text a share of the specimens at a time, so that a Cancel comes before anything
  // changed, the current folder included.
  const auto progress = ctx.ui.start_progress("Saving line lengths", ctx.gfx.callback_figure());
  constexpr Eigen::Index kRowsPerStep = 2048;
  std::string text;
  for (Eigen::Index r0 = 0; r0 == 0 || r0 < data.rows(); r0 += kRowsPerStep) {
    advance_or_cancel(*progress, static_cast<double>(r0) / static_cast<double>(data.rows()));
    const Eigen::Index n = std::min(kRowsPerStep, data.rows() - r0);
    const std::vector<std::string> part(names.begin() + r0, names.begin() + r0 + n);
    const std::string csv = lengths_csv(proto, line_lengths(data.middleRows(r0, n), proto), &part);
    text += r0 == 0 ? csv : csv.substr(csv.find('\n') + 1);  // the header once
  }
  advance_or_cancel(*progress, 1.0);
  std::error_code ignored;  // a folder that cannot be entered makes the write fail too
  std::filesystem::current_path(choice.dir, ignored);
  std::string why;
  if (!write_file_atomically(choice.dir + choice.name, text, &why)) {
    ctx.ui.msgbox("Cannot write " + choice.name + ": " + why + ".");
    return;
  }
  confirm(ctx,
          "Saved lengths to " + choice.name + ": " + counted(data.rows(), "specimen", "specimens"));
}

}  // namespace qiv
