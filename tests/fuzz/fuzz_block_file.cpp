// libFuzzer harness for the block structure file: its parser must give back what its writer
// wrote, and "LoadBlock" of any bytes must end in a message or in a block structure whose
// every line number names a line of the protocol it loaded.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/application.h"
#include "data/data_actions.h"
#include "fuzz_support.h"
#include "platform/headless_ui.h"
#include "protocol/protocol_model.h"
#include "target/target_actions.h"
#include "target/target_files.h"

namespace {

bool writable_block(const qiv::LineList& list) {
  for (double n : list)
    if (!(n >= 1 && n <= 1e9 && n == std::floor(n))) return false;
  return true;
}

// What the writer makes of a parsed structure reads back the same, as long as the name is
// one the writer can keep (no line break, no blank or tab at its end) and the numbers are
// line numbers.
void check_round_trip(std::string_view bytes) {
  auto read = qiv::parse_block_structure(bytes);
  if (!read) {
    // Only an empty file, or one of a byte order mark alone, holds no structure.
    if (!bytes.empty() && bytes != "\xEF\xBB\xBF")
      qiv::fuzz::broken("a file with text parsed as no structure");
    return;
  }
  const std::string& name = read->protoname;
  if (name.find('\n') != std::string::npos) qiv::fuzz::broken("a name holds a line break");
  if (!name.empty() && (name.back() == ' ' || name.back() == '\t' || name.back() == '\r')) return;
  // A name that starts with a byte order mark loses it: the reader skips one at the file's start.
  if (name.rfind("\xEF\xBB\xBF", 0) == 0) return;
  for (const auto& b : read->blocks)
    if (!writable_block(b)) return;
  const auto n = static_cast<long long>(read->blocks.size());
  std::string text = qiv::block_structure_text(name, read->blocks, n);
  auto again = qiv::parse_block_structure(text);
  if (!again || again->protoname != name || again->blocks != read->blocks)
    qiv::fuzz::broken("a written block structure file reads back differently");
}

qiv::Application& loaded_app(qiv::HeadlessUi& ui) {
  static qiv::Application app(ui);
  static bool ready = false;
  if (!ready) {
    namespace fs = std::filesystem;
    const fs::path examples = fs::path(QIV_SOURCE_DIR) / "examples";
    fs::copy_file(examples / "protocol.txt", qiv::fuzz::scratch_dir() + "/protocol.txt",
                  fs::copy_options::overwrite_existing);
    ui.answer_path((examples / "leaves.txt").string());
    qiv::load(app.ctx);
    if (!app.state.data) qiv::fuzz::broken("the example data did not load");
    ready = true;
  }
  return app;
}

void check_load_block(const std::string& path) {
  static qiv::HeadlessUi ui;
  qiv::Application& app = loaded_app(ui);
  ui.clear_records();
  ui.answer_path(path);
  qiv::load_block(app.ctx);  // a Failure escaping here is a finding
  if (!ui.messages().empty()) return;
  const auto& s = app.state;
  if (!s.proto || !s.blocks.in_use() || !s.protoname)
    qiv::fuzz::broken("LoadBlock showed no message but left the target state unset");
  const long long m = s.proto->count();
  if (qiv::find_bad_line(s.blocks.lists(), s.blocks.count(), m))
    qiv::fuzz::broken("LoadBlock showed no message but kept a number that is no line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qiv::fuzz::KeepDirectory keep;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check_round_trip(bytes);
  check_load_block(qiv::fuzz::write_scratch("blocks.txt", bytes));
  return 0;
}
