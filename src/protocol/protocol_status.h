#pragma once
// What the main window shows of the protocol: its line count ("Lines in protocol:"), which
// "Add line" and "Delete this line" build on, and the label naming a loaded protocol. Every
// action that changes `proto`, in any window, brings both up to date, so the main window
// always edits the protocol the user sees.
#include <string>

#include "core/context.h"

namespace qiv {

// Sets the main window's line count to that of `proto` (four blanks when there is none, as
// after "Clear"). With a name,
// also labels the current axes "Loaded Protocol is : NAME", as loading a protocol does.
void show_protocol_status(Context& ctx, const std::string* loaded_name = nullptr);

}  // namespace qiv
