#pragma once
// Opening windows from layout files and keeping them on the screen.
#include <string>
#include <vector>

#include "core/context.h"
#include "platform/runtime.h"

namespace qiv {

// Opens a window from a layout file with the policy "new" or "reuse"; returns its handle.
//
// The name may carry a directory and must end in ".fig" or have no extension (".fig" is
// then added). A name without a directory is looked up in the current directory first and,
// when it is not there, in the program's own layout folders (layout_folders()), so the
// program starts from any directory.
//
// The windows opened from one layout are listed, oldest first, in the application data of
// the screen object under singleton_entry_name(bare name). "reuse" creates a window only
// when none of the listed ones is still open and returns the newest; "new" always creates
// one. The window is then moved fully onto the screen and, when visible, made current.
Handle openfig(Context& ctx, const std::string& filename, const std::string& policy = "new");

// Moves a window (given by any object inside it) to a named or [x y] position; the inputs
// come as from a call by name: up to three of a handle, a position name ("north", "south",
// "east", "west", "northeast", "southeast", "northwest", "southwest", "center",
// "onscreen") and a two-number position in pixels (negative numbers count from the right
// and top screen edges). Without a handle the window is the running callback's figure, else
// the current figure; without a position it is "onscreen".
void movegui(Context& ctx, const Args& in);

// The registry entry for a layout's bare name: name + "_SINGLETON_handle", cut to 31
// characters.
std::string singleton_entry_name(const std::string& bare_name);

// Where layouts named without a directory are looked for after the current directory:
// "layouts" beside the running executable (the build copies them there), then the
// installed share/qiv_proto/layouts of the executable's prefix. A layout found in none of
// them fails with a message that names the current directory and each of these folders.
std::vector<std::string> layout_folders();

}  // namespace qiv
