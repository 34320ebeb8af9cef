// Program entry: decides from the command-line words what to run (app/command_line.h) and
// runs it with windows, without windows, or not at all (--help, --version, wrong use).
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "qt/front_end.h"

int main(int argc, char** argv) {
  using Kind = qiv::StartRequest::Kind;
  const std::vector<std::string> words(argv + 1, argv + argc);
  const qiv::StartRequest request = qiv::decide_start(words);
  switch (request.kind) {
    case Kind::kHelp:
      std::cout << qiv::usage_text();
      return 0;
    case Kind::kVersion:
      std::cout << "qiv_proto " QIV_VERSION "\n";
      return 0;
    case Kind::kWrongUse:
      std::cerr << qiv::wrong_use_text(request.problem);
      return 2;
    case Kind::kScript:
      return qiv::run_session_script(request.words[0]);
    default:
      break;
  }
  if (qiv::display_available()) return qiv::run_windows(argv[0], request);
  if (request.kind != Kind::kCall) {
    std::cerr << "qiv_proto: no display found. Run a session script with\n"
                 "  qiv_proto --script FILE\n"
                 "or call a function by name: qiv_proto NAME ARG...\n";
    return 1;
  }
  return qiv::run_command_line(request.words, std::cout, std::cerr);
}
