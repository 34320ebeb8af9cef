#include "qt/front_end.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <cstdlib>
#include <iostream>
#include <string>

#include "app/application.h"
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

int run_windows(char* program, const StartRequest& request) {
  // The words are the main function's inputs; Qt sees only the program's name.
  int qt_argc = 1;
  char* qt_argv[] = {program, nullptr};
  QApplication qapp(qt_argc, qt_argv);
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

  try {
    begin_run(app, request, std::cout);
  } catch (const Failure& f) {
    std::cerr << "qiv_proto: " << f.what() << '\n';
    QMessageBox::critical(nullptr, "qiv_proto", QString::fromStdString(f.what()));
    return 1;
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

int run_session_script(const std::string& script) {
  // Pictures are drawn by the windows' painter, under the offscreen platform.
  const auto gui = qt::ensure_gui_application();
  return run_script(script, std::cout, std::cerr, qt::picture_painter(), qt::picture_writer());
}

}  // namespace qiv
