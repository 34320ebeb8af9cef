#pragma once
// Pictures for runs without windows (session scripts, tests): a HeadlessUi that draws with
// the same painter as the windows, under Qt's offscreen platform.
#include <memory>

#include "platform/headless_ui.h"

class QGuiApplication;

namespace qiv::qt {

// Gives the HeadlessUi its painter (the clipboard's SVG and PNG) and its file writer (SVG, PNG
// or PDF by extension).
void install_pictures(HeadlessUi& ui);

// Qt needs an application object before it can draw text. Returns a new one when none exists
// (nullptr otherwise), choosing the offscreen platform unless QT_QPA_PLATFORM names another.
std::unique_ptr<QGuiApplication> ensure_gui_application();

}  // namespace qiv::qt
