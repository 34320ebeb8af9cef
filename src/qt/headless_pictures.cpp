#include "qt/headless_pictures.h"

#include <QGuiApplication>
#include <cstdlib>

#include "qt/figure_picture.h"
#include "qt/page_picture.h"

namespace qiv::qt {

HeadlessUi::Painter picture_painter() {
  return [](Graphics& gfx, Handle fig, const PictureOptions* page) {
    return page ? page_picture(gfx, fig, *page) : figure_picture(gfx, fig);
  };
}

HeadlessUi::FileWriter picture_writer() {
  return [](Graphics& gfx, Handle fig, const std::string& path, const PictureOptions* page) {
    if (page) {
      save_page_file(gfx, fig, path, *page);
    } else {
      save_figure_file(gfx, fig, path);
    }
  };
}

void install_pictures(HeadlessUi& ui) {
  ui.set_painter(picture_painter());
  ui.set_file_writer(picture_writer());
}

std::unique_ptr<QGuiApplication> ensure_gui_application() {
  if (QCoreApplication::instance()) return nullptr;
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform == nullptr || *platform == '\0') setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Qt keeps references to argc and argv for the application's lifetime.
  static int argc = 1;
  static char name[] = "qiv_proto";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace qiv::qt
