#include "app/session_script.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>
#include <vector>

#include "app/application.h"
#include "app/click.h"
#include "app/closing.h"
#include "app/qiv_proto.h"
#include "base/failure.h"
#include "platform/file_io.h"
#include "platform/input_file.h"
#include "platform/picture_options.h"
#include "platform/text.h"
#include "pointing/pick.h"

namespace qiv {
namespace fs = std::filesystem;

namespace {

bool is_space(char c) { return c == ' ' || c == '\t'; }

struct Word {
  std::string text;
  std::size_t end;  // index just past the word (past its closing quote)
};

// The next word at or after pos, or nothing at the end of the line.
std::optional<Word> next_word(std::string_view line, std::size_t pos) {
  while (pos < line.size() && is_space(line[pos])) ++pos;
  if (pos >= line.size()) return std::nullopt;
  if (line[pos] == '"') {
    std::size_t close = line.find('"', pos + 1);
    if (close == std::string_view::npos) throw Failure("unterminated quote");
    if (close + 1 < line.size() && !is_space(line[close + 1]))
      throw Failure("a closing quote must end its word");
    return Word{std::string(line.substr(pos + 1, close - pos - 1)), close + 1};
  }
  std::size_t end = pos;
  while (end < line.size() && !is_space(line[end])) ++end;
  return Word{std::string(line.substr(pos, end - pos)), end};
}

// Raised by a step that cannot run; becomes "script: line N: reason", N the step's line
// unless the error belongs to another line.
struct StepError {
  std::string reason;
  int line = 0;
};

class ScriptRunner {
 public:
  ScriptRunner(std::ostream& out, std::ostream& err, HeadlessUi::Painter painter,
               HeadlessUi::FileWriter writer)
      : out_(out), err_(err), ui_(&out, &err), app_(ui_) {
    if (painter) ui_.set_painter(std::move(painter));
    if (writer) ui_.set_file_writer(std::move(writer));
  }

  int run(const std::string& text) {
    try {
      app_.start();
    } catch (const Failure& f) {
      err_ << "script: start-up failed: " << f.what() << '\n';
      return 1;
    }
    LineReader lines(skip_bom(text));
    std::string_view view;
    while (lines.next(view)) {
      const int number = static_cast<int>(lines.line_number());
      const std::string line(view);
      std::size_t first = line.find_first_not_of(" \t");
      if (first == std::string::npos || line[first] == '#') continue;
      try {
        step(line, number);
      } catch (const StepError& e) {
        err_ << "script: line " << (e.line != 0 ? e.line : number) << ": " << e.reason << '\n';
        return 1;
      } catch (const Failure& f) {
        err_ << "script: line " << number << ": " << f.what() << '\n';
        return 1;
      }
      if (closed_) return 0;  // the main window closed: the program has ended
    }
    // An answer left for no step would otherwise have gone to nobody; say so like a step
    // that left one.
    if (!answer_lines_.empty()) {
      err_ << "script: line " << answer_lines_.front() << ": answer not used by this step\n";
      return 1;
    }
    if (!reply_lines_.empty()) {
      err_ << "script: line " << reply_lines_.front() << ": reply not used by this step\n";
      return 1;
    }
    return 0;
  }

 private:
  void step(const std::string& line, int number) {
    std::vector<std::string> w = script_words(line);
    const std::string& cmd = w[0];
    auto need = [&](std::size_t n, const char* usage) {
      if (w.size() != n) throw StepError{std::string("usage: ") + usage};
    };
    if (cmd == "cd") {
      need(2, "cd DIR");
      std::error_code ec;
      fs::current_path(w[1], ec);
      if (ec) throw StepError{"cannot change to the directory \"" + w[1] + "\""};
    } else if (cmd == "set") {
      set_step(line);
    } else if (cmd == "answer") {
      if (w.size() < 2) throw StepError{"usage: answer PATH..., or answer cancel"};
      if (w.size() == 2 && w[1] == "cancel") {
        ui_.answer_cancel();
      } else if (w.size() == 2) {
        ui_.answer_path(w[1]);
      } else {
        ui_.answer_paths({w.begin() + 1, w.end()});
      }
      answer_lines_.push_back(number);
    } else if (cmd == "reply") {
      static const std::pair<const char*, SaveReply> kReplies[] = {{"save", SaveReply::kSave},
                                                                   {"discard", SaveReply::kDiscard},
                                                                   {"cancel", SaveReply::kCancel}};
      const auto* r = w.size() == 2 ? std::find_if(std::begin(kReplies), std::end(kReplies),
                                                   [&](const auto& k) { return w[1] == k.first; })
                                    : std::end(kReplies);
      if (r == std::end(kReplies))
        throw StepError{"usage: reply save, reply discard or reply cancel"};
      ui_.reply(r->second);
      reply_lines_.push_back(number);
      return;
    } else if (cmd == "close") {
      need(1, "close");
      closed_ = ask_before_closing(app_.ctx);
      check_answers_used();
    } else if (cmd == "press") {
      need(2, "press TAG");
      press(w[1], number);
      check_answers_used();
    } else if (cmd == "call") {
      if (w.size() < 2) throw StepError{"usage: call NAME ARG..."};
      Args args(w.begin(), w.end());
      args.erase(args.begin());
      Qiv_proto(app_.ctx, args, 0);
      check_answers_used();
    } else if (cmd == "print") {
      need(3, "print TAG PROP");
      Handle h = tagged(w[1]);
      if (!app_.gfx.has_property(h, w[2])) throw no_property(w[1], w[2]);
      ui_out() << script_value_text(app_.gfx.get(h, w[2])) << '\n' << std::flush;
    } else if (cmd == "state") {
      need(2, "state MEMBER");
      ui_out() << describe_member(app_.state, w[1]) << '\n' << std::flush;
    } else if (cmd == "save-figure") {
      need(2, "save-figure FILE");
      save_figure(w[1]);
    } else if (cmd == "picture-options") {
      picture_options(w);
    } else if (cmd == "clipboard") {
      need(2, "clipboard FILE");
      clipboard(w[1]);
    } else if (cmd == "pick") {
      pick(w);
      check_answers_used();
    } else {
      throw StepError{"unknown step \"" + cmd + "\""};
    }
  }

  // The answers queued before a step that runs actions belong to that step, one per dialog it
  // opens, in order. One it left (it refused before its dialog, or opened fewer) would slide
  // to a later, unrelated dialog and could overwrite a file there: the script stops instead.
  void check_answers_used() {
    if (auto behind = ui_.answer_misused()) {
      const int line = answer_lines_[answer_lines_.size() - 1 - *behind];
      answer_lines_.clear();
      throw StepError{"answer gives several files to a dialog that takes one", line};
    }
    const std::size_t unused = ui_.pending_answers();
    if (unused > 0) {
      const int line = answer_lines_[answer_lines_.size() - unused];
      answer_lines_.clear();
      throw StepError{"answer not used by this step", line};
    }
    answer_lines_.clear();
    // Replies likewise: one the step did not use would answer a later, unrelated question.
    if (ui_.pending_replies() > 0) {
      const int line = reply_lines_[reply_lines_.size() - ui_.pending_replies()];
      throw StepError{"reply not used by this step", line};
    }
    reply_lines_.clear();
  }

  // The stream that message boxes and console lines go to, so that stdout keeps its order.
  std::ostream& ui_out() { return out_; }

  Handle tagged(const std::string& tag) const {
    auto found = app_.gfx.findobj_tag(tag);
    if (found.empty()) throw StepError{"no object is tagged \"" + tag + "\""};
    return found.front();
  }

  static StepError no_property(const std::string& tag, const std::string& prop) {
    return StepError{"the object tagged \"" + tag + "\" has no property \"" + prop + "\""};
  }

  void set_step(const std::string& line) {
    auto cmd = next_word(line, 0);
    auto tag = next_word(line, cmd->end);
    auto prop = tag ? next_word(line, tag->end) : std::nullopt;
    if (!prop) throw StepError{"usage: set TAG PROP TEXT"};
    std::string text;
    if (prop->end < line.size()) text = unescape_script_text(line.substr(prop->end + 1));
    Handle h = tagged(tag->text);
    if (!app_.gfx.has_property(h, prop->text)) throw no_property(tag->text, prop->text);
    Value old = app_.gfx.get(h, prop->text);
    if (old.is_matrix() && to_lower(prop->text) != "string") {
      Matrix m = str2num(text);
      if (m.size() == 0 && !is_blank(text)) throw StepError{"\"" + text + "\" is not a number"};
      app_.gfx.set(h, prop->text, Value(std::move(m)));
    } else {
      app_.gfx.set(h, prop->text, Value(text));
    }
  }

  void press(const std::string& tag, int number) {
    Graphics& gfx = app_.gfx;
    Handle h = tagged(tag);
    if (gfx.type(h) != ObjType::kUicontrol)
      throw StepError{"the object tagged \"" + tag + "\" is not a control"};
    if (gfx.get(h, "Enable").str() == "off") {
      err_ << "script: line " << number << ": the control \"" << tag
           << "\" is disabled; nothing ran\n";
      return;
    }
    const bool checkbox = gfx.get(h, "Style").str() == "checkbox";
    Value cb = gfx.get(h, "Callback");
    const bool has_callback =
        (cb.is_list() && !cb.list().empty()) || (cb.is_string() && !cb.str().empty());
    if (!checkbox && !has_callback) throw StepError{"the control \"" + tag + "\" has no callback"};
    if (checkbox) {
      // A click flips a checkbox between its Min and Max before its callback runs.
      double max = gfx.get(h, "Max").scalar_value();
      double min = gfx.get(h, "Min").scalar_value();
      Value v = gfx.get(h, "Value");
      bool on = v.is_scalar() && v.scalar_value() == max;
      gfx.set(h, "Value", Value(on ? min : max));
    }
    run_callback(app_.ctx, h);
  }

  Handle main_figure() {
    const auto& figh = app_.state.figh;
    if (figh && app_.gfx.ishandle(*figh) && app_.gfx.type(*figh) == ObjType::kFigure) return *figh;
    Handle f = app_.gfx.current_figure();
    if (f == kNoHandle) throw StepError{"no figure is open"};
    return f;
  }

  // A click on the main plot at data coordinates, through the same rule as the mouse.
  void pick(const std::vector<std::string>& w) {
    const bool shift = w.size() == 4 && w[3] == "shift";
    if (w.size() != 3 && !shift) throw StepError{"usage: pick X Y, or pick X Y shift"};
    auto number = [](const std::string& text) {
      Matrix m = str2num(text);
      if (m.size() != 1 || !std::isfinite(m(0, 0)))
        throw StepError{"\"" + text + "\" is not a number"};
      return m(0, 0);
    };
    const double x = number(w[1]), y = number(w[2]);
    PickResult r = pick_at_data(app_.ctx, x, y, shift,
                                [this](Handle control) { run_callback(app_.ctx, control); });
    if (!r.reached()) err_ << "pick: nothing within reach\n";
    for (const std::string& note : r.notes) err_ << "pick: " << note << '\n';
  }

  void save_figure(const std::string& file) {
    Handle fig = main_figure();
    ui_.save_figure(app_.gfx, fig, fs::absolute(file).string());
  }

  // Every KEY=VALUE or none: a refused one names itself and changes nothing.
  void picture_options(const std::vector<std::string>& w) {
    if (w.size() < 2) throw StepError{"usage: picture-options KEY=VALUE..."};
    PictureOptions o = app_.state.picture;
    for (std::size_t i = 1; i < w.size(); ++i) {
      const std::size_t eq = w[i].find('=');
      if (eq == std::string::npos) throw StepError{"\"" + w[i] + "\" is not KEY=VALUE"};
      set_picture_option(o, w[i].substr(0, eq), w[i].substr(eq + 1));
    }
    app_.state.picture = o;
  }

  void clipboard(const std::string& file) {
    std::string ext = to_lower(fs::path(file).extension().string());
    if (ext != ".svg" && ext != ".png")
      throw StepError{"the clipboard picture is written as .svg or .png, not \"" + file + "\""};
    if (ui_.clipboard_copies() == 0) throw StepError{"nothing was copied to the clipboard"};
    const Picture& pic = ui_.clipboard();
    std::string content = ext == ".svg" ? pic.svg : std::string(pic.png.begin(), pic.png.end());
    if (content.empty()) throw StepError{"the clipboard picture is empty: this run cannot draw"};
    if (!write_file_atomically(fs::absolute(file).string(), content))
      throw StepError{"cannot write \"" + file + "\""};
  }

  std::ostream& out_;
  std::ostream& err_;
  std::vector<int> answer_lines_;  // the lines of the answers queued since the last step
  std::vector<int> reply_lines_;   // the same for replies to question boxes
  bool closed_ = false;            // a "close" step closed the main window
  HeadlessUi ui_;
  Application app_;
};

}  // namespace

std::vector<std::string> script_words(std::string_view line) {
  std::vector<std::string> words;
  std::size_t pos = 0;
  while (auto w = next_word(line, pos)) {
    words.push_back(std::move(w->text));
    pos = w->end;
  }
  return words;
}

std::string unescape_script_text(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
      out += text[i + 1] == 'n' ? '\n' : '\\';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string script_value_text(const Value& v) {
  if (v.is_string()) return escape_newlines(v.str());
  if (v.is_matrix()) return format_matrix_g17(v.matrix(), " ", " ");
  if (v.is_list()) {
    std::string out;
    for (std::size_t i = 0; i < v.list().size(); ++i) {
      if (i > 0) out += "\\n";
      out += script_value_text(v.list()[i]);
    }
    return out;
  }
  if (v.is_record()) {
    std::string out;
    for (std::size_t i = 0; i < v.record().size(); ++i) {
      if (i > 0) out += "\\n";
      out += v.record()[i].name + ": " + script_value_text(v.record()[i].value);
    }
    return out;
  }
  return "";
}

int run_script_text(const std::string& text, std::ostream& out, std::ostream& err,
                    HeadlessUi::Painter painter, HeadlessUi::FileWriter writer) {
  std::error_code ec;
  const fs::path start_dir = fs::current_path(ec);
  ScriptRunner runner(out, err, std::move(painter), std::move(writer));
  int rc = runner.run(text);
  // A cd step moves the whole process; give the caller its directory back.
  if (!ec) fs::current_path(start_dir, ec);
  return rc;
}

int run_script(const std::string& file, std::ostream& out, std::ostream& err,
               HeadlessUi::Painter painter, HeadlessUi::FileWriter writer) {
  std::optional<InputBytes> bytes;
  try {
    bytes = read_input_file(file);
  } catch (const Failure& f) {  // no regular file, too large, changed while read
    err << "script: " << f.what() << "\n";
    return 1;
  }
  if (!bytes) {
    err << "script: cannot read \"" << file << "\"\n";
    return 1;
  }
  return run_script_text(std::string(bytes->view()), out, err, std::move(painter),
                         std::move(writer));
}

}  // namespace qiv
