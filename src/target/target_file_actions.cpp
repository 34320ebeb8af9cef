// Saving the block structure and the target matrix, and loading a block structure with the
// protocol it names.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "base/failure.h"
#include "core/controls.h"
#include "core/guards.h"
#include "data/landmark_file.h"
#include "data/showshape.h"
#include "platform/file_io.h"
#include "platform/text.h"
#include "protocol/protocol_model.h"
#include "target/target_actions.h"
#include "target/target_files.h"
#include "target/target_support.h"

namespace qiv {
namespace {

// The chosen directory becomes current so that the next dialog starts there; a directory
// that cannot be entered makes the write below fail, which is skipped silently anyway.
void enter_directory(const std::string& dir) {
  std::error_code ec;
  std::filesystem::current_path(dir, ec);
}

// The whole file, or nothing when it cannot be opened or read (a folder, no permission).
std::optional<std::string> read_text_file(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return std::nullopt;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return std::nullopt;
  std::string content;
  char buf[1 << 14];
  std::size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) content.append(buf, got);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return std::nullopt;
  return content;
}

}  // namespace

void save_matrix(Context& ctx) {
  if (!require_protocol(ctx) || !require_blocks(ctx)) return;
  if (!ctx.state.protoname) {
    ctx.ui.msgbox("Load the protocol from its file first: the block structure file names it.");
    return;
  }
  const std::string& protoname = *ctx.state.protoname;
  const BlockList& block = *ctx.state.block;
  const auto nblocks = static_cast<long long>(*ctx.state.nblocks);
  const long long m = protocol_line_count(*ctx.state.proto);
  // Checked before anything is written: a line number outside 1..m would give a matrix that
  // is not m x m.
  if (auto bad = find_bad_line(block, nblocks, m)) {
    ctx.ui.msgbox(bad_block_message(bad->block, bad->value, m));
    return;
  }

  std::string block_file_name;  // empty in the matrix file when this dialog is cancelled
  FileChoice b = ctx.ui.put_file("*.txt", "Enter Name for Block Structure File");
  if (!b.cancelled) {
    block_file_name = b.name;
    enter_directory(b.dir);
    // A file that cannot be written is skipped without a message; the matrix still follows.
    write_file_atomically(b.dir + b.name, block_structure_text(protoname, block, nblocks));
  }

  ctx.state.tmatrix = build_target_matrix(m, block, nblocks);

  FileChoice t = ctx.ui.put_file("*.txt", "Enter Name for Target Matrix File");
  if (t.cancelled) return;
  enter_directory(t.dir);
  write_file_atomically(t.dir + t.name, target_matrix_text(protoname, block_file_name, block,
                                                           nblocks, *ctx.state.tmatrix));
}

void save_matrix_csv(Context& ctx) {
  if (!require_protocol(ctx) || !require_blocks(ctx)) return;
  const Matrix& proto = *ctx.state.proto;
  const BlockList& block = *ctx.state.block;
  const auto nblocks = static_cast<long long>(*ctx.state.nblocks);
  const long long m = protocol_line_count(proto);
  if (m == 0) {
    ctx.ui.msgbox("The protocol has no lines: add lines before exporting the matrix.");
    return;
  }
  if (auto bad = find_bad_line(block, nblocks, m)) {
    ctx.ui.msgbox(bad_block_message(bad->block, bad->value, m));
    return;
  }
  const FileChoice f = ctx.ui.put_file("*.csv", "Enter Name for Target Matrix CSV File");
  if (f.cancelled) return;
  enter_directory(f.dir);
  if (!write_file_atomically(f.dir + f.name,
                             target_matrix_csv(proto, build_target_matrix(m, block, nblocks))))
    ctx.ui.msgbox("Failure on File Open");
}

void load_block(Context& ctx) {
  if (!require_loaded(ctx)) return;
  FileChoice f = ctx.ui.get_file("*.txt", "Enter Name of Block Structure File");
  if (f.cancelled) return;
  run_action(ctx, "ClearTarget");
  enter_directory(f.dir);

  std::optional<std::string> content = read_text_file(f.dir + f.name);
  if (!content) {
    ctx.ui.msgbox("Cannot read the block structure file " + f.name + ".");
    return;
  }
  std::optional<BlockStructure> read = parse_block_structure(*content);
  if (!read) {
    ctx.ui.msgbox("The block structure file " + f.name + " is empty.");
    return;
  }
  ctx.state.protoname = read->protoname;
  ctx.state.nblocks = static_cast<double>(read->blocks.size());
  ctx.state.block = std::move(read->blocks);

  // The file names the protocol by its bare name: it must lie beside the block file, which
  // is the current directory now.
  std::optional<Matrix> proto;
  try {
    proto = dload(*ctx.state.protoname);
  } catch (const Failure& f) {  // a file that is not a table of numbers
    ctx.ui.msgbox(f.what());
    return;
  }
  if (!proto) {
    ctx.ui.msgbox(
        "Error loading protocol file, make sure protocol file and block structure file are in "
        "the same directory");
    return;
  }
  if (auto bad = check_protocol_table(*proto, landmark_count(*ctx.state.reference),
                                      *ctx.state.protoname)) {
    ctx.ui.msgbox(*bad);
    return;
  }
  ctx.state.proto = proto->rows() == 0 ? protocol_without_rows() : std::move(*proto);
  const long long m = protocol_line_count(*ctx.state.proto);
  set_control_lines(ctx, "LengthBox", {*ctx.state.protoname, lengths_text(m)});

  enter_main_window(ctx, true);
  showshape(ctx.gfx, *ctx.state.reference, "ro");
  draw_protocol(ctx, "r");
  ctx.state.lineh = kNoHandle;
  return_to_menu(ctx);
  set_control_enable(ctx, "LoadProtoButton", false);

  set_control_text(ctx, "BlockBox", block_list_to_text(block_at(ctx.state, 1)));
  set_control_text(ctx, "CurrentBlockBox", " 1 ");
  set_control_text(ctx, "MaxBlockBox", num2str(*ctx.state.nblocks));
  run_action(ctx, "ShowBlockStructure");
}

}  // namespace qiv
