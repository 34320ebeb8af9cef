#pragma once
// The Ui of tests, session scripts and machines without a display. Dialog answers are
// queued in advance; a dialog with no queued answer is cancelled. Message boxes and console
// lines are recorded and, when echo is on, printed to stdout.
#include <deque>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace qiv {

class HeadlessUi : public Ui {
 public:
  // Draws pictures of figures; installed by a program that links a painter. Without one,
  // copy_figure stores an empty picture and save_figure fails.
  using Painter = std::function<Picture(Graphics&, Handle fig)>;
  using FileWriter = std::function<void(Graphics&, Handle fig, const std::string& path)>;

  explicit HeadlessUi(std::ostream* out = nullptr, std::ostream* notes = nullptr)
      : out_(out), notes_(notes) {}

  // Queues the next dialog's answer: a chosen file (name and directory with its trailing
  // separator) or a cancel.
  void answer(FileChoice c) { answers_.push_back(std::move(c)); }
  void answer_path(const std::string& path);  // splits into directory and name
  void answer_cancel() { answers_.push_back(FileChoice::cancel()); }
  std::size_t pending_answers() const { return answers_.size(); }

  FileChoice get_file(const std::string& filter, const std::string& title) override;
  FileChoice put_file(const std::string& filter, const std::string& title) override;
  void msgbox(const std::string& text) override;
  void console(const std::string& line) override;
  void report_failure(const std::string& text, Handle from_figure) override;
  // Kept for tests only; nothing is printed.
  void status(const std::string& text, Handle figure) override;
  void copy_figure(Graphics& gfx, Handle fig) override;
  void save_figure(Graphics& gfx, Handle fig, const std::string& path) override;

  void set_painter(Painter p) { painter_ = std::move(p); }
  void set_file_writer(FileWriter w) { writer_ = std::move(w); }

  // What happened, for tests.
  struct Dialog {
    bool save;
    std::string filter;
    std::string title;
  };
  const std::vector<std::string>& messages() const { return messages_; }
  const std::vector<std::string>& console_lines() const { return console_; }
  const std::vector<Dialog>& dialogs() const { return dialogs_; }
  struct Status {
    std::string text;
    Handle figure;
  };
  const std::vector<Status>& statuses() const { return statuses_; }
  const Picture& clipboard() const { return clipboard_; }
  int clipboard_copies() const { return copies_; }
  void clear_records();

 private:
  FileChoice next_answer(bool save, const std::string& filter, const std::string& title);

  std::ostream* out_;
  std::ostream* notes_;
  std::deque<FileChoice> answers_;
  std::vector<std::string> messages_;
  std::vector<std::string> console_;
  std::vector<Dialog> dialogs_;
  std::vector<Status> statuses_;
  Picture clipboard_;
  int copies_ = 0;
  Painter painter_;
  FileWriter writer_;
};

}  // namespace qiv
