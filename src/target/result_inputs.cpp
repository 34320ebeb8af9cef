#include "target/result_inputs.h"

#include <array>
#include <vector>

#include "analysis/line_lengths.h"
#include "core/controls.h"
#include "core/shared_state.h"
#include "core/tags.h"
#include "platform/text.h"
#include "target/block_text.h"
#include "target/target_actions.h"

namespace qiv {
namespace {

// Application data of the "ModularityText" control: the line as computed, and one key per
// input. Equal keys mean equal inputs: the data by their file name, size and sum (enough to see
// another file loaded), the protocol and the blocks in full.
constexpr const char* kShownLine = "qiv_modularity_line";

struct Input {
  const char* appdata;
  const char* words;  // in "out of date: ... changed"
  std::string (*key)(const SharedState&);
};

std::string data_key(const SharedState& s) {
  if (!s.data) return "";
  return s.datafile.value_or("") +
         sprintf_str("\n%lldx%lld %.17g", static_cast<long long>(s.data->rows()),
                     static_cast<long long>(s.data->cols()), s.data->sum());
}

std::string protocol_key(const SharedState& s) {
  return s.proto ? describe_member(s, "proto") : "";
}

std::string blocks_key(const SharedState& s) {
  if (!s.blocks.in_use()) return "";
  std::string key = std::to_string(s.blocks.count()) + ":";
  for (long long k = 1; k <= s.blocks.count(); ++k) key += block_list_to_text(s.blocks.at(k)) + ";";
  return key;
}

const std::array<Input, 3>& inputs() {
  static const std::array<Input, 3> all{{
      {"qiv_modularity_data", "the data", data_key},
      {"qiv_modularity_protocol", "the protocol", protocol_key},
      {"qiv_modularity_blocks", "the blocks", blocks_key},
  }};
  return all;
}

// "a", "a and b", "a, b and c".
std::string joined(const std::vector<std::string>& words) {
  std::string out;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) out += i + 1 == words.size() ? " and " : ", ";
    out += words[i];
  }
  return out;
}

}  // namespace

std::string result_line(const SharedState& s, const std::string& summary) {
  return s.datafile ? *s.datafile + ": " + summary : summary;
}

std::string result_inputs_report(const SharedState& s) {
  return "data," + csv_field(s.datafile.value_or("none")) + "\nprotocol," +
         csv_field(s.protoname.value_or("unsaved")) + "\nblocks," +
         csv_field(s.blockfile.value_or("unsaved")) + "\n";
}

void remember_result_inputs(Context& ctx, const std::string& shown) {
  const Handle box = find_control(ctx, tags::kModularityText);
  if (box == kNoHandle) return;
  ctx.gfx.setappdata(box, kShownLine, Value(shown));
  for (const Input& in : inputs()) ctx.gfx.setappdata(box, in.appdata, Value(in.key(ctx.state)));
}

void mark_result_out_of_date(Context& ctx) {
  const Handle box = find_control(ctx, tags::kModularityText);
  if (box == kNoHandle) return;
  const Value line = ctx.gfx.getappdata(box, kShownLine);
  if (!line.is_string()) return;
  const std::string text = control_text(ctx, tags::kModularityText);
  // A later run cleared the line or shows its own: this record is not the shown one's.
  if (!text.starts_with(line.str())) return;
  std::vector<std::string> changed;
  for (const Input& in : inputs()) {
    const Value then = ctx.gfx.getappdata(box, in.appdata);
    if (!then.is_string() || then.str() != in.key(ctx.state)) changed.emplace_back(in.words);
  }
  const std::string shown =
      changed.empty() ? line.str() : line.str() + " (out of date: " + joined(changed) + " changed)";
  if (shown != text) set_control_text(ctx, tags::kModularityText, shown);
}

}  // namespace qiv
