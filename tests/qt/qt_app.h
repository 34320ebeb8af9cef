#pragma once
// One QApplication for the whole test program (CMake runs it under the offscreen platform).
#include <QApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
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

// An axes' default font (Helvetica, 10 pt, whatever the machine resolves it to) as the
// painter measures it, at 96 dpi: tests compare with the font the machine has.
inline QFontMetricsF axes_metrics() {
  static QImage dot = [] {
    QImage i(1, 1, QImage::Format_ARGB32_Premultiplied);
    i.setDotsPerMeterX(3780);
    i.setDotsPerMeterY(3780);
    return i;
  }();
  QFont f("Helvetica");
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(10);
  return QFontMetricsF(f, &dot);
}

}  // namespace qiv::qt_test
