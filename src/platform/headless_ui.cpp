#include "platform/headless_ui.h"

#include <filesystem>
#include <ostream>

#include "base/failure.h"
#include "platform/text.h"

namespace qiv {

void HeadlessUi::answer_path(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path p = fs::absolute(fs::path(path)).lexically_normal();
  std::string dir = p.parent_path().string();
  if (dir.empty() || dir.back() != '/') dir += '/';
  std::string name = p.filename().string();
  // A folder given as "." or "out/" keeps the name as typed, so that the refusal names it.
  if (name.empty() && !path.empty()) {
    const fs::path given(path);
    name = given.is_absolute() ? given.relative_path().string() : path;
    dir = given.is_absolute() ? "/" : fs::current_path().string() + "/";
  }
  answers_.push_back(FileChoice::chosen(name, dir));
}

FileChoice HeadlessUi::next_answer(bool save, const std::string& filter, const std::string& title) {
  dialogs_.push_back(Dialog{save, filter, title});
  if (answers_.empty()) {
    if (notes_) *notes_ << "dialog \"" << title << "\" cancelled: no answer queued\n";
    return FileChoice::cancel();
  }
  FileChoice c = answers_.front();
  answers_.pop_front();
  return c;
}

FileChoice HeadlessUi::get_file(const std::string& filter, const std::string& title) {
  return next_answer(false, filter, title);
}

FileChoice HeadlessUi::put_file(const std::string& filter, const std::string& title) {
  return next_answer(true, filter, title);
}

void HeadlessUi::msgbox(const std::string& text) {
  messages_.push_back(text);
  if (out_) *out_ << "msgbox: " << escape_newlines(text) << '\n' << std::flush;
}

void HeadlessUi::console(const std::string& line) {
  console_.push_back(line);
  if (out_) *out_ << line << '\n' << std::flush;
}

void HeadlessUi::report_failure(const std::string& text, Handle) { console(text); }

void HeadlessUi::status(const std::string& text, Handle figure) {
  statuses_.push_back(Status{text, figure});
}

void HeadlessUi::copy_figure(Graphics& gfx, Handle fig) {
  ++copies_;
  clipboard_ = painter_ ? painter_(gfx, fig) : Picture{};
}

void HeadlessUi::save_figure(Graphics& gfx, Handle fig, const std::string& path) {
  if (!writer_) throw Failure("Pictures cannot be drawn in this run.");
  writer_(gfx, fig, path);
}

void HeadlessUi::clear_records() {
  messages_.clear();
  console_.clear();
  dialogs_.clear();
  statuses_.clear();
}

}  // namespace qiv
