#include "app/qivprotosw.h"

#include <algorithm>
#include <filesystem>

#include "analysis/analysis_actions.h"
#include "core/folder_visit.h"
#include "core/tags.h"
#include "data/data_actions.h"
#include "protocol/protocol_actions.h"
#include "reflect/reflect_actions.h"
#include "subset/subset_actions.h"
#include "target/target_actions.h"

namespace qiv {

namespace {

constexpr bool kAdded = true;

// The boundary between the 41 and the actions added beside them.
std::size_t first_added() {
  static const std::size_t n =
      static_cast<std::size_t>(std::find_if(actions().begin(), actions().end(),
                                            [](const ActionEntry& e) { return e.added; }) -
                               actions().begin());
  return n;
}

}  // namespace

const std::vector<ActionEntry>& actions() {
  using namespace tags;
  static const std::vector<ActionEntry> all{
      {"SetHome", set_home, {}},
      {"Load", load, {kFileBox}},
      {"Replot", replot, {}},
      {"Clear", clear, {kFileBox, kProtoPointBox}},
      {"PlotMean", plot_mean, {}},
      {"LoadProto", load_proto, {kProtoPointBox}},
      {"SaveProtocol", save_protocol, {}},
      {"NewProto", new_proto, {kProtoPointBox}},
      {"ShowLine", show_line, {kEndBox1, kEndBox2}},
      {"ShowLine2", show_line2, {kActivePointBox}},
      {"DeleteLine", delete_line, {kActivePointBox, kProtoPointBox}},
      {"AddLine", add_line, {kEndBox1, kEndBox2, kProtoPointBox}},
      {"ShowProto", show_proto, {kNumberRequest}},
      {"MakeSubset", make_subset, {}},
      {"ShowThisLandmark", show_this_landmark, {kPointBox}},
      {"InvertSubset", invert_subset, {kSubsetBox}},
      {"ShowSubset", show_subset, {kSubsetBox}},
      {"AddLMtoSubset", add_lm_to_subset, {kPointBox, kSubsetBox}},
      {"ShowAll", show_all, {kSubsetBox}},
      {"SaveSubset", save_subset, {kSubsetBox}},
      {"DoBackReflect", do_back_reflect, {}},
      {"AddMidline", add_midline, {kActiveLMBox, kMidBox}},
      {"ShowMidline", show_midline, {kActiveLMBox}},
      {"ShowAllMidline", show_all_midline, {kMidBox}},
      {"MidlineReflect", midline_reflect, {kMidBox}},
      {"SaveReflected", save_reflected, {}},
      {"CreateTarget", create_target, {}},
      {"LoadProtoT", load_proto_t, {kLengthBox, kLoadProtoButton, kProtoPointBox}},
      {"ShowMLine", show_m_line, {kTargetLineBox}},
      {"SetBlocks", set_blocks, {kMaxBlockBox, kSetBlocks, kLoadProtoButton}},
      {"AddBlocks", add_blocks, {kMaxBlockBox}},
      {"ReplotM", replot_m, {}},
      {"ShowAllBlock", show_all_block, {kCurrentBlockBox, kBlockBox}},
      {"ShowBlockStructure", show_block_structure, {}},
      {"BlockUp", block_up, {kCurrentBlockBox, kBlockBox}},
      {"BlockDown", block_down, {kCurrentBlockBox, kBlockBox}},
      {"BlockEnter", block_enter, {kCurrentBlockBox, kBlockBox}},
      {"AddLinetoBlock", add_lineto_block, {kTargetLineBox, kBlockBox}},
      {"SaveMatrix", save_matrix, {}},
      {"LoadBlock",
       load_block,
       {kLengthBox, kLoadProtoButton, kMaxBlockBox, kCurrentBlockBox, kBlockBox, kProtoPointBox}},
      {"ClearTarget",
       clear_target,
       {kSetBlocks, kMaxBlockBox, kBlockBox, kLoadProtoButton, kLengthBox, kProtoPointBox}},
      // Added beside the 41: tried after them.
      {"SaveLengths", save_lengths, {}, kAdded},
      {"TestModularity",
       test_modularity,
       {kPermBox, kSeedBox, kModularityText, kModularityTable},
       kAdded},
      {"SaveMatrixCSV", save_matrix_csv, {}, kAdded},
      {"CompareBlocks", compare_blocks, {kPermBox, kSeedBox, kComparisonTable}, kAdded},
      {"ShowCorrelations", show_correlations, {kCorrelationAxes}, kAdded},
      {"CopyCorrelations", copy_correlations, {kCorrelationAxes}, kAdded},
      {"SaveCorrelations", save_correlations, {kCorrelationAxes}, kAdded},
  };
  return all;
}

std::span<const ActionEntry> action_table() { return {actions().data(), first_added()}; }

std::span<const ActionEntry> added_action_table() {
  return std::span<const ActionEntry>(actions()).subspan(first_added());
}

const ActionEntry* find_action(const std::string& name) {
  for (const ActionEntry& e : actions())
    if (name == e.name) return &e;
  return nullptr;
}

void qivprotosw(Context& ctx, const std::string& action) {
  if (const ActionEntry* e = find_action(action)) {
    e->run(ctx);
    refresh_correlations(ctx);  // the picture follows the blocks, whichever action set them
    mark_result_out_of_date(ctx);
    return;
  }
  ctx.ui.msgbox("Fell through case");
}

void set_home(Context& ctx) {
  std::string note;
  ctx.state.figdir = current_folder_or_fallback(&note).string();
  if (!note.empty()) ctx.ui.console(note);
}

}  // namespace qiv
