#include "platform/qt/front_end.h"

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"

namespace qiv {

bool display_available() {
  auto set = [](const char* n) {
    const char* v = std::getenv(n);
    return v != nullptr && *v != '\0';
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

int run_windows(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  return run_command_line(words, std::cout, std::cerr);
}

int run_session_script(int, char**) {
  std::cerr << "qiv_proto: session scripts are not available yet\n";
  return 1;
}

}  // namespace qiv
