// "Test modularity...": the correlations of the line lengths against the target matrix of the
// stored blocks, with a permutation p, shown in the window, on the console and in a report.
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "analysis/line_lengths.h"
#include "analysis/modularity.h"
#include "base/failure.h"
#include "core/confirm.h"
#include "core/controls.h"
#include "core/guards.h"
#include "core/suggested_name.h"
#include "core/tags.h"
#include "data/landmark_file.h"
#include "platform/file_io.h"
#include "platform/input_file.h"
#include "platform/text.h"
#include "protocol/protocol_model.h"
#include "target/compare_blocks.h"
#include "target/modularity_inputs.h"
#include "target/result_inputs.h"
#include "target/target_actions.h"
#include "target/target_files.h"
#include "target/target_support.h"

namespace qiv {
namespace {

// More relabellings than this add nothing a report can show and only keep the user waiting.
constexpr double kMaxPermutations = 1000000;

std::optional<long long> read_permutations(Context& ctx) {
  const std::string text = control_text(ctx, tags::kPermBox);
  if (auto n = whole_number_in(text, 1, kMaxPermutations)) return static_cast<long long>(*n);
  ctx.ui.msgbox("The number of permutations must be a whole number from 1 to 1000000 (not " +
                quote_typed(text) + ").");
  return std::nullopt;
}

// Seeds are whole numbers from 0 to 2^53: every one of them is held exactly and so reported
// as typed, and names one generator state.
constexpr double kMaxSeed = 9007199254740992.0;

std::optional<double> read_seed(Context& ctx) {
  const std::string text = control_text(ctx, tags::kSeedBox);
  if (auto seed = whole_number_in(text, 0, kMaxSeed)) return seed;
  ctx.ui.msgbox("The seed must be a whole number (not " + quote_typed(text) + ").");
  return std::nullopt;
}

}  // namespace

std::optional<std::string> lengths_unfit(const Context& ctx) {
  const Matrix& data = *ctx.state.data;
  const long long k = landmark_count(data);
  if (auto bad = find_line_outside_data(*ctx.state.proto, k))
    return line_outside_data_message(*bad, k);
  if (data.rows() < 3)
    return "The modularity test needs at least 3 specimens; the data have " +
           std::to_string(data.rows()) + ".";
  return std::nullopt;
}

namespace {

// What every permutation test asks first: data that fit the protocol, and the permutations
// and seed typed in the target window. A refusal has been shown when this returns nothing.
struct TestSettings {
  long long permutations;
  double seed;
};

std::optional<TestSettings> read_test_settings(Context& ctx) {
  if (auto why = lengths_unfit(ctx)) {
    ctx.ui.msgbox(*why);
    return std::nullopt;
  }
  const auto permutations = read_permutations(ctx);
  if (!permutations) return std::nullopt;
  const auto seed = read_seed(ctx);
  if (!seed) return std::nullopt;
  return TestSettings{*permutations, *seed};
}

}  // namespace

std::optional<Matrix> varying_lengths(const Context& ctx, std::string* why) {
  const Protocol& proto = *ctx.state.proto;
  Matrix lengths = line_lengths(*ctx.state.data, proto);
  if (auto c = first_constant_column(lengths)) {
    *why = "Line " + std::to_string(*c + 1) + " (" + line_label(proto, *c) +
           ") has the same length in every specimen, so it has no correlation with the other "
           "lines.";
    return std::nullopt;
  }
  return lengths;
}

void test_modularity(Context& ctx) {
  // A refused run must not leave an earlier result looking like its own; a cancelled one
  // puts it back.
  const std::string earlier_text = control_text(ctx, tags::kModularityText);
  const Handle table = find_control(ctx, tags::kModularityTable);
  const Value earlier_table = table == kNoHandle ? Value() : ctx.gfx.get(table, "String");
  set_control_text(ctx, tags::kModularityText, "");
  set_control_lines(ctx, tags::kModularityTable, {});
  if (!require_loaded(ctx) || !require_protocol(ctx) || !require_blocks(ctx)) return;
  const Protocol& proto = *ctx.state.proto;
  const BlockList& block = ctx.state.blocks.lists();
  const long long nblocks = ctx.state.blocks.count();
  const long long m = proto.count();
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
  const auto settings = read_test_settings(ctx);
  if (!settings) return;

  std::string fixed_line;
  const std::optional<Matrix> lengths = varying_lengths(ctx, &fixed_line);
  if (!lengths) {
    ctx.ui.msgbox(fixed_line);
    return;
  }
  std::optional<ModularityResult> result;
  try {
    const auto progress = ctx.ui.start_progress("Testing modularity", work_figure(ctx));
    result = run_modularity_test(*lengths, t, block, nblocks, settings->permutations,
                                 settings->seed, progress.get());
  } catch (const Cancelled&) {
    set_control_text(ctx, tags::kModularityText, earlier_text);
    if (table != kNoHandle) ctx.gfx.set(table, "String", earlier_table);
    throw;
  }
  if (!result) {
    ctx.ui.msgbox(
        "The line lengths all correlate equally with one another, so the correlations cannot "
        "follow the blocks.");
    return;
  }

  const std::string line = result_line(ctx.state, modularity_summary(*result));
  set_control_text(ctx, tags::kModularityText, line);
  remember_result_inputs(ctx, line);
  set_control_lines(ctx, tags::kModularityTable, modularity_table(*result));
  ctx.ui.console(sprintf_str(
      "Modularity test: r = %.10g, p = %.10g (%lld permutations, seed %.0f); mean correlation "
      "within blocks %.4f, between blocks %.4f",
      result->r, result->p, result->permutations, result->seed, result->avg_within,
      result->avg_between));

  const FileChoice f = ctx.ui.put_file("*.csv", "Enter Name for Modularity Report File",
                                       suggested_name(ctx.state, "modularity", ".csv"));
  if (f.cancelled) return;
  std::error_code ignored;  // a folder that cannot be entered makes the write fail too
  std::filesystem::current_path(f.dir, ignored);
  std::string why;
  if (!write_file_atomically(f.dir + f.name,
                             modularity_report(*result) + result_inputs_report(ctx.state), &why)) {
    ctx.ui.msgbox("Cannot write " + f.name + ": " + why + ".");
    return;
  }
  confirm(ctx, "Saved " + f.name);
}

namespace {

// One piece [from, from + share) of a longer piece of work reported to an outer progress.
class PartProgress : public Progress {
 public:
  PartProgress(Progress& outer, double from, double share)
      : outer_(outer), from_(from), share_(share) {}
  bool advance(double fraction) override { return outer_.advance(from_ + share_ * fraction); }

 private:
  Progress& outer_;
  double from_, share_;
};

// The suggested name of the comparison file: after the data file ("leaves_comparison.csv").
std::string comparison_file_name(const SharedState& s) {
  const std::string stem =
      s.datafile ? std::filesystem::path(*s.datafile).stem().string() : std::string("blocks");
  return (stem.empty() ? std::string("blocks") : stem) + "_comparison.csv";
}

}  // namespace

void compare_blocks(Context& ctx) {
  if (!require_loaded(ctx) || !require_protocol(ctx)) return;
  const long long m = ctx.state.proto->count();
  const auto settings = read_test_settings(ctx);
  if (!settings) return;
  const std::vector<FileChoice> files =
      ctx.ui.get_files("*.txt", "Choose Block Structure Files to Compare");
  if (files.empty()) return;

  // Every file is read and checked before anything is computed or written.
  std::vector<Hypothesis> hypotheses;
  for (const FileChoice& f : files) {
    std::optional<InputBytes> content;
    try {
      content = read_input_file(f.dir + f.name);
    } catch (const Failure& e) {  // no regular file, too large, changed while read
      ctx.ui.msgbox(e.what());
      return;
    }
    HypothesisRead read = read_hypothesis(
        f.name, content ? std::optional<std::string_view>(content->view()) : std::nullopt, m);
    if (!read.hypothesis) {
      ctx.ui.msgbox(read.refusal);
      return;
    }
    hypotheses.push_back(std::move(*read.hypothesis));
  }
  std::string fixed_line;
  const std::optional<Matrix> lengths = varying_lengths(ctx, &fixed_line);
  if (!lengths) {
    ctx.ui.msgbox(fixed_line);
    return;
  }

  // One correlation matrix for all: the hypotheses differ only in their target matrices.
  const Matrix r = correlation_matrix(*lengths);
  {
    const auto progress = ctx.ui.start_progress("Comparing block files", work_figure(ctx));
    const double share = 1.0 / static_cast<double>(hypotheses.size());
    for (std::size_t i = 0; i < hypotheses.size(); ++i) {
      Hypothesis& h = hypotheses[i];
      PartProgress part(*progress, share * static_cast<double>(i), share);
      auto result = test_hypothesis(r, lengths->rows(), h.target, h.blocks,
                                    static_cast<long long>(h.blocks.size()), settings->permutations,
                                    settings->seed, false, &part);
      if (!result) {
        ctx.ui.msgbox(
            "The line lengths all correlate equally with one another, so the correlations "
            "cannot follow the blocks.");
        return;
      }
      h.result = std::move(*result);
    }
  }
  rank_hypotheses(hypotheses);

  const Handle fig = open_home_window(ctx, "qiv_comparison");
  const Handle table = find_control(ctx, tags::kComparisonTable);
  if (table != kNoHandle && ctx.gfx.figure_of(table) == fig) {
    List lines;
    for (const std::string& l : comparison_table(hypotheses)) lines.emplace_back(l);
    ctx.gfx.set(table, "String", Value(std::move(lines)));
  }
  for (const std::string& l : comparison_table(hypotheses)) ctx.ui.console(l);

  const FileChoice f = ctx.ui.put_file("*.csv", "Enter Name for Block Comparison File",
                                       comparison_file_name(ctx.state));
  if (f.cancelled) return;
  std::error_code ignored;
  std::filesystem::current_path(f.dir, ignored);
  std::string why;
  if (!write_file_atomically(f.dir + f.name, comparison_csv(hypotheses), &why)) {
    ctx.ui.msgbox("Cannot write " + f.name + ": " + why + ".");
    return;
  }
  confirm(ctx, "Saved " + f.name + ": " +
                   counted(static_cast<long long>(hypotheses.size()), "hypothesis", "hypotheses"));
}

}  // namespace qiv
