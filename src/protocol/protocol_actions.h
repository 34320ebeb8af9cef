#pragma once
// The protocol actions of the dispatcher; each runs one user action to its end.
#include "core/context.h"

namespace qiv {

void load_proto(Context& ctx);     // "LoadProto"
void save_protocol(Context& ctx);  // "SaveProtocol"
void new_proto(Context& ctx);      // "NewProto"
void show_line(Context& ctx);      // "ShowLine"
void show_line2(Context& ctx);     // "ShowLine2"
void delete_line(Context& ctx);    // "DeleteLine"
void add_line(Context& ctx);       // "AddLine"
void show_proto(Context& ctx);     // "ShowProto"

}  // namespace qiv
