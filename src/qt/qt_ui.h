#pragma once
// The Ui of the desktop program: Qt file dialogs, message boxes that do not wait, the
// console on stdout, failures also shown in the calling window's status bar, and pictures on
// the system clipboard.
#include <QString>
#include <string>

#include "platform/ui.h"

class QWidget;

namespace qiv::qt {

class WindowManager;

// A dialog filter such as "*.svg;*.png;*.pdf" as Qt writes it: "*.svg *.png *.pdf (*.svg
// *.png *.pdf)". A filter that names its kinds already ("TPS files (*.tps);;All files (*)")
// is Qt's form and stays as it is.
QString qt_filter(const std::string& filter);

// The extension a save dialog gives a name typed without one under a Qt name filter: that of
// its first pattern ("txt" for "Landmark data (*.txt)"), or none ("All files (*)").
QString filter_suffix(const QString& name_filter);

class QtUi : public Ui {
 public:
  // The windows give dialogs and message boxes their parent and failures their status bar.
  void set_windows(WindowManager* wm) { wm_ = wm; }
  // How long work runs before its progress shows (500 ms), for tests that cannot wait.
  void set_progress_delay(int ms) { progress_delay_ms_ = ms; }

  FileChoice get_file(const std::string& filter, const std::string& title) override;
  FileChoice put_file(const std::string& filter, const std::string& title,
                      const std::string& suggested = {}) override;
  std::vector<FileChoice> get_files(const std::string& filter, const std::string& title) override;
  void msgbox(const std::string& text) override;
  SaveReply ask_save(const std::string& question) override;
  void console(const std::string& line) override;
  void report_failure(const std::string& text, Handle from_figure) override;
  void status(const std::string& text, Handle figure) override;
  void copy_figure(Graphics& gfx, Handle fig, const PictureOptions* page = nullptr) override;
  void save_figure(Graphics& gfx, Handle fig, const std::string& path,
                   const PictureOptions* page = nullptr) override;
  std::unique_ptr<Progress> start_progress(const std::string& what, Handle figure) override;

 private:
  // The files chosen, none on cancel; several only where `several` allows it.
  std::vector<FileChoice> file_dialog(bool save, bool several, const std::string& filter,
                                      const std::string& title, const std::string& suggested);
  QWidget* dialog_parent() const;

  WindowManager* wm_ = nullptr;
  int progress_delay_ms_ = 500;
};

}  // namespace qiv::qt
