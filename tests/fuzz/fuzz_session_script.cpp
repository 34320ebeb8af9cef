// libFuzzer harness for session scripts: any text runs to its end (status 0) or stops at a
// step with "script: line N: reason" (status 1), N being a line of the script; nothing
// escapes and nothing crashes.
//
// Scripts read and write files wherever their paths point. Inputs that name another folder
// (a "/" or "..") are skipped, so that a run only ever touches its own scratch folder.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/session_script.h"
#include "fuzz_support.h"
#include "platform/input_file.h"

namespace {

// Lines as the script reader counts them: LF, CR LF and a lone CR each end one.
int line_count(const std::string& text) {
  qiv::LineReader lines(text);
  std::string_view line;
  int n = 0;
  while (lines.next(line)) ++n;
  return n;
}

void check_errors(const std::string& text, const std::string& err, int rc) {
  if (rc != 0 && rc != 1) qiv::fuzz::broken("a script ended with a status other than 0 or 1");
  std::istringstream lines(err);
  std::string line;
  bool stopped = false;
  while (std::getline(lines, line)) {
    // Besides the errors, stderr carries the notes of the dialogs a script left unanswered.
    if (line.rfind("dialog \"", 0) == 0) continue;
    if (line.rfind("script: ", 0) != 0) qiv::fuzz::broken("an error line without \"script: \"");
    if (line.rfind("script: line ", 0) == 0) {
      const int n = std::stoi(line.substr(13));
      if (n < 1 || n > line_count(text))
        qiv::fuzz::broken("an error names a line not in the script");
      stopped = true;
    }
  }
  if (rc == 1 && !stopped) qiv::fuzz::broken("a script failed without naming its line");
}

// The scratch folder holds copies of the example files, so that scripts can load them.
bool copy_examples() {
  namespace fs = std::filesystem;
  const fs::path examples = fs::path(QIV_SOURCE_DIR) / "examples";
  for (const char* f : {"leaves.txt", "protocol.txt", "blocks.txt"})
    fs::copy_file(examples / f, fs::path(qiv::fuzz::scratch_dir()) / f,
                  fs::copy_options::overwrite_existing);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool copied = copy_examples();
  (void)copied;
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (text.find('/') != std::string::npos || text.find("..") != std::string::npos) return 0;
  qiv::fuzz::KeepDirectory keep;
  if (::chdir(qiv::fuzz::scratch_dir().c_str()) != 0)
    qiv::fuzz::broken("cannot enter the scratch folder");
  std::ostringstream out, err;
  const int rc = qiv::run_script_text(text, out, err);
  check_errors(text, err.str(), rc);
  return 0;
}
