// "Test modularity...": the correlations of the line lengths against the target matrix of the
// stored blocks, with a permutation p, shown in the window, on the console and in a report.
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "analysis/line_lengths.h"
#include "analysis/modularity.h"
#include "core/confirm.h"
#include "core/controls.h"
#include "core/guards.h"
#include "data/landmark_file.h"
#include "platform/file_io.h"
#include "platform/text.h"
#include "protocol/protocol_model.h"
#include "target/target_actions.h"
#include "target/target_files.h"
#include "target/target_support.h"

namespace qiv {
namespace {

// More relabellings than this add nothing a report can show and only keep the user waiting.
constexpr double kMaxPermutations = 1000000;

std::optional<long long> read_permutations(Context& ctx) {
  const std::string text = control_text(ctx, "PermBox");
  if (auto n = typed_whole_number(text, 1, kMaxPermutations)) return static_cast<long long>(*n);
  ctx.ui.msgbox("The number of permutations must be a whole number from 1 to 1000000 (not " +
                quote_typed(text) + ").");
  return std::nullopt;
}

// Seeds are whole numbers from 0 to 2^53: every one of them is held exactly and so reported
// as typed, and names one generator state.
constexpr double kMaxSeed = 9007199254740992.0;

std::optional<double> read_seed(Context& ctx) {
  const std::string text = control_text(ctx, "SeedBox");
  const Matrix typed = str2num(text);
  if (typed.size() == 1 && is_whole(typed(0, 0)) && typed(0, 0) >= 0 && typed(0, 0) <= kMaxSeed)
    return typed(0, 0);
  ctx.ui.msgbox("The seed must be a whole number (not " + quote_typed(text) + ").");
  return std::nullopt;
}

}  // namespace

void test_modularity(Context& ctx) {
  // A refused run must not leave an earlier result looking like its own.
  set_control_text(ctx, "ModularityText", "");
  if (!require_loaded(ctx) || !require_protocol(ctx) || !require_blocks(ctx)) return;
  const Matrix& data = *ctx.state.data;
  const Matrix& proto = *ctx.state.proto;
  const BlockList& block = *ctx.state.block;
  const auto nblocks = static_cast<long long>(*ctx.state.nblocks);
  const long long m = protocol_line_count(proto);
  if (auto bad = find_bad_line(block, nblocks, m)) {
    ctx.ui.msgbox(bad_block_message(bad->block, bad->value, m));
    return;
  }
  const Matrix t = build_target_matrix(m, block, nblocks);
  if (auto refusal = check_pairs(t)) {
    ctx.ui.msgbox(*refusal == ModularityRefusal::kNoPairWithin
                      ? "No two lines share a block: put at least two lines into one block."
                      : "Every pair of lines shares a block: the test needs lines in different "
                        "blocks.");
    return;
  }
  const long long k = landmark_count(data);
  if (auto bad = find_line_outside_data(proto, k)) {
    ctx.ui.msgbox(line_outside_data_message(*bad, k));
    return;
  }
  if (data.rows() < 3) {
    ctx.ui.msgbox("The modularity test needs at least 3 specimens; the data have " +
                  std::to_string(data.rows()) + ".");
    return;
  }
  const auto permutations = read_permutations(ctx);
  if (!permutations) return;
  const auto seed = read_seed(ctx);
  if (!seed) return;

  const Matrix lengths = line_lengths(data, proto);
  if (auto c = first_constant_column(lengths)) {
    ctx.ui.msgbox("Line " + std::to_string(*c + 1) + " (" + line_label(proto, *c) +
                  ") has the same length in every specimen, so it has no correlation with the "
                  "other lines.");
    return;
  }
  const auto result = run_modularity_test(lengths, t, block, nblocks, *permutations, *seed);
  if (!result) {
    ctx.ui.msgbox(
        "The line lengths all correlate equally with one another, so the correlations cannot "
        "follow the blocks.");
    return;
  }

  set_control_text(ctx, "ModularityText", modularity_summary(*result));
  ctx.ui.console(sprintf_str(
      "Modularity test: r = %.10g, p = %.10g (%lld permutations, seed %.0f); mean correlation "
      "within blocks %.4f, between blocks %.4f",
      result->r, result->p, result->permutations, result->seed, result->avg_within,
      result->avg_between));

  const FileChoice f = ctx.ui.put_file("*.txt", "Enter Name for Modularity Report File");
  if (f.cancelled) return;
  std::error_code ignored;  // a folder that cannot be entered makes the write fail too
  std::filesystem::current_path(f.dir, ignored);
  std::string why;
  if (!write_file_atomically(f.dir + f.name, modularity_report(*result), &why)) {
    ctx.ui.msgbox("Cannot write " + f.name + ": " + why + ".");
    return;
  }
  confirm(ctx, "Saved " + f.name);
}

}  // namespace qiv
