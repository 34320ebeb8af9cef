#pragma once
// Unsaved work: the protocol and the block structure each know whether they changed since
// they were last loaded or saved (core/shared_state.h). Closing the main window asks about
// each; its title shows a leading "*" while either has changes.
#include "core/context.h"

namespace qiv {

// One question per document with unsaved changes, protocol first: "The protocol has changes
// that are not saved. Save them before closing?" Save runs the document's own save, with its
// dialogs; a save that is cancelled or fails cancels the close, as Cancel does. Returns
// whether the window may close.
bool ask_before_closing(Context& ctx);

// The main figure's Name starts with "*" exactly while either document has unsaved changes.
void show_unsaved_mark(Context& ctx);

}  // namespace qiv
