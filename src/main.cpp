// Program entry: hands the command-line words to the main function.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "qt/front_end.h"

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  if (!words.empty() && words[0] == "--script") return qiv::run_session_script(argc, argv);
  if (qiv::display_available()) return qiv::run_windows(argc, argv);
  if (words.empty()) {
    std::cerr << "qiv_proto: no display found. Run a session script with\n"
                 "  qiv_proto --script FILE\n"
                 "or call a function by name: qiv_proto NAME ARG...\n";
    return 1;
  }
  return qiv::run_command_line(words, std::cout, std::cerr);
}
