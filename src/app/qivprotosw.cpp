#include "app/qivprotosw.h"

#include <filesystem>

#include "analysis/analysis_actions.h"
#include "core/folder_visit.h"
#include "data/data_actions.h"
#include "protocol/protocol_actions.h"
#include "reflect/reflect_actions.h"
#include "subset/subset_actions.h"
#include "target/target_actions.h"

namespace qiv {

const std::array<ActionEntry, 41>& action_table() {
  static const std::array<ActionEntry, 41> table{{{"SetHome", set_home},
                                                  {"Load", load},
                                                  {"Replot", replot},
                                                  {"Clear", clear},
                                                  {"PlotMean", plot_mean},
                                                  {"LoadProto", load_proto},
                                                  {"SaveProtocol", save_protocol},
                                                  {"NewProto", new_proto},
                                                  {"ShowLine", show_line},
                                                  {"ShowLine2", show_line2},
                                                  {"DeleteLine", delete_line},
                                                  {"AddLine", add_line},
                                                  {"ShowProto", show_proto},
                                                  {"MakeSubset", make_subset},
                                                  {"ShowThisLandmark", show_this_landmark},
                                                  {"InvertSubset", invert_subset},
                                                  {"ShowSubset", show_subset},
                                                  {"AddLMtoSubset", add_lm_to_subset},
                                                  {"ShowAll", show_all},
                                                  {"SaveSubset", save_subset},
                                                  {"DoBackReflect", do_back_reflect},
                                                  {"AddMidline", add_midline},
                                                  {"ShowMidline", show_midline},
                                                  {"ShowAllMidline", show_all_midline},
                                                  {"MidlineReflect", midline_reflect},
                                                  {"SaveReflected", save_reflected},
                                                  {"CreateTarget", create_target},
                                                  {"LoadProtoT", load_proto_t},
                                                  {"ShowMLine", show_m_line},
                                                  {"SetBlocks", set_blocks},
                                                  {"AddBlocks", add_blocks},
                                                  {"ReplotM", replot_m},
                                                  {"ShowAllBlock", show_all_block},
                                                  {"ShowBlockStructure", show_block_structure},
                                                  {"BlockUp", block_up},
                                                  {"BlockDown", block_down},
                                                  {"BlockEnter", block_enter},
                                                  {"AddLinetoBlock", add_lineto_block},
                                                  {"SaveMatrix", save_matrix},
                                                  {"LoadBlock", load_block},
                                                  {"ClearTarget", clear_target}}};
  return table;
}

const std::array<ActionEntry, 7>& added_action_table() {
  static const std::array<ActionEntry, 7> table{{{"SaveLengths", save_lengths},
                                                 {"TestModularity", test_modularity},
                                                 {"SaveMatrixCSV", save_matrix_csv},
                                                 {"CompareBlocks", compare_blocks},
                                                 {"ShowCorrelations", show_correlations},
                                                 {"CopyCorrelations", copy_correlations},
                                                 {"SaveCorrelations", save_correlations}}};
  return table;
}

void qivprotosw(Context& ctx, const std::string& action) {
  for (const ActionEntry& e : action_table()) {
    if (action == e.name) {
      e.run(ctx);
      refresh_correlations(ctx);  // the picture follows the blocks, whichever action set them
      return;
    }
  }
  for (const ActionEntry& e : added_action_table()) {
    if (action == e.name) {
      e.run(ctx);
      refresh_correlations(ctx);
      return;
    }
  }
  ctx.ui.msgbox("Fell through case");
}

void set_home(Context& ctx) {
  std::string note;
  ctx.state.figdir = current_folder_or_fallback(&note).string();
  if (!note.empty()) ctx.ui.console(note);
}

}  // namespace qiv
