#include "target/target_actions.h"

#include "platform/failure.h"

namespace qiv {

void create_target(Context&) { throw Failure("Action CreateTarget is not available yet"); }
void load_proto_t(Context&) { throw Failure("Action LoadProtoT is not available yet"); }
void show_m_line(Context&) { throw Failure("Action ShowMLine is not available yet"); }
void set_blocks(Context&) { throw Failure("Action SetBlocks is not available yet"); }
void add_blocks(Context&) { throw Failure("Action AddBlocks is not available yet"); }
void replot_m(Context&) { throw Failure("Action ReplotM is not available yet"); }
void show_all_block(Context&) { throw Failure("Action ShowAllBlock is not available yet"); }
void show_block_structure(Context&) { throw Failure("Action ShowBlockStructure is not available yet"); }
void block_up(Context&) { throw Failure("Action BlockUp is not available yet"); }
void block_down(Context&) { throw Failure("Action BlockDown is not available yet"); }
void block_enter(Context&) { throw Failure("Action BlockEnter is not available yet"); }
void add_lineto_block(Context&) { throw Failure("Action AddLinetoBlock is not available yet"); }
void save_matrix(Context&) { throw Failure("Action SaveMatrix is not available yet"); }
void load_block(Context&) { throw Failure("Action LoadBlock is not available yet"); }
void clear_target(Context&) { throw Failure("Action ClearTarget is not available yet"); }

}  // namespace qiv
