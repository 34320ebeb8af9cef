// Saving the block structure and the target matrix, and loading a block structure with the
// protocol it names.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "base/failure.h"
#include "core/confirm.h"
#include "core/controls.h"
#include "core/guards.h"
#include "core/suggested_name.h"
#include "core/tags.h"
#include "data/landmark_file.h"
#include "data/showshape.h"
#include "platform/file_io.h"
#include "platform/input_file.h"
#include "platform/text.h"
#include "protocol/protocol_model.h"
#include "protocol/protocol_status.h"
#include "target/target_actions.h"
#include "target/target_files.h"
#include "target/target_support.h"

namespace qiv {
namespace {

// The chosen directory becomes current so that the next dialog starts there; a directory
// that cannot be entered makes the write below fail, which says so.
void enter_directory(const std::string& dir) {
  std::error_code ec;
  std::filesystem::current_path(dir, ec);
}

// The protocol a block structure file names: its whole first line, or when no file of that
// name exists and the line holds several words, its first word (the file's own form is the
// name then a blank). Looked for beside the block file first, then in the current folder, so a
// block file and its protocol can be moved together.
std::optional<std::string> find_named_protocol(const std::string& block_dir,
                                               const std::string& line) {
  namespace fs = std::filesystem;
  std::vector<std::string> names{line};
  const std::size_t blank = line.find_first_of(" \t");
  if (blank != std::string::npos) names.push_back(line.substr(0, blank));
  std::error_code ec;
  for (const std::string& name : names) {
    if (name.empty()) continue;
    for (const fs::path& p : {fs::path(block_dir) / name, fs::current_path(ec) / name})
      if (fs::exists(p, ec)) return p.string();
  }
  return std::nullopt;
}

}  // namespace

void save_matrix(Context& ctx) {
  if (!require_protocol(ctx) || !require_blocks(ctx)) return;
  if (!ctx.state.protoname) {
    ctx.ui.msgbox("Load the protocol from its file first: the block structure file names it.");
    return;
  }
  const std::string& protoname = *ctx.state.protoname;
  const BlockList& block = ctx.state.blocks.lists();
  const long long nblocks = ctx.state.blocks.count();
  const long long m = ctx.state.proto->count();
  // Checked before anything is written: a line number outside 1..m would give a matrix that
  // is not m x m.
  if (auto bad = find_bad_line(block, nblocks, m)) {
    ctx.ui.msgbox(bad_block_message(bad->block, bad->value, m));
    return;
  }

  std::string block_file_name;  // empty in the matrix file when this dialog is cancelled
  std::string saved_blocks;     // "blocks NAME" once the block file is written
  FileChoice b = ctx.ui.put_file("*.txt", "Enter Name for Block Structure File",
                                 suggested_name(ctx.state, "blocks", ".txt"));
  if (!b.cancelled) {
    block_file_name = b.name;
    enter_directory(b.dir);
    // A file that cannot be written is named in a message; the matrix still follows.
    std::string why;
    if (!write_file_atomically(b.dir + b.name, block_structure_text(protoname, block, nblocks),
                               &why))
      ctx.ui.msgbox("Cannot write the block structure file " + b.name + ": " + why + ".");
    else {
      saved_blocks = "blocks " + b.name;
      ctx.state.blockfile = b.name;
      ctx.state.saved_blocks = ctx.state.blocks;
    }
  }

  ctx.state.tmatrix = build_target_matrix(m, block, nblocks);

  FileChoice t = ctx.ui.put_file("*.txt", "Enter Name for Target Matrix File",
                                 suggested_name(ctx.state, "target", ".txt"));
  if (t.cancelled) {
    if (!saved_blocks.empty()) confirm(ctx, "Saved " + saved_blocks);
    return;
  }
  enter_directory(t.dir);
  std::string why;
  if (!write_file_atomically(
          t.dir + t.name,
          target_matrix_text(protoname, block_file_name, block, nblocks, *ctx.state.tmatrix),
          &why)) {
    ctx.ui.msgbox("Cannot write the target matrix file " + t.name + ": " + why + ".");
    if (!saved_blocks.empty()) confirm(ctx, "Saved " + saved_blocks);
    return;
  }
  confirm(ctx,
          "Saved " + (saved_blocks.empty() ? "" : saved_blocks + " and ") + "matrix " + t.name);
}

void save_matrix_csv(Context& ctx) {
  if (!require_protocol(ctx) || !require_blocks(ctx)) return;
  const Protocol& proto = *ctx.state.proto;
  const BlockList& block = ctx.state.blocks.lists();
  const long long nblocks = ctx.state.blocks.count();
  const long long m = proto.count();
  if (m == 0) {
    ctx.ui.msgbox("The protocol has no lines: add lines before exporting the matrix.");
    return;
  }
  if (auto bad = find_bad_line(block, nblocks, m)) {
    ctx.ui.msgbox(bad_block_message(bad->block, bad->value, m));
    return;
  }
  const FileChoice f = ctx.ui.put_file("*.csv", "Enter Name for Target Matrix CSV File",
                                       suggested_name(ctx.state, "target", ".csv"));
  if (f.cancelled) return;
  enter_directory(f.dir);
  std::string why;
  if (!write_file_atomically(
          f.dir + f.name, target_matrix_csv(proto, build_target_matrix(m, block, nblocks)), &why)) {
    ctx.ui.msgbox("Cannot write " + f.name + ": " + why + ".");
    return;
  }
  confirm(ctx, "Saved matrix " + f.name);
}

void load_block(Context& ctx) {
  if (!require_loaded(ctx)) return;
  FileChoice f = ctx.ui.get_file("*.txt", "Enter Name of Block Structure File");
  if (f.cancelled) return;

  // Everything is read and checked before anything is cleared: a missing or bad file leaves
  // the typed blocks, the protocol, the picture and the current folder as they were.
  std::optional<InputBytes> content;
  try {
    content = read_input_file(f.dir + f.name);
  } catch (const Failure& e) {  // no regular file, too large, changed while read
    ctx.ui.msgbox(e.what());
    return;
  }
  if (!content) {
    ctx.ui.msgbox("Cannot read the block structure file " + f.name + ".");
    return;
  }
  std::optional<BlockFile> read = parse_block_structure(content->view());
  if (!read) {
    ctx.ui.msgbox("The block structure file " + f.name + " is empty.");
    return;
  }
  if (read->bad_line != 0) {
    ctx.ui.msgbox("The block structure file " + f.name + ", line " +
                  std::to_string(read->bad_line) + ", holds \"" + read->bad_text +
                  "\", which is not a list of line numbers.");
    return;
  }
  std::optional<std::string> proto_path = find_named_protocol(f.dir, read->protoname);
  std::optional<Matrix> proto;
  if (proto_path) {
    try {
      proto = dload(*proto_path);
    } catch (const Failure& e) {  // a file that is not a table of numbers
      ctx.ui.msgbox(e.what());
      return;
    }
  }
  if (!proto) {
    ctx.ui.msgbox(
        "Error loading protocol file, make sure protocol file and block structure file are in "
        "the same directory");
    return;
  }
  const std::string protoname = std::filesystem::path(*proto_path).filename().string();
  if (auto bad = check_protocol_table(*proto, landmark_count(*ctx.state.reference), protoname)) {
    ctx.ui.msgbox(*bad);
    return;
  }
  // A block naming a line the protocol lacks is refused here, before the blocks are taken.
  Protocol protocol = Protocol::from_table(*proto);
  const long long lines = protocol.count();
  if (auto bad = find_bad_line(read->blocks, static_cast<long long>(read->blocks.size()), lines)) {
    ctx.ui.msgbox(bad_block_message(bad->block, bad->value, lines));
    return;
  }

  run_action(ctx, "ClearTarget");
  enter_directory(f.dir);
  ctx.state.protoname = protoname;
  ctx.state.blocks.assign(std::move(read->blocks));
  ctx.state.blockfile = f.name;
  ctx.state.proto = std::move(protocol);
  ctx.state.saved_proto = ctx.state.proto;
  ctx.state.saved_blocks = ctx.state.blocks;
  const long long m = ctx.state.proto->count();
  set_control_lines(ctx, tags::kLengthBox, {*ctx.state.protoname, lengths_text(m)});

  enter_main_window(ctx, true);
  showshape(ctx.gfx, *ctx.state.reference, "ro");
  draw_protocol(ctx, "r");
  show_protocol_status(ctx, &*ctx.state.protoname);
  ctx.state.lineh = kNoHandle;
  return_to_menu(ctx);
  set_control_enable(ctx, tags::kLoadProtoButton, false);

  set_control_text(ctx, tags::kBlockBox, block_list_to_text(ctx.state.blocks.at(1)));
  set_control_text(ctx, tags::kCurrentBlockBox, " 1 ");
  set_control_text(ctx, tags::kMaxBlockBox, num2str(static_cast<double>(ctx.state.blocks.count())));
  run_action(ctx, "ShowBlockStructure");
  confirm(ctx, "Loaded " + f.name + ": " + counted(ctx.state.blocks.count(), "block", "blocks") +
                   ", " + counted(m, "line", "lines"));
}

}  // namespace qiv
