#pragma once
// One QApplication for the whole test program (CMake runs it under the offscreen platform).
#include <QApplication>
#include <cstdlib>

namespace qiv::qt_test {

inline QApplication& qt_app() {
  static int argc = 1;
  static char name[] = "test_qt";
  static char* argv[] = {name, nullptr};
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace qiv::qt_test
