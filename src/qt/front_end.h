#pragma once
// Entry points of the Qt front end. This header includes no Qt header, so the program entry
// stays free of Qt.
namespace qiv {

// True when a window system is reachable: QT_QPA_PLATFORM names a platform that shows
// windows (not "offscreen" or "minimal"), or, when it names none, DISPLAY or WAYLAND_DISPLAY
// is set.
bool display_available();

// Runs the program with windows: start-up (or the call by name given on the command line),
// then the event loop while any window is open. Returns the exit status.
int run_windows(int argc, char** argv);

// qiv_proto --script FILE: start-up headless, then the steps of the session script.
int run_session_script(int argc, char** argv);

}  // namespace qiv
