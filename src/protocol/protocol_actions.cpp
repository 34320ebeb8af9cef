#include "protocol/protocol_actions.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "base/failure.h"
#include "core/confirm.h"
#include "core/controls.h"
#include "core/guards.h"
#include "core/suggested_name.h"
#include "core/tags.h"
#include "data/landmark_file.h"
#include "data/showshape.h"
#include "guikit/axes_helpers.h"
#include "platform/file_io.h"
#include "platform/text.h"
#include "protocol/protocol_drawing.h"
#include "protocol/protocol_file.h"
#include "protocol/protocol_model.h"

namespace qiv {
namespace {

std::string int_text(Eigen::Index n) { return std::to_string(static_cast<long long>(n)); }

// The two boxes of "Line between ... and ...", by what the window shows.
struct EndBox {
  const char* tag;
  const char* label;
};
constexpr EndBox kFirstEnd{tags::kEndBox1, "The first landmark of \"Line between\""};
constexpr EndBox kSecondEnd{tags::kEndBox2, "The second landmark of \"Line between\""};

// A landmark number from 1 to k typed into one of the boxes; otherwise a message box naming
// the box as the window shows it and the range, and nothing.
std::optional<double> read_landmark(Context& ctx, const EndBox& box, Eigen::Index k) {
  if (auto v = box_whole_number(ctx, box.tag, 1, static_cast<double>(k))) return v;
  ctx.ui.msgbox(std::string(box.label) + " must be one landmark number from 1 to " + int_text(k) +
                ".");
  return std::nullopt;
}

// The line count shown in "ProtoPointBox", which the line edits build on. Only a whole number
// from lo to hi keeps the protocol consistent (a larger count would leave rows with no lines
// in them).
std::optional<Eigen::Index> read_count(Context& ctx, Eigen::Index lo, Eigen::Index hi) {
  if (auto v = box_whole_number(ctx, tags::kProtoPointBox, static_cast<double>(lo),
                                static_cast<double>(hi)))
    return static_cast<Eigen::Index>(*v);
  std::string text = "\"Lines in protocol:\" must show the protocol's line count, ";
  if (lo == hi) {
    text += int_text(lo);
  } else {
    text += "a whole number from ";
    text += int_text(lo);
    text += " to ";
    text += int_text(hi);
  }
  text += '.';
  ctx.ui.msgbox(text);
  return std::nullopt;
}

// A protocol kept from before the mean shape was replaced may name landmarks it no longer has.
bool require_fit(Context& ctx) {
  auto bad = check_protocol_fits(*ctx.state.proto, landmark_count(*ctx.state.reference));
  if (!bad) return true;
  ctx.ui.msgbox(*bad);
  return false;
}

// A new highlight hides the tracked one; a clearing of the axes may already have deleted it.
void hide_highlight(Context& ctx) {
  if (ctx.state.lineh && *ctx.state.lineh != kNoHandle && ctx.gfx.ishandle(*ctx.state.lineh))
    ctx.gfx.set(*ctx.state.lineh, "Visible", Value("off"));
}

void draw_highlight(Context& ctx, double a, double b) {
  Handle h = draw_segment(ctx.gfx, *ctx.state.reference, a, b, "M");
  ctx.state.lineh = h;
  ctx.gfx.set(h, "LineWidth", Value(1.5));
}

}  // namespace

void load_proto(Context& ctx) {
  if (!require_loaded(ctx)) return;
  std::optional<ChosenProtocol> got =
      choose_protocol_file(ctx, landmark_count(*ctx.state.reference));
  if (!got) return;
  const Protocol& proto = got->proto;
  const Eigen::Index lines = proto.count();
  ctx.state.proto = proto;
  ctx.state.protoname = got->name;
  ctx.state.saved_proto = ctx.state.proto;

  cla(ctx.gfx);
  showshape(ctx.gfx, *ctx.state.reference, "ro");
  ylabel(ctx.gfx, sprintf_str("Loaded Protocol is : %s", got->name.c_str()));
  if (lines > 0) draw_numbered_protocol(ctx.gfx, proto, *ctx.state.reference, "r");
  ctx.state.lineh = kNoHandle;
  set_control_text(ctx, tags::kProtoPointBox, int_text(lines));
  confirm(ctx, "Loaded " + got->name + ": " + counted(lines, "line", "lines"));
}

void save_protocol(Context& ctx) {
  if (!require_protocol(ctx)) return;
  FileChoice c = ctx.ui.put_file("*.txt", "Please Enter Filename for protocol",
                                 suggested_name(ctx.state, "protocol", ".txt"));
  if (c.cancelled) return;
  std::error_code ec;
  std::filesystem::current_path(c.dir, ec);  // a folder that is gone fails the write below
  std::string why;
  if (!write_file_atomically(c.dir + c.name, protocol_file_text(*ctx.state.proto), &why)) {
    ctx.ui.msgbox("Error on file opening");
    // The box keeps its short text; the console and the window's status bar say which file
    // and why.
    ctx.ui.report_failure("Cannot write " + c.name + ": " + why + ".", ctx.gfx.callback_figure());
    return;
  }
  ylabel(ctx.gfx, sprintf_str("Active Protocal Name: %s", c.name.c_str()));
  ctx.state.saved_proto = ctx.state.proto;
  confirm(ctx, "Saved " + c.name + ": " + counted(ctx.state.proto->count(), "line", "lines"));
}

void new_proto(Context& ctx) {
  set_control_text(ctx, tags::kProtoPointBox, "0");
  ctx.state.proto = Protocol::started();
  ctx.state.lineh = kNoHandle;
  ylabel(ctx.gfx, "New Protocol in Use");
  confirm(ctx, "New protocol: no lines yet");
}

void show_line(Context& ctx) {
  if (!require_loaded(ctx)) return;
  const Eigen::Index k = landmark_count(*ctx.state.reference);
  std::optional<double> b1 = read_landmark(ctx, kFirstEnd, k);
  if (!b1) return;
  std::optional<double> b2 = read_landmark(ctx, kSecondEnd, k);
  if (!b2) return;
  hide_highlight(ctx);
  draw_highlight(ctx, *b1, *b2);
}

void show_line2(Context& ctx) {
  if (!require_loaded(ctx) || !require_protocol(ctx)) return;
  const Protocol& proto = *ctx.state.proto;
  std::optional<double> i =
      box_whole_number(ctx, tags::kActivePointBox, 1, static_cast<double>(proto.count()));
  if (!i) {
    ctx.ui.msgbox("Line number is outside of the protocol");
    return;
  }
  if (!require_fit(ctx)) return;
  const auto r = static_cast<Eigen::Index>(*i) - 1;
  hide_highlight(ctx);
  draw_highlight(ctx, proto.line(r).first, proto.line(r).second);
}

void delete_line(Context& ctx) {
  if (!require_loaded(ctx) || !require_protocol(ctx)) return;
  Protocol& proto = *ctx.state.proto;
  const Eigen::Index lines = proto.count();
  std::optional<double> i =
      box_whole_number(ctx, tags::kActivePointBox, 1, static_cast<double>(lines));
  if (!i) {
    ctx.ui.msgbox("Deleted Value is outside of the number of points in the protocol");
    return;
  }
  std::optional<Eigen::Index> count = read_count(ctx, 1, lines);
  if (!count) return;
  proto.remove(static_cast<Eigen::Index>(*i) - 1);
  set_control_text(ctx, tags::kProtoPointBox, int_text(*count - 1));
  confirm(ctx, "Deleted line " + int_text(static_cast<Eigen::Index>(*i)));
  run_action(ctx, "ShowProto");
}

void add_line(Context& ctx) {
  if (!require_loaded(ctx) || !require_protocol(ctx)) return;
  const Eigen::Index k = landmark_count(*ctx.state.reference);
  std::optional<double> b1 = read_landmark(ctx, kFirstEnd, k);
  if (!b1) return;
  std::optional<double> b2 = read_landmark(ctx, kSecondEnd, k);
  if (!b2) return;
  Protocol& proto = *ctx.state.proto;
  if (proto.has_line(*b1, *b2)) {
    ctx.ui.msgbox("Line Not added, since it is already in protocol");
    return;
  }
  std::optional<Eigen::Index> count = read_count(ctx, 0, proto.count());
  if (!count) return;
  // Line count + 1 with the stored number count + 1.
  proto.put(*count, {static_cast<double>(*count + 1), *b1, *b2});
  set_control_text(ctx, tags::kProtoPointBox, int_text(*count + 1));
  draw_segment(ctx.gfx, *ctx.state.reference, *b1, *b2, "k");
  // The landmarks joined by an en dash, as a range is written.
  confirm(ctx, "Added line " + int_text(*count + 1) + ": " +
                   int_text(static_cast<Eigen::Index>(*b1)) + "\u2013" +
                   int_text(static_cast<Eigen::Index>(*b2)));
}

void show_proto(Context& ctx) {
  if (!require_loaded(ctx) || !require_protocol(ctx) || !require_fit(ctx)) return;
  const Protocol& proto = *ctx.state.proto;
  const Matrix& reference = *ctx.state.reference;
  // A started protocol keeps the picture as it is; one without lines redraws with no lines,
  // so deleting the last line takes it off the picture.
  if (!proto.is_started()) {
    cla(ctx.gfx);
    showshape(ctx.gfx, reference, "ro");
    if (!proto.empty()) draw_numbered_protocol(ctx.gfx, proto, reference, "r");
    ctx.state.lineh = kNoHandle;
  }
  if (control_value(ctx, tags::kNumberRequest) != 0) {
    const Limits lim = ctx.gfx.axis();
    showshape(ctx.gfx, reference, "r+");
    number_landmarks(ctx.gfx, reference, lim);
    widen_axes(ctx.gfx);
  }
}

}  // namespace qiv
