#include "platform/headless_ui.h"

#include <filesystem>
#include <ostream>

#include "base/failure.h"
#include "platform/text.h"

namespace qiv {

namespace {

FileChoice choice_of_path(const std::string& path) {
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
  return FileChoice::chosen(name, dir);
}

}  // namespace

void HeadlessUi::answer(FileChoice c) {
  answer_misused_.reset();
  if (c.cancelled) {
    answers_.emplace_back();
  } else {
    answers_.push_back({std::move(c)});
  }
}

void HeadlessUi::answer_path(const std::string& path) { answer(choice_of_path(path)); }

void HeadlessUi::answer_paths(const std::vector<std::string>& paths) {
  answer_misused_.reset();
  std::vector<FileChoice> files;
  for (const std::string& p : paths) files.push_back(choice_of_path(p));
  answers_.push_back(std::move(files));
}

std::vector<FileChoice> HeadlessUi::next_answer(bool save, const std::string& filter,
                                                const std::string& title) {
  dialogs_.push_back(Dialog{save, filter, title, {}});
  if (answers_.empty()) {
    if (notes_) *notes_ << "dialog \"" << title << "\" cancelled: no answer queued\n";
    return {};
  }
  std::vector<FileChoice> c = std::move(answers_.front());
  answers_.pop_front();
  return c;
}

FileChoice HeadlessUi::one_file(std::vector<FileChoice> answer) {
  if (answer.empty()) return FileChoice::cancel();
  if (answer.size() > 1) {
    answer_misused_ = answers_.size();
    return FileChoice::cancel();
  }
  return std::move(answer.front());
}

SaveReply HeadlessUi::ask_save(const std::string& question) {
  questions_.push_back(question);
  if (out_) *out_ << "question: " << escape_newlines(question) << '\n' << std::flush;
  if (replies_.empty()) {
    if (notes_) *notes_ << "dialog \"" << question << "\" cancelled: no reply queued\n";
    return SaveReply::kCancel;
  }
  const SaveReply r = replies_.front();
  replies_.pop_front();
  return r;
}

FileChoice HeadlessUi::get_file(const std::string& filter, const std::string& title) {
  return one_file(next_answer(false, filter, title));
}

FileChoice HeadlessUi::put_file(const std::string& filter, const std::string& title,
                                const std::string& suggested) {
  FileChoice c = one_file(next_answer(true, filter, title));
  dialogs_.back().suggested = suggested;
  return c;
}

std::vector<FileChoice> HeadlessUi::get_files(const std::string& filter, const std::string& title) {
  return next_answer(false, filter, title);
}

namespace {

// Answers Cancel at its n-th advance when asked to; otherwise a silent progress.
class ScriptedProgress : public Progress {
 public:
  explicit ScriptedProgress(int cancel_at) : cancel_at_(cancel_at) {}
  bool advance(double) override { return cancel_at_ <= 0 || ++calls_ < cancel_at_; }

 private:
  int cancel_at_;
  int calls_ = 0;
};

}  // namespace

std::unique_ptr<Progress> HeadlessUi::start_progress(const std::string& what, Handle) {
  progresses_.push_back(what);
  const int at = cancel_after_;
  cancel_after_ = 0;
  return std::make_unique<ScriptedProgress>(at);
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

void HeadlessUi::copy_figure(Graphics& gfx, Handle fig, const PictureOptions* page) {
  ++copies_;
  clipboard_ = painter_ ? painter_(gfx, fig, page) : Picture{};
}

void HeadlessUi::save_figure(Graphics& gfx, Handle fig, const std::string& path,
                             const PictureOptions* page) {
  if (!writer_) throw Failure("Pictures cannot be drawn in this run.");
  writer_(gfx, fig, path, page);
}

void HeadlessUi::clear_records() {
  messages_.clear();
  console_.clear();
  dialogs_.clear();
  statuses_.clear();
}

}  // namespace qiv
