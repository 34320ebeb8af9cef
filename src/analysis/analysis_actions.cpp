#include "analysis/analysis_actions.h"

#include <filesystem>
#include <system_error>

#include "analysis/line_lengths.h"
#include "core/confirm.h"
#include "core/guards.h"
#include "data/landmark_file.h"
#include "platform/file_io.h"
#include "protocol/protocol_model.h"

namespace qiv {

void save_lengths(Context& ctx) {
  if (!require_loaded(ctx) || !require_protocol(ctx)) return;
  const Matrix& data = *ctx.state.data;
  const Matrix& proto = *ctx.state.proto;
  if (protocol_lines(proto) == 0) {
    ctx.ui.msgbox("The protocol has no lines: add lines before saving their lengths.");
    return;
  }
  const long long k = landmark_count(data);
  if (auto bad = find_line_outside_data(proto, k)) {
    ctx.ui.msgbox(line_outside_data_message(*bad, k));
    return;
  }
  const FileChoice choice = ctx.ui.put_file("*.csv", "Enter Name for Line Lengths File");
  if (choice.cancelled) return;
  std::error_code ignored;  // a folder that cannot be entered makes the write fail too
  std::filesystem::current_path(choice.dir, ignored);
  // The specimens' names from their file (TPS ID, NTS labels), or their numbers.
  const std::vector<std::string> names = specimen_names(ctx.state, data.rows());
  std::string why;
  if (!write_file_atomically(choice.dir + choice.name,
                             lengths_csv(proto, line_lengths(data, proto), &names), &why)) {
    ctx.ui.msgbox("Cannot write " + choice.name + ": " + why + ".");
    return;
  }
  confirm(ctx,
          "Saved lengths to " + choice.name + ": " + counted(data.rows(), "specimen", "specimens"));
}

}  // namespace qiv
