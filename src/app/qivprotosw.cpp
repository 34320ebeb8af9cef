#include "app/qivprotosw.h"

#include <algorithm>
#include <filesystem>

#include "analysis/analysis_actions.h"
#include "app/closing.h"
#include "app/history_actions.h"
#include "base/failure.h"
#include "core/controls.h"
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
      {"Load", load, {kFileBox}, {"Load"}},
      {"Replot", replot, {}},
      {"Clear", clear, {kFileBox, kProtoPointBox}, {"Clear"}},
      {"PlotMean", plot_mean, {}},
      {"LoadProto", load_proto, {kProtoPointBox}, {"Load protocol"}},
      {"SaveProtocol", save_protocol, {}},
      {"NewProto", new_proto, {kProtoPointBox}, {"New protocol"}},
      {"ShowLine", show_line, {kEndBox1, kEndBox2}},
      {"ShowLine2", show_line2, {kActivePointBox}},
      {"DeleteLine",
       delete_line,
       {kActivePointBox, kProtoPointBox},
       {"Delete line", kActivePointBox}},
      {"AddLine", add_line, {kEndBox1, kEndBox2, kProtoPointBox}, {"Add line"}},
      {"ShowProto", show_proto, {kNumberRequest}},
      {"MakeSubset", make_subset, {}},
      {"ShowThisLandmark", show_this_landmark, {kPointBox}},
      {"InvertSubset", invert_subset, {kSubsetBox}, {"Invert subset"}},
      {"ShowSubset", show_subset, {kSubsetBox}},
      {"AddLMtoSubset", add_lm_to_subset, {kPointBox, kSubsetBox}, {"Add to subset", kPointBox}},
      {"ShowAll", show_all, {kSubsetBox}},
      {"SaveSubset", save_subset, {kSubsetBox}},
      {"DoBackReflect", do_back_reflect, {}},
      {"AddMidline", add_midline, {kActiveLMBox, kMidBox}, {"Add to midline", kActiveLMBox}},
      {"ShowMidline", show_midline, {kActiveLMBox}},
      {"ShowAllMidline", show_all_midline, {kMidBox}},
      {"MidlineReflect", midline_reflect, {kMidBox}, {"Reflect"}},
      {"SaveReflected", save_reflected, {}},
      {"CreateTarget", create_target, {}},
      {"LoadProtoT",
       load_proto_t,
       {kLengthBox, kLoadProtoButton, kProtoPointBox},
       {"Load protocol"}},
      {"ShowMLine", show_m_line, {kTargetLineBox}},
      {"SetBlocks",
       set_blocks,
       {kMaxBlockBox, kSetBlocks, kLoadProtoButton},
       {"Set blocks", kMaxBlockBox}},
      {"AddBlocks", add_blocks, {kMaxBlockBox}, {"Add block"}},
      {"ReplotM", replot_m, {}},
      {"ShowAllBlock",
       show_all_block,
       {kCurrentBlockBox, kBlockBox},
       {"Store block", kCurrentBlockBox}},
      {"ShowBlockStructure", show_block_structure, {}},
      {"BlockUp", block_up, {kCurrentBlockBox, kBlockBox}, {"Block up"}},
      {"BlockDown", block_down, {kCurrentBlockBox, kBlockBox}, {"Block down"}},
      {"BlockEnter", block_enter, {kCurrentBlockBox, kBlockBox}, {"Store block", kCurrentBlockBox}},
      {"AddLinetoBlock",
       add_lineto_block,
       {kTargetLineBox, kBlockBox},
       {"Add to block", kTargetLineBox}},
      {"SaveMatrix", save_matrix, {}},
      {"LoadBlock",
       load_block,
       {kLengthBox, kLoadProtoButton, kMaxBlockBox, kCurrentBlockBox, kBlockBox, kProtoPointBox},
       {"Load blocks"}},
      {"ClearTarget",
       clear_target,
       {kSetBlocks, kMaxBlockBox, kBlockBox, kLoadProtoButton, kLengthBox, kProtoPointBox},
       {"Start again"}},
      // Added beside the 41: tried after them.
      {"SaveLengths", save_lengths, {}, {}, kAdded},
      {"TestModularity",
       test_modularity,
       {kPermBox, kSeedBox, kModularityText, kModularityTable},
       {},
       kAdded},
      {"SaveMatrixCSV", save_matrix_csv, {}, {}, kAdded},
      {"CompareBlocks", compare_blocks, {kPermBox, kSeedBox, kComparisonTable}, {}, kAdded},
      {"ShowCorrelations", show_correlations, {kCorrelationAxes}, {}, kAdded},
      {"CopyCorrelations", copy_correlations, {kCorrelationAxes}, {}, kAdded},
      {"SaveCorrelations", save_correlations, {kCorrelationAxes}, {}, kAdded},
      {"Undo", undo, {}, {}, kAdded},
      {"Redo", redo, {}, {}, kAdded},
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

namespace {

// The step's name: the label, and the text the detail box held before the action.
std::string step_name(const Context& ctx, const UndoName& u) {
  std::string what = u.label;
  if (u.detail_tag) {
    const std::string detail = control_text(ctx, u.detail_tag);
    const auto b = detail.find_first_not_of(" \t\r\n");
    if (b != std::string::npos) {
      const auto e = detail.find_last_not_of(" \t\r\n");
      what += ' ' + detail.substr(b, e - b + 1);
    }
  }
  return what;
}

// Runs an action. One that Undo can take back, run by the user rather than by another
// action, becomes a step of the history when it changed anything, also when it failed part
// way (what it did stays done, so it can be taken back). Running out of memory or a Cancel
// put everything back themselves: no step.
void run_recorded(Context& ctx, const ActionEntry& e) {
  static bool recording = false;
  if (!e.undo.label || recording) {
    e.run(ctx);
    return;
  }
  const std::string what = step_name(ctx, e.undo);
  const StateCapture before = capture_state(ctx.state, ctx.gfx);
  recording = true;
  try {
    e.run(ctx);
  } catch (const Cancelled&) {
    recording = false;
    throw;
  } catch (const Failure&) {
    recording = false;
    ctx.history.record(what, before, capture_state(ctx.state, ctx.gfx));
    throw;
  } catch (...) {
    recording = false;
    throw;
  }
  recording = false;
  ctx.history.record(what, before, capture_state(ctx.state, ctx.gfx));
}

}  // namespace

void qivprotosw(Context& ctx, const std::string& action) {
  if (const ActionEntry* e = find_action(action)) {
    try {
      run_recorded(ctx, *e);
    } catch (const Failure&) {
      show_unsaved_mark(ctx);  // what it did before it failed stays done
      throw;
    }
    refresh_correlations(ctx);  // the picture follows the blocks, whichever action set them
    mark_result_out_of_date(ctx);
    show_unsaved_mark(ctx);
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
