#include "qt/front_end.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/command_line.h"
#include "app/qiv_proto.h"
#include "app/session_script.h"
#include "base/failure.h"
#include "qt/headless_pictures.h"
#include "qt/qt_ui.h"
#include "qt/window_manager.h"

namespace qiv {

bool display_available() {
  auto set = [](const char* n) {
    const char* v = std::getenv(n);
    return v != nullptr && *v != '\0';
  };
  if (set("QT_QPA_PLATFORM")) {
    // Nobody can see or close a window on these: the run would never end.
    const std::string platform = std::getenv("QT_QPA_PLATFORM");
    return platform.rfind("offscreen", 0) != 0 && platform.rfind("minimal", 0) != 0;
  }
  return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

namespace {

bool any_window_shown() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible()) return true;
  return false;
}

}  // namespace

int run_windows(int argc, char** argv) {
  // The words are the main function's inputs; Qt sees only the program's name.
  const std::vector<std::string> words(argv + 1, argv + argc);
  int qt_argc = 1;
  QApplication qapp(qt_argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);

  qt::QtUi ui;
  Application app(ui);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect g = screen->geometry();
    app.gfx.set(kScreen, "ScreenSize",
                row({1, 1, static_cast<double>(g.width()), static_cast<double>(g.height())}));
  }
  qt::WindowManager windows(app);
  ui.set_windows(&windows);

  if (words.empty()) {
    try {
      app.start();
    } catch (const Failure& f) {
      std::cerr << "qiv_proto: " << f.what() << '\n';
      QMessageBox::critical(nullptr, "qiv_proto", QString::fromStdString(f.what()));
      return 1;
    }
  } else {
    Args args(words.begin(), words.end());
    const Outputs outs = Qiv_proto(app.ctx, args, declared_outputs(app.ctx, words[0]));
    std::cout << format_outputs(outs) << std::flush;
  }
  windows.sync();
  if (windows.visible_windows() > 0) {
    windows.set_quit_when_last_closes(true);
    return qapp.exec();
  }
  // A call by name that only showed a message box: wait until it is closed.
  if (any_window_shown()) {
    QApplication::setQuitOnLastWindowClosed(true);
    return qapp.exec();
  }
  return 0;
}

int run_session_script(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: qiv_proto --script FILE\n";
    return 2;
  }
  // Pictures are drawn by the windows' painter, under the offscreen platform.
  const auto gui = qt::ensure_gui_application();
  return run_script(argv[2], std::cout, std::cerr, qt::picture_painter(), qt::picture_writer());
}

}  // namespace qiv
