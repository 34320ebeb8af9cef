#pragma once
// Confirmations: after an action wrote a file or changed the protocol, one short sentence in
// the status bar of the window the user works in ("Saved protocol.txt: 8 lines"). Refusals
// are message boxes, not confirmations.
#include <string>

#include "core/context.h"

namespace qiv {

// Shows text in the status bar of the window whose control called the action, or of the
// current figure when no control did (a call by name).
void confirm(Context& ctx, const std::string& text);

// "1 line", "8 lines", "0 lines".
std::string counted(long long n, const std::string& singular, const std::string& plural);

}  // namespace qiv
