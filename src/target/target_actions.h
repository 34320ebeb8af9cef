#pragma once
// The target actions of the dispatcher; each runs one user action to its end.
#include "core/context.h"

namespace qiv {

void create_target(Context& ctx);         // "CreateTarget"
void load_proto_t(Context& ctx);          // "LoadProtoT"
void show_m_line(Context& ctx);           // "ShowMLine"
void set_blocks(Context& ctx);            // "SetBlocks"
void add_blocks(Context& ctx);            // "AddBlocks"
void replot_m(Context& ctx);              // "ReplotM"
void show_all_block(Context& ctx);        // "ShowAllBlock"
void show_block_structure(Context& ctx);  // "ShowBlockStructure"
void block_up(Context& ctx);              // "BlockUp"
void block_down(Context& ctx);            // "BlockDown"
void block_enter(Context& ctx);           // "BlockEnter"
void add_lineto_block(Context& ctx);      // "AddLinetoBlock"
void save_matrix(Context& ctx);           // "SaveMatrix"
void load_block(Context& ctx);            // "LoadBlock"
void clear_target(Context& ctx);          // "ClearTarget"

// Added beside the target window's own actions.
void save_matrix_csv(Context& ctx);    // "SaveMatrixCSV": the target matrix as labelled CSV
void test_modularity(Context& ctx);    // "TestModularity": line lengths against the matrix
void compare_blocks(Context& ctx);     // "CompareBlocks": several block files ranked by r
void show_correlations(Context& ctx);  // "ShowCorrelations": the correlations as a picture
void copy_correlations(Context& ctx);  // "CopyCorrelations": that picture to the clipboard
void save_correlations(Context& ctx);  // "SaveCorrelations": that picture to a file
// Draws the correlation picture again when its window is open and the blocks, the protocol
// or the data it shows have changed since; the dispatcher calls it after every action.
void refresh_correlations(Context& ctx);
// When the target window still shows a modularity result and its data, protocol or blocks
// have changed since, its line gets " (out of date: the data and the blocks changed)" (every
// changed input, in that order); when they are as they were again, the line alone. Cheap when
// no result is shown; the dispatcher calls it after every action.
void mark_result_out_of_date(Context& ctx);

}  // namespace qiv
