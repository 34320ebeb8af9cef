#pragma once
// The Ui of tests, session scripts and machines without a display. Dialog answers are
// queued in advance; a dialog with no queued answer is cancelled. Message boxes and console
// lines are recorded and, when echo is on, printed to stdout.
#include <deque>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace qiv {

class HeadlessUi : public Ui {
 public:
  // Draws pictures of figures; installed by a program that links a painter. Without one,
  // copy_figure stores an empty picture and save_figure fails.
  // Both take the page of Ui::copy_figure (nullptr: the window's picture).
  using Painter = std::function<Picture(Graphics&, Handle fig, const PictureOptions* page)>;
  using FileWriter = std::function<void(Graphics&, Handle fig, const std::string& path,
                                        const PictureOptions* page)>;

  explicit HeadlessUi(std::ostream* out = nullptr, std::ostream* notes = nullptr)
      : out_(out), notes_(notes) {}

  // Queues the next dialog's answer: a chosen file (name and directory with its trailing
  // separator), several files (for a dialog that takes several), or a cancel.
  void answer(FileChoice c);
  void answer_path(const std::string& path);  // splits into directory and name
  void answer_paths(const std::vector<std::string>& paths);
  void answer_cancel() { answers_.emplace_back(); }
  std::size_t pending_answers() const { return answers_.size(); }
  // Once a dialog that takes one file was given several (that dialog was cancelled): how
  // many answers were still queued behind that one. Cleared by the next answer queued.
  std::optional<std::size_t> answer_misused() const { return answer_misused_; }

  // Queues the reply to the next question box; with none queued a question is cancelled.
  // A question prints as "question: TEXT" where message boxes print.
  void reply(SaveReply r) { replies_.push_back(r); }
  std::size_t pending_replies() const { return replies_.size(); }
  SaveReply ask_save(const std::string& question) override;
  const std::vector<std::string>& questions() const { return questions_; }

  FileChoice get_file(const std::string& filter, const std::string& title) override;
  FileChoice put_file(const std::string& filter, const std::string& title,
                      const std::string& suggested = {}) override;
  std::vector<FileChoice> get_files(const std::string& filter, const std::string& title) override;
  void msgbox(const std::string& text) override;
  void console(const std::string& line) override;
  void report_failure(const std::string& text, Handle from_figure) override;
  // Kept for tests only; nothing is printed.
  void status(const std::string& text, Handle figure) override;
  void copy_figure(Graphics& gfx, Handle fig, const PictureOptions* page = nullptr) override;
  void save_figure(Graphics& gfx, Handle fig, const std::string& path,
                   const PictureOptions* page = nullptr) override;
  // Never shows anything. A test may ask for a Cancel: see cancel_progress_after.
  std::unique_ptr<Progress> start_progress(const std::string& what, Handle figure) override;

  // The next progress started answers Cancel at its calls-th advance (1 = the first).
  void cancel_progress_after(int calls) { cancel_after_ = calls; }
  // The descriptions of the progresses started, in order.
  const std::vector<std::string>& progresses() const { return progresses_; }

  void set_painter(Painter p) { painter_ = std::move(p); }
  void set_file_writer(FileWriter w) { writer_ = std::move(w); }

  // What happened, for tests.
  struct Dialog {
    bool save;
    std::string filter;
    std::string title;
    std::string suggested;  // the name a save dialog started with
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
  std::vector<FileChoice> next_answer(bool save, const std::string& filter,
                                      const std::string& title);
  FileChoice one_file(std::vector<FileChoice> answer);

  std::ostream* out_;
  std::ostream* notes_;
  std::deque<SaveReply> replies_;
  std::vector<std::string> questions_;
  std::deque<std::vector<FileChoice>> answers_;  // an empty answer is a cancel
  std::optional<std::size_t> answer_misused_;
  int cancel_after_ = 0;
  std::vector<std::string> progresses_;
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
