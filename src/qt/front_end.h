#pragma once
// Entry points of the Qt front end. This header includes no Qt header, so the program entry
// stays free of Qt.
#include <string>

#include "app/command_line.h"

namespace qiv {

// True when a window system is reachable: QT_QPA_PLATFORM names a platform that shows
// windows (not "offscreen" or "minimal"), or, when it names none, DISPLAY or WAYLAND_DISPLAY
// is set.
bool display_available();

// Runs the program with windows: the request's first work (begin_run: start-up, start-up
// and a file loaded, or a call by name), then the event loop while any window is open.
// program is argv[0]. Returns the exit status.
int run_windows(char* program, const StartRequest& request);

// qiv_proto --script SCRIPT: start-up headless, then the steps of the session script.
int run_session_script(const std::string& script);

}  // namespace qiv
