#include "protocol/protocol_actions.h"

#include "platform/failure.h"

namespace qiv {

void load_proto(Context&) { throw Failure("Action LoadProto is not available yet"); }
void save_protocol(Context&) { throw Failure("Action SaveProtocol is not available yet"); }
void new_proto(Context&) { throw Failure("Action NewProto is not available yet"); }
void show_line(Context&) { throw Failure("Action ShowLine is not available yet"); }
void show_line2(Context&) { throw Failure("Action ShowLine2 is not available yet"); }
void delete_line(Context&) { throw Failure("Action DeleteLine is not available yet"); }
void add_line(Context&) { throw Failure("Action AddLine is not available yet"); }
void show_proto(Context&) { throw Failure("Action ShowProto is not available yet"); }

}  // namespace qiv
