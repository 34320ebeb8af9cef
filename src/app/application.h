#pragma once
// One running program: the shared state, the object model and the table of callable
// functions, wired to a Ui. Tests, scripts and the windows all drive it the same way.
#include <optional>
#include <string>
#include <vector>

#include "core/context.h"
#include "core/shared_state.h"
#include "platform/graphics/graphics.h"
#include "platform/runtime.h"
#include "platform/ui.h"

namespace qiv {

// The Ui the actions talk to: every request goes to the front end's Ui, except that a file
// chosen in advance answers the next file-open dialog in its place. This is how a file named
// on the command line reaches the "Load" action through the action's own code.
class PresetOpenUi : public Ui {
 public:
  explicit PresetOpenUi(Ui& inner) : inner_(inner) {}

  // The next get_file or get_files returns files instead of asking (get_file the first);
  // later ones ask again.
  void answer_next_open(std::vector<FileChoice> files) { preset_ = std::move(files); }
  void forget_answer() { preset_.reset(); }

  FileChoice get_file(const std::string& filter, const std::string& title) override;
  FileChoice put_file(const std::string& filter, const std::string& title,
                      const std::string& suggested = {}) override {
    return inner_.put_file(filter, title, suggested);
  }
  std::vector<FileChoice> get_files(const std::string& filter, const std::string& title) override;
  void msgbox(const std::string& text) override { inner_.msgbox(text); }
  SaveReply ask_save(const std::string& question) override { return inner_.ask_save(question); }
  void console(const std::string& line) override { inner_.console(line); }
  void report_failure(const std::string& text, Handle from_figure) override {
    inner_.report_failure(text, from_figure);
  }
  void status(const std::string& text, Handle figure) override { inner_.status(text, figure); }
  void copy_figure(Graphics& gfx, Handle fig, const PictureOptions* page = nullptr) override {
    inner_.copy_figure(gfx, fig, page);
  }
  void save_figure(Graphics& gfx, Handle fig, const std::string& path,
                   const PictureOptions* page = nullptr) override {
    inner_.save_figure(gfx, fig, path, page);
  }
  std::unique_ptr<Progress> start_progress(const std::string& what, Handle figure) override {
    return inner_.start_progress(what, figure);
  }

 private:
  Ui& inner_;
  std::optional<std::vector<FileChoice>> preset_;
};

class Application {
 public:
  explicit Application(Ui& ui);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // A call by name through the main function, as a control's callback makes it.
  Outputs call(const std::string& name, const Args& in = {}, int nout = 0);
  // One action of the dispatcher, through the main function.
  void action(const std::string& name);
  // Start-up: opens the main window.
  Handle start();
  // The "Load" action with paths as the answer of its file dialog, as if the user had chosen
  // them there: its refusals show as message boxes and leave the program as it was.
  void load_files(const std::vector<std::string>& paths);
  void load_file(const std::string& path) { load_files({path}); }

 private:
  PresetOpenUi ui_;

 public:
  SharedState state;
  Graphics gfx;
  Runtime rt;
  History history;
  Context ctx;
};

// Registers every function callable by name, with its declared counts.
void register_callables(Runtime& rt, Context& ctx);

}  // namespace qiv
