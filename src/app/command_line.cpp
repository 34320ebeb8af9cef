#include "app/command_line.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "app/application.h"
#include "app/qiv_proto.h"
#include "platform/headless_ui.h"
#include "platform/text.h"

namespace qiv {
namespace {

std::string value_lines(const Value& v) {
  if (v.is_matrix()) return format_matrix_g17(v.matrix());
  if (v.is_string()) return v.str();
  if (v.is_list()) {
    std::string out;
    for (std::size_t i = 0; i < v.list().size(); ++i) {
      if (i > 0) out += '\n';
      out += value_lines(v.list()[i]);
    }
    return out;
  }
  if (v.is_record()) {
    std::string out;
    for (std::size_t i = 0; i < v.record().size(); ++i) {
      const Field& f = v.record()[i];
      if (i > 0) out += '\n';
      const Value& fv = f.value;
      out += f.name + ": " +
             (fv.is_matrix() ? format_matrix_g17(fv.matrix(), " ", " ") : value_lines(fv));
    }
    return out;
  }
  return "";
}

}  // namespace

StartRequest decide_start(const std::vector<std::string>& words,
                          const std::function<bool(const std::string&)>& is_function,
                          const std::function<bool(const std::string&)>& is_file) {
  using Kind = StartRequest::Kind;
  auto wrong = [](std::string problem) {
    return StartRequest{Kind::kWrongUse, {}, std::move(problem)};
  };
  if (words.empty()) return {};
  const std::string& first = words[0];
  if (first == "--help") return {Kind::kHelp, {}, {}};
  if (first == "--version") return {Kind::kVersion, {}, {}};
  if (first == "--script") {
    if (words.size() != 2) return wrong("--script takes one SCRIPT file");
    return {Kind::kScript, {words[1]}, {}};
  }
  if (!first.empty() && first[0] == '-') return wrong("unknown option \"" + first + "\"");
  if (is_function(first)) return {Kind::kCall, words, {}};
  if (is_file(first)) {
    for (const std::string& w : words)
      if (!is_file(w)) return wrong("\"" + w + "\" is no file to load; after FILE only files");
    return {Kind::kOpenFile, words, {}};
  }
  return {Kind::kCall, words, {}};
}

StartRequest decide_start(const std::vector<std::string>& words) {
  HeadlessUi ui;
  Application app(ui);
  return decide_start(
      words, [&](const std::string& name) { return callable_by_name(app.rt, name); },
      readable_file);
}

bool callable_by_name(const Runtime& rt, const std::string& name) {
  const auto& placeholders = placeholder_callbacks();
  return rt.find(name) != nullptr ||
         std::find(placeholders.begin(), placeholders.end(), name) != placeholders.end();
}

bool readable_file(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  return std::ifstream(path).is_open();
}

std::string usage_text() {
  return "Usage: qiv_proto [FILE...]\n"
         "       qiv_proto --script SCRIPT\n"
         "       qiv_proto NAME [ARG...]\n"
         "       qiv_proto --help | --version\n"
         "\n"
         "Landmark protocols for two-dimensional morphometrics.\n"
         "\n"
         "  (no words)       open the main window\n"
         "  FILE...          open the main window and load the FILEs as one set of\n"
         "                   landmark data, as \"Load data file...\" does\n"
         "  --script SCRIPT  run the steps of a session script without windows\n"
         "  NAME [ARG...]    call the function NAME with the words ARG as texts, as a\n"
         "                   button does, and print what it returns\n"
         "                   (for example: qiv_proto dload leaves.txt)\n"
         "  --help           print this text and exit\n"
         "  --version        print the version and exit\n"
         "\n"
         "Without a display only --script and calls by name run. See qiv_proto(1).\n";
}

std::string wrong_use_text(const std::string& problem) {
  return "qiv_proto: " + problem + "\n" + usage_text();
}

std::string format_outputs(const Outputs& outs) {
  std::string text;
  for (std::size_t i = 0; i < outs.size(); ++i) {
    if (i > 0) text += '\n';
    text += value_lines(outs[i]);
    text += '\n';
  }
  return text;
}

void begin_run(Application& app, const StartRequest& request, std::ostream& out) {
  using Kind = StartRequest::Kind;
  switch (request.kind) {
    case Kind::kWindows:
      app.start();
      break;
    case Kind::kOpenFile:
      app.start();
      app.load_files(request.words);
      break;
    case Kind::kCall: {
      const Args args(request.words.begin(), request.words.end());
      const Outputs outs = Qiv_proto(app.ctx, args, declared_outputs(app.ctx, request.words[0]));
      out << format_outputs(outs) << std::flush;
      break;
    }
    default:
      break;
  }
}

namespace {

// Counts the failures of calls, so that a shell script can tell a failed call by its status.
class CountingUi : public HeadlessUi {
 public:
  using HeadlessUi::HeadlessUi;
  void report_failure(const std::string& text, Handle from) override {
    ++failures;
    HeadlessUi::report_failure(text, from);
  }
  int failures = 0;
};

}  // namespace

int run_command_line(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  CountingUi ui(&out, &err);
  Application app(ui);
  // No words: the start-up alone, as the main function runs it without inputs.
  begin_run(app,
            words.empty() ? StartRequest{} : StartRequest{StartRequest::Kind::kCall, words, {}},
            out);
  return ui.failures > 0 ? 1 : 0;
}

}  // namespace qiv
