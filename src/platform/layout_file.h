#pragma once
// Window layout files (.fig): JSON text describing one figure and its children.
//
//   {
//     "Type": "figure", "Name": "Landmark subset", "Position": [100, 300, 420, 360],
//     "Children": [
//       {"Type": "axes", "Units": "normalized", "Position": [0.3, 0.1, 0.65, 0.85]},
//       {"Style": "pushbutton", "Tag": "LoadButton", "String": "Load data...",
//        "Position": [12, 320, 120, 26], "Callback": ["qivprotosw", "Load"]}
//     ]
//   }
//
// Every key of an object other than "Type" and "Children" is a property (names are
// case-insensitive); a child without "Type" is a uicontrol. "//" and "/* */" comments are
// allowed. The properties each kind of object accepts, and the kinds of their values, are the
// object model's (platform/graphics/properties.cpp, the rows marked in_layout), listed in the
// README.
#include <functional>
#include <string>
#include <vector>

#include "platform/graphics/graphics.h"

namespace qiv {

// Checks the words of a control's Callback (a function name, then text arguments). Returns
// an empty text when they name something that can be called, otherwise the reason, a
// phrase without a final full stop.
using CallbackCheck = std::function<std::string(const std::vector<std::string>& words)>;

// Reads the layout file at path and creates its figure, with all children, in gfx; the
// figure becomes the current figure and its "FileName" is path. The whole file is checked
// before the first object is made: a file that cannot be read, invalid JSON (with its line
// and column), an unknown Type, Style or property, a value of the wrong kind, or a Callback
// that check rejects throws Failure with a text that names the file, and creates nothing.
Handle hgload(Graphics& gfx, const std::string& path, const CallbackCheck& check = {});

// The same for layout text already in memory; file_name is the name used in messages.
Handle hgload_text(Graphics& gfx, const std::string& text, const std::string& file_name,
                   const CallbackCheck& check = {});

// The uicontrol styles a layout may use. "panel" is a titled group box (its String is the
// title) drawn under the controls inside it; "frame" is an untitled one.
const std::vector<std::string>& layout_styles();

}  // namespace qiv
