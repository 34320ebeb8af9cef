#pragma once
// What actions ask of the user and the desktop: file dialogs, message boxes, the console,
// the clipboard and pictures of figures. The Qt front end and the headless runs implement
// it; actions never know which one they talk to.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/failure.h"
#include "platform/graphics/graphics.h"
#include "platform/picture_options.h"

namespace qiv {

// The result of a file dialog. On cancel, `cancelled` is true and name and dir are empty
// (the name 0 of the dialog services). Otherwise dir ends with a path separator, so
// dir + name is the chosen file.
struct FileChoice {
  bool cancelled = true;
  std::string name;
  std::string dir;
  static FileChoice cancel() { return {}; }
  static FileChoice chosen(std::string n, std::string d) {
    return {false, std::move(n), std::move(d)};
  }
};

// A picture of a figure without its controls: a vector form (SVG text) and a bitmap (PNG
// bytes). Either may be empty when the running Ui cannot draw.
struct Picture {
  std::string svg;
  std::vector<std::uint8_t> png;
  bool empty() const { return svg.empty() && png.empty(); }
};

// How far long work has come, and whether the user wants it stopped. Made by
// Ui::start_progress; the indicator goes away when this object is destroyed.
class Progress {
 public:
  virtual ~Progress() = default;
  // fraction of the work done, 0 to 1. Returns false once the user has pressed Cancel: the
  // caller then puts back what it changed and throws Cancelled. Cheap enough to call every
  // millisecond; the Ui decides how often to repaint.
  virtual bool advance(double fraction) = 0;
};

// A Progress that shows nothing and never cancels: headless runs and short work.
class SilentProgress : public Progress {
 public:
  bool advance(double) override { return true; }
};

// The answer to a question whether to save changes before they would be lost.
enum class SaveReply { kSave, kDiscard, kCancel };

class Ui {
 public:
  virtual ~Ui() = default;

  // A question box with Save, Discard and Cancel, e.g. "The protocol has changes that are
  // not saved. Save them before closing?". Closing the box counts as Cancel.
  virtual SaveReply ask_save(const std::string& question) = 0;

  // File-open and file-save dialogs with a filter and a title. A filter is either patterns
  // separated by ";" ("*.svg;*.png;*.pdf", one choice) or named choices separated by ";;"
  // ("Landmark data (*.txt);;TPS files (*.tps)"), the first chosen at the start. A save
  // dialog starts with `suggested` as the file name when it is not empty.
  virtual FileChoice get_file(const std::string& filter, const std::string& title) = 0;
  virtual FileChoice put_file(const std::string& filter, const std::string& title,
                              const std::string& suggested = {}) = 0;

  // A file-open dialog in which several files may be chosen at once: the files in the order
  // chosen, each with its directory; empty when the dialog was cancelled.
  virtual std::vector<FileChoice> get_files(const std::string& filter,
                                            const std::string& title) = 0;

  // A message box that shows text and returns at once.
  virtual void msgbox(const std::string& text) = 0;

  // One line on the console (stdout for the command line and scripts).
  virtual void console(const std::string& line) = 0;

  // A failure of a call by name: on the console, and where a window made the call, in that
  // window's status bar as well.
  virtual void report_failure(const std::string& text, Handle from_figure) = 0;

  // A short sentence confirming what an action did ("Saved protocol.txt: 8 lines"), in the
  // status bar of figure's window (the window the user works in). Never on the console:
  // confirmations are for the person at the windows, not for scripts reading the output.
  virtual void status(const std::string& text, Handle figure) = 0;

  // Draws the figure without its controls and puts the picture on the clipboard. With page,
  // the picture is of the figure's current axes, sized and drawn as page says; without, it is
  // the window's picture at the window's size.
  virtual void copy_figure(Graphics& gfx, Handle fig, const PictureOptions* page = nullptr) = 0;

  // Draws the figure without its controls into a file, as copy_figure draws it; the format
  // follows the extension (.svg, .png, .pdf). Throws Failure when the file cannot be written;
  // never leaves a half-written file.
  virtual void save_figure(Graphics& gfx, Handle fig, const std::string& path,
                           const PictureOptions* page = nullptr) = 0;

  // Starts showing the progress of long work, described by what ("Testing modularity"), in
  // figure's window. A Ui shows it only once the work has gone on for about half a second,
  // and keeps the windows painted meanwhile. Never null.
  virtual std::unique_ptr<Progress> start_progress(const std::string& what, Handle figure) = 0;
};

// Reports fraction done; throws Cancelled when the user has asked to stop. For work that
// has nothing to put back at that point.
inline void advance_or_cancel(Progress& p, double fraction) {
  if (!p.advance(fraction)) throw Cancelled();
}

}  // namespace qiv
