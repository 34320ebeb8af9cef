#pragma once
// Pictures for runs without windows (session scripts, tests): a HeadlessUi that draws with
// the same painter as the windows, under Qt's offscreen platform.
#include <memory>

#include "platform/headless_ui.h"

class QGuiApplication;

namespace qiv::qt {

// The painter of the clipboard's picture (SVG and PNG) and the writer of pictures into files
// (SVG, PNG or PDF by extension), both drawn like the windows.
HeadlessUi::Painter picture_painter();
HeadlessUi::FileWriter picture_writer();
// Gives the HeadlessUi both.
void install_pictures(HeadlessUi& ui);

// Qt needs an application object before it can draw text. Returns a new one when none exists
// (nullptr otherwise), choosing the offscreen platform unless QT_QPA_PLATFORM names another.
std::unique_ptr<QGuiApplication> ensure_gui_application();

}  // namespace qiv::qt
