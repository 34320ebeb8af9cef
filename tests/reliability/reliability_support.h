#pragma once
// What the reliability tests share: a running program started from the real layouts, a
// scratch folder, and a snapshot of everything a user could see change (the shared state,
// every control of every open window, every drawn object and the limits of every axes, and
// the current directory), with a comparison that names the first difference.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/session_script.h"
#include "core/controls.h"
#include "core/shared_state.h"
#include "platform/headless_ui.h"
#include "platform/text.h"
#include "support/files.h"
#include "support/snapshot.h"

namespace qiv::reliability {

namespace fs = std::filesystem;

using test_support::example;
using test_support::read_bytes;
using test_support::ScratchDir;
using test_support::source_dir;
using test_support::write_bytes;

// One running program, started as the user starts it: main window from its layout, home
// directory recorded.
// The folder the tests were started from: every session starts there, so that all of them
// record the same home directory.
inline const fs::path& test_home() {
  static const fs::path home = fs::current_path();
  return home;
}

struct Session {
  Session() {
    fs::current_path(test_home());
    app.start();
    ui.clear_records();
  }
  // Runs an action through the callback route, with the file dialog answering path.
  void act(const std::string& action, const fs::path& answer = {}) {
    if (!answer.empty()) ui.answer_path(answer.string());
    app.action(action);
  }
  void type(const std::string& tag, const std::string& text) {
    set_control_text(app.ctx, tag, text);
  }
  std::string box(const std::string& tag) const { return control_text(app.ctx, tag); }

  HeadlessUi ui;
  Application app{ui};
};

using test_support::difference;
using test_support::Snapshot;
inline Snapshot snapshot(Session& s) { return test_support::snapshot(s.app); }

// Lines of a file, without their line ends (a last line without one counts).
inline std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t lf = text.find('\n', pos);
    if (lf == std::string::npos) lf = text.size();
    lines.push_back(text.substr(pos, lf - pos));
    pos = lf + 1;
  }
  return lines;
}

// Root reads every file whatever its permissions, so tests of unreadable or unwritable files
// cannot be made to fail that way when they run as root.
inline bool running_as_root() { return ::geteuid() == 0; }

}  // namespace qiv::reliability
