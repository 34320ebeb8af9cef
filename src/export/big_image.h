#pragma once
// The enlarged picture of the current figure: the plot moved to fill the window with a small
// margin around the data, drawn without the window's controls, then the axes put back.
#include <functional>

#include "core/context.h"

namespace qiv {

// Enlarges the current axes of the current figure, calls draw(figure), and restores the
// units and position. Afterwards the limits are automatic with equal scaling, even when draw
// throws (the failure goes on to the caller).
//
// During draw: the limits are those of before, widened by 3 % of their range on each side;
// the axes, in the figure's character units, are [12, 3, width - 5, height - 4].
void with_big_image(Context& ctx, const std::function<void(Handle fig)>& draw);

// CopyBigImage: the enlarged picture to the clipboard.
void copy_big_image(Context& ctx);

// SaveBigImage: the enlarged picture to a file chosen in a save dialog ("*.svg;*.png;*.pdf",
// "Save Picture As"); the format follows the extension. A cancelled dialog changes nothing; a
// file that cannot be written shows a message box naming it and the reason.
void save_big_image(Context& ctx);

}  // namespace qiv
